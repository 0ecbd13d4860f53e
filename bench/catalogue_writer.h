#pragma once
// Writes the program benchmarks' catalogues through the client layer, so they are real files of
// the version the program saves.
#include <QString>
#include <QtGlobal>

#include "client/database.h"

// `count` albums numbered from `first`, each with one song by an artist of its own, in an order
// unrelated to their names; the component is empty again afterwards.
inline void WriteBenchmarkCatalogue(TReelsmithDB& db, int count, int first, const QString& fileName) {
  db.Clear();
  db.SetDeferEvents(true);
  unsigned seed = 977u + static_cast<unsigned>(first);
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int i = first; i < first + count; ++i) {
    auto album = TReelsmithAlbum::CreateNew(&db, QString("Album %1 %2").arg(next() % 100000).arg(i),
                                            "", "", 1, 0, 0);
    auto artist =
        TReelsmithArtist::CreateNew(&db, QString("Artist %1 %2").arg(next() % 1000).arg(i));
    album->BeginAddSong();
    album->AddSong(QString("Song %1 %2").arg(next() % 100000).arg(i),
                   static_cast<int>((next() >> 8) % 601), *artist, 1);
    album->FinishAddSong();
  }
  db.ResequenceArtists();
  db.ResequenceAlbums();
  db.ResequenceSongs();
  db.SetFileName(fileName);
  if (!db.Save()) qFatal("cannot write the benchmark catalogue");
  db.SetDeferEvents(false);
  db.Clear();
}
