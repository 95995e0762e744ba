// The table as an AsciiDoc table: |=== with the columns' alignment in cols,
// the first row as its header row, span and alignment specifiers before the
// cells that need them, the caption as the block title.
#include "core/io/publish_writers_p.h"

namespace publish {

namespace {

const char HAligns[] = "<^>";
const char VAligns[] = "<^>";

class AsciiDocSyntax : public InlineSyntax
{
public:
    // Characters that would start markup become character references, which
    // the readers give back as the characters.
    QString escaped(QStringView text, bool lineStart, bool inLink) const override
    {
        QString out;
        out.reserve(text.size() + 8);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
            const QChar before = i > 0 ? text.at(i - 1) : QChar();
            bool reference = false;
            switch (c.unicode()) {
            case u'*': case u'_': case u'`': case u'#': case u'^': case u'~': case u'+': case u'[': case u']':
            case u'{': case u'}': case u'<': case u'>': case u'|': case u'\\': case u'\'': case u'&': case u'@':
            case u'$':
                reference = true;
                break;
            case u'-':
                // "--" and "->" would be dashes and arrows.
                reference = next == u'-' || before == u'-';
                break;
            case u'.':
                reference = next == u'.' || (lineStart && i == 0);
                break;
            case u'(':
                // "(C)", "(R)", "(TM)" and index terms.
                reference = next == u'(' || next == u'C' || next == u'R' || next == u'T';
                break;
            case u':':
                reference = next == u'/' || (lineStart && i == 0);
                break;
            case u'/':
                reference = lineStart && i == 0 && next == u'/'; // a comment line
                break;
            case u'=': case u',':
                reference = inLink; // within a link's brackets they start attributes
                break;
            default:
                break;
            }
            if (reference)
                out += QStringLiteral("&#%1;").arg(c.unicode());
            else
                out += c;
        }
        return out;
    }

    QString open(InlineMark mark, const QString &href) const override
    {
        switch (mark) {
        case InlineMark::Link:
            return QLatin1String("link:") + encodedHref(href, QLatin1String("[]<>\"`|{}\\^")) + QLatin1Char('[');
        case InlineMark::Bold: return QStringLiteral("**");
        case InlineMark::Italic: return QStringLiteral("__");
        }
        return QString();
    }

    QString close(InlineMark mark, const QString &) const override
    {
        switch (mark) {
        case InlineMark::Link: return QStringLiteral("]");
        case InlineMark::Bold: return QStringLiteral("**");
        case InlineMark::Italic: return QStringLiteral("__");
        }
        return QString();
    }
};

} // namespace

Written writeAsciiDoc(const PublishedTable &table)
{
    Written w;
    AsciiDocSyntax syntax;
    QString &out = w.text;
    const TextLine caption = table.caption();
    if (!caption.isEmpty()) {
        // A title starting with a dot would be read as another kind of line.
        QString title = renderLine(caption, syntax);
        if (title.startsWith(u'.'))
            title.replace(0, 1, QStringLiteral("&#46;"));
        out += QLatin1Char('.') + title + QLatin1Char('\n');
    }
    const QVector<int> hDefault = table.columnDefaults(false);
    const QVector<int> vDefault = table.columnDefaults(true);
    QStringList cols;
    for (int c = 0; c < table.cols(); ++c)
        cols << QString(QLatin1Char(HAligns[hDefault[c]])) + QLatin1Char('.') + QLatin1Char(VAligns[vDefault[c]]);
    // Only one header row, and it may not reach into the body; any other
    // header cell is a cell of header style.
    const QVector<PublishedCell> first = table.rowCells(1);
    const bool headerRow = table.headRows() >= 1
            && std::all_of(first.begin(), first.end(), [](const PublishedCell &x) { return x.rowSpan == 1; });
    out += QStringLiteral("[cols=\"%1\",options=\"%2\"]\n|===\n")
                   .arg(cols.join(QLatin1Char(',')), headerRow ? QLatin1String("header") : QLatin1String("noheader"));
    for (int r = 1; r <= table.rows(); ++r) {
        if (r > 1)
            out += QLatin1Char('\n');
        int index = 0;
        for (const PublishedCell &cell : table.rowCells(r)) {
            QString marks;
            if (cell.colSpan > 1 || cell.rowSpan > 1) {
                if (cell.colSpan > 1)
                    marks += QString::number(cell.colSpan);
                if (cell.rowSpan > 1)
                    marks += QLatin1Char('.') + QString::number(cell.rowSpan);
                marks += QLatin1Char('+');
            }
            // A reader gives each cell the column settings by its place in
            // the row, spans not counted: the cell's own where those differ.
            const int column = std::min(index++, int(table.cols()) - 1);
            if (cell.hAlign != hDefault[column] || cell.vAlign != vDefault[column])
                marks += QString(QLatin1Char(HAligns[cell.hAlign])) + QLatin1Char('.') + QLatin1Char(VAligns[cell.vAlign]);
            if (cell.header && !(headerRow && r == 1))
                marks += QLatin1Char('h');
            QStringList lines;
            if (cell.record)
                for (const TextLine &line : cellLines(cell.record->Text))
                    lines << renderLine(line, syntax);
            // An empty line would end the paragraph: among others it is {empty}.
            if (lines.size() > 1)
                for (QString &line : lines)
                    if (line.isEmpty())
                        line = QStringLiteral("{empty}");
            const QString content = lines.join(QLatin1String(" +\n"));
            out += marks + QLatin1Char('|') + (content.isEmpty() ? QString() : QLatin1Char(' ') + content) + QLatin1Char('\n');
        }
        if (overLimit(w))
            return w;
    }
    out += QLatin1String("|===\n");
    return w;
}

} // namespace publish
