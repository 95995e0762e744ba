#pragma once

#include <QStringView>

// How many columns a text takes in a fixed-width layout as reStructuredText
// readers measure grid tables: one per code point, two for a wide or
// full-width one (East Asian Width W or F), combining marks included.
qsizetype textColumns(QStringView text);
bool isWideCodePoint(char32_t cp);
// The code point at i, i moved past it; a lone surrogate is itself.
char32_t nextCodePoint(QStringView text, qsizetype &i);
