#include "core/model/cell_finder.h"

#include "core/model/table_edits.h"

CellFinder::CellFinder(const FindOptions &options)
    : m_options(options)
{
    QString p = options.regex ? options.pattern : QRegularExpression::escape(options.pattern);
    if (options.wholeCell)
        p = QStringLiteral("\\A(?:") + p + QStringLiteral(")\\z");
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    m_re = QRegularExpression(p, flags);
}

bool CellFinder::isValid() const
{
    return m_re.isValid() && !m_options.pattern.isEmpty();
}

QString CellFinder::errorString() const
{
    return m_re.errorString();
}

bool CellFinder::matches(const QString &text) const
{
    return isValid() && m_re.match(text).hasMatch();
}

// The replacement as written; with a regular expression, \0 to \9 are its
// groups and \\ a backslash.
QString CellFinder::expand(const QString &with, const QRegularExpressionMatch &match) const
{
    if (!m_options.regex)
        return with;
    QString out;
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with.at(i);
        if (c == QLatin1Char('\\') && i + 1 < with.size()) {
            const QChar next = with.at(i + 1);
            if (next.isDigit() && next.unicode() < 0x80) {
                out += match.captured(next.digitValue());
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\')) {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString CellFinder::replaced(const QString &text, const QString &with, int *count) const
{
    int n = 0;
    QString out;
    if (isValid()) {
        qsizetype done = 0;
        QRegularExpressionMatchIterator it = m_re.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            // An empty match (a pattern like "x*") between characters replaces nothing.
            if (match.capturedLength() == 0 && !m_options.wholeCell)
                continue;
            out += QStringView(text).mid(done, match.capturedStart() - done);
            out += expand(with, match);
            done = match.capturedEnd();
            ++n;
        }
        out += QStringView(text).mid(done);
    } else {
        out = text;
    }
    if (count)
        *count = n;
    return n ? out : text;
}

QPoint CellFinder::findCell(const TableModel &m, const SpanLayout &cells, QPoint from, bool backward) const
{
    const int cols = cells.cols(), rows = cells.rows();
    if (!isValid() || cols < 1 || rows < 1)
        return {};
    const int total = cols * rows;
    int at = (qBound(1, from.y(), rows) - 1) * cols + (qBound(1, from.x(), cols) - 1);
    for (int step = 0; step < total; ++step) {
        at = (at + (backward ? total - 1 : 1)) % total;
        const int c = at % cols + 1, r = at / cols + 1;
        if (cells.isWritten(c, r) && m_re.match(m.Cells(c, r).Text).hasMatch())
            return QPoint(c, r);
    }
    return {};
}
