#include "core/import/html_tables.h"

#include <QCoreApplication>

#include "core/model/grid_text.h"

#include <algorithm>
#include <vector>

// Which table of a page the user most likely wants, and what a list of the
// tables shows of each. Pages put navigation and layout in tables too: every
// PostgreSQL-style documentation page starts with a bar of "Prev / Up / Home /
// Next", generated manuals with a layout table around the text.
//
// How tables are scored: a table holds data unless it lays out the page:
// it holds another table (a frame), it has a single row (a bar or a banner),
// or more than half of its cells that show anything show nothing but links
// (navigation). Of the data tables the one with the most cells that show
// something wins, the first of equals. A page without any data table gets
// the one with the most such cells among those that hold no other table, else
// its first table. Only a sample of each table's cells is looked at, and of
// each cell only its start, so the choice costs little on the largest pages.

namespace {

constexpr int SampledCells = 256;
constexpr qsizetype SampledText = 4096;
constexpr int ExcerptLength = 24;
constexpr int FirstCells = 3;

QString excerpt(const QString &html)
{
    QString s = HtmlToGridText(html.left(SampledText)).simplified();
    if (s.size() > ExcerptLength)
        s = s.left(ExcerptLength) + QChar(0x2026);
    return s;
}

// The markup with every <a ...>...</a> taken out.
QString outsideLinks(QStringView html)
{
    QString rest;
    qsizetype pos = 0;
    while (pos < html.size()) {
        qsizetype open = html.indexOf(QLatin1String("<a"), pos, Qt::CaseInsensitive);
        while (open >= 0 && open + 2 < html.size() && !html.at(open + 2).isSpace()
               && html.at(open + 2) != u'>')
            open = html.indexOf(QLatin1String("<a"), open + 2, Qt::CaseInsensitive);
        if (open < 0 || open + 2 >= html.size())
            break;
        rest += html.mid(pos, open - pos);
        const qsizetype close = html.indexOf(QLatin1String("</a"), open, Qt::CaseInsensitive);
        const qsizetype end = close < 0 ? -1 : html.indexOf(u'>', close);
        if (end < 0)
            return rest;
        pos = end + 1;
    }
    rest += html.mid(pos);
    return rest;
}

bool shows(const QString &html)
{
    return !HtmlToGridText(html).trimmed().isEmpty();
}

struct Score {
    bool data = false;
    bool holdsTables = false;
    qint64 showing = 0; // cells that show something, estimated from the sample
};

// Which tables hold others, in one pass over the list.
std::vector<bool> holdingTables(const QVector<HtmlTable> &tables)
{
    std::vector<bool> holds(size_t(tables.size()), false);
    for (const HtmlTable &t : tables) {
        if (t.parent >= 0 && t.parent < tables.size())
            holds[size_t(t.parent)] = true;
    }
    return holds;
}

Score scoreOf(const HtmlTable &t, bool holdsTables)
{
    Score s;
    s.holdsTables = holdsTables;
    const int sampled = int(std::min<qsizetype>(t.cells.size(), SampledCells));
    int showing = 0;
    int links = 0;
    for (int i = 0; i < sampled; ++i) {
        const QString text = t.cells.at(i).record.Text.left(SampledText);
        if (!shows(text))
            continue;
        ++showing;
        if (!shows(outsideLinks(text)))
            ++links;
    }
    s.showing = sampled ? qint64(showing) * t.cells.size() / sampled : 0;
    s.data = !s.holdsTables && t.rows >= 2 && showing > 0 && links * 2 <= showing;
    return s;
}

} // namespace

bool isDataTable(const QVector<HtmlTable> &tables, int index)
{
    const bool holds = std::any_of(tables.cbegin(), tables.cend(),
                                   [index](const HtmlTable &o) { return o.parent == index; });
    return scoreOf(tables.at(index), holds).data;
}

int preferredHtmlTable(const QVector<HtmlTable> &tables)
{
    int best = -1;
    int leaf = -1;
    qint64 bestShowing = -1;
    qint64 leafShowing = 0;
    const std::vector<bool> holds = holdingTables(tables);
    for (int i = 0; i < tables.size(); ++i) {
        const Score s = scoreOf(tables.at(i), holds[size_t(i)]);
        if (s.data && s.showing > bestShowing) {
            best = i;
            bestShowing = s.showing;
        }
        if (!s.holdsTables && s.showing > leafShowing) {
            leaf = i;
            leafShowing = s.showing;
        }
    }
    return best >= 0 ? best : leaf >= 0 ? leaf : 0;
}

QString htmlTableTitle(const HtmlTable &table)
{
    const QString caption = table.hasCaption ? excerpt(table.caption) : QString();
    return caption.isEmpty() ? table.id.simplified().left(ExcerptLength) : caption;
}

QString htmlTableFirstCells(const HtmlTable &table)
{
    QStringList texts;
    for (qsizetype i = 0; i < table.cells.size() && texts.size() < FirstCells; ++i) {
        const QString text = excerpt(table.cells.at(i).record.Text);
        if (!text.isEmpty())
            texts << text;
    }
    return texts.join(QStringLiteral(" | "));
}

QString htmlTableListLine(const QVector<HtmlTable> &tables, int index)
{
    const HtmlTable &t = tables.at(index);
    return QString::number(index + 1) + QLatin1Char('\t') + QString::number(t.rows) + QChar(0x00D7)
            + QString::number(t.cols) + QLatin1Char('\t') + htmlTableTitle(t) + QLatin1Char('\t')
            + htmlTableFirstCells(t);
}

QString describeHtmlTable(const QVector<HtmlTable> &tables, int index)
{
    const HtmlTable &t = tables.at(index);
    QString text;
    if (t.hasCaption)
        text = excerpt(t.caption);
    for (qsizetype i = 0; text.isEmpty() && i < t.cells.size(); ++i)
        text = excerpt(t.cells.at(i).record.Text);
    const QString where = t.parent < 0 ? QString()
                                       : QCoreApplication::translate("HtmlImport", "、表 %1 の中").arg(t.parent + 1);
    // Each count in its own words, so that English says "1 row" and "2 rows".
    QString line = QCoreApplication::translate("HtmlImport", "表 %1（%2 × %3%4）")
                           .arg(index + 1)
                           .arg(QCoreApplication::translate("HtmlImport", "%n 行", nullptr, t.rows),
                                QCoreApplication::translate("HtmlImport", "%n 列", nullptr, t.cols))
                           .arg(where);
    if (!text.isEmpty())
        line += QLatin1Char(' ') + text;
    return line;
}

QStringList listHtmlTables(const QByteArray &page)
{
    const QVector<HtmlTable> tables = parseHtmlTables(page);
    QStringList lines;
    for (int i = 0; i < tables.size(); ++i)
        lines << describeHtmlTable(tables, i);
    return lines;
}
