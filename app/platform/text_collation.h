#pragma once

#include <QByteArray>
#include <QString>

struct UCollator;

// The program's one locale-aware text order, the same the library sorts by: ICU in the user's
// locale (LC_ALL, then LC_COLLATE, then LANG; ICU's root order when none is set or it is "C" or
// "POSIX"). Case-insensitive comparison is secondary strength, case-sensitive tertiary.
// The locale is read when the object is made; one object serves one thread.
class TTextCollation {
 public:
  enum TStrength { tsNoCase, tsCase };

  explicit TTextCollation(TStrength strength = tsNoCase);
  ~TTextCollation();
  TTextCollation(const TTextCollation&) = delete;
  TTextCollation& operator=(const TTextCollation&) = delete;

  // <0, 0 or >0 as a sorts before, with or after b.
  int Compare(const QString& a, const QString& b) const;
  // Bytes whose plain byte order (memcmp, shorter first on a common prefix) is Compare's order.
  QByteArray SortKey(const QString& text) const;

  // The ICU locale name the user's environment selects ("root" for none).
  static QString UserLocale();

 private:
  UCollator* collator_ = nullptr;
};
