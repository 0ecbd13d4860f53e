#include "cassette/background_picture_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app_test_environment.h"
#include "cassette/background_picture.h"
#include "picture_files.h"
#include "platform/exceptions.h"
#include "platform/profile.h"
#include "shell/file_dialogs.h"
#include "shell/help_context.h"
#include "shell/message_dialog.h"

namespace {

using namespace picture_test;

const QString kSection = QStringLiteral("BackgroundBitmap");

// Each test starts without a settings file, with a folder for its pictures and a recorder that
// answers every message box.
class PictureDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(SettingsPath());
    ASSERT_TRUE(folder_.isValid());
    redFile_ = WriteImage(folder_.filePath("red.png"), Filled(16, 8, Qt::red), "PNG");
    ASSERT_FALSE(redFile_.isEmpty());
  }
  static QString SettingsPath() { return TProfile(kSettingsFileName).FileName(); }
  static TProfile Settings() { return TProfile(kSettingsFileName); }
  static QByteArray SettingsBytes() {
    QFile file(SettingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
  }

  template <typename T>
  static T* Child(const QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static QStringList Entries(const TBackgroundBitmapDlg& dialog) {
    QStringList entries;
    auto* combo = Child<QComboBox>(dialog, "BitmapCombo");
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
  }
  static void Press(const TBackgroundBitmapDlg& dialog, const char* button) {
    Child<QAbstractButton>(dialog, button)->click();
  }

  QTemporaryDir folder_;
  QString redFile_;
  TMessageRecorder messages_;
};

TEST_F(PictureDialogTest, FirstStartShowsNoPictureCentred) {
  TBackgroundBitmapDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "Background Picture");
  EXPECT_EQ(HelpContextOf(&dialog), 90);
  EXPECT_EQ(Entries(dialog), QStringList({"[None]", "Musical Staff"}));
  EXPECT_EQ(Child<QComboBox>(dialog, "BitmapCombo")->currentIndex(), 0);
  EXPECT_EQ(dialog.Selection(), 0);
  EXPECT_TRUE(dialog.Picture().isNull());
  EXPECT_EQ(dialog.PictureLayout(), plCenter);
  EXPECT_TRUE(Child<QRadioButton>(dialog, "CenterButton")->isChecked());
  EXPECT_EQ(Child<QWidget>(dialog, "Preview")->size(), QSize(150, 97));
  EXPECT_TRUE(messages_.Asked().empty());
}

TEST_F(PictureDialogTest, OkStoresTheChoiceForTheNextOpening) {
  {
    TBackgroundBitmapDlg dialog;
    dialog.SetBitmapFile(redFile_);
    Press(dialog, "StretchButton");
    EXPECT_EQ(dialog.PictureLayout(), plStretch);
    Press(dialog, "OKButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_EQ(Settings().ReadString(kSection, "FileName", "?"), redFile_);
  EXPECT_EQ(Settings().ReadInteger(kSection, "Selection", -1), 2);
  EXPECT_EQ(Settings().ReadInteger(kSection, "Layout", -1), 2);
  {
    TBackgroundBitmapDlg dialog;
    EXPECT_EQ(dialog.Selection(), 2);
    EXPECT_EQ(dialog.BitmapFile(), redFile_);
    EXPECT_EQ(dialog.Picture().size(), QSize(16, 8));
    EXPECT_EQ(Entries(dialog), QStringList({"[None]", "Musical Staff", redFile_}));
    EXPECT_EQ(Child<QComboBox>(dialog, "BitmapCombo")->currentIndex(), 2);
    EXPECT_TRUE(Child<QRadioButton>(dialog, "StretchButton")->isChecked());

    // Choosing the staff in the list drops the file entry.
    emit Child<QComboBox>(dialog, "BitmapCombo")->activated(1);
    EXPECT_EQ(dialog.Selection(), 1);
    EXPECT_EQ(dialog.Picture(), MusicalStaffPicture());
    EXPECT_EQ(Entries(dialog), QStringList({"[None]", "Musical Staff"}));
    EXPECT_TRUE(dialog.BitmapFile().isEmpty());
    Press(dialog, "TileButton");
    dialog.accept();
  }
  EXPECT_EQ(Settings().ReadString(kSection, "FileName", "?"), "");
  EXPECT_EQ(Settings().ReadInteger(kSection, "Selection", -1), 1);
  EXPECT_EQ(Settings().ReadInteger(kSection, "Layout", -1), 0);
  TBackgroundBitmapDlg dialog;
  EXPECT_EQ(dialog.Selection(), 1);
  EXPECT_EQ(dialog.PictureLayout(), plTile);
  EXPECT_TRUE(messages_.Asked().empty());
}

TEST_F(PictureDialogTest, CancelLeavesTheSettingsAsTheyWere) {
  {
    TBackgroundBitmapDlg dialog;
    dialog.SetBitmapFile(redFile_);
    dialog.SetPictureLayout(plTile);
    Press(dialog, "CancelButton");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_FALSE(QFile::exists(SettingsPath()));

  Settings().WriteInteger(kSection, "Selection", 1);
  const QByteArray before = SettingsBytes();
  {
    TBackgroundBitmapDlg dialog;
    dialog.SetSelection(0);
    dialog.SetPictureLayout(plStretch);
    dialog.reject();
  }
  EXPECT_EQ(SettingsBytes(), before);
}

TEST_F(PictureDialogTest, StoredLayoutOutOfRangeReadsAsTile) {
  Settings().WriteInteger(kSection, "Layout", 5);
  TBackgroundBitmapDlg dialog;
  EXPECT_EQ(dialog.PictureLayout(), plTile);
  EXPECT_TRUE(Child<QRadioButton>(dialog, "TileButton")->isChecked());
  dialog.SetPictureLayout(-1);
  EXPECT_EQ(dialog.PictureLayout(), plTile);
}

TEST_F(PictureDialogTest, UnreadableStoredFileIsToldOnceAndKept) {
  const QString gone = folder_.filePath("unmounted/staff.png");
  Settings().WriteString(kSection, "FileName", gone);
  Settings().WriteInteger(kSection, "Layout", 2);
  {
    TBackgroundBitmapDlg dialog;
    ASSERT_EQ(messages_.Asked().size(), 1u);
    EXPECT_EQ(messages_.Asked()[0].text,
              "Unable to load " + gone + ".  Please check that it is a picture file.");
    EXPECT_EQ(messages_.Asked()[0].type, mtError);
    EXPECT_EQ(messages_.Asked()[0].buttons, mbOK);
    EXPECT_EQ(dialog.Selection(), 0);
    EXPECT_EQ(Entries(dialog), QStringList({"[None]", "Musical Staff"}));
    EXPECT_EQ(dialog.PictureLayout(), plStretch);
    dialog.reject();
  }
  EXPECT_EQ(messages_.Asked().size(), 1u);
  EXPECT_EQ(Settings().ReadString(kSection, "FileName", ""), gone);
  EXPECT_EQ(StoredBackgroundPicture().unreadableFile, gone);

  // OK stores what the user chose: here nothing.
  {
    TBackgroundBitmapDlg dialog;
    dialog.accept();
  }
  EXPECT_EQ(Settings().ReadString(kSection, "FileName", "?"), "");
  EXPECT_EQ(Settings().ReadInteger(kSection, "Selection", -1), 0);
  EXPECT_EQ(Settings().ReadInteger(kSection, "Layout", -1), 2);
}

TEST_F(PictureDialogTest, OpenOffersEveryPictureFormatAndRefusesWhatItCannotRead) {
  const QString garbage = WriteBytes(folder_.filePath("notes.bmp"), QByteArray(300, 'x'));
  std::vector<TFileDialogRequest> requests;
  QString answer = redFile_;
  TFileDialogSeam files([&](const TFileDialogRequest& request) {
    requests.push_back(request);
    return answer;
  });
  TBackgroundBitmapDlg dialog;
  Press(dialog, "OpenButton");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].kind, TFileDialogRequest::Open);
  EXPECT_EQ(requests[0].title, "Open Background Picture");
  for (const char* pattern : {"*.png", "*.jpg", "*.jpeg", "*.bmp", "*.gif"})
    EXPECT_TRUE(requests[0].filter.section(";;", 0, 0).contains(pattern)) << pattern;
  EXPECT_TRUE(requests[0].filter.startsWith("Pictures ("));
  EXPECT_TRUE(requests[0].filter.endsWith(";;Bitmaps (*.bmp)"));
  EXPECT_EQ(dialog.Selection(), 2);
  EXPECT_EQ(dialog.BitmapFile(), redFile_);

  answer = garbage;
  Press(dialog, "OpenButton");
  ASSERT_EQ(messages_.Asked().size(), 1u);
  EXPECT_EQ(messages_.Asked()[0].text,
            "Unable to load " + garbage + ".  Please check that it is a picture file.");
  EXPECT_EQ(messages_.Asked()[0].type, mtError);
  EXPECT_EQ(dialog.Selection(), 0);
  EXPECT_TRUE(dialog.Picture().isNull());
  EXPECT_EQ(Entries(dialog), QStringList({"[None]", "Musical Staff"}));

  answer.clear();  // cancelled: nothing changes
  Press(dialog, "OpenButton");
  EXPECT_EQ(dialog.Selection(), 0);
  EXPECT_EQ(messages_.Asked().size(), 1u);
}

TEST_F(PictureDialogTest, SelectionTwoIsSetOnlyThroughTheFileName) {
  TBackgroundBitmapDlg dialog;
  dialog.SetSelection(1);
  try {
    dialog.SetSelection(2);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Use BitmapFile to set bitmap file name.");
  }
  EXPECT_EQ(dialog.Selection(), 1);
  dialog.SetBitmapFile(redFile_);
  dialog.SetBitmapFile(redFile_);  // one file entry, not two
  EXPECT_EQ(Entries(dialog), QStringList({"[None]", "Musical Staff", redFile_}));
  emit Child<QComboBox>(dialog, "BitmapCombo")->activated(0);
  EXPECT_EQ(dialog.Selection(), 0);
  EXPECT_TRUE(dialog.Picture().isNull());
}

TEST_F(PictureDialogTest, PreviewShowsTheChosenPicture) {
  TBackgroundBitmapDlg dialog;
  auto* preview = Child<QWidget>(dialog, "Preview");
  const QImage none = preview->grab().toImage();
  EXPECT_EQ(none.pixel(75, 48), qRgb(255, 255, 255));
  dialog.SetBitmapFile(redFile_);
  dialog.SetPictureLayout(plStretch);
  const QImage red = preview->grab().toImage();
  EXPECT_EQ(red.pixel(75, 48), qRgb(255, 0, 0));
  EXPECT_EQ(red.pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(PictureDialogTest, ShownThroughItsSeam) {
  TBackgroundPictureSeam seam([](const TBackgroundPictureRequest& request) {
    request.dialog->SetSelection(1);
    request.dialog->accept();
    return int(QDialog::Accepted);
  });
  TBackgroundBitmapDlg dialog;
  EXPECT_EQ(ShowBackgroundPictureDialog(dialog), QDialog::Accepted);
  EXPECT_EQ(Settings().ReadInteger(kSection, "Selection", -1), 1);
  EXPECT_EQ(StoredBackgroundPicture().picture, MusicalStaffPicture());
}

}  // namespace
