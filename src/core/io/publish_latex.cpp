// The table as a LaTeX tabular with booktabs rules: \multicolumn and
// \multirow for spans, a \midrule under the head, the caption in a table
// environment. Needs the booktabs and multirow packages, nothing else: a
// link is \href, which falls back to its text where hyperref is not loaded.
#include "core/io/publish_writers_p.h"

namespace publish {

namespace {

const char AlignLetters[] = "lcr";

class LatexSyntax : public InlineSyntax
{
public:
    QString escaped(QStringView text, bool, bool) const override
    {
        QString out;
        out.reserve(text.size() + 8);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            switch (c.unicode()) {
            case u'\\': out += QLatin1String("\\textbackslash{}"); break;
            case u'{': case u'}': case u'#': case u'$': case u'%': case u'&': case u'_':
                out += u'\\';
                out += c;
                break;
            case u'~': out += QLatin1String("\\textasciitilde{}"); break;
            case u'^': out += QLatin1String("\\textasciicircum{}"); break;
            // The default font encoding has none of these three where ASCII has them.
            case u'<': out += QLatin1String("\\textless{}"); break;
            case u'>': out += QLatin1String("\\textgreater{}"); break;
            case u'|': out += QLatin1String("\\textbar{}"); break;
            // A bracket after \\ would be read as its option.
            case u'[': out += QLatin1String("{[}"); break;
            case u']': out += QLatin1String("{]}"); break;
            case u'-':
                // "--" would be a dash.
                out += c;
                if (i + 1 < text.size() && text.at(i + 1) == u'-')
                    out += QLatin1String("{}");
                break;
            case 0xA0: out += u'~'; break;
            default: out += c;
            }
        }
        return out;
    }

    QString open(InlineMark mark, const QString &href) const override
    {
        switch (mark) {
        case InlineMark::Link:
            m_linked = true;
            return QLatin1String("\\href{") + url(href) + QLatin1String("}{");
        case InlineMark::Bold: return QStringLiteral("\\textbf{");
        case InlineMark::Italic: return QStringLiteral("\\textit{");
        }
        return QString();
    }

    QString close(InlineMark, const QString &) const override { return QStringLiteral("}"); }

    bool linked() const { return m_linked; }

private:
    // Inside another command's argument (\multicolumn, \multirow) hyperref
    // reads the address with its characters' usual meanings: those that have
    // one are escaped the way it takes them back, or percent-encoded.
    static QString url(const QString &href)
    {
        QString out;
        for (const QChar c : href) {
            if (c == u'#' || c == u'&')
                out += u'\\' + QString(c);
            else if (c == u'%')
                out += QLatin1String("\\%");
            else if (c.unicode() >= 0x80 || QLatin1String("\\{}~^_$").contains(c))
                out += QString(percentEncoded(QStringView(&c, 1))).replace(u'%', QLatin1String("\\%"));
            else
                out += c;
        }
        return out;
    }

    mutable bool m_linked = false;
};

QString cellContent(const PublishedCell &cell, const LatexSyntax &syntax)
{
    if (!cell.record)
        return QString();
    QStringList lines;
    for (const TextLine &line : cellLines(cell.record->Text))
        lines << renderLine(line, syntax, cell.header);
    if (lines.size() == 1)
        return lines.first();
    // Lines of their own need a tabular of their own inside the cell.
    const char *position = cell.vAlign == 0 ? "t" : cell.vAlign == 2 ? "b" : "c";
    return QStringLiteral("\\begin{tabular}[%1]{@{}%2@{}}").arg(QLatin1String(position)).arg(QLatin1Char(AlignLetters[cell.hAlign]))
            + lines.join(QLatin1String(" \\\\ ")) + QLatin1String("\\end{tabular}");
}

} // namespace

Written writeLatex(const PublishedTable &table)
{
    Written w;
    LatexSyntax syntax;
    const QVector<int> columns = table.columnDefaults(false);
    QString &out = w.text;
    out += QLatin1String("\\begin{tabular}{");
    for (const int a : columns)
        out += QLatin1Char(AlignLetters[a]);
    out += QLatin1String("}\n\\toprule\n");
    SlotWalker walker(table);
    for (int r = 1; r <= table.rows(); ++r) {
        const std::vector<PublishedCell> &taken = walker.row(r);
        QStringList entries;
        for (int c = 1; c <= table.cols();) {
            const PublishedCell &cell = taken[std::size_t(c - 1)];
            const QChar letter = QLatin1Char(AlignLetters[cell.hAlign]);
            QString entry;
            if (cell.row == r) {
                entry = cellContent(cell, syntax);
                if (cell.rowSpan > 1)
                    entry = QStringLiteral("\\multirow{%1}{*}{%2}").arg(cell.rowSpan).arg(entry);
                if (cell.colSpan > 1 || letter != QLatin1Char(AlignLetters[columns[c - 1]]))
                    entry = QStringLiteral("\\multicolumn{%1}{%2}{%3}").arg(cell.colSpan).arg(letter).arg(entry);
            } else if (cell.colSpan > 1) {
                // Under a span from above: its columns, empty.
                entry = QStringLiteral("\\multicolumn{%1}{%2}{}").arg(cell.colSpan).arg(letter);
            }
            entries << entry;
            c += cell.colSpan;
        }
        out += entries.join(QLatin1String(" & "));
        out += QLatin1String(" \\\\\n");
        if (r == table.headRows())
            out += QLatin1String("\\midrule\n");
        if (overLimit(w))
            return w;
    }
    out += QLatin1String("\\bottomrule\n\\end{tabular}\n");

    const TextLine caption = table.caption();
    if (!caption.isEmpty())
        out = QLatin1String("\\begin{table}\n\\centering\n\\caption{") + renderLine(caption, syntax, false, true)
                + QLatin1String("}\n") + out + QLatin1String("\\end{table}\n");
    if (syntax.linked())
        out.prepend(QLatin1String("\\providecommand{\\href}[2]{#2}\n"));
    overLimit(w);
    return w;
}

} // namespace publish
