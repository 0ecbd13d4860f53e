/*
 * ReelsmithDB — the music catalogue library's public C interface.
 *
 * Conventions (they hold for every function below):
 *
 *  - One catalogue. The library keeps a single catalogue of artists, albums and
 *    songs in process-wide state. There is no locking: call it from one thread.
 *
 *  - Handles. HARTIST, HALBUM and HSONG are opaque, pointer-sized and distinct.
 *    NULL means "no record". A handle stays valid until its record is freed:
 *    DeleteAlbum (the album, its songs, artists left without songs), CleanupDb,
 *    DbInit, LoadDb and MergeDb (every record). The library owns every record.
 *
 *  - Big arrays. A BigArray is a fixed number of handle slots. Whoever allocates
 *    one with BigArrayAlloc frees it with BigArrayFree. Queries write into an array
 *    the caller allocated, starting at slot 0, and return how many they wrote; the
 *    array must have at least that many slots. The handles in it are not owned.
 *
 *  - Text. Every string is 8-bit Windows-1252, NUL-terminated; sizes and limits
 *    count bytes. The library stores bytes and never re-encodes them. Text longer
 *    than a field is cut, not refused: names and titles 49 characters, album text
 *    fields 25, user field names 20, choices 50. Getters take a caller buffer and
 *    its size and copy at most size - 1 characters, always terminated.
 *
 *  - Failure. Operations that can fail return 1 (or a handle) on success and 0
 *    (or NULL) on failure; the failure leaves a message that GetErrorText returns
 *    until the next failure replaces it. Success does not clear it.
 *
 *  - Misuse. A NULL handle where a record is required, an index outside an array,
 *    a buffer smaller than documented or a wrong field selector is a programming
 *    error: the library prints the failed condition, its module and line to stderr
 *    and aborts the process. Exhausted memory prints "Out of memory" and aborts;
 *    only BigArrayAlloc reports it by returning NULL.
 *
 *  - Integers crossing the interface are signed 32-bit.
 */
#ifndef REELSMITHDB_H
#define REELSMITHDB_H

#include <stdint.h>

#if defined(RSDB_BUILDING)
#define RSDB_API __attribute__((visibility("default")))
#else
#define RSDB_API
#endif

#ifdef __cplusplus
#define RSDB_NOEXCEPT noexcept
extern "C" {
#else
#define RSDB_NOEXCEPT
#endif

typedef struct ARTIST ARTIST;
typedef struct ALBUM ALBUM;
typedef struct SONG SONG;
typedef ARTIST* HARTIST;
typedef ALBUM* HALBUM;
typedef SONG* HSONG;

/* A fixed-size array of record handles, cut into segments of 1024 slots. */
typedef struct BigArray BigArray;

/* ---- Big arrays ---------------------------------------------------------- */

/* A new array of itemCnt slots (0 is taken as 1), every slot NULL; NULL when
 * memory runs out (nothing is reported in the error text). Free it with
 * BigArrayFree. */
RSDB_API BigArray* BigArrayAlloc(int32_t itemCnt) RSDB_NOEXCEPT;
/* Frees the array and its segments, never the records. Returns 1; NULL is ignored. */
RSDB_API int32_t BigArrayFree(BigArray* ba) RSDB_NOEXCEPT;
/* The handle in slot index. REQUIRES: 0 <= index < the array's size (assertion). */
RSDB_API void* BAGet(BigArray* ba, int32_t index) RSDB_NOEXCEPT;

/* ---- The catalogue ------------------------------------------------------- */

/* Empties the catalogue unless it has unsaved changes: 1; else 0 with
 * "Save the currently loaded database before wiping it out." and nothing changed. */
RSDB_API int32_t DbInit(void) RSDB_NOEXCEPT;
/* Frees every record, clears the album field definitions and the changed flag.
 * The file name and the sort-by-time flag stay. Returns 0. */
RSDB_API int32_t CleanupDb(void) RSDB_NOEXCEPT;
/* Loads a catalogue file (versions 1 to 5) into an empty, unchanged catalogue.
 * 1 on success (a repaired version 1 file also returns 1 and leaves the repair
 * notice in the error text); 0 on failure with the error text set. */
RSDB_API int32_t LoadDb(const char* fileName) RSDB_NOEXCEPT;
/* Writes the catalogue as version 5 to the name given with SetFileName, through a
 * temporary file that replaces the target atomically. 1 on success or when nothing
 * changed; 0 on failure with the error text set and the target untouched. */
RSDB_API int32_t SaveDb(void) RSDB_NOEXCEPT;
/* Adds every album of a catalogue file to the catalogue in memory; artists of the
 * same name (ignoring case) become one. 1 on success (catalogue marked changed);
 * 0 on failure with the error text set and the catalogue exactly as before. */
RSDB_API int32_t MergeDb(const char* fileName) RSDB_NOEXCEPT;
/* Writes the catalogue as a dBase III table, one record per song. 1 on success;
 * 0 with "Could not open file for writing." or "Unable to write to file". */
RSDB_API int32_t ExportToDBase(const char* fileName) RSDB_NOEXCEPT;
/* Stores the save target (at most 254 characters) and marks the catalogue changed,
 * so that the next SaveDb always writes. */
RSDB_API void SetFileName(const char* fileName) RSDB_NOEXCEPT;
/* 1 when the catalogue differs from what was last loaded, saved or cleared, else 0. */
RSDB_API int32_t GetDbChanged(void) RSDB_NOEXCEPT;
/* The text of the last failure (library-owned, valid until the next failure). */
RSDB_API const char* GetErrorText(void) RSDB_NOEXCEPT;

RSDB_API int32_t GetAlbumCount(void) RSDB_NOEXCEPT;
RSDB_API int32_t GetArtistCount(void) RSDB_NOEXCEPT;
RSDB_API int32_t GetSongCount(void) RSDB_NOEXCEPT;

/* ---- Editing ------------------------------------------------------------- */

/* The artist of that name: an existing one (compared ignoring case; its stored
 * spelling becomes this one) or a new one in name order. NULL with "The database is
 * full." when a new artist would exceed 15,000. */
RSDB_API HARTIST AddArtist(const char* name) RSDB_NOEXCEPT;
/* A new album placed in title order (titles in square brackets last, in the order
 * added). text1/text2 may be NULL (empty). media 0..6, choices 1-based, 0 = none.
 * NULL with "The database is full." beyond 15,000 albums. */
RSDB_API HALBUM AddAlbum(const char* title, const char* text1, const char* text2, int32_t media,
                         int32_t choice1, int32_t choice2) RSDB_NOEXCEPT;
/* Opens a batch of songs. REQUIRES: no batch is open (assertion). */
RSDB_API void BeginAddSong(void) RSDB_NOEXCEPT;
/* Adds a song to the open batch, linked to its artist and album at once; it joins
 * the song list and the count at FinishAddSong. REQUIRES: artist and album not NULL.
 * NULL with "The database is full." when the songs would exceed 15,000. */
RSDB_API HSONG AddSong(const char* title, int32_t time, HARTIST artist, HALBUM album,
                       int32_t track) RSDB_NOEXCEPT;
/* Closes the batch: its songs join the song list in title order. */
RSDB_API void FinishAddSong(void) RSDB_NOEXCEPT;
/* Renumber a list 0, 1, 2, ... in list order. Song numbers are stale after a
 * batch of songs until ResequenceSongs. */
RSDB_API void ResequenceArtists(void) RSDB_NOEXCEPT;
RSDB_API void ResequenceAlbums(void) RSDB_NOEXCEPT;
RSDB_API void ResequenceSongs(void) RSDB_NOEXCEPT;
/* Frees the album, its songs and the artists left without songs. REQUIRES: album. */
RSDB_API void DeleteAlbum(HALBUM album) RSDB_NOEXCEPT;

/* ---- Record accessors ---------------------------------------------------- */

/* Copy the name/title into buf (at most size - 1 characters) and return buf.
 * GETARTISTNAME of NULL yields an empty string; the others require a handle. */
RSDB_API char* GETARTISTNAME(HARTIST artist, char* buf, int32_t size) RSDB_NOEXCEPT;
RSDB_API char* GETALBUMTITLE(HALBUM album, char* buf, int32_t size) RSDB_NOEXCEPT;
RSDB_API char* GETSONGTITLE(HSONG song, char* buf, int32_t size) RSDB_NOEXCEPT;
/* Playing time in seconds. */
RSDB_API int32_t GetSongTime(HSONG song) RSDB_NOEXCEPT;
/* 1 when the song is marked as put on a tape, else 0. */
RSDB_API int32_t GetSongUsedOnTape(HSONG song) RSDB_NOEXCEPT;
/* Stores 1 for any non-zero flag, else 0; marks the catalogue changed; returns
 * the stored value. */
RSDB_API int32_t SetSongUsedOnTape(HSONG song, int32_t flag) RSDB_NOEXCEPT;

/* ---- Queries (see "Big arrays" above for the array contract) ------------- */

/* Every album in list order (title order, bracketed titles last); returns the count. */
RSDB_API int32_t GetAllAlbums(BigArray* ba) RSDB_NOEXCEPT;
/* Every artist in name order; returns the count. */
RSDB_API int32_t GetAllArtists(BigArray* ba) RSDB_NOEXCEPT;
/* Every song in title order, or by playing time (then list position) when
 * SetSortByTime is on; returns the count. */
RSDB_API int32_t GetAllSongs(BigArray* ba) RSDB_NOEXCEPT;
/* The distinct artists of the album's songs, first occurrence in track order;
 * 0 for a NULL album. */
RSDB_API int32_t GetArtistsOnAlbum(BigArray* ba, HALBUM album) RSDB_NOEXCEPT;
/* The album's songs in track order; 0 for a NULL album. */
RSDB_API int32_t GetSongsOnAlbum(BigArray* ba, HALBUM album) RSDB_NOEXCEPT;
/* The distinct albums the artist has songs on, in album-list order. With ba NULL:
 * the number of the artist's songs, the capacity either artist query needs. */
RSDB_API int32_t GetAlbumsByArtist(BigArray* ba, HARTIST artist) RSDB_NOEXCEPT;
/* The artist's songs in song-list order. */
RSDB_API int32_t GetSongsByArtist(BigArray* ba, HARTIST artist) RSDB_NOEXCEPT;
/* Slot 0 receives the song's album / artist; returns 1. */
RSDB_API int32_t GetAlbumOfSong(BigArray* ba, HSONG song) RSDB_NOEXCEPT;
RSDB_API int32_t GetArtistOfSong(BigArray* ba, HSONG song) RSDB_NOEXCEPT;
/* Stores 1 for any non-zero flag, else 0, and returns it. */
RSDB_API int32_t SetSortByTime(int32_t flag) RSDB_NOEXCEPT;

/* ---- Album fields ---------------------------------------------------------
 * Field numbers: 0 title, 1 artist, 2 medium, then the user fields in use in the
 * order choice field 1, choice field 2, text field 1, text field 2. User fields are
 * selected by 1 or 2 (assertion otherwise); choice slots run 0 to 49. Choice values
 * stored on albums are 1-based, 0 = none. Setters mark the catalogue changed. */

/* 3 plus the number of user fields in use. */
RSDB_API int32_t GetAlbumFieldCount(void) RSDB_NOEXCEPT;
/* The field's label; *isChoice 1 for a choice field, else 0. A number beyond the
 * fields gives an empty label and leaves *isChoice. REQUIRES: size >= 21. */
RSDB_API void GetAlbumFieldInfo(int32_t field, char* buf, int32_t size,
                                int32_t* isChoice) RSDB_NOEXCEPT;
/* Text field i's name into buf, its state (non-zero = in use) into *enabled. */
RSDB_API void GetUserTextFieldInfo(int32_t i, char* buf, int32_t size,
                                   int32_t* enabled) RSDB_NOEXCEPT;
/* Stores the name (20 characters) and state, then checks every album against the
 * definitions (a field out of use empties its texts). */
RSDB_API void SetUserTextFieldInfo(int32_t i, const char* name, int32_t enabled) RSDB_NOEXCEPT;
/* Choice field i's name into buf, its choice count (0 = not in use) into *count. */
RSDB_API void GetUserChoiceFieldInfo(int32_t i, char* buf, int32_t size,
                                     int32_t* count) RSDB_NOEXCEPT;
/* Stores the name (20 characters) and count, then checks every album against the
 * definitions (choices beyond the count become 0). */
RSDB_API void SetUserChoiceFieldInfo(int32_t i, const char* name, int32_t count) RSDB_NOEXCEPT;
/* The choice in slot index of choice field i. REQUIRES: size >= 51. */
RSDB_API void GetUserChoiceFieldItem(int32_t i, int32_t index, char* buf,
                                     int32_t size) RSDB_NOEXCEPT;
/* Stores a choice (50 characters) in slot index; does not check the albums. */
RSDB_API void SetUserChoiceFieldItem(int32_t i, int32_t index, const char* text) RSDB_NOEXCEPT;
/* The text of choice slot index of a field: media names for field 2, the list of a
 * user choice field, else empty. REQUIRES: size >= 51. */
RSDB_API void GetAlbumChoiceFieldItem(int32_t field, int32_t index, char* buf,
                                      int32_t size) RSDB_NOEXCEPT;
/* The album's stored value of a choice field (media for field 2), 0 otherwise. */
RSDB_API int32_t GetAlbumFieldItemIndex(HALBUM album, int32_t field) RSDB_NOEXCEPT;
/* The album's text of a field: title (0), sole artist or empty (1), text fields.
 * Field 2 and user choice fields write the stored value as a signed 32-bit integer
 * at the start of buf. REQUIRES: size >= 50. Returns 1. */
RSDB_API int32_t GetAlbumFieldText(HALBUM album, int32_t field, char* buf,
                                   int32_t size) RSDB_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* REELSMITHDB_H */
