#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

// The four ways an insert is laid out: flaps above or below the song area, sides stacked or
// side by side.
enum InsertArrangement {
  iaVCassetteUp = 0,
  iaVCassetteDown = 1,
  iaHCassetteUp = 2,
  iaHCassetteDown = 3,
};

// A stored layout number as a layout. Settings files are edited by hand, so a number outside
// 0 .. 3 counts as the default, iaHCassetteUp.
InsertArrangement InsertArrangementFrom(int value);

// A rectangle in tenths of an inch.
struct TTenthsRect {
  int left, top, right, bottom;
};

// The five controls the arranger places, in the order it places them.
enum TInsertControl { icFrontFlap, icEdgeFlap, icSide1, icSide2, icExcessSongs };

// The rectangle of a control on screen for a layout, from the normal or the compact table.
TTenthsRect ScreenRectangle(bool compact, InsertArrangement arrangement, TInsertControl control);

// Tenths of an inch to pixels at pixelsPerInch, truncated toward zero; the rectangle's width
// and height are right - left and bottom - top converted.
QRect TenthsToPixels(const TTenthsRect& rect, int pixelsPerInch);

// What the arranger needs to know of the screen.
struct TScreenMetrics {
  int pixelsPerInch = 96;  // logical
  int height = 768;
  // The primary screen's, or the defaults above when there is none.
  static TScreenMetrics Primary();
};

// The compact table is used on screens with large fonts or fewer than 600 pixels.
bool CompactTableWanted(const TScreenMetrics& screen);

// Holds the insert's layout, moves the cassette window's five controls to their places for it
// and keeps the four layout buttons and menu items in step. Every reference may be unset; unset
// ones are skipped. Setting a button or menu item also makes clicking it choose its layout.
class TInsertArranger : public QObject {
  Q_OBJECT

 public:
  explicit TInsertArranger(QObject* owner = nullptr,
                           const TScreenMetrics& screen = TScreenMetrics::Primary());

  QWidget* FrontFlap() const { return controls_[icFrontFlap]; }
  void SetFrontFlap(QWidget* control) { controls_[icFrontFlap] = control; }
  QWidget* EdgeFlap() const { return controls_[icEdgeFlap]; }
  void SetEdgeFlap(QWidget* control) { controls_[icEdgeFlap] = control; }
  QWidget* Side1() const { return controls_[icSide1]; }
  void SetSide1(QWidget* control) { controls_[icSide1] = control; }
  QWidget* Side2() const { return controls_[icSide2]; }
  void SetSide2(QWidget* control) { controls_[icSide2] = control; }
  QWidget* ExcessSongs() const { return controls_[icExcessSongs]; }
  void SetExcessSongs(QWidget* control) { controls_[icExcessSongs] = control; }

  QAbstractButton* VerticalUpButton() const { return buttons_[iaVCassetteUp]; }
  void SetVerticalUpButton(QAbstractButton* b) { SetButton(iaVCassetteUp, b); }
  QAbstractButton* VerticalDownButton() const { return buttons_[iaVCassetteDown]; }
  void SetVerticalDownButton(QAbstractButton* b) { SetButton(iaVCassetteDown, b); }
  QAbstractButton* HorizontalUpButton() const { return buttons_[iaHCassetteUp]; }
  void SetHorizontalUpButton(QAbstractButton* b) { SetButton(iaHCassetteUp, b); }
  QAbstractButton* HorizontalDownButton() const { return buttons_[iaHCassetteDown]; }
  void SetHorizontalDownButton(QAbstractButton* b) { SetButton(iaHCassetteDown, b); }

  QAction* VerticalUpMenu() const { return menus_[iaVCassetteUp]; }
  void SetVerticalUpMenu(QAction* m) { SetMenu(iaVCassetteUp, m); }
  QAction* VerticalDownMenu() const { return menus_[iaVCassetteDown]; }
  void SetVerticalDownMenu(QAction* m) { SetMenu(iaVCassetteDown, m); }
  QAction* HorizontalUpMenu() const { return menus_[iaHCassetteUp]; }
  void SetHorizontalUpMenu(QAction* m) { SetMenu(iaHCassetteUp, m); }
  QAction* HorizontalDownMenu() const { return menus_[iaHCassetteDown]; }
  void SetHorizontalDownMenu(QAction* m) { SetMenu(iaHCassetteDown, m); }

  // The layout. Setting it presses its button, moves the controls and ticks its menu item.
  InsertArrangement Arrangement() const { return arrangement_; }
  void SetArrangement(InsertArrangement arrangement);
  // A stored layout number, read with InsertArrangementFrom.
  void SetArrangement(int value) { SetArrangement(InsertArrangementFrom(value)); }

  // The height and width in pixels of the window area the controls take, excess strip included.
  int AreaHeight() const;
  int AreaWidth() const;
  bool Compact() const { return compact_; }
  int PixelsPerInch() const { return pixelsPerInch_; }

 private:
  void SetButton(InsertArrangement arrangement, QAbstractButton* button);
  void SetMenu(InsertArrangement arrangement, QAction* item);

  InsertArrangement arrangement_ = iaHCassetteUp;
  bool compact_ = false;
  int pixelsPerInch_ = 96;
  QPointer<QWidget> controls_[5];
  QPointer<QAbstractButton> buttons_[4];
  QPointer<QAction> menus_[4];
};
