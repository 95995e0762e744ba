#pragma once

#include <QString>

// The plain text a grid cell shows for its stored markup: tags dropped ("<BR>"
// becomes a line break), every character reference shown as its character.
// Only for display; never written back into the model.
QString HtmlToGridText(const QString &s);
