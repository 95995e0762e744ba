#pragma once

#include <QFont>
#include <QStringList>

// A font of the interface face, "ＭＳ Ｐゴシック", that falls back to an
// installed Japanese face rather than to a Latin one whose fallback might draw
// kanji in Chinese shapes.
// Where the desktop names a font of its own, its face comes first and the
// size grows with it (pointSize is the size at the designed 9 points).
QFont japaneseUiFont(qreal pointSize, bool bold = false);

// The desktop's font size over the designed 9 points; 1 where it names none.
qreal desktopFontScale();

// Installed Japanese sans-serif faces that stand in for "ＭＳ Ｐゴシック", best first.
QStringList japaneseFallbackFamilies();
