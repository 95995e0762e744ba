// The table as a reStructuredText grid table: every cell drawn with its
// spans, a "+===+" line under the head, column widths from the content (wide
// characters count two columns, as the readers count them), the caption as
// the title of a table directive. Cells with line breaks are line blocks.
#include "core/io/publish_writers_p.h"

#include <QCoreApplication>

#include <unordered_map>

#include "core/text/text_width.h"

namespace publish {

namespace {

bool isAsciiPunct(QChar c)
{
    return c.unicode() < 0x80 && c.isPrint() && !c.isLetterOrNumber() && c != u' ';
}

// "1. ", "a) ", "iv. " at a line's start would make a list.
bool startsLikeEnumerator(QStringView text)
{
    qsizetype p = 0;
    while (p < text.size() && text.at(p).unicode() < 0x80 && text.at(p).isLetterOrNumber())
        ++p;
    return p > 0 && p < text.size() && (text.at(p) == u'.' || text.at(p) == u')')
            && (p + 1 == text.size() || text.at(p + 1) == u' ');
}

QString escaped(QStringView text, bool lineStart, bool inLink = false)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // Any punctuation starting a line could start a list, a comment, a
        // line block or a section line: a backslash keeps it text.
        const bool first = lineStart && i == 0 && (isAsciiPunct(c) || startsLikeEnumerator(text));
        // An address or a mail address in the text would become a link.
        const bool address = c == u'@' || (c == u':' && i + 1 < text.size() && text.at(i + 1) == u'/');
        if (first || address || c == u'\\' || c == u'*' || c == u'`' || c == u'_' || c == u'|'
            || (inLink && (c == u'<' || c == u'>')))
            out += u'\\';
        out += c;
    }
    return out;
}

// A line of one cell. The format nests no markup: a link keeps its text
// alone, bold wins over italic. Markup beside other text is set off by an
// escaped blank, which reads as nothing.
QString renderRstLine(const TextLine &line, bool allBold)
{
    QString out;
    bool afterMarkup = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const TextRun &run = line.at(i);
        const bool bold = allBold || run.bold;
        QString text = run.text;
        // Runs the format cannot tell apart are one.
        while (i + 1 < line.size() && line.at(i + 1).href == run.href
               && (allBold || line.at(i + 1).bold) == bold
               && (!run.href.isEmpty() || bold || line.at(i + 1).italic == run.italic)) {
            text += line.at(++i).text;
        }
        // Blanks (a no-break space too) at either end stay outside any markup.
        QStringView body(text);
        qsizetype lead = 0, trail = 0;
        while (lead < body.size() && body.at(lead).isSpace())
            ++lead;
        while (trail < body.size() - lead && body.at(body.size() - 1 - trail).isSpace())
            ++trail;
        const bool plain = (run.href.isEmpty() && !bold && !run.italic) || lead == body.size();
        if (!plain && lead > 0) {
            out += body.left(lead);
            body = body.mid(lead);
            afterMarkup = false;
        }
        const QStringView after = plain ? QStringView() : body.right(trail);
        if (!plain)
            body.chop(trail);
        if (plain) {
            if (afterMarkup && !body.isEmpty() && !body.front().isSpace())
                out += QLatin1String("\\ ");
            out += escaped(body, out.isEmpty());
            afterMarkup = false;
            continue;
        }
        if (!out.isEmpty() && !out.back().isSpace())
            out += QLatin1String("\\ ");
        if (!run.href.isEmpty()) {
            QString url = encodedHref(run.href, QLatin1String("<>`\\"));
            // A trailing underscore would name a target instead.
            if (url.endsWith(u'_'))
                url.replace(url.size() - 1, 1, QStringLiteral("%5F"));
            out += u'`' + escaped(body, false, true) + QLatin1String(" <") + url + QLatin1String(">`__");
        } else {
            const QLatin1String mark = bold ? QLatin1String("**") : QLatin1String("*");
            out += mark + escaped(body, false) + mark;
        }
        afterMarkup = after.isEmpty();
        out += after;
    }
    // A line starting with a blank (a no-break space) would be indented, one
    // of a single punctuation mark repeated ("\\\\") a section line.
    if (!out.isEmpty() && (out.front().isSpace() || (isAsciiPunct(out.front()) && out.count(out.front()) == out.size())))
        out.prepend(QLatin1String("\\ "));
    // "::" ending a paragraph would announce a literal block and lose a colon.
    if (out.endsWith(QLatin1String("::")))
        out.insert(out.size() - 1, u'\\');
    return out;
}

// Long lines are folded at blanks to about this many columns: the reader
// joins them again with a blank, and refuses lines past 10,000 characters.
constexpr qsizetype FoldColumns = 60;
constexpr qsizetype ReaderLineLimit = 10000;

// Where line may break: a blank not escaped, before something that could not
// start another kind of line.
bool breaksAt(const QString &line, qsizetype i)
{
    if (line.at(i) != u' ' || i == 0 || line.at(i - 1) == u'\\' || i + 1 >= line.size())
        return false;
    const QStringView rest = QStringView(line).mid(i + 1);
    return !isAsciiPunct(rest.front()) && rest.front() != u' ' && !startsLikeEnumerator(rest);
}

void appendFolded(QStringList &out, const QString &line, const QString &indent)
{
    qsizetype start = 0, columns = 0, lastBreak = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (columns > FoldColumns && lastBreak > start) {
            out << (start == 0 ? QString() : indent) + line.mid(start, lastBreak - start);
            start = lastBreak + 1;
            columns = textColumns(QStringView(line).mid(start, i - start));
            lastBreak = -1;
        }
        if (breaksAt(line, i))
            lastBreak = i;
        columns += line.at(i).isLowSurrogate() ? 0 : isWideCodePoint(line.at(i).unicode()) ? 2 : 1;
    }
    out << (start == 0 ? QString() : indent) + line.mid(start);
}

// A cell's lines as they go into the grid: one paragraph, or a line block.
QStringList cellText(const PublishedCell &cell, bool headRow)
{
    if (!cell.record)
        return {QString()};
    const QVector<TextLine> lines = cellLines(cell.record->Text);
    QStringList out;
    // The head is drawn as a head; elsewhere a header cell is bold, as a browser shows it.
    const bool block = lines.size() > 1;
    for (const TextLine &line : lines) {
        const QString text = renderRstLine(line, cell.header && !headRow);
        if (!block)
            appendFolded(out, text, QString());
        else
            appendFolded(out, text.isEmpty() ? QStringLiteral("|") : QLatin1String("| ") + text, QStringLiteral("  "));
    }
    return out;
}

qsizetype widestLine(const QStringList &lines)
{
    qsizetype widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, textColumns(line));
    return widest;
}

// A cell spanning columns, and where its lines hold a "|" or "+": one at a
// column rule inside it would be read as the rule.
struct RuleMarks {
    int col;
    int colSpan;
    std::vector<std::vector<bool>> marked; // by line, by text column from the cell's left rule
};

RuleMarks ruleMarks(const PublishedCell &cell, const QStringList &lines)
{
    RuleMarks m{cell.col, cell.colSpan, {}};
    for (const QString &line : lines) {
        std::vector<bool> marks(1, false); // the blank after the rule
        for (qsizetype i = 0; i < line.size();) {
            const char32_t cp = nextCodePoint(line, i);
            marks.push_back(cp == U'|' || cp == U'+');
            if (isWideCodePoint(cp))
                marks.push_back(false);
        }
        m.marked.push_back(std::move(marks));
    }
    return m;
}

// Widens columns until no "|" or "+" of a spanning cell stands on a rule
// inside it, rule by rule from the left (a rule's place depends only on the
// columns left of it). Bounded: a text this hostile keeps what is left.
void moveRulesOffMarks(std::vector<qsizetype> &widths, std::vector<RuleMarks> cells)
{
    std::sort(cells.begin(), cells.end(), [](const RuleMarks &a, const RuleMarks &b) { return a.col < b.col; });
    qint64 budget = 100000;
    std::vector<qsizetype> start(widths.size() + 1, 0); // text column of each column's left rule
    std::size_t next = 0;
    std::vector<const RuleMarks *> crossing;
    for (std::size_t rule = 1; rule < widths.size(); ++rule) { // the rule right of column `rule`
        while (next < cells.size() && std::size_t(cells[next].col) <= rule)
            crossing.push_back(&cells[next++]);
        crossing.erase(std::remove_if(crossing.begin(), crossing.end(),
                                      [rule](const RuleMarks *m) { return std::size_t(m->col + m->colSpan - 1) <= rule; }),
                       crossing.end());
        for (;;) {
            start[rule] = start[rule - 1] + widths[rule - 1] + 1;
            bool hit = false;
            for (const RuleMarks *m : crossing) {
                const qsizetype at = start[rule] - start[std::size_t(m->col - 1)] - 1;
                for (const std::vector<bool> &line : m->marked)
                    hit = hit || (at < qsizetype(line.size()) && line[std::size_t(at)]);
            }
            if (!hit || --budget < 0)
                break;
            ++widths[rule - 1];
        }
    }
}

struct Span {
    int first;  // column or row
    int count;
    qsizetype needed;
};

// Widens the last of each span's lines until the span holds what it needs,
// narrow spans first.
void fitSpans(std::vector<qsizetype> &sizes, std::vector<Span> &spans)
{
    std::stable_sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.count < b.count; });
    for (const Span &s : spans) {
        qsizetype total = s.count - 1; // the rules between them
        for (int i = s.first; i < s.first + s.count; ++i)
            total += sizes[std::size_t(i - 1)];
        if (total < s.needed)
            sizes[std::size_t(s.first + s.count - 2)] += s.needed - total;
    }
}

class GridDrawer
{
public:
    GridDrawer(const PublishedTable &table, std::vector<qsizetype> widths, std::vector<qsizetype> heights)
        : m_table(table), m_widths(std::move(widths)), m_heights(std::move(heights))
    {
        m_colStart.assign(m_widths.size() + 1, 0);
        for (std::size_t c = 0; c < m_widths.size(); ++c)
            m_colStart[c + 1] = m_colStart[c] + m_widths[c] + 1;
        m_rowTop.assign(m_heights.size() + 2, 1);
        for (std::size_t r = 0; r < m_heights.size(); ++r)
            m_rowTop[r + 2] = m_rowTop[r + 1] + m_heights[r] + 1;
    }

    qint64 estimatedSize(int indent) const
    {
        return qint64(m_rowTop.back()) * (qint64(m_colStart.back()) + 2 + indent);
    }

    void draw(Written &w, const QString &indent)
    {
        SlotWalker above(m_table), below(m_table);
        const std::vector<PublishedCell> *a = nullptr;
        const std::vector<PublishedCell> *b = &below.row(1);
        for (int r = 0; r <= m_table.rows(); ++r) {
            if (r >= 1) {
                a = &above.row(r);
                b = r < m_table.rows() ? &below.row(r + 1) : nullptr;
                cacheCells(r, *a);
                for (qsizetype y = 0; y < m_heights[std::size_t(r - 1)]; ++y)
                    w.text += indent + textLine(*a, m_rowTop[std::size_t(r)] + y) + QLatin1Char('\n');
            }
            const qsizetype line = r == 0 ? 0 : m_rowTop[std::size_t(r)] + m_heights[std::size_t(r - 1)];
            w.text += indent + ruleLine(a, b, line, r > 0 && r == m_table.headRows() ? u'=' : u'-') + QLatin1Char('\n');
            if (r >= 1)
                dropCells(r);
            if (overLimit(w))
                return;
        }
    }

private:
    static qint64 key(const PublishedCell &x) { return qint64(x.row) * 4096 + x.col; }
    static bool same(const PublishedCell &x, const PublishedCell &y) { return x.row == y.row && x.col == y.col; }

    qsizetype spanWidth(const PublishedCell &x) const
    {
        return m_colStart[std::size_t(x.col + x.colSpan - 1)] - m_colStart[std::size_t(x.col - 1)] - 1;
    }

    void cacheCells(int r, const std::vector<PublishedCell> &taken)
    {
        for (const PublishedCell &x : taken)
            if (x.row == r && !m_cells.count(key(x)))
                m_cells.emplace(key(x), Drawn{cellText(x, r <= m_table.headRows()), x.row + x.rowSpan - 1});
    }

    // A cell is kept from its first row to its last.
    void dropCells(int r)
    {
        for (auto it = m_cells.begin(); it != m_cells.end();) {
            if (it->second.bottom <= r)
                it = m_cells.erase(it);
            else
                ++it;
        }
    }

    // The cell's text at absolute line number line, padded to its width.
    QString segment(const PublishedCell &x, qsizetype line)
    {
        const auto found = m_cells.find(key(x));
        const qsizetype index = line - m_rowTop[std::size_t(x.row)];
        QString text;
        if (found != m_cells.end() && index >= 0 && index < found->second.lines.size())
            text = found->second.lines.at(index);
        const qsizetype pad = spanWidth(x) - 1 - textColumns(text);
        return QLatin1Char(' ') + text + QString(std::max<qsizetype>(0, pad), u' ');
    }

    QString textLine(const std::vector<PublishedCell> &taken, qsizetype line)
    {
        QString out = QStringLiteral("|");
        for (int c = 1; c <= m_table.cols();) {
            const PublishedCell &x = taken[std::size_t(c - 1)];
            out += segment(x, line) + u'|';
            c += x.colSpan;
        }
        return out;
    }

    QString ruleLine(const std::vector<PublishedCell> *a, const std::vector<PublishedCell> *b, qsizetype line, QChar rule)
    {
        const int cols = m_table.cols();
        auto crossing = [&](int c) { return a && b && same((*a)[std::size_t(c - 1)], (*b)[std::size_t(c - 1)]); };
        auto vertical = [&](const std::vector<PublishedCell> *s, int left, int right) {
            return s && (left < 1 || right > cols || !same((*s)[std::size_t(left - 1)], (*s)[std::size_t(right - 1)]));
        };
        auto junction = [&](int left, int right) {
            const bool h = (left >= 1 && !crossing(left)) || (right <= cols && !crossing(right));
            const bool v = vertical(a, left, right) || vertical(b, left, right);
            if (h && v)
                return QChar(u'+');
            return h ? rule : QChar(u'|');
        };
        QString out = junction(0, 1);
        for (int c = 1; c <= cols;) {
            if (crossing(c)) {
                const PublishedCell &x = (*a)[std::size_t(c - 1)];
                out += segment(x, line);
                c += x.colSpan;
            } else {
                out += QString(m_widths[std::size_t(c - 1)], rule);
                ++c;
            }
            out += junction(c - 1, c);
        }
        return out;
    }

    const PublishedTable &m_table;
    std::vector<qsizetype> m_widths;
    std::vector<qsizetype> m_heights;
    std::vector<qsizetype> m_colStart; // text column of each column's left rule
    std::vector<qsizetype> m_rowTop;   // line of each row's first text line, from 1
    struct Drawn {
        QStringList lines;
        int bottom; // last row
    };
    std::unordered_map<qint64, Drawn> m_cells; // the cells being drawn
};

} // namespace

Written writeRestructuredText(const PublishedTable &table)
{
    Written w;
    if (table.rows() < 1 || table.cols() < 1)
        return w;
    // Pass 1: what each column and row needs.
    std::vector<qsizetype> widths(std::size_t(table.cols()), 3), heights(std::size_t(table.rows()), 1);
    std::vector<Span> colSpans, rowSpans;
    std::vector<RuleMarks> marks;
    bool alignmentLost = false;
    for (int r = 1; r <= table.rows(); ++r) {
        const bool headRow = r <= table.headRows();
        for (const PublishedCell &cell : table.rowCells(r)) {
            const QStringList lines = cellText(cell, headRow);
            const qsizetype width = widestLine(lines) + 2;
            if (cell.colSpan == 1) {
                widths[std::size_t(cell.col - 1)] = std::max(widths[std::size_t(cell.col - 1)], width);
            } else {
                colSpans.push_back({cell.col, cell.colSpan, width});
                if (std::any_of(lines.begin(), lines.end(), [](const QString &l) { return l.contains(u'|') || l.contains(u'+'); }))
                    marks.push_back(ruleMarks(cell, lines));
            }
            if (cell.rowSpan == 1)
                heights[std::size_t(r - 1)] = std::max(heights[std::size_t(r - 1)], qsizetype(lines.size()));
            else
                rowSpans.push_back({r, cell.rowSpan, lines.size()});
            alignmentLost = alignmentLost || (cell.record && cell.hAlign != (headRow && cell.header ? 1 : 0));
        }
    }
    fitSpans(widths, colSpans);
    fitSpans(heights, rowSpans);
    moveRulesOffMarks(widths, std::move(marks));
    if (alignmentLost)
        w.notes << alignmentNotKeptNote();
    qsizetype lineWidth = 1;
    for (const qsizetype width : widths)
        lineWidth += width + 1;
    if (lineWidth > ReaderLineLimit)
        w.notes << QCoreApplication::translate("TextTable", "表の幅が%1文字あり、docutils は既定では %2 文字までの行しか読みません"
                                               "（--line-length-limit で広げられます）。").arg(lineWidth).arg(ReaderLineLimit);

    const TextLine caption = table.caption();
    const QString indent = caption.isEmpty() ? QString() : QStringLiteral("   ");
    GridDrawer grid(table, std::move(widths), std::move(heights));
    const qint64 estimate = grid.estimatedSize(int(indent.size()));
    if (estimate > MaxPublishedBytes) {
        w.tooLarge = true;
        w.size = estimate;
        return w;
    }
    if (!caption.isEmpty())
        w.text += QLatin1String(".. table:: ") + renderRstLine(caption, false) + QLatin1String("\n\n");
    grid.draw(w, indent);
    return w;
}

} // namespace publish
