#pragma once

#include <QFont>

// A font of the interface face, "ＭＳ Ｐゴシック", that falls back to an
// installed Japanese face rather than to a Latin one whose fallback might draw
// kanji in Chinese shapes.
QFont japaneseUiFont(qreal pointSize, bool bold = false);
