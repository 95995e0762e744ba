#pragma once

class QWidget;

// Opens the help file Qrvn.CHM at its default topic in a help window owned by
// owner. A missing or unreadable file is reported inside that window.
void showHelpFile(QWidget *owner);
