#include "client/database.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include <algorithm>
#include <new>

#include "client/text_encoding.h"
#include "platform/exceptions.h"

// The installed library folder, tried when the program's own folder lacks the library.
#ifndef RS_INSTALL_LIBDIR
#define RS_INSTALL_LIBDIR "/usr/local/lib"
#endif

// The library's SONAME: the run-time package holds only this name, not the bare ".so".
#ifndef RS_LIBRARY_FILE_NAME
#define RS_LIBRARY_FILE_NAME "libReelsmithDB.so.1"
#endif

const char* const kReelsmithLibraryName = RS_LIBRARY_FILE_NAME;

namespace {

// Album queries need room for every song of the album; albums entered in the program
// hold at most 100 songs, but files and merges can bring larger ones.
constexpr int kAlbumQueryCapacity = 200;

QString ProgramFolder() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return QString();
  path[n] = '\0';
  return QFileInfo(QFile::decodeName(path)).absolutePath();
}

// The system's default search reads LD_LIBRARY_PATH, where an empty or relative entry
// means a folder below the current directory. It may run only when none of those holds
// the library.
bool SystemSearchAvoidsCurrentDirectory(QStringList& absoluteEntries) {
  const QByteArray env = qgetenv("LD_LIBRARY_PATH");
  bool safe = true;
  if (env.isEmpty()) return safe;  // unset or empty: the loader ignores it
  for (const QByteArray& entry : env.split(':')) {
    for (const QByteArray& part : entry.split(';')) {
      const QString dir = QFile::decodeName(part);
      if (dir.startsWith('/')) {
        absoluteEntries << dir;
      } else if (QFileInfo::exists((dir.isEmpty() ? QString(".") : dir) + '/' +
                                   kReelsmithLibraryName)) {
        safe = false;
      }
    }
  }
  return safe;
}

void* OpenFile(const QString& path) {
  void* handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle && QFileInfo::exists(path))
    qWarning("%s could not be loaded: %s", qPrintable(path), ::dlerror());
  return handle;
}

// The absolute file name of a loaded library; empty when the loader found it through a
// path relative to the current directory.
QString LoadedPath(void* handle) {
  link_map* map = nullptr;
  if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return QString();
  const QString name = QFile::decodeName(map->l_name);
  if (!name.startsWith('/')) return QString();
  return name;
}

}  // namespace

TLibrarySearch TLibrarySearch::Default() { return Default(QStringLiteral(RS_INSTALL_LIBDIR)); }

TLibrarySearch TLibrarySearch::Default(const QString& installedFolder) {
  TLibrarySearch search;
  const QString own = ProgramFolder();
  if (!own.isEmpty()) search.Folders << own;
  search.Folders << installedFolder;
  search.SystemSearch = true;
  return search;
}

TReelsmithDB::TReelsmithDB(QObject* owner) : TReelsmithDB(owner, TLibrarySearch::Default()) {}

TReelsmithDB::TReelsmithDB(QObject* owner, const TLibrarySearch& search) : QObject(owner) {
  setObjectName(QStringLiteral("ReelsmithDB"));
  LoadLibrary(search);
  try {
    BindFunctions();
  } catch (...) {
    ::dlclose(library_);
    library_ = nullptr;
    throw;
  }
  fn_.DbInit();
}

TReelsmithDB::~TReelsmithDB() {
  if (!library_) return;
  // Unloading takes the catalogue with it; free its records first so that their memory
  // does not outlive the library. Nothing is announced.
  fn_.CleanupDb();
  ::dlclose(library_);
}

void TReelsmithDB::LoadLibrary(const TLibrarySearch& search) {
  QStringList looked;
  for (const QString& folder : search.Folders) {
    if (!QDir::isAbsolutePath(folder)) continue;  // a relative folder means the cwd
    looked << folder;
    const QString path = QDir(folder).filePath(kReelsmithLibraryName);
    if ((library_ = OpenFile(path))) {
      libraryPath_ = LoadedPath(library_);
      if (libraryPath_.isEmpty()) libraryPath_ = path;
      return;
    }
  }
  if (search.SystemSearch) {
    QStringList entries;
    const bool safe = SystemSearchAvoidsCurrentDirectory(entries);
    for (const QString& folder : entries) {
      if ((library_ = OpenFile(QDir(folder).filePath(kReelsmithLibraryName)))) break;
    }
    if (!library_ && safe) library_ = ::dlopen(kReelsmithLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (library_) {
      libraryPath_ = LoadedPath(library_);
      if (!libraryPath_.isEmpty()) return;
      ::dlclose(library_);  // reached through the current directory after all
      library_ = nullptr;
    }
  }
  // Say where it was looked for: each folder, then the system's search path.
  QStringList places;
  for (const QString& folder : looked) places << "in " + folder;
  if (search.SystemSearch) places << "in the path";
  QString message = QString("Could not find %1.").arg(kReelsmithLibraryName);
  if (!places.isEmpty()) {
    const QString last = places.takeLast();
    const QString where = places.isEmpty() ? last : places.join(", ") + " or " + last;
    message += "  Please check that it is " + where + ".";
  }
  throw EMissingMethod(message);
}

void* TReelsmithDB::Lookup(const char* name) const {
  ++lookups_;
  void* fn = library_ ? ::dlsym(library_, name) : nullptr;
  if (!fn)
    throw EMissingMethod(QString("%1 is missing the %2 function.  You may need a newer "
                                 "version of the DLL.")
                             .arg(kReelsmithLibraryName, name));
  return fn;
}

#define RS_BIND(table, name) (table).name = reinterpret_cast<decltype((table).name)>(Lookup(#name))

void TReelsmithDB::BindFunctions() {
  RS_BIND(fn_, DbInit);
  RS_BIND(fn_, LoadDb);
  RS_BIND(fn_, SaveDb);
  RS_BIND(fn_, MergeDb);
  RS_BIND(fn_, CleanupDb);
  RS_BIND(fn_, ExportToDBase);
  RS_BIND(fn_, GetErrorText);
  RS_BIND(fn_, GetDbChanged);
  RS_BIND(fn_, SetFileName);
  RS_BIND(fn_, GetAlbumCount);
  RS_BIND(fn_, GetAllAlbums);
  RS_BIND(fn_, GetArtistCount);
  RS_BIND(fn_, GetAllArtists);
  RS_BIND(fn_, GetAlbumsByArtist);
  RS_BIND(fn_, GetArtistsOnAlbum);
  RS_BIND(fn_, SetSortByTime);
  RS_BIND(fn_, GetSongsByArtist);
  RS_BIND(fn_, GetSongCount);
  RS_BIND(fn_, GetAllSongs);
  RS_BIND(fn_, GetAlbumOfSong);
  RS_BIND(fn_, GetArtistOfSong);
  RS_BIND(fn_, GetSongsOnAlbum);
  RS_BIND(fn_, DeleteAlbum);
  RS_BIND(fn_, ResequenceAlbums);
  RS_BIND(fn_, ResequenceArtists);
  RS_BIND(fn_, ResequenceSongs);
  RS_BIND(fn_, GetAlbumChoiceFieldItem);
  RS_BIND(fn_, GetAlbumFieldInfo);
  RS_BIND(fn_, GetUserTextFieldInfo);
  RS_BIND(fn_, SetUserTextFieldInfo);
  RS_BIND(fn_, GetUserChoiceFieldInfo);
  RS_BIND(fn_, SetUserChoiceFieldInfo);
  RS_BIND(fn_, GetUserChoiceFieldItem);
  RS_BIND(fn_, SetUserChoiceFieldItem);
  RS_BIND(fn_, BigArrayAlloc);
  RS_BIND(fn_, BigArrayFree);
  RS_BIND(fn_, BAGet);
}

// A class counts as bound once its first function is; a failed binding leaves that one
// unset, so the next construction tries again and reports the same missing function.
const TReelsmithDB::TSongFunctions& TReelsmithDB::SongFunctions() {
  if (!songFn_.GETSONGTITLE) {
    TSongFunctions f;
    RS_BIND(f, GETSONGTITLE);
    RS_BIND(f, GetSongTime);
    RS_BIND(f, GetSongUsedOnTape);
    RS_BIND(f, SetSongUsedOnTape);
    songFn_ = f;
  }
  return songFn_;
}

const TReelsmithDB::TArtistFunctions& TReelsmithDB::ArtistFunctions() {
  if (!artistFn_.GETARTISTNAME) {
    TArtistFunctions f;
    RS_BIND(f, GETARTISTNAME);
    RS_BIND(f, AddArtist);
    artistFn_ = f;
  }
  return artistFn_;
}

const TReelsmithDB::TAlbumFunctions& TReelsmithDB::AlbumFunctions() {
  if (!albumFn_.GETALBUMTITLE) {
    TAlbumFunctions f;
    RS_BIND(f, GETALBUMTITLE);
    RS_BIND(f, GetAlbumFieldText);
    RS_BIND(f, GetAlbumFieldItemIndex);
    RS_BIND(f, AddAlbum);
    RS_BIND(f, BeginAddSong);
    RS_BIND(f, AddSong);
    RS_BIND(f, FinishAddSong);
    albumFn_ = f;
  }
  return albumFn_;
}

#undef RS_BIND

// ---- Catalogue operations ----------------------------------------------------------

void TReelsmithDB::Clear() {
  fn_.CleanupDb();
  pendingSongs_ = 0;
  fileName_.clear();
  Notify(dbeCleared);
  if (currentAlbum_) SetCurrentAlbum(nullptr);
}

bool TReelsmithDB::Load() {
  const QByteArray name = DbFileName(fileName_);
  if (!fn_.LoadDb(name.constData())) return false;
  Notify(dbeLoaded);
  if (currentAlbum_) SetCurrentAlbum(nullptr);
  return true;
}

bool TReelsmithDB::Save() {
  const QByteArray name = DbFileName(fileName_);
  fn_.SetFileName(name.constData());
  if (!fn_.SaveDb()) return false;
  Notify(dbeSaved);
  return true;
}

bool TReelsmithDB::Merge(const QString& fileName) {
  const QByteArray name = DbFileName(fileName);
  // A merge frees every record of the catalogue and builds it anew, so every handle the program
  // holds dies: nothing may stay current, and the listeners refetch as after a load (the
  // cassette lets go of its songs on that code).
  if (currentAlbum_) SetCurrentAlbum(nullptr);
  if (!fn_.MergeDb(name.constData())) return false;
  Notify(dbeLoaded);
  return true;
}

bool TReelsmithDB::ExportDBase(const QString& fileName) {
  const QByteArray name = DbFileName(fileName);
  return fn_.ExportToDBase(name.constData()) != 0;
}

QString TReelsmithDB::ErrorText() const {
  const char* text = fn_.GetErrorText();
  return text ? FromDbMessage(text) : QString();
}

bool TReelsmithDB::Changed() const { return fn_.GetDbChanged() != 0; }

int TReelsmithDB::AlbumCount() const { return fn_.GetAlbumCount(); }
int TReelsmithDB::ArtistCount() const { return fn_.GetArtistCount(); }
int TReelsmithDB::SongCount() const { return fn_.GetSongCount(); }

// ---- Queries -----------------------------------------------------------------------

namespace {

template <class Wanted>
const Wanted* Checked(const TReelsmithRecord* record, const char* method, const char* className) {
  const auto* wanted = dynamic_cast<const Wanted*>(record);
  if (!wanted)
    throw EInvalidCast(QString("Object passed to %1 is not a %2").arg(method, className));
  return wanted;
}

}  // namespace

template <class T, class Fill>
TOwnerList<T> TReelsmithDB::Query(int capacity, bool countIsCapacity, Fill fill) {
  BigArray* array = fn_.BigArrayAlloc(capacity);
  if (!array) throw std::bad_alloc();
  struct Release {
    TReelsmithDB* db;
    BigArray* array;
    ~Release() { db->fn_.BigArrayFree(array); }
  } release{this, array};

  const int filled = fill(array);
  const int count = countIsCapacity ? capacity : filled;
  TOwnerList<T> list;
  list.Reserve(count);
  for (int i = 0; i < count; ++i) list.Add(std::make_unique<T>(this, fn_.BAGet(array, i)));
  return list;
}

template <class T, class Fill>
std::unique_ptr<T> TReelsmithDB::QueryOne(Fill fill) {
  TOwnerList<T> list = Query<T>(1, false, fill);
  if (list.IsEmpty()) return nullptr;
  return list.Extract(0);
}

int TReelsmithDB::AlbumQueryCapacity() const {
  return std::max(kAlbumQueryCapacity, fn_.GetSongCount() + pendingSongs_);
}

TOwnerList<TReelsmithAlbum> TReelsmithDB::GetAllAlbums() {
  return Query<TReelsmithAlbum>(fn_.GetAlbumCount(), true,
                                [this](BigArray* a) { return fn_.GetAllAlbums(a); });
}

TOwnerList<TReelsmithArtist> TReelsmithDB::GetAllArtists() {
  return Query<TReelsmithArtist>(fn_.GetArtistCount(), true,
                                 [this](BigArray* a) { return fn_.GetAllArtists(a); });
}

TOwnerList<TReelsmithSong> TReelsmithDB::GetAllSongs() {
  return Query<TReelsmithSong>(fn_.GetSongCount(), true,
                               [this](BigArray* a) { return fn_.GetAllSongs(a); });
}

TOwnerList<TReelsmithAlbum> TReelsmithDB::GetAlbumsByArtist(const TReelsmithRecord* artist) {
  auto* h = static_cast<HARTIST>(
      Checked<TReelsmithArtist>(artist, "GetAlbumsByArtist", "TReelsmithArtist")->Handle());
  const int capacity = fn_.GetAlbumsByArtist(nullptr, h);
  // An artist whose song a full catalogue refused has no songs; the library's artist
  // queries end the process on such an artist, so it is not asked.
  if (capacity <= 0) return {};
  return Query<TReelsmithAlbum>(capacity, false,
                                [this, h](BigArray* a) { return fn_.GetAlbumsByArtist(a, h); });
}

TOwnerList<TReelsmithArtist> TReelsmithDB::GetArtistsOnAlbum(const TReelsmithRecord* album) {
  auto* h = static_cast<HALBUM>(
      Checked<TReelsmithAlbum>(album, "GetArtistsOnAlbum", "TReelsmithAlbum")->Handle());
  return Query<TReelsmithArtist>(AlbumQueryCapacity(), false,
                                 [this, h](BigArray* a) { return fn_.GetArtistsOnAlbum(a, h); });
}

TOwnerList<TReelsmithSong> TReelsmithDB::GetSongsByArtist(const TReelsmithRecord* artist) {
  auto* h = static_cast<HARTIST>(
      Checked<TReelsmithArtist>(artist, "GetSongsByArtist", "TReelsmithArtist")->Handle());
  // The artist's own song count, which includes songs of an open batch; the catalogue's
  // count does not. An artist without songs is not asked (see GetAlbumsByArtist).
  const int capacity = fn_.GetAlbumsByArtist(nullptr, h);
  if (capacity <= 0) return {};
  return Query<TReelsmithSong>(capacity, false,
                               [this, h](BigArray* a) { return fn_.GetSongsByArtist(a, h); });
}

TOwnerList<TReelsmithSong> TReelsmithDB::GetSongsOnAlbum(const TReelsmithRecord* album) {
  // The library trusts handles: another record's handle read as an album would corrupt it.
  auto* h = static_cast<HALBUM>(
      Checked<TReelsmithAlbum>(album, "GetSongsOnAlbum", "TReelsmithAlbum")->Handle());
  return Query<TReelsmithSong>(AlbumQueryCapacity(), false,
                               [this, h](BigArray* a) { return fn_.GetSongsOnAlbum(a, h); });
}

std::unique_ptr<TReelsmithAlbum> TReelsmithDB::GetAlbumOfSong(const TReelsmithRecord* song) {
  auto* h = static_cast<HSONG>(
      Checked<TReelsmithSong>(song, "GetAlbumOfSong", "TReelsmithSong")->Handle());
  return QueryOne<TReelsmithAlbum>([this, h](BigArray* a) { return fn_.GetAlbumOfSong(a, h); });
}

std::unique_ptr<TReelsmithArtist> TReelsmithDB::GetArtistOfSong(const TReelsmithRecord* song) {
  auto* h = static_cast<HSONG>(
      Checked<TReelsmithSong>(song, "GetArtistOfSong", "TReelsmithSong")->Handle());
  return QueryOne<TReelsmithArtist>([this, h](BigArray* a) { return fn_.GetArtistOfSong(a, h); });
}

// ---- Editing -----------------------------------------------------------------------

void TReelsmithDB::DeleteAlbum(const TReelsmithRecord* album) {
  void* h = Checked<TReelsmithAlbum>(album, "DeleteAlbum", "TReelsmithAlbum")->Handle();
  if (currentAlbum_ && currentAlbum_->Handle() == h) SetCurrentAlbum(nullptr);
  fn_.DeleteAlbum(static_cast<HALBUM>(h));
  Notify(dbeAlbumDeleted);
}

void TReelsmithDB::SetSortByTime(bool value) {
  fn_.SetSortByTime(value ? 1 : 0);
  Notify(dbeSortChanged);
}

void TReelsmithDB::ResequenceAlbums() { fn_.ResequenceAlbums(); }
void TReelsmithDB::ResequenceArtists() { fn_.ResequenceArtists(); }
void TReelsmithDB::ResequenceSongs() { fn_.ResequenceSongs(); }

// ---- Album field definitions -------------------------------------------------------

void TReelsmithDB::GetAlbumFieldInfo(int field, bool& isChoice, QString& label) {
  TDbReadBuffer buf;
  int32_t flag = 0;  // the library leaves it alone for a field beyond those in use
  fn_.GetAlbumFieldInfo(field, buf.Data(), kDbReadSize, &flag);
  isChoice = flag != 0;
  label = buf.Text();
}

QString TReelsmithDB::GetAlbumChoiceFieldItem(int field, int item) {
  TDbReadBuffer buf;
  fn_.GetAlbumChoiceFieldItem(field, item, buf.Data(), kDbReadSize);
  return buf.Text();
}

QString TReelsmithDB::GetMediumName(int item) { return GetAlbumChoiceFieldItem(2, item); }

void TReelsmithDB::GetUserTextFieldInfo(int field, bool& enabled, QString& label) {
  TDbReadBuffer buf;
  int32_t state = 0;
  fn_.GetUserTextFieldInfo(field, buf.Data(), kDbReadSize, &state);
  enabled = state != 0;
  label = buf.Text();
}

void TReelsmithDB::SetUserTextFieldInfo(int field, const QString& label, bool enabled) {
  const TDbText text(label);
  fn_.SetUserTextFieldInfo(field, text.Data(), enabled ? 1 : 0);
  Notify(dbeFieldsChanged);
}

void TReelsmithDB::GetUserChoiceFieldInfo(int field, int& count, QString& label) {
  TDbReadBuffer buf;
  int32_t n = count;
  fn_.GetUserChoiceFieldInfo(field, buf.Data(), kDbReadSize, &n);
  count = n;
  label = buf.Text();
}

void TReelsmithDB::SetUserChoiceFieldInfo(int field, const QString& label, int count) {
  const TDbText text(label);
  fn_.SetUserChoiceFieldInfo(field, text.Data(), count);
  Notify(dbeFieldsChanged);
}

QString TReelsmithDB::GetUserChoiceFieldItem(int field, int item) {
  TDbReadBuffer buf;
  fn_.GetUserChoiceFieldItem(field, item, buf.Data(), kDbReadSize);
  return buf.Text();
}

void TReelsmithDB::SetUserChoiceFieldItem(int field, int item, const QString& text) {
  const TDbText buf(text);
  fn_.SetUserChoiceFieldItem(field, item, buf.Data());
  Notify(dbeFieldsChanged);
}

// ---- Client state and events -------------------------------------------------------

void TReelsmithDB::SetCurrentAlbum(TReelsmithAlbum* album) {
  Notify(dbeAlbumChanging);
  currentAlbum_ = album;
  Notify(dbeAlbumChanged);
  SetEditing(false);
}

void TReelsmithDB::SetEditing(bool value) {
  editing_ = value;
  Notify(dbeEditingChanged);
}

void TReelsmithDB::SetDeferEvents(bool value) {
  if (!deferEvents_ || value) {
    deferEvents_ = value;
    return;
  }
  deferEvents_ = false;
  // Each code leaves the queue before its delivery, so a handler that raises it again
  // is heard again; a handler that defers again keeps the rest queued.
  while (!deferEvents_ && !pendingEvents_.empty()) {
    const TReelsmithDBEvent event = pendingEvents_.front();
    pendingEvents_.erase(pendingEvents_.begin());
    Deliver(event);
  }
}

bool TReelsmithDB::Queued(TReelsmithDBEvent event) const {
  return std::find(pendingEvents_.begin(), pendingEvents_.end(), event) != pendingEvents_.end();
}

void TReelsmithDB::Notify(TReelsmithDBEvent event) {
  if (deferEvents_) {
    pendingEvents_.erase(std::remove(pendingEvents_.begin(), pendingEvents_.end(), event),
                         pendingEvents_.end());
    pendingEvents_.push_back(event);
    return;
  }
  Deliver(event);
}

void TReelsmithDB::Deliver(TReelsmithDBEvent event) {
  const TReelsmithDBEventInfo info(event);
  TNotifyLink::Broadcast(this, info);
}
