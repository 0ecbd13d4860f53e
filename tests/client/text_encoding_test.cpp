#include "client/text_encoding.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstring>

#include "platform/exceptions.h"

namespace {

TEST(Dbmem, AccentedAndTypographicTextRoundTripsThroughWindows1252) {
  const QString text = QString::fromUtf8("Café Björk – “Œuvre” € ™ ÿ");
  const QByteArray bytes = ToWindows1252(text);
  EXPECT_EQ(bytes, QByteArray("Caf\xE9 Bj\xF6rk \x96 \x93\x8Cuvre\x94 \x80 \x99 \xFF"));
  EXPECT_EQ(FromWindows1252(bytes.constData()), text);
}

TEST(Dbmem, EveryByteReadComesBackUnchanged) {
  QByteArray all;
  for (int b = 1; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = FromWindows1252(all.constData());
  EXPECT_EQ(text.size(), 255);
  EXPECT_EQ(ToWindows1252(text), all);
}

TEST(Dbmem, CharactersWithoutAWindows1252FormBecomeOneQuestionMarkEach) {
  // U+2116 and U+0100 have no Windows-1252 form; U+1F3B5 is one character in two units.
  const QString text = QString::fromUtf8("N\u2116 \u0100 \U0001F3B5!");
  EXPECT_EQ(ToWindows1252(text), QByteArray("N? ? ?!"));
  // A C1 control that Windows-1252 gives another character has no form either.
  EXPECT_EQ(ToWindows1252(QString(QChar(0x80))), QByteArray("?"));
}

TEST(Dbmem, BuffersHoldAtMost255CharactersAndReadUpToTheFirstZero) {
  const TDbText longText(QString(300, QChar(0xE9)));
  EXPECT_EQ(std::strlen(longText.Data()), 255u);
  EXPECT_EQ(static_cast<unsigned char>(longText.Data()[254]), 0xE9);

  TDbReadBuffer buf;
  std::memcpy(buf.Data(), "Ab\xE7\0zz", 6);
  EXPECT_EQ(buf.Text(), QString::fromUtf8("Abç"));
  EXPECT_EQ(TDbReadBuffer().Text(), QString());
  // Every record's name is read through a whole buffer and kept by the grids, so the text may
  // not keep the buffer's size as spare room: 15,000 songs would hold 8 MB they never use.
  EXPECT_LE(buf.Text().capacity(), 16);
}

TEST(Dbmem, FileNamesKeepTheFileSystemBytesAndAreNeverCut) {
  const QString name = QString::fromUtf8("/tmp/Müsik/Sammlung.mus");
  EXPECT_EQ(DbFileName(name), name.toUtf8());
  EXPECT_EQ(DbFileName(QString(254, 'a')).size(), 254);
  EXPECT_THROW(DbFileName(QString(255, 'a')), Exception);
  // 127 characters of two bytes each pass; one more does not.
  EXPECT_NO_THROW(DbFileName(QString(127, QChar(0xFC))));
  EXPECT_THROW(DbFileName(QString(128, QChar(0xFC))), Exception);
}

TEST(Dbmem, LibraryMessagesShowUtf8FileNamesAndWindows1252Text) {
  EXPECT_EQ(FromDbMessage("Could not open /tmp/M\xC3\xBCsik"),
            QString::fromUtf8("Could not open /tmp/Müsik"));
  EXPECT_EQ(FromDbMessage("Caf\xE9"), QString::fromUtf8("Café"));
}

TEST(Dbmem, TheFirstCharacterTheCatalogueCannotStoreIsFoundWholeAndNamed) {
  // Everything Windows-1252 holds passes, a typed '?' included.
  EXPECT_EQ(FirstUnstorableCharacter(QString::fromUtf8("Café Niño — €5 «ß» ‰ ™ Ÿ?")), QString());
  EXPECT_EQ(FirstUnstorableCharacter(QString::fromUtf8("Μουσική Νύχτα")), QString::fromUtf8("Μ"));
  EXPECT_EQ(FirstUnstorableCharacter(QString::fromUtf8("Abc 音楽の旅")), QString::fromUtf8("音"));
  // A character outside the basic plane is reported as itself, not half of it.
  EXPECT_EQ(FirstUnstorableCharacter(QString::fromUtf8("Party 🎵🎸")), QString::fromUtf8("🎵"));
  EXPECT_EQ(FirstUnstorableCharacter(QStringView(u"ab\xD800")), QString(QChar(0xD800)));

  const QString message = UnstorableTextMessage("Album title", QString::fromUtf8("🎵"));
  EXPECT_TRUE(message.startsWith("Album title")) << message.toStdString();
  EXPECT_TRUE(message.contains(QString::fromUtf8("\"🎵\" (U+1F3B5)"))) << message.toStdString();
}

}  // namespace
