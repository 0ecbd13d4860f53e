#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

#include "cd/clocked_cd_device.h"

struct _CdIo;

// The CD audio device through libcdio: a drive (/dev/sr0) or a disc image (.cue/.bin, .toc,
// .nrg) read as if it were one. Libcdio plays no image and few drives on Linux, so playing is
// kept by a monotonic clock (TClockedCdDevice); a drive that can play is also told to. Creating
// one installs the program's libcdio log handler, so no libcdio error ends the program.
class TLibcdioDevice : public TClockedCdDevice {
 public:
  explicit TLibcdioDevice(const QString& source);
  ~TLibcdioDevice() override;

  const QString& Source() const { return source_; }
  // The error libcdio logged while the source was last opened or read; empty when none.
  const QString& LastError() const { return lastError_; }

  void Open() override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  TCdText Text() override;
  void Eject() override;
  // Playing with the tray open closes it first.
  void Play() override;

 protected:
  TMedia MediaState() override;
  void OnPlay(long from, long to) override;
  void OnPause() override;
  void OnResume() override;
  void OnStop() override;

 private:
  struct TCloser {
    void operator()(_CdIo* handle) const;
  };
  // Opens a fresh handle (libcdio keeps the contents it read when the handle was opened) and
  // reads the contents; false when the source cannot be opened.
  bool Reopen();
  void ReadContents();
  // What tells a changed image file: its size and modification time.
  QString ImageStamp() const;

  QString source_;
  std::unique_ptr<_CdIo, TCloser> handle_;
  bool open_ = false;
  bool image_ = false;
  bool ejected_ = false;
  QString stamp_;
  QString lastError_;
  TCdText text_;
};
