#include "cassette/background_picture_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

#include "cassette/background_picture.h"
#include "platform/exceptions.h"
#include "shell/application.h"
#include "shell/file_dialogs.h"
#include "shell/help_context.h"
#include "shell/message_dialog.h"
#include "shell/modal_dialog.h"

namespace {

constexpr int kPreviewWidth = 150;
constexpr int kPreviewHeight = 97;
constexpr int kFileEntry = 2;

// The white box showing the dialog's picture as it will fill the insert.
class TPicturePreview : public QWidget {
 public:
  explicit TPicturePreview(const TBackgroundBitmapDlg* dialog, QWidget* parent)
      : QWidget(parent), dialog_(dialog) {
    setFixedSize(kPreviewWidth, kPreviewHeight);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    DrawPicturePreview(painter, rect(), dialog_->Picture(), dialog_->PictureLayout(),
                       logicalDpiX());
  }

 private:
  const TBackgroundBitmapDlg* dialog_;
};

// Every format this Qt reads first, then plain bitmaps.
QString PictureFilter() {
  QStringList patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats())
    patterns << QStringLiteral("*.") + QString::fromLatin1(format).toLower();
  patterns.removeDuplicates();
  std::sort(patterns.begin(), patterns.end());
  return QStringLiteral("Pictures (") + patterns.join(QLatin1Char(' ')) +
         QStringLiteral(");;Bitmaps (*.bmp)");
}

}  // namespace

TBackgroundBitmapDlg::TBackgroundBitmapDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("BackgroundBitmapDlg"));
  setWindowTitle(QStringLiteral("Background Picture"));
  SetHelpContext(this, kHelpContext);

  preview_ = new TPicturePreview(this, this);
  preview_->setObjectName(QStringLiteral("Preview"));
  bitmapCombo_ = new QComboBox(this);
  bitmapCombo_->setObjectName(QStringLiteral("BitmapCombo"));
  bitmapCombo_->addItems({QStringLiteral("[None]"), QStringLiteral("Musical Staff")});
  bitmapCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  bitmapCombo_->setMinimumContentsLength(16);

  auto* layoutGroup = new QGroupBox(QStringLiteral("Layout"), this);
  layoutGroup->setObjectName(QStringLiteral("Layout"));
  layoutButtons_ = new QButtonGroup(this);
  auto* groupLayout = new QVBoxLayout(layoutGroup);
  const struct {
    const char* caption;
    const char* name;
    TPictureLayout layout;
  } radios[] = {{"&Tile", "TileButton", plTile},
                {"&Center", "CenterButton", plCenter},
                {"&Stretch", "StretchButton", plStretch}};
  for (const auto& radio : radios) {
    auto* button = new QRadioButton(QString::fromLatin1(radio.caption), layoutGroup);
    button->setObjectName(QString::fromLatin1(radio.name));
    layoutButtons_->addButton(button, radio.layout);
    groupLayout->addWidget(button);
  }

  auto* okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setObjectName(QStringLiteral("OKButton"));
  okButton->setDefault(true);
  auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  cancelButton->setObjectName(QStringLiteral("CancelButton"));
  auto* openButton = new QPushButton(QStringLiteral("&Open..."), this);
  openButton->setObjectName(QStringLiteral("OpenButton"));

  auto* pictureColumn = new QVBoxLayout;
  pictureColumn->addWidget(preview_);
  pictureColumn->addWidget(bitmapCombo_);
  pictureColumn->addStretch();
  auto* buttonColumn = new QVBoxLayout;
  for (QPushButton* button : {okButton, cancelButton, openButton}) buttonColumn->addWidget(button);
  buttonColumn->addStretch();
  auto* main = new QHBoxLayout(this);
  main->addLayout(pictureColumn);
  main->addWidget(layoutGroup, 0, Qt::AlignTop);
  main->addLayout(buttonColumn);
  main->setSizeConstraint(QLayout::SetFixedSize);

  connect(bitmapCombo_, &QComboBox::activated, this,
          Guarded([this](int index) { EntryChosen(index); }));
  connect(layoutButtons_, &QButtonGroup::idClicked, this,
          Guarded([this](int id) { SetPictureLayout(id); }));
  connect(okButton, &QPushButton::clicked, this, Guarded([this](bool) { accept(); }));
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(openButton, &QPushButton::clicked, this, Guarded([this](bool) { OpenClicked(); }));

  // A stored file that cannot be read is told here, once; its name stays in the settings (it
  // may be on a disk not mounted now) until the user chooses again with OK.
  const TBackgroundPictureSettings settings = ReadBackgroundPictureSettings();
  if (settings.selection == kFileEntry)
    SetBitmapFile(settings.fileName);
  else
    SetSelection(settings.selection);
  SetPictureLayout(settings.layout);
}

void TBackgroundBitmapDlg::SetPictureLayout(int layout) {
  layout_ = PictureLayoutFrom(layout);
  layoutButtons_->button(layout_)->setChecked(true);
  preview_->update();
}

void TBackgroundBitmapDlg::SetSelection(int selection) {
  if (selection == kFileEntry)
    throw Exception(QStringLiteral("Use BitmapFile to set bitmap file name."));
  selection_ = selection == 1 ? 1 : 0;
  picture_ = selection_ == 1 ? MusicalStaffPicture() : QImage();
  bitmapFile_.clear();
  RemoveFileEntry();
  bitmapCombo_->setCurrentIndex(selection_);
  preview_->update();
}

void TBackgroundBitmapDlg::SetBitmapFile(const QString& fileName) {
  if (fileName.isEmpty()) {
    SetSelection(0);
    return;
  }
  const TPictureLoadResult loaded = LoadPictureFile(fileName);
  if (loaded.picture.isNull()) {
    MessageDlg(loaded.error, mtError, mbOK, this);
    SetSelection(0);
    return;
  }
  UseFile(fileName, loaded.picture);
}

void TBackgroundBitmapDlg::UseFile(const QString& fileName, const QImage& picture) {
  picture_ = picture;
  selection_ = kFileEntry;
  bitmapFile_ = fileName;
  if (bitmapCombo_->count() > kFileEntry)
    bitmapCombo_->setItemText(kFileEntry, fileName);
  else
    bitmapCombo_->addItem(fileName);
  bitmapCombo_->setCurrentIndex(kFileEntry);
  preview_->update();
}

void TBackgroundBitmapDlg::accept() {
  WriteBackgroundPictureSettings(
      {selection_ == kFileEntry ? bitmapFile_ : QString(), selection_, layout_});
  QDialog::accept();
}

void TBackgroundBitmapDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* shown = screen())
    move(shown->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TBackgroundBitmapDlg::EntryChosen(int index) {
  if (index == kFileEntry)
    SetBitmapFile(bitmapCombo_->itemText(kFileEntry));
  else
    SetSelection(index == 1 ? 1 : 0);
}

void TBackgroundBitmapDlg::OpenClicked() {
  TFileDialogRequest request;
  request.kind = TFileDialogRequest::Open;
  request.title = QStringLiteral("Open Background Picture");
  request.filter = PictureFilter();
  request.defaultSuffix = QStringLiteral("bmp");
  const QString fileName = AskFileName(this, request);
  if (!fileName.isEmpty()) SetBitmapFile(fileName);
}

void TBackgroundBitmapDlg::RemoveFileEntry() {
  while (bitmapCombo_->count() > kFileEntry) bitmapCombo_->removeItem(kFileEntry);
}

int ShowBackgroundPictureDialog(TBackgroundBitmapDlg& dialog) {
  if (auto answer = TBackgroundPictureSeam::Ask({&dialog})) return *answer;
  return ExecModal(dialog);
}
