#include "platform/text_collation.h"

#include <unicode/ucol.h>

#include <QRegularExpression>
#include <QtGlobal>

#include <new>

#include "platform/exceptions.h"

namespace {

const UChar* Chars(const QString& text) { return reinterpret_cast<const UChar*>(text.utf16()); }

}  // namespace

QString TTextCollation::UserLocale() {
  QString value;
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    value = qEnvironmentVariable(name);
    if (!value.isEmpty()) break;
  }
  const qsizetype cut = value.indexOf(QRegularExpression(QStringLiteral("[.@]")));
  if (cut >= 0) value.truncate(cut);
  if (value.isEmpty() || value == QLatin1String("C") || value == QLatin1String("POSIX"))
    return QStringLiteral("root");
  return value;
}

TTextCollation::TTextCollation(TStrength strength) {
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open(UserLocale().toUtf8().constData(), &status);
  if (U_FAILURE(status)) {
    // An unknown locale falls back to the root order, as the library's own comparison does.
    status = U_ZERO_ERROR;
    collator_ = ucol_open("root", &status);
    if (U_FAILURE(status)) throw Exception(QStringLiteral("Unable to open the text collation."));
  }
  ucol_setStrength(collator_, strength == tsNoCase ? UCOL_SECONDARY : UCOL_TERTIARY);
}

TTextCollation::~TTextCollation() { ucol_close(collator_); }

int TTextCollation::Compare(const QString& a, const QString& b) const {
  return static_cast<int>(ucol_strcoll(collator_, Chars(a), static_cast<int32_t>(a.size()),
                                       Chars(b), static_cast<int32_t>(b.size())));
}

QByteArray TTextCollation::SortKey(const QString& text) const {
  QByteArray key(64, Qt::Uninitialized);
  const int32_t length = static_cast<int32_t>(text.size());
  int32_t need = ucol_getSortKey(collator_, Chars(text), length,
                                 reinterpret_cast<uint8_t*>(key.data()), key.size());
  if (need > key.size()) {
    key.resize(need);
    need = ucol_getSortKey(collator_, Chars(text), length, reinterpret_cast<uint8_t*>(key.data()),
                           key.size());
  }
  key.resize(need > 0 ? need - 1 : 0);  // without the terminating zero
  return key;
}
