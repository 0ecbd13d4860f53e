#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

// A window's placement as the settings file stores it: show state, minimised and maximised
// positions, and the normal (restored) rectangle with exclusive right and bottom edges.
struct TWindowPlacement {
  // Flags: the minimised position was set; a minimised window restores to maximised.
  static constexpr int kSetMinPosition = 1;
  static constexpr int kRestoreToMaximized = 2;
  // Show states.
  static constexpr int kHide = 0;
  static constexpr int kShowNormal = 1;
  static constexpr int kShowMinimized = 2;
  static constexpr int kShowMaximized = 3;

  int flags = 0;
  int showCmd = kShowNormal;
  QPoint minPosition;
  QPoint maxPosition;
  int left = 0, top = 0, right = 0, bottom = 0;

  bool operator==(const TWindowPlacement& o) const {
    return flags == o.flags && showCmd == o.showCmd && minPosition == o.minPosition &&
           maxPosition == o.maxPosition && left == o.left && top == o.top && right == o.right &&
           bottom == o.bottom;
  }
};

// The placement of a top-level widget: its normal geometry, minimised or maximised state and
// visibility. False when `window` is not a top-level widget or has no normal geometry yet.
bool GetWindowPlacement(const QWidget* window, TWindowPlacement& placement);
// Applies a placement: normal geometry, then the show state (0 hides the window; 1 to 3 show it
// normal, minimised or maximised). Qt places minimised and maximised windows itself, so those
// two positions are not applied.
void SetWindowPlacement(QWidget* window, const TWindowPlacement& placement);

// Applies the corrections made to a stored placement before it is restored, on a screen of
// `screen` size: minimised and maximised positions outside the screen become 0; a normal
// rectangle whose left (top) lies outside the screen moves to the screen's edge keeping its width
// (height). Answers whether the placement is usable at all (left < right).
bool CorrectPlacement(TWindowPlacement& placement, const QSize& screen);

// Moves the normal rectangle into `room` (the screen's free area), first cutting it down to the
// room's size where it is larger. Restoring does this after the corrections above, so that a
// placement stored on a larger screen or at a smaller scale leaves no part of the window out of
// reach.
void KeepOnScreen(TWindowPlacement& placement, const QRect& room);

// Saves and restores the placement of the window that owns it (its Qt parent) in the settings
// file, under Section: "PlaceFlags", "PlaceShowCmd", "PlaceMinPosX", "PlaceMinPosY",
// "PlaceMaxPosX", "PlaceMaxPosY", "PlaceNormPosL", "PlaceNormPosT", "PlaceNormPosR",
// "PlaceNormPosB". Nothing is read or written while IniFileName is empty.
class TPlacement : public QObject {
  Q_OBJECT

 public:
  explicit TPlacement(QWidget* owner);

  const QString& IniFileName() const { return iniFileName_; }
  void SetIniFileName(const QString& name) { iniFileName_ = name; }
  // The owner's component name unless set.
  QString Section() const;
  void SetSection(const QString& section) { section_ = section; }
  // Restoring never shows the window.
  bool ForceInvisible() const { return forceInvisible_; }
  void SetForceInvisible(bool value) { forceInvisible_ = value; }
  // Restoring applies the stored size; when false the window keeps its current size.
  bool SetSize() const { return setSize_; }
  void SetSetSize(bool value) { setSize_ = value; }

  // Called by the owner when it is created. A missing or unusable placement changes nothing.
  void RestorePlacement();
  // Called by the owner when it is destroyed. Raises Exception("Unable to retrieve window
  // placement") when the owner has no placement, and the settings file's write error.
  void SavePlacement();

 private:
  QWidget* Owner() const;

  QString iniFileName_;
  QString section_;
  bool forceInvisible_ = false;
  bool setSize_ = true;
};
