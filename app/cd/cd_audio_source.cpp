#include "cd/cd_audio_source.h"

#include <cdio/cdio.h>

#include "cd/libcdio_device.h"
#include "cd/libcdio_log.h"

QString CdAudioSource() {
  InstallLibcdioLogHandler();
  const QString named = qEnvironmentVariable("REELSMITH_CD");
  if (!named.isEmpty()) return named;
  QString first;
  if (char** drives = cdio_get_devices(DRIVER_DEVICE)) {
    if (drives[0]) first = QString::fromLocal8Bit(drives[0]);
    cdio_free_device_list(drives);
  }
  return first;
}

std::unique_ptr<TCdAudioDevice> MakeCdAudioDevice(const QString& source) {
  if (source.isEmpty()) return nullptr;
  return std::make_unique<TLibcdioDevice>(source);
}
