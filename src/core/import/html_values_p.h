#pragma once

// The values of a page's attributes and inline styles as the cell settings
// hold them: numbers, lengths, colours, alignment. Only the table reader uses these.

#include <QString>

#include <optional>

#include "core/import/html_tables_p.h"

namespace htmltables {

// HTML's rules for parsing non-negative integers, with the value capped so
// that it cannot overflow ("3px" gives 3, "+2" gives 2, "x" gives nothing).
struct Number {
    qint64 value = 0;
    bool percent = false;
};

// The few declarations of a style attribute the model can hold.
struct InlineStyle {
    std::optional<QString> textAlign, verticalAlign, width, height, backgroundColor, borderWidth;
};

std::optional<Number> parseDimension(const QString &s);

// A CSS length in pixels ("120px", "0") or a percentage.
std::optional<Number> parseCssLength(QString s);

// "#RRGGBB", "#RGB", the basic colour names and (in CSS) rgb(r, g, b); a
// legacy BGCOLOR may also leave out the "#".
std::optional<qint32> parseColour(QString s, bool legacy);

std::optional<qint16> horizontalAlignment(const QString &s);

std::optional<qint16> verticalAlignment(const QString &s);

InlineStyle parseStyle(const std::optional<QString> &attr);

// The background colour: CSS first (it wins over the attribute), then BGCOLOR.
std::optional<qint32> backgroundOf(const GumboElement &e, const InlineStyle &style);

// A size in pixels from CSS or the attribute; percentages are not pixels.
std::optional<qint64> pixelsOf(const GumboElement &e, const std::optional<QString> &css,
                               const char *name);

} // namespace htmltables
