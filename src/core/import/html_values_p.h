#pragma once

// The values of a page's attributes and inline styles as the cell settings
// hold them: numbers, lengths, colours, alignment. Only the table reader uses these.

#include <QString>

#include <optional>
#include <vector>

#include "core/markup/cell_style.h"

#include "core/import/html_tables_p.h"

namespace htmltables {

// HTML's rules for parsing non-negative integers, with the value capped so
// that it cannot overflow ("3px" gives 3, "+2" gives 2, "x" gives nothing).
struct Number {
    qint64 value = 0;
    bool percent = false;
};

// A style attribute's declarations, and which of them the model took.
struct InlineStyle {
    QVector<CssDeclaration> declarations; // in order
    std::vector<char> taken;              // by declaration

    // The last declaration of property (the one a browser uses), -1 for none.
    int lastOf(QLatin1String property) const;
    // Declaration i's value without "!important".
    QString value(int i) const;
    // Declaration i is held, and the earlier ones of its property it overrides.
    void take(int i);
    // What was not taken, in order.
    QVector<CssDeclaration> rest() const;
};

std::optional<Number> parseDimension(const QString &s);

// A CSS length in pixels ("120px", "0", "9pt" as 12) or a percentage.
std::optional<Number> parseCssLength(QString s);

// "#RRGGBB", "#RGB", the basic colour names and (in CSS) rgb(r, g, b); a
// legacy BGCOLOR may also leave out the "#".
std::optional<qint32> parseColour(QString s, bool legacy);

std::optional<qint16> horizontalAlignment(const QString &s);

std::optional<qint16> verticalAlignment(const QString &s);

InlineStyle parseStyle(const std::optional<QString> &attr);

// The background colour: CSS first (it wins over the attribute; the
// declaration is taken), then BGCOLOR.
std::optional<qint32> backgroundOf(const GumboElement &e, InlineStyle &style);

} // namespace htmltables
