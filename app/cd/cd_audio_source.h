#pragma once

#include <QString>

#include <memory>

#include "cd/cd_audio_device.h"

// The CD audio device's source: the drive or disc image named by REELSMITH_CD when set, else
// the first CD drive libcdio finds; empty when there is none (the program has no CD audio
// device then). Installs the libcdio log handler before looking for drives.
QString CdAudioSource();

// The device for `source`, or null when `source` is empty.
std::unique_ptr<TCdAudioDevice> MakeCdAudioDevice(const QString& source);
