// The built shared library, loaded as the program loads it: every export of the
// interface is found by its exact name, and nothing else is exported.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "test_helpers.h"

namespace {

// clang-format off
const std::vector<std::string> kExports = {
    "BigArrayAlloc", "BigArrayFree", "BAGet",
    "DbInit", "CleanupDb", "LoadDb", "SaveDb", "MergeDb", "ExportToDBase",
    "SetFileName", "GetDbChanged", "GetErrorText",
    "GetAlbumCount", "GetArtistCount", "GetSongCount",
    "AddArtist", "AddAlbum", "BeginAddSong", "AddSong", "FinishAddSong",
    "ResequenceArtists", "ResequenceAlbums", "ResequenceSongs", "DeleteAlbum",
    "GETARTISTNAME", "GETALBUMTITLE", "GETSONGTITLE",
    "GetSongTime", "GetSongUsedOnTape", "SetSongUsedOnTape",
    "GetAllAlbums", "GetAllArtists", "GetAllSongs",
    "GetArtistsOnAlbum", "GetSongsOnAlbum", "GetAlbumsByArtist", "GetSongsByArtist",
    "GetAlbumOfSong", "GetArtistOfSong", "SetSortByTime",
    "GetAlbumFieldCount", "GetAlbumFieldInfo",
    "GetUserTextFieldInfo", "SetUserTextFieldInfo",
    "GetUserChoiceFieldInfo", "SetUserChoiceFieldInfo",
    "GetUserChoiceFieldItem", "SetUserChoiceFieldItem",
    "GetAlbumChoiceFieldItem", "GetAlbumFieldItemIndex", "GetAlbumFieldText"};
// clang-format on

class Library {
 public:
  Library() : handle_(dlopen(RS_LIB_PATH, RTLD_NOW | RTLD_LOCAL)) {}
  ~Library() {
    if (handle_) dlclose(handle_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  void* handle() const { return handle_; }
  template <typename F>
  F Get(const char* name) const {
    return reinterpret_cast<F>(dlsym(handle_, name));
  }

 private:
  void* handle_;
};

// The names of the functions and objects the library's dynamic symbol table defines
// with default visibility.
std::set<std::string> DefinedDynamicSymbols(const std::vector<uint8_t>& elf) {
  std::set<std::string> names;
  if (elf.size() < sizeof(Elf64_Ehdr)) return names;
  Elf64_Ehdr eh;
  std::memcpy(&eh, elf.data(), sizeof eh);
  std::vector<Elf64_Shdr> sections(eh.e_shnum);
  for (size_t i = 0; i < sections.size(); ++i)
    std::memcpy(&sections[i], elf.data() + eh.e_shoff + i * eh.e_shentsize, sizeof(Elf64_Shdr));
  for (const Elf64_Shdr& sh : sections) {
    if (sh.sh_type != SHT_DYNSYM) continue;
    const Elf64_Shdr& strtab = sections.at(sh.sh_link);
    for (size_t off = 0; off + sizeof(Elf64_Sym) <= sh.sh_size; off += sizeof(Elf64_Sym)) {
      Elf64_Sym sym;
      std::memcpy(&sym, elf.data() + sh.sh_offset + off, sizeof sym);
      const int type = ELF64_ST_TYPE(sym.st_info);
      const int bind = ELF64_ST_BIND(sym.st_info);
      if (sym.st_shndx == SHN_UNDEF || (type != STT_FUNC && type != STT_OBJECT)) continue;
      if (bind != STB_GLOBAL && bind != STB_WEAK) continue;
      if (ELF64_ST_VISIBILITY(sym.st_other) != STV_DEFAULT) continue;
      names.insert(reinterpret_cast<const char*>(elf.data() + strtab.sh_offset + sym.st_name));
    }
  }
  return names;
}

TEST(Exports, EveryInterfaceFunctionIsFoundByItsExactName) {
  ASSERT_EQ(kExports.size(), 51u);
  ASSERT_EQ(std::set<std::string>(kExports.begin(), kExports.end()).size(), 51u);
  Library lib;
  ASSERT_NE(lib.handle(), nullptr) << dlerror();
  for (const std::string& name : kExports)
    EXPECT_NE(dlsym(lib.handle(), name.c_str()), nullptr) << "missing export " << name;
  // Names are case-sensitive: the program binds exactly these spellings.
  EXPECT_EQ(dlsym(lib.handle(), "GetArtistName"), nullptr);
  EXPECT_EQ(dlsym(lib.handle(), "getalbumcount"), nullptr);
}

TEST(Exports, NothingButTheInterfaceIsExported) {
  const auto elf = rstest::ReadBytes(RS_LIB_PATH);
  ASSERT_GT(elf.size(), 4u);
  ASSERT_EQ(std::memcmp(elf.data(), ELFMAG, SELFMAG), 0);
  ASSERT_EQ(elf[EI_CLASS], ELFCLASS64);
  std::set<std::string> defined = DefinedDynamicSymbols(elf);
  // Sanitizer builds add their runtime's hooks; they are not part of the interface.
  for (auto it = defined.begin(); it != defined.end();)
    it = it->rfind("__", 0) == 0 || it->rfind("_fini", 0) == 0 || it->rfind("_init", 0) == 0
             ? defined.erase(it)
             : std::next(it);
  EXPECT_EQ(defined, std::set<std::string>(kExports.begin(), kExports.end()));
}

TEST(Exports, BoundFunctionsDriveTheLoadedLibrary) {
  Library lib;
  ASSERT_NE(lib.handle(), nullptr) << dlerror();
  auto cleanup = lib.Get<int32_t (*)()>("CleanupDb");
  auto addAlbum =
      lib.Get<HALBUM (*)(const char*, const char*, const char*, int32_t, int32_t, int32_t)>(
          "AddAlbum");
  auto albumCount = lib.Get<int32_t (*)()>("GetAlbumCount");
  auto title = lib.Get<char* (*)(HALBUM, char*, int32_t)>("GETALBUMTITLE");
  auto changed = lib.Get<int32_t (*)()>("GetDbChanged");
  ASSERT_TRUE(cleanup && addAlbum && albumCount && title && changed);
  EXPECT_EQ(cleanup(), 0);
  HALBUM album = addAlbum("Through dlsym", nullptr, nullptr, 1, 0, 0);
  ASSERT_NE(album, nullptr);
  EXPECT_EQ(albumCount(), 1);
  EXPECT_EQ(changed(), 1);
  char buf[64];
  EXPECT_STREQ(title(album, buf, sizeof buf), "Through dlsym");
  cleanup();
}

}  // namespace
