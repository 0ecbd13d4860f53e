#include "app_test_environment.h"

#include "cassette/background_picture.h"
#include "cassette/background_picture_dialog.h"
#include "cassette/cassette_insert_window.h"
#include "cassette/cassette_list.h"
#include "cassette/cassette_section.h"
#include "cassette/insert_printer.h"
#include "cassette/insert_section.h"
#include "cassette/song_arrangement.h"
#include "cassette/time_edit.h"
#include "catalogue/album_editor.h"
#include "catalogue/catalogue_window.h"
#include "catalogue/field_controls.h"
#include "catalogue/songs_grid.h"
#include "client/album_record.h"
#include "client/artist_record.h"
#include "client/database.h"
#include "platform/profile.h"
#include "select/album_selector.h"
#include "select/music_drag.h"
#include "shell/cancel_dialog.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/font_dialog.h"
#include "shell/message_dialog.h"
#include "shell/print_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QProcess>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

const QString kIni = QStringLiteral("ReelSmt.ini");
const QString kSection = QStringLiteral("CassetteInsert");

// Pages of a PDF file as pdfinfo reports them; -1 when it cannot be read.
int PdfPages(const QString& file) {
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {file});
  if (!info.waitForFinished(30000) || info.exitCode() != 0) return -1;
  for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  }
  return -1;
}

// Answers the print dialog: writes a PDF file with the given copies, and runs `during` once the
// printing has begun (it then runs from the events processed between the insert's steps).
class TPrintAnswers {
 public:
  explicit TPrintAnswers(QString file)
      : file_(std::move(file)), seam_([this](const TPrintDialogRequest& r) {
          ++asked;
          copiesAsked = r.printer->copyCount();
          if (!print) return false;
          r.printer->setOutputFormat(QPrinter::PdfFormat);
          r.printer->setOutputFileName(file_);
          r.printer->setCopyCount(copies);
          if (during) QTimer::singleShot(0, during);
          return true;
        }) {}
  int asked = 0;
  int copiesAsked = 0;
  int copies = 1;
  bool print = true;
  std::function<void()> during;

 private:
  QString file_;
  TPrintDialogSeam seam_;
};

QStringList Titles(const TCassetteList& list) {
  QStringList titles;
  for (int i = 0; i < list.EntryCount(); ++i) titles << list.EntryText(i);
  return titles;
}

bool MarkButtonShown(TCassetteInsert& window) {
  QToolButton* mark = window.Button("MarkButton");
  for (QAction* a : window.findChild<QToolBar*>(QStringLiteral("ToolBar"))->actions()) {
    if (window.findChild<QToolBar*>(QStringLiteral("ToolBar"))->widgetForAction(a) == mark)
      return a->isVisible();
  }
  return false;
}

class CassetteInsertWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QFile::remove(TProfile::ResolveFileName(QString::fromLatin1(kSettingsFileName)));
    QFile::remove(TProfile::ResolveFileName(kIni));
  }
  void TearDown() override {
    cassette_.reset();
    form_.reset();
  }

  // The catalogue window on the sample catalogue, and the cassette window given to it.
  void Open() {
    TLibrarySearch search;
    search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
    search.SystemSearch = false;
    const QString sample = dir_.filePath(QStringLiteral("sample.mus"));
    QFile::remove(sample);
    ASSERT_TRUE(QFile::copy(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"), sample));
    QFile::setPermissions(sample, QFile::ReadOwner | QFile::WriteOwner);
    form_ = std::make_unique<TReelsmithForm>(QStringList{sample}, search);
    form_->IdleStep();
    cassette_ = std::make_unique<TCassetteInsert>();
    form_->SetCassetteInsert(cassette_.get());
  }

  // A new cassette window on the present settings (the old one writes its settings first).
  TCassetteInsert& Reopen() {
    cassette_.reset();
    cassette_ = std::make_unique<TCassetteInsert>();
    if (form_) form_->SetCassetteInsert(cassette_.get());
    return *cassette_;
  }

  // The album selector's row as a press on it leaves it: the row's album in its tag.
  QObject* PressAlbum(int row) {
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    TAlbumSelector* albums = form_->AlbumSelector1();
    const QPoint at = albums->CellRect(0, row).center();
    QTest::mousePress(albums->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(albums->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(CarriesRecord(albums));
    return albums;
  }

  // An album of its own with songs of these lengths, "<prefix>1", "<prefix>2", ...
  std::unique_ptr<TReelsmithAlbum> Album(const QString& prefix, const std::vector<int>& times) {
    TReelsmithDB* db = form_->ReelsmithDB();
    if (!artist_) artist_ = TReelsmithArtist::CreateNew(db, QStringLiteral("Tester"));
    auto album = TReelsmithAlbum::CreateNew(db, "Album " + prefix, "", "", 0, 0, 0);
    album->BeginAddSong();
    for (size_t i = 0; i < times.size(); ++i)
      album->AddSong(prefix + QString::number(i + 1), times[i], *artist_, int(i + 1));
    album->FinishAddSong();
    return album;
  }

  QStringList Sequence() const {
    QStringList titles;
    for (const auto& song : cassette_->SongArrangement()->SongList()) titles << song->DisplayName();
    return titles;
  }

  QTemporaryDir dir_;
  std::unique_ptr<TReelsmithForm> form_;
  std::unique_ptr<TCassetteInsert> cassette_;
  std::unique_ptr<TReelsmithArtist> artist_;
};

TEST_F(CassetteInsertWindowTest, FirstStartShowsTheDefaults) {
  TCassetteInsert window;
  EXPECT_EQ(window.windowTitle(), "Reelsmith Cassette Insert");
  EXPECT_TRUE(window.Action("Layout1Menu")->isChecked());
  for (const char* item : {"Layout2Menu", "Layout3Menu", "Layout4Menu"})
    EXPECT_FALSE(window.Action(item)->isChecked()) << item;
  EXPECT_TRUE(window.Button("HorizontalUpLayout")->isChecked());
  EXPECT_EQ(window.InsertArranger()->Arrangement(), iaHCassetteUp);
  EXPECT_EQ(window.TimeEdit()->text(), "90:00");
  EXPECT_EQ(window.SongArrangement()->TapeLength(), 5400);
  EXPECT_EQ(window.ExtraSongTime()->text(), "0");
  EXPECT_EQ(window.SongArrangement()->PerSongDelta(), 0);
  EXPECT_FALSE(MarkButtonShown(window));
  EXPECT_TRUE(window.BackgroundPicture().isNull());
  EXPECT_EQ(window.PictureLayout(), plCenter);
  // Not resizable: the insert area fixes the window's size.
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_GE(window.width(), window.InsertArranger()->AreaWidth());
  EXPECT_GT(window.height(), window.InsertArranger()->AreaHeight());
  EXPECT_EQ(window.Action("PrintInsertMenu")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_EQ(window.Action("PrintSongListMenu")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
  EXPECT_EQ(window.Action("BackgroundBitmapMenu")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
}

TEST_F(CassetteInsertWindowTest, ListsAndFlapsStartInArialTenPointAndAChosenFontStays) {
  TCassetteInsert window;
  const std::vector<QWidget*> controls = {window.FrontFlap(), window.EdgeFlap(), window.Side1Flap(),
                                          window.Side2Flap(), window.ExcessSongs()};
  for (QWidget* control : controls) {
    SCOPED_TRACE(control->objectName().toStdString());
    EXPECT_EQ(control->font().family(), "Arial");
    EXPECT_EQ(control->font().pointSize(), 10);
    // Fontconfig gives Liberation Sans, which has Arial's metrics.
    EXPECT_EQ(QFontInfo(control->font()).family(), "Liberation Sans");
  }
  // A block of the printed insert holds 16 lines of it at any printer resolution.
  TInsertSection side;
  side.AssignFrom(window.Side1Flap());
  side.SetColumnHeight(TInsertPrinter::kColumnHeight);
  for (int dpi : {300, 600, 1200}) {
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(dpi / 0.0254));
    device.setDotsPerMeterY(qRound(dpi / 0.0254));
    EXPECT_EQ(side.LinesPerBlock(device), 16) << dpi;
  }

  // A font the user chooses replaces the starting one and stays when the window is shown and
  // laid out again.
  const QFont chosen(QStringLiteral("Liberation Serif"), 12);
  int asked = 0;
  TFontDialogSeam answer([&](const TFontDialogRequest& r) {
    ++asked;
    EXPECT_EQ(r.font.pointSize(), 10);
    return std::optional<QFont>(chosen);
  });
  window.Side1Flap()->FontItem()->trigger();
  window.FrontFlap()->MenuItems().last()->trigger();
  EXPECT_EQ(asked, 2);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.Action("Layout3Menu")->trigger();
  EXPECT_EQ(window.Side1Flap()->font(), chosen);
  EXPECT_EQ(window.FrontFlap()->font(), chosen);
  EXPECT_EQ(window.Side2Flap()->font().pointSize(), 10);
  side.AssignFrom(window.Side1Flap());
  EXPECT_EQ(side.Font(), chosen);
}

TEST_F(CassetteInsertWindowTest, StoredSettingsAreReadClampedAndWrittenAtTheEnd) {
  {
    TProfile settings(kIni);
    settings.WriteInteger(kSection, "Layout", 0);
    settings.WriteInteger(kSection, "TapeLength", 3600);
    settings.WriteInteger(kSection, "PerSongDelta", 15);
    settings.WriteInteger("Features", "MarkSongsOnTape", 1);
  }
  {
    TCassetteInsert window;
    EXPECT_EQ(window.InsertArranger()->Arrangement(), iaVCassetteUp);
    EXPECT_TRUE(window.Action("Layout3Menu")->isChecked());
    EXPECT_EQ(window.TimeEdit()->text(), "60:00");
    EXPECT_EQ(window.SongArrangement()->TapeLength(), 3600);
    EXPECT_EQ(window.ExtraSongTime()->text(), "9");
    EXPECT_EQ(window.SongArrangement()->PerSongDelta(), 9);
    EXPECT_TRUE(MarkButtonShown(window));
    window.Button("VerticalDownLayout")->click();
    window.StepExtraSongTime(-1);
  }
  TProfile settings(kIni);
  EXPECT_EQ(settings.ReadInteger(kSection, "Layout", -5), 1);
  EXPECT_EQ(settings.ReadInteger(kSection, "PerSongDelta", -5), 8);
  EXPECT_EQ(settings.ReadInteger(kSection, "TapeLength", -5), 3600);

  // A length of -1 (or less) stands for the default; so does a gap far below the range.
  settings.WriteInteger(kSection, "TapeLength", -1);
  settings.WriteInteger(kSection, "PerSongDelta", -40);
  TCassetteInsert window;
  EXPECT_EQ(window.TimeEdit()->text(), "90:00");
  EXPECT_EQ(window.SongArrangement()->TapeLength(), 5400);
  EXPECT_EQ(window.ExtraSongTime()->text(), "-9");
}

TEST_F(CassetteInsertWindowTest, InvalidTapeLengthAtTheEndWritesTheArrangedLength) {
  {
    TCassetteInsert window;
    window.TimeEdit()->setText("95:00");
    window.TimeEdit()->clearFocus();
    window.SongArrangement()->SetTapeLength(5700);
    window.TimeEdit()->setText("12:345");
  }
  EXPECT_EQ(TProfile(kIni).ReadInteger(kSection, "TapeLength", 0), 5700);
}

TEST_F(CassetteInsertWindowTest, LayoutItemsChooseTheirLayoutsAndAMissingItemCostsNothingElse) {
  TCassetteInsert window;
  const std::pair<const char*, int> items[] = {
      {"Layout1Menu", 2}, {"Layout2Menu", 3}, {"Layout3Menu", 0}, {"Layout4Menu", 1}};
  for (const auto& [item, value] : items) {
    window.Action(item)->trigger();
    EXPECT_EQ(int(window.InsertArranger()->Arrangement()), value) << item;
    EXPECT_TRUE(window.Action(item)->isChecked()) << item;
  }
  delete window.Action("Layout3Menu");
  ASSERT_EQ(window.Action("Layout3Menu"), nullptr);
  window.Button("VerticalUpLayout")->click();
  EXPECT_EQ(window.InsertArranger()->Arrangement(), iaVCassetteUp);
  for (const char* item : {"Layout1Menu", "Layout2Menu", "Layout4Menu"})
    EXPECT_FALSE(window.Action(item)->isChecked()) << item;
  window.Action("Layout2Menu")->trigger();
  EXPECT_TRUE(window.Button("HorizontalDownLayout")->isChecked());
}

TEST_F(CassetteInsertWindowTest, CassetteCommandShowsTheWindowConnectedToTheCatalogue) {
  Open();
  EXPECT_TRUE(form_->Action("CassetteInsertMenu")->isEnabled());
  EXPECT_TRUE(form_->Button("CassetteInsertButton")->isEnabled());
  EXPECT_FALSE(cassette_->isVisible());
  form_->Action("CassetteInsertMenu")->trigger();
  EXPECT_TRUE(cassette_->isVisible());
  EXPECT_EQ(cassette_->SongArrangement()->DataSource(), form_->ReelsmithDB());
  cassette_->Action("CloseMenu")->trigger();
  EXPECT_FALSE(cassette_->isVisible());
  ASSERT_NE(cassette_.get(), nullptr);  // closing hides; the window lives on
}

TEST_F(CassetteInsertWindowTest, AlbumsDroppedOnTheButtonOrASideAreAppendedAtTheEnd) {
  Open();
  TMessageRecorder messages;
  QObject* albums = PressAlbum(1);
  const int firstCount = Tag(albums)->Songs().Count();
  ASSERT_GT(firstCount, 0);
  // Drops on the cassette button reach the window even before it was ever shown.
  EXPECT_TRUE(form_->CassetteInsertButtonDragOver(albums));
  form_->CassetteInsertButtonDragDrop(albums);
  const QStringList first = Sequence();
  ASSERT_EQ(first.size(), firstCount);
  EXPECT_EQ(cassette_->SongArrangement()->DataSource(), form_->ReelsmithDB());
  EXPECT_EQ(Titles(*cassette_->Side1Flap()).first(), first.first());

  PressAlbum(2);
  const TOwnerList<TReelsmithSong> second = Tag(albums)->Songs();
  ASSERT_GT(second.Count(), 0);
  // Onto the top of side 2: still the end of the cassette.
  cassette_->OnSideDragDrop(cassette_->Side2Flap(), albums, QPoint(2, 2));
  const QStringList after = Sequence();
  ASSERT_EQ(after.size(), firstCount + second.Count());
  EXPECT_EQ(after.mid(0, firstCount), first);
  EXPECT_EQ(after.last(), second[second.Count() - 1]->DisplayName());
  EXPECT_TRUE(messages.Asked().empty());

  // The album editor asks the window about the album's songs, and takes them off.
  const TReelsmithAlbum& album = static_cast<const TReelsmithAlbum&>(*Tag(albums));
  EXPECT_TRUE(form_->AlbumEditor()->HasMusic(album));
  form_->AlbumEditor()->RemoveMusic(album);
  EXPECT_FALSE(form_->AlbumEditor()->HasMusic(album));
  EXPECT_EQ(Sequence(), first);
}

TEST_F(CassetteInsertWindowTest, DraggingBetweenListsReordersTheCassette) {
  Open();
  form_->FileNew();
  auto a = Album("A", {600, 600, 600, 600, 600, 600, 600, 600, 600, 600});
  form_->CassetteInsertButtonDragDrop(nullptr);  // nothing to drop
  cassette_->SetDataSource(form_->ReelsmithDB());
  cassette_->SongArrangement()->AddSongs(*a);
  TCassetteList* side1 = cassette_->Side1Flap();
  TCassetteList* side2 = cassette_->Side2Flap();
  ASSERT_EQ(Titles(*side1), QStringList({"A1", "A2", "A3", "A4"}));
  ASSERT_EQ(Titles(*side2), QStringList({"A5", "A6", "A7", "A8"}));
  cassette_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(cassette_.get()));

  // A press highlights the entry the drag will carry.
  SetTag(side1, side1->EntrySong(0));
  const QPoint onA6 = side2->visualItemRect(side2->item(1)).center();
  EXPECT_TRUE(cassette_->OnSideDragOver(side2, side1, onA6));
  cassette_->OnSideDragDrop(side2, side1, onA6);
  EXPECT_EQ(Titles(*side1), QStringList({"A2", "A3", "A4", "A5"}));
  EXPECT_EQ(Titles(*side2), QStringList({"A1", "A6", "A7", "A8"}));

  // Below the last entry: after it.
  SetTag(side2, side2->EntrySong(0));
  cassette_->OnSideDragDrop(side1, side2, QPoint(5, side1->viewport()->height() - 2));
  EXPECT_EQ(Sequence().mid(0, 5), QStringList({"A2", "A3", "A4", "A5", "A1"}));

  // A song dragged from a list onto the cassette button goes on a second time.
  SetTag(side1, side1->EntrySong(0));
  form_->CassetteInsertButtonDragDrop(side1);
  EXPECT_EQ(Sequence().size(), 11);
  EXPECT_EQ(Sequence().last(), "A2");
}

TEST_F(CassetteInsertWindowTest, DragOutOfAListStartsOnlyOnceTheMouseMoved) {
  Open();
  form_->FileNew();
  auto a = Album("A", {600, 600, 600});
  cassette_->SetDataSource(form_->ReelsmithDB());
  cassette_->SongArrangement()->AddSongs(*a);
  cassette_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(cassette_.get()));
  TCassetteList* side1 = cassette_->Side1Flap();
  QWidget* viewport = side1->viewport();
  const QPoint at = side1->visualItemRect(side1->item(1)).center();
  QTest::mousePress(viewport, Qt::LeftButton, {}, at);
  EXPECT_FALSE(CarriesRecord(side1));  // a press alone starts nothing

  auto moveTo = [&](const QPoint& to) {
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
  };
  moveTo(at + QPoint(1, 0));  // within the drag distance: still no drag
  EXPECT_FALSE(CarriesRecord(side1));
  // (Offscreen, the drag itself ends at once; what it carried stays in the tag.)
  moveTo(at + QPoint(0, 3 * QApplication::startDragDistance()));
  EXPECT_EQ(Tag(side1), static_cast<TReelsmithRecord*>(side1->EntrySong(1)));
}

TEST_F(CassetteInsertWindowTest, TheWholeClientAreaTakesDropsButTheFlaps) {
  Open();
  QObject* albums = PressAlbum(0);
  cassette_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(cassette_.get()));
  const QWidget* area = cassette_->findChild<QWidget*>(QStringLiteral("InsertArea"));
  ASSERT_NE(area, nullptr);
  const QRect insert(area->mapTo(cassette_.get(), QPoint(0, 0)), area->size());
  // The toolbar makes the window wider than the insert area: a strip beside the flaps and
  // sides that belongs to the window itself.
  ASSERT_GT(cassette_->width(), insert.right() + 4);
  const QWidget* flap = cassette_->FrontFlap();
  const QPoint onFlap = flap->mapTo(cassette_.get(), flap->rect().center());
  const QPoint besideFlap(insert.right() + 4, onFlap.y());
  const QPoint besideSides(insert.right() + 4, insert.bottom() - 4);
  for (const QPoint& strip : {besideFlap, besideSides}) {
    EXPECT_EQ(cassette_->childAt(strip), nullptr) << strip.x() << "," << strip.y();
    for (QEvent::Type type : {QEvent::DragEnter, QEvent::DragMove, QEvent::Drop})
      EXPECT_TRUE(cassette_->TakesWindowDrag(type, albums, strip)) << type;
    EXPECT_FALSE(cassette_->TakesWindowDrag(QEvent::DragEnter, nullptr, strip));
  }
  // A drag entering over a flap is taken, so that the moves on to the strip reach the window;
  // over the flap it may not drop.
  EXPECT_TRUE(cassette_->TakesWindowDrag(QEvent::DragEnter, albums, onFlap));
  EXPECT_FALSE(cassette_->TakesWindowDrag(QEvent::DragMove, albums, onFlap));
  EXPECT_FALSE(cassette_->TakesWindowDrag(QEvent::Drop, albums, onFlap));

  cassette_->OnSideDragDrop(cassette_.get(), albums, besideFlap);
  EXPECT_FALSE(cassette_->SongArrangement()->SongList().IsEmpty());
}

TEST_F(CassetteInsertWindowTest, DropsOfStaleSongsOrWithoutSourceAreIgnored) {
  Open();
  form_->FileNew();
  auto a = Album("A", {600, 600, 600});
  cassette_->SetDataSource(form_->ReelsmithDB());
  cassette_->SongArrangement()->AddSongs(*a);
  TCassetteList* side1 = cassette_->Side1Flap();
  SetTag(side1, side1->EntrySong(0));
  cassette_->ClearSongs();
  ASSERT_TRUE(Sequence().isEmpty());
  // The tag still points at the song that left with the clearing: nothing may use it.
  form_->CassetteInsertButtonDragDrop(side1);
  cassette_->OnSideDragDrop(cassette_->Side2Flap(), side1, QPoint(2, 2));
  cassette_->OnSideDragDrop(cassette_.get(), nullptr, QPoint(2, 2));
  EXPECT_TRUE(Sequence().isEmpty());
  EXPECT_FALSE(cassette_->OnSideDragOver(cassette_.get(), nullptr, QPoint()));
}

TEST_F(CassetteInsertWindowTest, OptimizeFillsBothSidesExactly) {
  Open();
  form_->FileNew();
  auto a = Album("A", {2000, 700, 2000, 700, 2000});
  cassette_->SetDataSource(form_->ReelsmithDB());
  cassette_->SongArrangement()->SetTapeLength(5400);
  cassette_->SongArrangement()->AddSongs(*a);
  ASSERT_FALSE(cassette_->ExcessSongs()->EntryCount() == 0);
  cassette_->Action("OptimizeMenu")->trigger();
  EXPECT_EQ(cassette_->Side1Length()->text(), "45:00");
  EXPECT_EQ(cassette_->Side2Length()->text(), "45:00");
  EXPECT_EQ(cassette_->ExcessSongs()->EntryCount(), 1);
}

TEST_F(CassetteInsertWindowTest, TapeLengthIsCheckedWhenTheFieldIsLeft) {
  TMessageRecorder messages;
  TCassetteInsert window;
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  TTimeEdit* field = window.TimeEdit();
  field->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }));

  // 95 reads as 95 seconds: more than 59.
  field->selectAll();
  QTest::keyClicks(field, "95");
  QTest::keyClick(field, Qt::Key_Return);
  QTRY_COMPARE(messages.Asked().size(), size_t(1));
  EXPECT_EQ(messages.Asked()[0].text,
            "Illegal value in cassette playing time field. Please enter a time as MM:SS (e.g "
            "1:35).");
  EXPECT_EQ(messages.Asked()[0].type, mtError);
  EXPECT_EQ(field->text(), "90:00");
  EXPECT_EQ(window.SongArrangement()->TapeLength(), 5400);
  QTRY_VERIFY(field->hasFocus());

  field->selectAll();
  QTest::keyClicks(field, "95:00");
  QTest::keyClick(field, Qt::Key_Return);
  QTRY_COMPARE(window.SongArrangement()->TapeLength(), 5700);
  EXPECT_EQ(window.SongArrangement()->TapeLength() / 2, 47 * 60 + 30);
  EXPECT_EQ(messages.Asked().size(), size_t(1));
}

TEST_F(CassetteInsertWindowTest, GapArrowsStopAtNineEitherWay) {
  TProfile(kIni).WriteInteger(kSection, "PerSongDelta", 15);
  TCassetteInsert window;
  EXPECT_EQ(window.ExtraSongTime()->text(), "9");
  window.findChild<QToolButton*>("SpinButton1Up")->click();
  EXPECT_EQ(window.ExtraSongTime()->text(), "9");
  for (int i = 0; i < 20; ++i) window.findChild<QToolButton*>("SpinButton1Down")->click();
  EXPECT_EQ(window.ExtraSongTime()->text(), "-9");
  EXPECT_EQ(window.SongArrangement()->PerSongDelta(), -9);
  window.findChild<QToolButton*>("SpinButton1Up")->click();
  EXPECT_EQ(window.ExtraSongTime()->text(), "-8");
  EXPECT_EQ(window.SongArrangement()->PerSongDelta(), -8);
}

class CassettePrintTest : public CassetteInsertWindowTest {
 protected:
  void Fill(int songs) {
    Open();
    form_->FileNew();
    std::vector<int> times(size_t(songs), 120);
    album_ = Album("S", times);
    cassette_->SetDataSource(form_->ReelsmithDB());
    cassette_->SongArrangement()->AddSongs(*album_);
    cassette_->FrontFlap()->setPlainText("Front");
  }
  QString Pdf() const { return dir_.filePath("out.pdf"); }
  std::unique_ptr<TReelsmithAlbum> album_;
};

TEST_F(CassettePrintTest, PrintInsertWritesOnePagePerCopy) {
  Fill(6);
  TPrintAnswers answers(Pdf());
  answers.copies = 2;
  cassette_->Action("PrintInsertMenu")->trigger();
  EXPECT_EQ(answers.asked, 1);
  EXPECT_EQ(answers.copiesAsked, 1);  // the dialog always opens on one copy
  EXPECT_EQ(PdfPages(Pdf()), 2);
  EXPECT_EQ(cassette_->CancelDlgWrapper()->Dialog(), nullptr);  // the progress window is gone

  // Cancelled in the print dialog: nothing printed.
  QFile::remove(Pdf());
  answers.print = false;
  cassette_->PrintInsert();
  EXPECT_FALSE(QFile::exists(Pdf()));
}

TEST_F(CassettePrintTest, CancelInTheProgressWindowStopsTheRemainingCopies) {
  Fill(6);
  TPrintAnswers answers(Pdf());
  answers.copies = 3;
  answers.during = [this] {
    if (TCancelDialog* dialog = cassette_->CancelDlgWrapper()->Dialog()) dialog->CancelBtn->click();
  };
  cassette_->PrintInsert();
  EXPECT_TRUE(cassette_->InsertPrinter()->Aborted());
  EXPECT_EQ(PdfPages(Pdf()), 1);
}

TEST_F(CassettePrintTest, WhilePrintingTheWindowAndProgramRefuseToCloseOrPrintAgain) {
  Fill(6);
  form_->show();
  cassette_->show();
  TPrintAnswers answers(Pdf());
  bool printing = false, cassetteOpen = false, formOpen = false;
  answers.during = [&] {
    printing = cassette_->Printing();
    cassette_->PrintInsert();
    cassette_->PrintSongList();
    cassette_->close();
    cassetteOpen = cassette_->isVisible();
    form_->close();
    formOpen = form_->isVisible();
  };
  cassette_->PrintInsert();
  EXPECT_TRUE(printing);
  EXPECT_EQ(answers.asked, 1);  // neither second print asked for a printer
  EXPECT_TRUE(cassetteOpen);
  EXPECT_TRUE(formOpen);
  EXPECT_FALSE(cassette_->Printing());
  EXPECT_EQ(PdfPages(Pdf()), 1);
  cassette_->close();
  EXPECT_FALSE(cassette_->isVisible());
}

TEST_F(CassettePrintTest, SongListPrintsAllSongsInOneFile) {
  Fill(80);  // 80 songs of two minutes: 22 on each side, the rest excess
  TPrintAnswers answers(Pdf());
  answers.copies = 3;
  cassette_->Action("PrintSongListMenu")->trigger();
  EXPECT_EQ(answers.copiesAsked, 1);
  EXPECT_EQ(cassette_->Printer().copyCount(), 1);
  // A4 or Letter at 11 points: the 44 rows take one page; three copies to one file do not
  // write over each other or multiply the file.
  const int pages = PdfPages(Pdf());
  EXPECT_EQ(pages, 1);
}

TEST_F(CassettePrintTest, PreviewsDrawWhatPrintingWouldAndSetupUsesTheSamePrinter) {
  Fill(6);
  QPrinter* setupPrinter = nullptr;
  TPrinterSetupSeam setup([&](const TPrinterSetupRequest& r) {
    setupPrinter = r.printer;
    return true;
  });
  cassette_->Action("PrintSetupMenu")->trigger();
  EXPECT_EQ(setupPrinter, &cassette_->Printer());

  int previews = 0;
  TPrintPreviewSeam preview([&](const TPrintPreviewRequest& r) {
    ++previews;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(Pdf());
    r.paint(&pdf);
    return int(QDialog::Accepted);
  });
  cassette_->Action("PreviewInsertMenu")->trigger();
  EXPECT_EQ(PdfPages(Pdf()), 1);
  QProcess text;
  text.start("pdftotext", {Pdf(), "-"});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString insert = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(insert.contains("Front")) << insert.toStdString();
  EXPECT_TRUE(insert.contains("S6")) << insert.toStdString();

  QFile::remove(Pdf());
  cassette_->Action("PreviewSongListMenu")->trigger();
  EXPECT_EQ(previews, 2);
  EXPECT_EQ(PdfPages(Pdf()), 1);
}

TEST_F(CassetteInsertWindowTest, MarkSetsTheSongsGridsMarks) {
  TProfile(kIni).WriteInteger("Features", "MarkSongsOnTape", 1);
  Open();
  ASSERT_TRUE(form_->SongsGrid()->MarkSongsUsedOnTape());
  ASSERT_TRUE(MarkButtonShown(*cassette_));
  TMessageRecorder messages;
  form_->show();
  form_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  form_->AlbumSelector1()->setFocus();
  PressAlbum(1);  // the album the selector's focus shows in the songs grid
  QTRY_VERIFY(form_->ReelsmithDB()->CurrentAlbum() != nullptr);
  TReelsmithAlbum* current = form_->ReelsmithDB()->CurrentAlbum();
  cassette_->SetDataSource(form_->ReelsmithDB());
  cassette_->SongArrangement()->AddSongs(*current);
  const int onSides = cassette_->Side1Flap()->EntryCount() + cassette_->Side2Flap()->EntryCount();
  ASSERT_GT(onSides, 0);
  EXPECT_FALSE(form_->SongsGrid()->SongOnTape(1));
  cassette_->Button("MarkButton")->click();
  EXPECT_TRUE(form_->SongsGrid()->SongOnTape(1));
  for (int i = 0; i < cassette_->Side1Flap()->EntryCount(); ++i)
    EXPECT_TRUE(cassette_->Side1Flap()->EntrySong(i)->UsedOnTape()) << i;
}

TEST_F(CassetteInsertWindowTest, ANewCatalogueEmptiesTheCassette) {
  Open();
  TMessageRecorder messages;
  form_->CassetteInsertButtonDragDrop(PressAlbum(1));
  ASSERT_FALSE(Sequence().isEmpty());
  form_->FileNew();
  EXPECT_TRUE(Sequence().isEmpty());
  EXPECT_EQ(cassette_->Side1Flap()->EntryCount(), 0);
}

// The album shown can be dragged by its title onto the cassette button, but not while edited.
TEST_F(CassetteInsertWindowTest, TheAlbumTitleDragsTheShownAlbumOntoTheCassetteButton) {
  Open();
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  TReelsmithDB* db = form_->ReelsmithDB();
  TAlbumSelector* albums = form_->AlbumSelector1();
  db->SetCurrentSelector(albums);
  albums->FocusCell(albums->FixedCols(), albums->FixedRows());
  ASSERT_NE(db->CurrentAlbum(), nullptr);
  const int songs = int(db->CurrentAlbum()->Songs().Count());
  ASSERT_GT(songs, 0);

  int drags = 0;
  TMusicDragSeam drop([&](const TMusicDragRequest& r) {
    ++drags;
    EXPECT_EQ(Tag(r.source)->DisplayName(), db->CurrentAlbum()->DisplayName());
    form_->CassetteInsertButtonDragDrop(r.source);
    return true;
  });
  QWidget* title = form_->FieldCtrl(0)->Edit();
  const QPoint from = title->rect().center();
  const QPoint to = from + QPoint(QApplication::startDragDistance() + 2, 0);
  const auto dragTitle = [&] {
    QTest::mousePress(title, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), title->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(title, &move);
    QTest::mouseRelease(title, Qt::LeftButton, {}, to);
  };
  dragTitle();
  EXPECT_EQ(drags, 1);
  EXPECT_EQ(Sequence().size(), songs);

  // A press that moves less than the drag distance starts nothing.
  QTest::mousePress(title, Qt::LeftButton, {}, from);
  QMouseEvent nudge(QEvent::MouseMove, QPointF(from + QPoint(1, 0)),
                    title->mapToGlobal(QPointF(from + QPoint(1, 0))), Qt::NoButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(title, &nudge);
  QTest::mouseRelease(title, Qt::LeftButton, {}, from);
  EXPECT_EQ(drags, 1);

  TMessageRecorder answers;
  answers.Answer(mrYes);  // the cassette question before editing
  form_->EditAlbum();
  ASSERT_TRUE(db->Editing());
  dragTitle();
  EXPECT_EQ(drags, 1);
}

// The picture comes from the stored choice at start; the command changes it on OK only.
TEST_F(CassetteInsertWindowTest, BackgroundPictureComesFromTheStoredChoiceAndTheDialogsOk) {
  WriteBackgroundPictureSettings({QString(), 1, plStretch});  // the built-in staff, stretched
  TCassetteInsert window;
  EXPECT_EQ(window.BackgroundPicture().size(), QSize(200, 130));
  EXPECT_EQ(window.PictureLayout(), plStretch);

  int asked = 0;
  const auto chooseNoneTiled = [&](const TBackgroundPictureRequest& r, bool ok) {
    ++asked;
    r.dialog->SetSelection(0);
    r.dialog->SetPictureLayout(plTile);
    if (!ok) return int(QDialog::Rejected);
    r.dialog->accept();
    return int(QDialog::Accepted);
  };
  {
    TBackgroundPictureSeam cancel(
        [&](const TBackgroundPictureRequest& r) { return chooseNoneTiled(r, false); });
    window.Action("BackgroundBitmapMenu")->trigger();
  }
  EXPECT_EQ(window.BackgroundPicture().size(), QSize(200, 130));
  EXPECT_EQ(window.PictureLayout(), plStretch);
  EXPECT_EQ(ReadBackgroundPictureSettings().selection, 1);
  {
    TBackgroundPictureSeam ok(
        [&](const TBackgroundPictureRequest& r) { return chooseNoneTiled(r, true); });
    window.Button("BackgroundBitmapButton")->click();
  }
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(window.BackgroundPicture().isNull());
  EXPECT_EQ(window.PictureLayout(), plTile);
  EXPECT_EQ(ReadBackgroundPictureSettings().selection, 0);

  // The window keeps its own copy of a picture it is given.
  QImage picture(16, 16, QImage::Format_RGB32);
  picture.fill(Qt::gray);
  window.SetBackgroundPicture(picture, plCenter);
  picture.fill(Qt::black);
  EXPECT_EQ(window.BackgroundPicture().pixelColor(0, 0), QColor(Qt::gray));
}

}  // namespace
