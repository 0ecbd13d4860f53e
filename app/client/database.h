#pragma once
// TReelsmithDB: the program's one gateway to the music database library. It loads
// libReelsmithDB.so.1 at run time, binds its functions by name, wraps them in methods
// that take and return record objects, holds the state several windows share (file
// name, current album, editing) and announces every change to the change links.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "../../dblib/reelsmithdb.h"  // types and signatures only; the program never links it

#include "client/notify_link.h"
#include "client/owner_list.h"
#include "client/album_record.h"
#include "client/artist_record.h"
#include "client/song_record.h"

// Change events. Code 2 is never raised; listeners treat it like dbeCleared.
enum TReelsmithDBEvent : std::uint8_t {
  dbeCleared = 0,
  dbeLoaded = 1,
  dbeSaved = 3,
  dbeFieldsChanged = 4,
  dbeAlbumChanging = 5,
  dbeAlbumChanged = 6,
  dbeEditingChanged = 7,
  dbeAlbumDeleted = 8,
  dbeRecordsAdded = 9,
  dbeSortChanged = 10,
  dbeTapeMarkChanged = 11,
};

// One delivery of a change event; it lives only for that delivery.
class TReelsmithDBEventInfo {
 public:
  explicit TReelsmithDBEventInfo(TReelsmithDBEvent event) : event_(event) {}
  TReelsmithDBEvent Event() const { return event_; }

 private:
  TReelsmithDBEvent event_;
};

// Where the library is looked for: each folder in order (only absolute folders; the
// current directory never), then, if SystemSearch, the system's default search.
struct TLibrarySearch {
  QStringList Folders;
  bool SystemSearch = true;

  // The program's own folder, then the installed library folder, then the system.
  static TLibrarySearch Default();
  // The same order with another installed folder, so that tests can put a library there.
  static TLibrarySearch Default(const QString& installedFolder);
};

// The library's file name on this system.
extern const char* const kReelsmithLibraryName;

class TReelsmithDB : public QObject {
  Q_OBJECT

 public:
  // Loads and binds the library and empties its catalogue ("DbInit"). Throws
  // EMissingMethod when the library or one of its functions is missing.
  explicit TReelsmithDB(QObject* owner = nullptr);
  TReelsmithDB(QObject* owner, const TLibrarySearch& search);
  // Frees the catalogue's records and releases the library; nothing is saved or announced.
  ~TReelsmithDB() override;

  // The file the library was loaded from.
  const QString& LibraryPath() const { return libraryPath_; }

  // Catalogue operations. Load, Save, Merge and ExportDBase return false on failure
  // (ErrorText says why) and then raise no event. A merge renews every record, so it first
  // stops any album being current and then raises dbeLoaded, as a load does. File names longer than the library
  // keeps raise Exception before the library is called.
  void Clear();
  bool Load();
  bool Save();
  bool Merge(const QString& fileName);
  bool ExportDBase(const QString& fileName);
  QString ErrorText() const;
  bool Changed() const;

  // How many records of each kind the catalogue holds; the library refuses more than
  // kMaxRecords of any kind.
  static constexpr int kMaxRecords = 15000;
  int AlbumCount() const;
  int ArtistCount() const;
  int SongCount() const;

  // Queries: new record objects in the library's order; the caller owns the list.
  // Those taking a record raise EInvalidCast when it is not of the named class.
  TOwnerList<TReelsmithAlbum> GetAllAlbums();
  TOwnerList<TReelsmithArtist> GetAllArtists();
  TOwnerList<TReelsmithSong> GetAllSongs();
  TOwnerList<TReelsmithAlbum> GetAlbumsByArtist(const TReelsmithRecord* artist);
  TOwnerList<TReelsmithArtist> GetArtistsOnAlbum(const TReelsmithRecord* album);
  TOwnerList<TReelsmithSong> GetSongsByArtist(const TReelsmithRecord* artist);
  TOwnerList<TReelsmithSong> GetSongsOnAlbum(const TReelsmithRecord* album);
  std::unique_ptr<TReelsmithAlbum> GetAlbumOfSong(const TReelsmithRecord* song);
  std::unique_ptr<TReelsmithArtist> GetArtistOfSong(const TReelsmithRecord* song);

  // Deletes the album with its songs and the artists left without songs; a current
  // album with the same handle stops being current first.
  void DeleteAlbum(const TReelsmithRecord* album);
  void SetSortByTime(bool value);
  void ResequenceAlbums();
  void ResequenceArtists();
  void ResequenceSongs();

  // Album field definitions. Field numbers: 0 title, 1 artist, 2 medium, then the user
  // fields in use; user fields are selected by 1 or 2; item indexes are 0-based.
  void GetAlbumFieldInfo(int field, bool& isChoice, QString& label);
  QString GetAlbumChoiceFieldItem(int field, int item);
  QString GetMediumName(int item);
  void GetUserTextFieldInfo(int field, bool& enabled, QString& label);
  void SetUserTextFieldInfo(int field, const QString& label, bool enabled);
  void GetUserChoiceFieldInfo(int field, int& count, QString& label);
  void SetUserChoiceFieldInfo(int field, const QString& label, int count);
  QString GetUserChoiceFieldItem(int field, int item);
  void SetUserChoiceFieldItem(int field, int item, const QString& text);

  // The catalogue's file name; empty for an untitled catalogue. Load and Save use it.
  const QString& FileName() const { return fileName_; }
  void SetFileName(const QString& fileName) { fileName_ = fileName; }

  // The album shown in the catalogue window; not owned. Setting it raises
  // dbeAlbumChanging, stores it, raises dbeAlbumChanged and ends editing.
  TReelsmithAlbum* CurrentAlbum() const { return currentAlbum_; }
  void SetCurrentAlbum(TReelsmithAlbum* album);

  // The selector the user last entered among those showing this catalogue: only it sets
  // CurrentAlbum. Not owned; it reads as none once that object is destroyed.
  QObject* CurrentSelector() const { return currentSelector_; }
  void SetCurrentSelector(QObject* selector) { currentSelector_ = selector; }

  // Asked by a selector before it makes another album current while an album is being edited;
  // false keeps the edit. Empty: the edit is dropped without asking.
  std::function<bool()> OnLeaveEditing;

  // Setting it always raises dbeEditingChanged, even when the value stays.
  bool Editing() const { return editing_; }
  void SetEditing(bool value);

  // While true, events are queued, each code once in the order of its latest
  // occurrence; setting it false delivers the queue. It does not count nesting.
  bool DeferEvents() const { return deferEvents_; }
  void SetDeferEvents(bool value);
  // True while the event waits in the queue, also while the queue is being delivered: a
  // handler can leave work to a later event that will do it anyway.
  bool Queued(TReelsmithDBEvent event) const;

  // The library function exported under exactly this name. Throws EMissingMethod.
  void* Lookup(const char* name) const;
  // How many times Lookup has been called: each function is bound once per component.
  int LookupCount() const { return lookups_; }

  // Delivers the event to the change links of this component, or queues it.
  void Notify(TReelsmithDBEvent event);

 private:
  friend class TReelsmithSong;
  friend class TReelsmithArtist;
  friend class TReelsmithAlbum;

  // The functions bound at construction, in binding order.
  struct TFunctions {
    decltype(&::DbInit) DbInit = nullptr;
    decltype(&::LoadDb) LoadDb = nullptr;
    decltype(&::SaveDb) SaveDb = nullptr;
    decltype(&::MergeDb) MergeDb = nullptr;
    decltype(&::CleanupDb) CleanupDb = nullptr;
    decltype(&::ExportToDBase) ExportToDBase = nullptr;
    decltype(&::GetErrorText) GetErrorText = nullptr;
    decltype(&::GetDbChanged) GetDbChanged = nullptr;
    decltype(&::SetFileName) SetFileName = nullptr;
    decltype(&::GetAlbumCount) GetAlbumCount = nullptr;
    decltype(&::GetAllAlbums) GetAllAlbums = nullptr;
    decltype(&::GetArtistCount) GetArtistCount = nullptr;
    decltype(&::GetAllArtists) GetAllArtists = nullptr;
    decltype(&::GetAlbumsByArtist) GetAlbumsByArtist = nullptr;
    decltype(&::GetArtistsOnAlbum) GetArtistsOnAlbum = nullptr;
    decltype(&::SetSortByTime) SetSortByTime = nullptr;
    decltype(&::GetSongsByArtist) GetSongsByArtist = nullptr;
    decltype(&::GetSongCount) GetSongCount = nullptr;
    decltype(&::GetAllSongs) GetAllSongs = nullptr;
    decltype(&::GetAlbumOfSong) GetAlbumOfSong = nullptr;
    decltype(&::GetArtistOfSong) GetArtistOfSong = nullptr;
    decltype(&::GetSongsOnAlbum) GetSongsOnAlbum = nullptr;
    decltype(&::DeleteAlbum) DeleteAlbum = nullptr;
    decltype(&::ResequenceAlbums) ResequenceAlbums = nullptr;
    decltype(&::ResequenceArtists) ResequenceArtists = nullptr;
    decltype(&::ResequenceSongs) ResequenceSongs = nullptr;
    decltype(&::GetAlbumChoiceFieldItem) GetAlbumChoiceFieldItem = nullptr;
    decltype(&::GetAlbumFieldInfo) GetAlbumFieldInfo = nullptr;
    decltype(&::GetUserTextFieldInfo) GetUserTextFieldInfo = nullptr;
    decltype(&::SetUserTextFieldInfo) SetUserTextFieldInfo = nullptr;
    decltype(&::GetUserChoiceFieldInfo) GetUserChoiceFieldInfo = nullptr;
    decltype(&::SetUserChoiceFieldInfo) SetUserChoiceFieldInfo = nullptr;
    decltype(&::GetUserChoiceFieldItem) GetUserChoiceFieldItem = nullptr;
    decltype(&::SetUserChoiceFieldItem) SetUserChoiceFieldItem = nullptr;
    decltype(&::BigArrayAlloc) BigArrayAlloc = nullptr;
    decltype(&::BigArrayFree) BigArrayFree = nullptr;
    decltype(&::BAGet) BAGet = nullptr;
  };

  // The record classes' functions, bound at the first construction of each class. They
  // live here rather than in the classes so that they can never outlive the library.
  struct TSongFunctions {
    decltype(&::GETSONGTITLE) GETSONGTITLE = nullptr;
    decltype(&::GetSongTime) GetSongTime = nullptr;
    decltype(&::GetSongUsedOnTape) GetSongUsedOnTape = nullptr;
    decltype(&::SetSongUsedOnTape) SetSongUsedOnTape = nullptr;
  };
  struct TArtistFunctions {
    decltype(&::GETARTISTNAME) GETARTISTNAME = nullptr;
    decltype(&::AddArtist) AddArtist = nullptr;
  };
  struct TAlbumFunctions {
    decltype(&::GETALBUMTITLE) GETALBUMTITLE = nullptr;
    decltype(&::GetAlbumFieldText) GetAlbumFieldText = nullptr;
    decltype(&::GetAlbumFieldItemIndex) GetAlbumFieldItemIndex = nullptr;
    decltype(&::AddAlbum) AddAlbum = nullptr;
    decltype(&::BeginAddSong) BeginAddSong = nullptr;
    decltype(&::AddSong) AddSong = nullptr;
    decltype(&::FinishAddSong) FinishAddSong = nullptr;
  };

  const TSongFunctions& SongFunctions();
  const TArtistFunctions& ArtistFunctions();
  const TAlbumFunctions& AlbumFunctions();

  // Songs added in the open batch are linked to their album before the library counts
  // them; album queries size their scratch array with them included.
  void SongAddedToBatch() { ++pendingSongs_; }
  void BatchClosed() { pendingSongs_ = 0; }

  void LoadLibrary(const TLibrarySearch& search);
  void BindFunctions();
  void Deliver(TReelsmithDBEvent event);
  int AlbumQueryCapacity() const;

  template <class T, class Fill>
  TOwnerList<T> Query(int capacity, bool countIsCapacity, Fill fill);
  template <class T, class Fill>
  std::unique_ptr<T> QueryOne(Fill fill);

  void* library_ = nullptr;
  QString libraryPath_;
  mutable int lookups_ = 0;
  TFunctions fn_;
  TSongFunctions songFn_;
  TArtistFunctions artistFn_;
  TAlbumFunctions albumFn_;

  QString fileName_;
  TReelsmithAlbum* currentAlbum_ = nullptr;
  QPointer<QObject> currentSelector_;
  bool editing_ = false;
  bool deferEvents_ = false;
  std::vector<TReelsmithDBEvent> pendingEvents_;
  int pendingSongs_ = 0;
};
