// Adding albums from a folder of music files: 10,000 one-second files in 1,000 album folders
// (made once into a cache folder: one silent file per format from the audio tools, copied and
// tagged with TagLib). Measured in the same run:
//   - TagLib alone opening every file and reading its tag and length: the reference;
//   - the scan (walking the folders and reading every file) with the grouping and the preview
//     window built: the user's wait between choosing the folder and seeing the preview;
//   - the add of the 1,000 albums to an empty catalogue shown by the catalogue window, events
//     and the selectors' refresh included;
//   - the process's peak memory at the end.
// The cache folder is $RS_BENCH_MUSIC, else /tmp/reelsmith_bench_music.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue_window.h"
#include "client/database.h"
#include "import/album_grouping.h"
#include "import/album_import.h"
#include "import/import_preview_window.h"
#include "import/music_file_reader.h"
#include "import/music_folder_scan.h"
#include "../qt_benchmark_main.h"

namespace {

constexpr int kAlbums = 1000;
constexpr int kSongsPerAlbum = 10;
const char* const kEndings[] = {"flac", "mp3", "ogg", "opus", "m4a", "wav"};

QString CacheFolder() {
  const QByteArray env = qgetenv("RS_BENCH_MUSIC");
  return env.isEmpty() ? QStringLiteral("/tmp/reelsmith_bench_music") : QString::fromLocal8Bit(env);
}

bool Run(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.start(program, arguments);
  return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TagLib::String Text(const QString& s) {
  return TagLib::String(s.toStdString(), TagLib::String::UTF8);
}

// Makes the 10,000 files unless a finished cache is there.
QString MusicFolder() {
  const QString root = CacheFolder();
  const QString music = root + QStringLiteral("/music");
  if (QFile::exists(root + QStringLiteral("/complete"))) return music;
  QDir(root).removeRecursively();
  QDir().mkpath(root + QStringLiteral("/templates"));
  const QString t = root + QStringLiteral("/templates/s.");
  const QString wav = t + QStringLiteral("wav");
  bool ok =
      Run(QStringLiteral("sox"),
          {"-n", "-r", "8000", "-c", "1", "-b", "16", wav, "trim", "0", "1"}) &&
      Run(QStringLiteral("flac"), {"-s", wav, "-o", t + "flac"}) &&
      Run(QStringLiteral("lame"), {"--silent", wav, t + "mp3"}) &&
      Run(QStringLiteral("oggenc"), {"-Q", wav, "-o", t + "ogg"}) &&
      Run(QStringLiteral("opusenc"), {"--quiet", wav, t + "opus"}) &&
      Run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", wav, "-c:a", "aac", t + "m4a"});
  if (!ok) {
    std::fprintf(stderr, "the audio tools could not make the templates\n");
    std::exit(1);
  }
  for (int a = 0; a < kAlbums; ++a) {
    const char* ending = kEndings[a % 6];
    const QString folder = QStringLiteral("%1/Artist %2/Album %3").arg(music).arg(a / 10).arg(a);
    QDir().mkpath(folder);
    for (int s = 0; s < kSongsPerAlbum; ++s) {
      const QString path = QStringLiteral("%1/%2 Song.%3")
                               .arg(folder)
                               .arg(s + 1, 2, 10, QLatin1Char('0'))
                               .arg(ending);
      QFile::copy(t + QLatin1String(ending), path);
      TagLib::FileRef ref(QFile::encodeName(path).constData());
      TagLib::PropertyMap p;
      p.insert("TITLE",
               TagLib::StringList(Text(QStringLiteral("Song %1 of album %2").arg(s + 1).arg(a))));
      p.insert("ARTIST", TagLib::StringList(Text(QStringLiteral("Artist %1").arg(a / 10))));
      p.insert("ALBUM", TagLib::StringList(Text(QStringLiteral("Album %1").arg(a))));
      p.insert("TRACKNUMBER", TagLib::StringList(Text(QString::number(s + 1))));
      p.insert("DATE", TagLib::StringList(Text(QStringLiteral("1990"))));
      ref.file()->setProperties(p);
      if (!ref.save()) {
        std::fprintf(stderr, "could not tag %s\n", qPrintable(path));
        std::exit(1);
      }
    }
  }
  QFile done(root + QStringLiteral("/complete"));
  done.open(QIODevice::WriteOnly);
  return music;
}

std::vector<std::string> AllFiles(const QString& music) {
  std::vector<std::string> files;
  QDirIterator it(music, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) files.push_back(QFile::encodeName(it.next()).toStdString());
  return files;
}

void TagLibAlone(benchmark::State& state) {
  const std::vector<std::string> files = AllFiles(MusicFolder());
  long long seconds = 0;
  for (auto _ : state) {
    for (const std::string& f : files) {
      TagLib::FileRef ref(f.c_str(), true, TagLib::AudioProperties::Average);
      if (ref.tag()) benchmark::DoNotOptimize(ref.tag()->title().size());
      if (ref.audioProperties()) seconds += ref.audioProperties()->lengthInMilliseconds() / 1000;
    }
  }
  benchmark::DoNotOptimize(seconds);
  state.counters["files/s"] = benchmark::Counter(
      static_cast<double>(files.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

void ScanAndPreview(benchmark::State& state) {
  const QString music = MusicFolder();
  InstallTagLibListener();
  size_t albums = 0;
  size_t files = 0;
  for (auto _ : state) {
    TMusicFolderScan scan;
    const TFolderScanResult result = scan.Run(music);
    const TImportPlan plan = GroupAlbums(result, {}, {});
    TImportPreviewWindow preview(plan);
    preview.show();
    QApplication::processEvents();
    albums = plan.albums.size();
    files = result.files.size();
  }
  if (albums != kAlbums || files != kAlbums * kSongsPerAlbum) state.SkipWithError("wrong albums");
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(files) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

// The scan alone, without the grouping and the window: where the time of the above goes.
void ScanOnly(benchmark::State& state) {
  const QString music = MusicFolder();
  size_t files = 0;
  for (auto _ : state) {
    TMusicFolderScan scan;
    files = scan.Run(music).files.size();
  }
  state.counters["files/s"] =
      benchmark::Counter(static_cast<double>(files) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

std::unique_ptr<TReelsmithForm> gForm;

void AddThousandAlbums(benchmark::State& state) {
  TMusicFolderScan scan;
  const TImportPlan plan = GroupAlbums(scan.Run(MusicFolder()), {}, {});
  std::vector<const TAlbumContents*> chosen;
  for (const TImportAlbum& a : plan.albums) chosen.push_back(&a.contents);
  if (!gForm) {
    gForm = std::make_unique<TReelsmithForm>();
    gForm->IdleStep();
  }
  TReelsmithDB& db = *gForm->ReelsmithDB();
  for (auto _ : state) {
    state.PauseTiming();
    db.Clear();
    state.ResumeTiming();
    TAlbumImport(db).Add(chosen);
  }
  if (db.AlbumCount() != kAlbums) state.SkipWithError("wrong album count");
  state.counters["albums"] = db.AlbumCount();
  state.counters["songs"] = db.SongCount();
}

void PeakMemory(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(state.iterations());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

BENCHMARK(TagLibAlone)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ScanAndPreview)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ScanOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AddThousandAlbums)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PeakMemory)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] { gForm.reset(); });
}
