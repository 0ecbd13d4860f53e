#pragma once

// How the background picture fills the song area. Kept apart from the printer so that code
// reading pictures needs no widget or printing headers.
enum TPictureLayout { plTile = 0, plCenter = 1, plStretch = 2 };
