#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own button pictures, drawn in code at 16, 24 and 32 pixels so
// that they look the same on every desktop, with or without an icon theme.

// Main toolbar, by button index 1..14; separators and unknown indices give an empty icon.
QIcon toolbarIcon(int index);

// Editor toolbar, by position 1..17; separators and unknown positions give an empty icon.
QIcon editorIcon(int position);

// The program's icon: a table on a blue tile.
QIcon appIcon();

// The same picture at any size in pixels (the About box shows it at 72).
QPixmap appPicture(int size);
