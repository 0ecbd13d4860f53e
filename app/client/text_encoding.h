#pragma once
// Text that crosses into the library: catalogue text is 8-bit Windows-1252 in 256-byte
// buffers (at most 255 characters and a zero byte); file names are the file system's bytes.
#include <QByteArray>
#include <QString>
#include <QStringView>

// The size of every text buffer handed to or read from the library.
constexpr int kDbBufferSize = 256;
// The size the program declares when the library fills a buffer: one less than its room.
constexpr int kDbReadSize = kDbBufferSize - 1;
// The longest file name the library keeps whole (its save target holds 254 characters).
constexpr int kDbMaxFileNameBytes = 254;

// The Windows-1252 form of the text, one byte per character; a character without a
// Windows-1252 form becomes '?'. The five bytes Windows-1252 leaves undefined stand for
// the C1 controls of the same value, so that any byte read from a catalogue comes back.
QByteArray ToWindows1252(QStringView text);

// The lengths the catalogue keeps; longer text would be cut by the library, so input boxes take
// no more than these.
constexpr int kDbNameLength = 49;       // album titles, artist names, song titles
constexpr int kDbAlbumTextLength = 25;  // the values of user text fields
constexpr int kDbFieldNameLength = 20;  // the names of user fields
constexpr int kDbChoiceLength = 50;     // the choices of user choice fields

// The first character of the text that has no Windows-1252 form (a pair of surrogates is one
// character), or an empty string when the catalogue can store every character as typed.
QString FirstUnstorableCharacter(QStringView text);

// The message refusing text that holds such a character: names the field and the character.
QString UnstorableTextMessage(const QString& fieldName, const QString& character);

// The text of Windows-1252 bytes, up to the first zero byte or len bytes.
QString FromWindows1252(const char* bytes, int len);
QString FromWindows1252(const char* zeroTerminated);

// A zero-terminated buffer holding at most 255 characters of the text, converted to
// Windows-1252; longer text is cut.
class TDbText {
 public:
  explicit TDbText(QStringView text);
  const char* Data() const { return buf_; }

 private:
  char buf_[kDbBufferSize];
};

// A zeroed buffer for the library to fill; Text() reads it up to the first zero byte.
class TDbReadBuffer {
 public:
  TDbReadBuffer() : buf_{} {}
  char* Data() { return buf_; }
  QString Text() const;

 private:
  char buf_[kDbBufferSize];
};

// A file name in the bytes the file system uses (the library opens it as given).
// Throws Exception when it needs more than kDbMaxFileNameBytes bytes: the library would
// cut it, and a cut name can name another file.
QByteArray DbFileName(const QString& fileName);

// Text the library wrote that may hold both its own words and file names (UTF-8 on this
// system): read as UTF-8 when it is valid UTF-8, else as Windows-1252.
QString FromDbMessage(const char* zeroTerminated);
