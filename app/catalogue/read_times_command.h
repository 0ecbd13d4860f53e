#pragma once

#include <QString>

class QWidget;
class TCDPlayer;
class TReelsmithDB;
class TReelsmithFieldCtrl;
class TSongsGrid;

// The warning of a disc that could not be read.
extern const char kUnableToReadCd[];

// The catalogue window's "Read Times from CD": while an album is being edited and the player
// has a disc ready, reads the disc now in the drive and writes its track times (and, where the
// album has none, titles) into the songs grid, and the disc's title and performer into empty
// album title and artist controls. Rows after the last track are blanked; when they hold
// anything the user is asked first. A device error or a row the grid refuses ends the command
// with a warning; what was written stays written.
void ReadTimesFromCD(TCDPlayer& player, TReelsmithDB& db, TSongsGrid& grid,
                     TReelsmithFieldCtrl* titleCtrl, TReelsmithFieldCtrl* artistCtrl,
                     QWidget* parent);
