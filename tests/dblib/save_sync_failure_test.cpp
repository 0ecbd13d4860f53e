// A save whose sync to disk fails. This program defines fsync itself, so the library
// linked into it calls this one: it fails with EIO for every file inside a folder named
// "fsync-fails" and passes every other call on to the system.
#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue.h"
#include "catalogue_writer.h"
#include "reelsmithdb.h"
#include "test_helpers.h"

namespace {

const char kFailingFolder[] = "/fsync-fails/";

bool InFailingFolder(int fd) {
  char path[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), path, sizeof path - 1);
  if (n <= 0) return false;
  path[n] = '\0';
  return std::strstr(path, kFailingFolder) != nullptr;
}

}  // namespace

extern "C" int fsync(int fd) {
  if (InFailingFolder(fd)) {
    errno = EIO;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

namespace fs = std::filesystem;
using rstest::ReadBytes;
using rstest::WriteBytes;

rstest::MusCatalogue Small() {
  rstest::MusCatalogue c;
  c.artists = {"Ada"};
  c.albums = {{"Harbour", 1, 0, 0, "", ""}};
  c.songs = {{"Rain", 60, 0, 0, 1, false}, {"Dusk", 70, 0, 0, 2, true}};
  return c;
}

TEST(SaveSyncFailure, IsReportedKeepsTheTargetAndRemovesTheTemporaryFile) {
  rstest::ResetCatalogue();
  rstest::TempDir dir;
  const std::string source = dir.file("source.mus");
  WriteBytes(source, rstest::WriteMus(Small(), 5));
  ASSERT_EQ(LoadDb(source.c_str()), 1) << GetErrorText();

  const std::string failing = dir.file("fsync-fails");
  fs::create_directory(failing);
  const std::string target = failing + "/target.mus";
  const std::vector<uint8_t> old = {5, 1, 2, 3};
  WriteBytes(target, old);
  SetFileName(target.c_str());
  ReportError("earlier");
  EXPECT_EQ(SaveDb(), 0);
  EXPECT_STREQ(GetErrorText(), "Unable to write to the file.");
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_FALSE(fs::exists(failing + "/rsh.rs9"));
  EXPECT_EQ(GetDbChanged(), 1);

  // Elsewhere the same catalogue saves, so the refusal above came from the sync alone.
  const std::string elsewhere = dir.file("target.mus");
  SetFileName(elsewhere.c_str());
  ASSERT_EQ(SaveDb(), 1) << GetErrorText();
  EXPECT_EQ(ReadBytes(elsewhere), rstest::WriteMus(Small(), 5));
  EXPECT_EQ(GetDbChanged(), 0);
  rstest::ResetCatalogue();
}

}  // namespace
