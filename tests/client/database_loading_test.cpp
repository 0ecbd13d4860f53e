// Loading and binding the library, tried against stand-ins with exports left out.
#include "client/database.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "client_test_environment.h"
#include "platform/exceptions.h"

namespace {

QString MessageOfConstruction(const TLibrarySearch& search) {
  try {
    TReelsmithDB db(nullptr, search);
  } catch (const EMissingMethod& e) {
    return e.Message();
  }
  return "(constructed)";
}

// The name the program looks for: the library's SONAME.
const QString kName = QString::fromLatin1(kReelsmithLibraryName);

QString MissingText(const char* name) {
  return QString(
             "libReelsmithDB.so.1 is missing the %1 function.  You may need a newer version "
             "of the DLL.")
      .arg(name);
}

bool StillLoaded(const QString& path) {
  void* h = ::dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_NOLOAD);
  if (h) ::dlclose(h);
  return h != nullptr;
}

TEST(RsdbLoad, TheFirstMissingFunctionInBindingOrderIsReported) {
  EXPECT_EQ(MessageOfConstruction(StubLibrary("no_baget")), MissingText("BAGet"));
  EXPECT_EQ(MessageOfConstruction(StubLibrary("no_loaddb_baget")), MissingText("LoadDb"));
  // A failed construction lets the library go again.
  EXPECT_FALSE(StillLoaded(StubFolder("no_loaddb_baget") + "/" + kName));
}

TEST(RsdbLoad, TheComponentInitialisesTheCatalogueOnceAndFreesItBeforeUnloading) {
  const QString path = StubFolder("full") + "/" + kName;
  void* keep = nullptr;  // holds the library past the component, to read its counters
  {
    TReelsmithDB db(nullptr, StubLibrary("full"));
    EXPECT_EQ(db.LibraryPath(), path);
    EXPECT_FALSE(db.DeferEvents());
    EXPECT_FALSE(db.Editing());
    EXPECT_EQ(db.CurrentAlbum(), nullptr);
    keep = ::dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_NOLOAD);
    ASSERT_NE(keep, nullptr);
  }
  auto inits = reinterpret_cast<int (*)()>(::dlsym(keep, "StubDbInitCalls"));
  auto cleanups = reinterpret_cast<int (*)()>(::dlsym(keep, "StubCleanupDbCalls"));
  ASSERT_TRUE(inits && cleanups);
  EXPECT_EQ(inits(), 1);
  EXPECT_EQ(cleanups(), 1);
  ::dlclose(keep);
  EXPECT_FALSE(StillLoaded(path));
}

TEST(RsdbLoad, AMissingLibraryNamesItsFileAndEveryPlaceSearched) {
  QTemporaryDir a, b;
  TLibrarySearch search;
  search.Folders << a.path() << b.path();
  search.SystemSearch = false;
  EXPECT_EQ(MessageOfConstruction(search),
            "Could not find libReelsmithDB.so.1.  Please check that it is in " + a.path() +
                " or in " + b.path() + ".");
  search.SystemSearch = true;
  EXPECT_EQ(MessageOfConstruction(search),
            "Could not find libReelsmithDB.so.1.  Please check that it is in " + a.path() +
                ", in " + b.path() + " or in the path.");
}

TEST(RsdbLoad, TheLibraryIsFoundByItsSonameNotByTheDevelopmentLink) {
  // A folder with only the bare name (as a -dev package installs it) is passed over.
  QTemporaryDir bare, soname;
  ASSERT_TRUE(QFile::copy(StubFolder("full") + "/" + kName, bare.filePath("libReelsmithDB.so")));
  ASSERT_TRUE(QFile::copy(StubFolder("full") + "/" + kName, soname.filePath(kName)));
  TLibrarySearch search;
  search.Folders << bare.path() << soname.path();
  search.SystemSearch = false;
  TReelsmithDB db(nullptr, search);
  EXPECT_EQ(db.LibraryPath(), soname.filePath(kName));
}

TEST(RsdbLoad, RecordClassesBindTheirFunctionsAtTheirFirstConstruction) {
  TReelsmithDB db(nullptr,
                  StubLibrary("late"));  // lacks GETSONGTITLE (not GetSongTitle) and AddSong
  EXPECT_NO_THROW(TReelsmithArtist(&db, nullptr));
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      TReelsmithSong song(&db, nullptr);
      ADD_FAILURE() << "song constructed";
    } catch (const EMissingMethod& e) {
      EXPECT_EQ(e.Message(), MissingText("GETSONGTITLE"));
    }
  }
  try {
    TReelsmithAlbum::CreateNew(&db, "Title", "", "", 0, 0, 0);
    ADD_FAILURE() << "album created";
  } catch (const EMissingMethod& e) {
    EXPECT_EQ(e.Message(), MissingText("AddSong"));
  }
}

TEST(RsdbLoad, AdditionsTheLibraryRefusesRaiseAndAnnounceNothing) {
  TReelsmithDB db(nullptr, StubLibrary("full"));  // every addition returns null
  EventLog log(&db);
  auto expectRefused = [](auto call, const char* text) {
    try {
      call();
      ADD_FAILURE() << "no exception for: " << text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), text);
    }
  };
  expectRefused([&] { TReelsmithArtist::CreateNew(&db, "A"); }, "Unable to add artist");
  expectRefused([&] { TReelsmithAlbum::CreateNew(&db, "T", "", "", 0, 0, 0); },
                "Unable to add album");
  int fake = 0;
  TReelsmithAlbum album(&db, &fake);
  TReelsmithArtist artist(&db, &fake);
  expectRefused([&] { album.AddSong("S", 60, artist, 1); }, "Unable to add song");
  EXPECT_TRUE(log.codes.empty());
}

TEST(RsdbLoad, EachFunctionIsLookedUpOncePerComponent) {
  TReelsmithDB db(nullptr, StubLibrary("full"));
  EXPECT_EQ(db.LookupCount(), 37);  // the catalogue's functions, bound at construction
  int fake = 0;
  for (int i = 0; i < 3; ++i) {
    TReelsmithSong song(&db, &fake);
    TReelsmithArtist artist(&db, &fake);
    TReelsmithAlbum album(&db, &fake);
  }
  // Then each record class's functions once: 4 for songs, 2 for artists, 7 for albums.
  EXPECT_EQ(db.LookupCount(), 37 + 4 + 2 + 7);
}

std::string Canonical(const QString& path) {
  return QFileInfo(path).canonicalFilePath().toStdString();
}

// A stand-in installed folder holding a decoy: the stub library, told apart by its path.
class RsdbInstalledFolder : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(QFile::copy(StubFolder("full") + "/" + kName, Decoy())); }
  QString Decoy() const { return installed.filePath(kName); }

  QTemporaryDir installed;
};

TEST_F(RsdbInstalledFolder, TheProgramsOwnFolderIsSearchedFirst) {
  // This test program's folder holds the real library.
  const TLibrarySearch search = TLibrarySearch::Default(installed.path());
  ASSERT_EQ(search.Folders.size(), 2);
  EXPECT_EQ(Canonical(search.Folders[0]), Canonical(QFileInfo(RS_LIB_PATH).absolutePath()));
  EXPECT_EQ(search.Folders[1].toStdString(), installed.path().toStdString());
  EXPECT_TRUE(search.SystemSearch);
  TReelsmithDB db(nullptr, search);
  EXPECT_EQ(Canonical(db.LibraryPath()), Canonical(QStringLiteral(RS_LIB_PATH)));
}

TEST_F(RsdbInstalledFolder, TheInstalledFolderServesWhenTheProgramsFolderLacksTheLibrary) {
  // A copy of this test program in a folder of its own runs the child case below.
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = '\0';
  QTemporaryDir programFolder;
  const QString program = programFolder.filePath("loading_test");
  ASSERT_TRUE(QFile::copy(QFile::decodeName(self), program));
  const QString out = programFolder.filePath("child.txt");
  const std::string cmd = "LD_LIBRARY_PATH= RS_CHILD_INSTALLED_DIR='" +
                          installed.path().toStdString() + "' '" + program.toStdString() +
                          "' --gtest_filter=RsdbInstalledFolderChild.* > '" + out.toStdString() +
                          "' 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  QFile f(out);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const std::string text = f.readAll().toStdString();
  EXPECT_NE(text.find("RESULT loaded " + Decoy().toStdString() + "\n"), std::string::npos) << text;
}

// Only runs as the child of the case above.
TEST(RsdbInstalledFolderChild, LoadWithTheDefaultSearch) {
  const char* installed = std::getenv("RS_CHILD_INSTALLED_DIR");
  if (!installed) GTEST_SKIP() << "runs only as a child process";
  try {
    TReelsmithDB db(nullptr, TLibrarySearch::Default(QString::fromLocal8Bit(installed)));
    std::printf("RESULT loaded %s\n", qPrintable(db.LibraryPath()));
  } catch (const EMissingMethod& e) {
    std::printf("RESULT %s\n", qPrintable(e.Message()));
  }
}

// The current directory is never searched: not through a relative folder in the list,
// and not through an empty or relative entry of LD_LIBRARY_PATH, which the system's
// search would honour.
class RsdbCurrentDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::copy(StubFolder("full") + "/" + kName, cwd.filePath(kName)));
    previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(cwd.path()));
  }
  void TearDown() override { QDir::setCurrent(previous); }

  // Runs this test program's child case in the current directory with the given
  // LD_LIBRARY_PATH; the child prints where it found the library or what was missing.
  // loaded tells whether the library's code ran at all (even if it was then refused).
  std::string RunChild(const char* ldLibraryPath, bool& loaded) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "no program path";
    self[n] = '\0';
    const QString out = empty.filePath("child.txt");
    const QString mark = empty.filePath("loaded");
    QFile::remove(mark);
    const std::string cmd =
        "LD_LIBRARY_PATH='" + std::string(ldLibraryPath) + "' RS_STUB_MARK='" + mark.toStdString() +
        "' RS_CHILD_EMPTY_DIR='" + empty.path().toStdString() + "' '" + self +
        "' --gtest_filter=RsdbCurrentDirectoryChild.* > '" + out.toStdString() + "' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    loaded = QFile::exists(mark);
    QFile f(out);
    if (!f.open(QIODevice::ReadOnly)) return "no child output";
    return f.readAll().toStdString();
  }

  QTemporaryDir cwd, empty;
  QString previous;
};

TEST_F(RsdbCurrentDirectory, RelativeFoldersInTheSearchAreSkipped) {
  TLibrarySearch search;
  search.Folders << "."
                 << "" << empty.path();
  search.SystemSearch = false;
  EXPECT_EQ(
      MessageOfConstruction(search),
      "Could not find libReelsmithDB.so.1.  Please check that it is in " + empty.path() + ".");
}

TEST_F(RsdbCurrentDirectory, EmptyOrRelativeLibraryPathEntriesAreNotFollowed) {
  bool loaded = false;
  for (const char* path : {"", ":", ".", "./", "x:.:/nonexistent"}) {
    const std::string out = RunChild(path, loaded);
    EXPECT_NE(out.find("RESULT Could not find libReelsmithDB.so.1."), std::string::npos)
        << "LD_LIBRARY_PATH=" << path << "\n"
        << out;
    EXPECT_FALSE(loaded) << "LD_LIBRARY_PATH=" << path;
  }
  // Control: the same library named by an absolute entry is found.
  const std::string out = RunChild(cwd.path().toStdString().c_str(), loaded);
  EXPECT_NE(out.find("RESULT loaded " + cwd.path().toStdString() + "/libReelsmithDB.so.1"),
            std::string::npos)
      << out;
  EXPECT_TRUE(loaded);
}

// Only runs as the child of the case above.
TEST(RsdbCurrentDirectoryChild, LoadWithTheSystemSearch) {
  const char* emptyDir = std::getenv("RS_CHILD_EMPTY_DIR");
  if (!emptyDir) GTEST_SKIP() << "runs only as a child process";
  TLibrarySearch search;
  search.Folders << QString::fromLocal8Bit(emptyDir);
  search.SystemSearch = true;
  try {
    TReelsmithDB db(nullptr, search);
    std::printf("RESULT loaded %s\n", qPrintable(db.LibraryPath()));
  } catch (const EMissingMethod& e) {
    std::printf("RESULT %s\n", qPrintable(e.Message()));
  }
}

}  // namespace
