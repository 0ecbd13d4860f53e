#include "cd/libcdio_device.h"

#include <QFileInfo>

#include <cdio/cdio.h>
// After cdio.h, which declares the types it uses.
#include <cdio/audio.h>
#include <cdio/cdtext.h>
#include <cdio/mmc.h>

#include <vector>

#include "cd/libcdio_log.h"

namespace {

bool IsImageDriver(driver_id_t id) {
  return id == DRIVER_BINCUE || id == DRIVER_CDRDAO || id == DRIVER_NRG;
}

QString CdText(cdtext_t* text, cdtext_field_t field, track_t track) {
  const char* value = text ? cdtext_get_const(text, field, track) : nullptr;
  return value ? QString::fromUtf8(value).trimmed() : QString();
}

}  // namespace

void TLibcdioDevice::TCloser::operator()(_CdIo* handle) const { cdio_destroy(handle); }

TLibcdioDevice::TLibcdioDevice(const QString& source) : source_(source) {
  InstallLibcdioLogHandler();
}

TLibcdioDevice::~TLibcdioDevice() = default;

QString TLibcdioDevice::ImageStamp() const {
  const QFileInfo info(source_);
  if (!info.exists()) return QString();
  return QString::number(info.size()) + QLatin1Char('/') +
         QString::number(info.lastModified().toMSecsSinceEpoch());
}

bool TLibcdioDevice::Reopen() {
  // The contents are kept until the new ones are known, so that the same disc plays on.
  handle_.reset();
  text_ = {};
  TakeLibcdioError();  // an older message is not this open's
  const QByteArray name = QFile::encodeName(source_);
  // A missing file would otherwise be tried as a drive by every driver in turn.
  if (QFileInfo::exists(source_)) handle_.reset(cdio_open(name.constData(), DRIVER_UNKNOWN));
  lastError_ = TakeLibcdioError();
  if (!handle_) {
    ClearTableOfContents();
    return false;
  }
  image_ = IsImageDriver(cdio_get_driver_id(handle_.get()));
  stamp_ = image_ ? ImageStamp() : QString();
  ReadContents();
  // Libcdio goes on after an error it logged, but what it then answers is not to be trusted.
  const QString readError = TakeLibcdioError();
  if (!readError.isEmpty()) lastError_ = readError;
  if (!lastError_.isEmpty()) ClearTableOfContents();
  return true;
}

void TLibcdioDevice::ReadContents() {
  CdIo_t* p = handle_.get();
  track_t count = cdio_get_num_tracks(p);
  const track_t first = cdio_get_first_track_num(p);
  std::vector<long> starts;
  if (count == CDIO_INVALID_TRACK || count == 0 || first == CDIO_INVALID_TRACK) count = 0;
  for (int i = 0; count > 0 && i <= count; ++i) {
    const track_t track = i == count ? static_cast<track_t>(CDIO_CDROM_LEADOUT_TRACK)
                                     : static_cast<track_t>(first + i);
    const lsn_t lsn = cdio_get_track_lsn(p, track);
    // A damaged table of contents (a start missing or out of order) is no readable disc.
    if (lsn == CDIO_INVALID_LSN || (!starts.empty() && lsn < starts.back())) {
      ClearTableOfContents();
      return;
    }
    starts.push_back(lsn);
  }
  SetTableOfContents(std::move(starts));
  cdtext_t* text = cdio_get_cdtext(p);
  if (!text) return;
  text_.title = CdText(text, CDTEXT_FIELD_TITLE, 0);
  text_.performer = CdText(text, CDTEXT_FIELD_PERFORMER, 0);
  for (int i = 0; i < count; ++i)
    text_.trackTitles << CdText(text, CDTEXT_FIELD_TITLE, static_cast<track_t>(first + i));
  while (!text_.trackTitles.isEmpty() && text_.trackTitles.back().isEmpty())
    text_.trackTitles.removeLast();
}

void TLibcdioDevice::Open() {
  ejected_ = false;
  const bool ok = Reopen();
  open_ = ok;
  if (ok) return;
  QString message = QStringLiteral("Unable to open the CD audio device %1.").arg(source_);
  if (!lastError_.isEmpty()) message += QStringLiteral(" (libcdio: %1)").arg(lastError_);
  throw ECdError(message);
}

void TLibcdioDevice::Close() {
  handle_.reset();
  ClearTableOfContents();
  open_ = false;
}

TClockedCdDevice::TMedia TLibcdioDevice::MediaState() {
  if (ejected_) return TMedia::DoorOpen;
  if (image_) {
    // The image file is the disc: another file under the name is another disc.
    const QString stamp = ImageStamp();
    if (stamp.isEmpty()) {
      handle_.reset();
      ClearTableOfContents();
      return TMedia::NoDisc;
    }
    if (stamp != stamp_ || !handle_) Reopen();
  } else if (!handle_) {
    Reopen();
  } else {
    if (mmc_get_tray_status(handle_.get()) == 1) {
      ClearTableOfContents();
      return TMedia::DoorOpen;
    }
    if (cdio_get_media_changed(handle_.get()) == 1) Reopen();
  }
  return handle_ && HasTableOfContents() ? TMedia::Ready : TMedia::NoDisc;
}

TCdText TLibcdioDevice::Text() {
  TrackCount();  // raises without a readable disc
  return text_;
}

void TLibcdioDevice::Eject() {
  if (!open_) throw ECdError(QStringLiteral("The CD audio device is not open."));
  if (!image_) {
    handle_.reset();
    cdio_eject_media_drive(QFile::encodeName(source_).constData());
  }
  ejected_ = true;
  ClearTableOfContents();
}

void TLibcdioDevice::Play() {
  if (ejected_) {
    ejected_ = false;
    if (!image_) cdio_close_tray(QFile::encodeName(source_).constData(), nullptr);
    Reopen();
  }
  TClockedCdDevice::Play();
}

// A drive that cannot play audio answers these with an error; the clock keeps the position
// either way, so the answers are not needed.
void TLibcdioDevice::OnPlay(long from, long to) {
  if (image_ || !handle_) return;
  msf_t start;
  msf_t end;
  cdio_lsn_to_msf(static_cast<lsn_t>(from), &start);
  cdio_lsn_to_msf(static_cast<lsn_t>(to - 1), &end);
  cdio_audio_play_msf(handle_.get(), &start, &end);
}

void TLibcdioDevice::OnPause() {
  if (!image_ && handle_) cdio_audio_pause(handle_.get());
}

void TLibcdioDevice::OnResume() {
  if (!image_ && handle_) cdio_audio_resume(handle_.get());
}

void TLibcdioDevice::OnStop() {
  if (!image_ && handle_) cdio_audio_stop(handle_.get());
}
