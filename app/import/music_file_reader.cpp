#include "import/music_file_reader.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tpropertymap.h>
#include <taglib/tstringlist.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>

namespace {

class TDroppingListener : public TagLib::DebugListener {
 public:
  void printMessage(const TagLib::String&) override {}
};

QString ToQString(const TagLib::String& text) {
  return QString::fromStdWString(text.toWString()).trimmed();
}

QString FirstProperty(const TagLib::PropertyMap& properties, const char* key) {
  const auto it = properties.find(key);
  if (it == properties.end() || it->second.isEmpty()) return QString();
  return ToQString(it->second.front());
}

// "3", "3/12" and " 03 " all give 3; anything else gives 0.
int LeadingNumber(const QString& text) {
  int value = 0;
  int digits = 0;
  for (const QChar c : text.trimmed()) {
    if (!c.isDigit() || c.unicode() > 127) break;
    if (++digits > 6) return 0;
    value = value * 10 + (c.unicode() - '0');
  }
  return value;
}

int Clamped(unsigned int value, unsigned int limit) {
  return static_cast<int>(std::min(value, limit));
}

QString ReadRef(TagLib::FileRef& ref, TMusicFileTags& tags) {
  tags = TMusicFileTags();
  if (ref.isNull() || ref.file() == nullptr || !ref.file()->isValid())
    return QStringLiteral("not a music file that can be read (damaged or another kind of file)");
  if (const TagLib::Tag* tag = ref.tag()) {
    tags.title = ToQString(tag->title());
    tags.artist = ToQString(tag->artist());
    tags.album = ToQString(tag->album());
    tags.genre = ToQString(tag->genre());
    tags.year = Clamped(tag->year(), 9999);
    tags.track = Clamped(tag->track(), 9999);
  }
  const TagLib::PropertyMap properties = ref.file()->properties();
  tags.albumArtist = FirstProperty(properties, "ALBUMARTIST");
  tags.disc = std::min(LeadingNumber(FirstProperty(properties, "DISCNUMBER")), 9999);
  if (tags.track == 0)
    tags.track = std::min(LeadingNumber(FirstProperty(properties, "TRACKNUMBER")), 9999);
  if (const TagLib::AudioProperties* audio = ref.audioProperties()) {
    const int milliseconds = audio->lengthInMilliseconds();
    tags.seconds = milliseconds > 0 ? milliseconds / 1000 : 0;
    tags.hasLength = milliseconds > 0;
  }
  // Some readers accept any bytes (an MP3 reader looks for frames and finds none): without audio
  // and without a tag there is nothing to say the file is music at all.
  if (!tags.hasLength && tags.title.isEmpty() && tags.artist.isEmpty() && tags.album.isEmpty())
    return QStringLiteral("no audio found in the file");
  return QString();
}

}  // namespace

void InstallTagLibListener() {
  static std::once_flag once;
  std::call_once(once, [] {
    static TDroppingListener listener;
    TagLib::setDebugListener(&listener);
  });
}

bool HasMusicFileEnding(const std::string& fileName) {
  static const std::set<std::string> endings = [] {
    std::set<std::string> set;
    for (const TagLib::String& e : TagLib::FileRef::defaultFileExtensions())
      set.insert(e.to8Bit(true));
    return set;
  }();
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot + 1 >= fileName.size() || fileName.size() - dot > 6)
    return false;
  std::string ending = fileName.substr(dot + 1);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return endings.count(ending) > 0;
}

QString ReadMusicFile(const std::string& path, TMusicFileTags& tags) {
  InstallTagLibListener();
  try {
    TagLib::FileRef ref(path.c_str(), true, TagLib::AudioProperties::Average);
    return ReadRef(ref, tags);
  } catch (const std::exception&) {
    // A damaged size field can ask for more memory than there is.
    tags = TMusicFileTags();
    return QStringLiteral("damaged file");
  }
}

QString ReadMusicData(const char* data, std::size_t size, TMusicFileTags& tags) {
  InstallTagLibListener();
  try {
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(data, static_cast<unsigned int>(std::min<std::size_t>(size, 1u << 30))));
    TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Average);
    return ReadRef(ref, tags);
  } catch (const std::exception&) {
    tags = TMusicFileTags();
    return QStringLiteral("damaged file");
  }
}
