#include "select/selection_notebook.h"

#include "client/notify_link.h"
#include "client/database.h"

TReelsmithSelectionNoteBook::TReelsmithSelectionNoteBook(QWidget* parent)
    : QTabWidget(parent), link_(new TNotifyLink(this)) {
  link_->OnNotify = [](TReelsmithDB*, const TReelsmithDBEventInfo&) {};
}

TReelsmithDB* TReelsmithSelectionNoteBook::AlbumSelSource() const { return link_->DataSource(); }

void TReelsmithSelectionNoteBook::SetAlbumSelSource(TReelsmithDB* dataSource) {
  link_->SetDataSource(dataSource);
}
