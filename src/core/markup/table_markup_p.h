#pragma once

// What the HTML 4 and HTML5 builders share; only table_markup*.cpp include this.

#include <QString>

#include <algorithm>
#include <array>

#include "core/model/table_model.h"

namespace markup {

// Spans are marked into a map a little larger than the cell array; a span
// reaching further simply stops at its edge (positions past the table are
// never looked at, so nothing is lost by not marking them).
constexpr int CoveredSize = 111;

class CoveredMap
{
public:
    bool at(int c, int r) const
    {
        return c >= 0 && c < CoveredSize && r >= 0 && r < CoveredSize
                && m_bits[std::size_t(r) * CoveredSize + std::size_t(c)];
    }

    // Columns c .. c + cols - 1, rows r .. r + rows - 1. 64-bit ends so that a
    // count near the 32-bit limit cannot wrap around into the table.
    void mark(int c, int r, qint64 cols, qint64 rows)
    {
        const qint64 lastCol = std::min<qint64>(qint64(c) + cols - 1, CoveredSize - 1);
        const qint64 lastRow = std::min<qint64>(qint64(r) + rows - 1, CoveredSize - 1);
        for (qint64 y = std::max(r, 0); y <= lastRow; ++y)
            for (qint64 x = std::max(c, 0); x <= lastCol; ++x)
                m_bits[std::size_t(y) * CoveredSize + std::size_t(x)] = true;
    }

private:
    std::array<bool, CoveredSize * CoveredSize> m_bits {};
};


// An id or class as an attribute value: whitespace inside an id would make it
// no id at all, so it goes; a class list is written with single spaces.
inline QString attributeText(const QString &value, bool isId)
{
    QString v = value.simplified();
    if (isId)
        v.remove(QLatin1Char(' '));
    v.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    v.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return v;
}

inline void appendAttribute(QString &out, QLatin1String name, const QString &value, bool isId = false)
{
    const QString text = attributeText(value, isId);
    if (text.isEmpty())
        return;
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    out += text;
    out += QLatin1Char('"');
}

inline const QLatin1String crlf("\r\n");

// What the table element itself is made of, read from the model once.
struct MarkupInputs {
    QString borderText;
    QString titleText;
    qint32 backColorShown;
};

inline MarkupInputs inputsOf(const TableModel &model)
{
    return MarkupInputs{QString::number(model.TableBorder), model.TableTitle, model.TableBackColor};
}

inline int lastTableRow(const TableModel &model)
{
    return std::clamp<int>(model.TableRows, 0, TableLimits::MaxRows);
}

inline int lastTableCol(const TableModel &model)
{
    return std::clamp<int>(model.TableCols, 0, TableLimits::MaxCols);
}

QString buildHtml4(const TableModel &model, const MarkupInputs &in);
QString buildHtml5(const TableModel &model, const MarkupInputs &in);

} // namespace markup
