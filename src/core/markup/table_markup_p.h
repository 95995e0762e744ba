#pragma once

// What the HTML 4 and HTML5 builders share; only table_markup*.cpp include this.

#include <QString>

#include <algorithm>
#include <limits>
#include <vector>

#include "core/model/table_model.h"

namespace markup {

// The slots earlier cells' spans cover, for a walk down the table row by row.
// Every span is marked from the row being written, downwards, so a column is
// covered from the current row through the lowest row any span reached in it:
// one number a column is all the walk needs.
class CoveredMap
{
public:
    explicit CoveredMap(int cols) : m_through(std::size_t(std::max(cols, 0)) + 1, 0) {}

    // Only for rows at or below the one being written.
    bool at(int c, int r) const
    {
        return c >= 0 && std::size_t(c) < m_through.size() && m_through[std::size_t(c)] >= r;
    }
    // Whether a slot of columns c .. c + cols - 1 in row r is covered.
    bool anyAt(int c, qint64 cols, int r) const
    {
        const qint64 last = std::min<qint64>(qint64(c) + cols - 1, qint64(m_through.size()) - 1);
        for (qint64 x = std::max(c, 0); x <= last; ++x)
            if (m_through[std::size_t(x)] >= r)
                return true;
        return false;
    }

    // Columns c .. c + cols - 1, rows r .. r + rows - 1, r the row being
    // written. 64-bit ends so that a count near the 32-bit limit cannot wrap
    // around into the table; columns past the table are never looked at.
    void mark(int c, int r, qint64 cols, qint64 rows)
    {
        const qint64 lastCol = std::min<qint64>(qint64(c) + cols - 1, qint64(m_through.size()) - 1);
        const qint64 lastRow = qint64(r) + rows - 1;
        if (lastRow < r)
            return;
        const int through = int(std::min<qint64>(lastRow, std::numeric_limits<int>::max()));
        for (qint64 x = std::max(c, 0); x <= lastCol; ++x)
            m_through[std::size_t(x)] = std::max(m_through[std::size_t(x)], through);
    }

private:
    std::vector<int> m_through; // by column: the lowest row covered from the current one
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
    qsizetype textChars = -1; // the cells' texts, when already counted
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
