#include "select/selnoteb.h"

#include "client/notifylk.h"
#include "client/rsdb.h"

TReelsmithSelectionNoteBook::TReelsmithSelectionNoteBook(QWidget* parent)
    : QTabWidget(parent), link_(new TNotifyLink(this)) {
  link_->OnNotify = [](TReelsmithDB*, const TReelsmithDBEventInfo&) {};
}

TReelsmithDB* TReelsmithSelectionNoteBook::AlbumSelSource() const { return link_->DataSource(); }

void TReelsmithSelectionNoteBook::SetAlbumSelSource(TReelsmithDB* dataSource) {
  link_->SetDataSource(dataSource);
}
