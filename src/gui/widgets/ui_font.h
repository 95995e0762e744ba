#pragma once

#include <QFont>
#include <QStringList>

// A font of the interface face, "ＭＳ Ｐゴシック", that falls back to an
// installed Japanese face rather than to a Latin one whose fallback might draw
// kanji in Chinese shapes.
QFont japaneseUiFont(qreal pointSize, bool bold = false);

// Installed Japanese sans-serif faces that stand in for "ＭＳ Ｐゴシック", best first.
QStringList japaneseFallbackFamilies();
