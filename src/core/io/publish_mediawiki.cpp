// The table as MediaWiki markup: {| class="wikitable" ... |}, one cell a line,
// "!" for header cells, spans and alignment as attributes.
#include "core/io/publish_writers_p.h"

namespace publish {

namespace {

bool isAbsolute(const QString &href)
{
    const qsizetype colon = href.indexOf(u':');
    return href.startsWith(QLatin1String("//"))
            || (colon > 0 && !href.left(colon).contains(u'/') && !href.left(colon).contains(u'?')
                && !href.left(colon).contains(u'#'));
}

class WikiSyntax : public InlineSyntax
{
public:
    QString escaped(QStringView text, bool lineStart, bool) const override
    {
        QString out;
        out.reserve(text.size() + 8);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
            // What starts a list, a rule or a heading at a line's start.
            if (lineStart && i == 0 && QLatin1String("-*#:;=").contains(c)) {
                out += QStringLiteral("&#%1;").arg(c.unicode());
                continue;
            }
            switch (c.unicode()) {
            case u'&': out += QLatin1String("&amp;"); break;
            case u'<': out += QLatin1String("&lt;"); break;
            case u'>': out += QLatin1String("&gt;"); break;
            // Links, templates, cell separators, quotes and signatures.
            case u'[': case u']': case u'{': case u'}': case u'|': case u'!': case u'\'': case u'~':
                out += QStringLiteral("&#%1;").arg(c.unicode());
                break;
            case u'_':
                // "__TOC__" and the other magic words.
                out += next == u'_' ? QStringLiteral("&#95;") : QStringLiteral("_");
                break;
            case u':':
                // A bare address would become a link.
                out += next == u'/' ? QStringLiteral("&#58;") : QStringLiteral(":");
                break;
            default: out += c;
            }
        }
        return out;
    }

    QString open(InlineMark mark, const QString &href) const override
    {
        switch (mark) {
        case InlineMark::Link:
            // Only an address with a scheme is a link in a wiki; a relative one keeps its text.
            return isAbsolute(href) ? QLatin1String("[") + encodedHref(href, QLatin1String("[]<>\"|{}'"))
                            + QLatin1Char(' ')
                                    : QString();
        case InlineMark::Bold: return QStringLiteral("'''");
        case InlineMark::Italic: return QStringLiteral("''");
        }
        return QString();
    }

    QString close(InlineMark mark, const QString &href) const override
    {
        switch (mark) {
        case InlineMark::Link: return isAbsolute(href) ? QStringLiteral("]") : QString();
        case InlineMark::Bold: return QStringLiteral("'''");
        case InlineMark::Italic: return QStringLiteral("''");
        }
        return QString();
    }
};

QLatin1String cssHAlign(int a)
{
    return a == 0 ? QLatin1String("left") : a == 1 ? QLatin1String("center") : QLatin1String("right");
}

QLatin1String cssVAlign(int a)
{
    return a == 0 ? QLatin1String("top") : a == 1 ? QLatin1String("middle") : QLatin1String("bottom");
}

} // namespace

Written writeMediaWiki(const PublishedTable &table)
{
    Written w;
    WikiSyntax syntax;
    QString &out = w.text;
    out += QLatin1String("{| class=\"wikitable\"\n");
    const TextLine caption = table.caption();
    if (!caption.isEmpty())
        out += QLatin1String("|+ ") + renderLine(caption, syntax) + QLatin1Char('\n');
    for (int r = 1; r <= table.rows(); ++r) {
        out += QLatin1String("|-\n");
        for (const PublishedCell &cell : table.rowCells(r)) {
            QString attrs;
            if (cell.rowSpan > 1)
                attrs += QStringLiteral(" rowspan=\"%1\"").arg(cell.rowSpan);
            if (cell.colSpan > 1)
                attrs += QStringLiteral(" colspan=\"%1\"").arg(cell.colSpan);
            // What a browser does anyway is left unsaid, as in HTML5.
            const CellAlignment browser = browserAlignment(cell.header);
            QString style;
            if (cell.hAlign != browser.hAlign)
                style += QLatin1String("text-align:") + cssHAlign(cell.hAlign) + QLatin1Char(';');
            if (cell.vAlign != browser.vAlign)
                style += QLatin1String("vertical-align:") + cssVAlign(cell.vAlign) + QLatin1Char(';');
            if (!style.isEmpty())
                attrs += QLatin1String(" style=\"") + style + QLatin1Char('"');
            QStringList lines;
            if (cell.record)
                for (const TextLine &line : cellLines(cell.record->Text))
                    lines << renderLine(line, syntax);
            out += QLatin1Char(cell.header ? '!' : '|');
            if (!attrs.isEmpty())
                out += attrs + QLatin1String(" |");
            out += QLatin1Char(' ') + lines.join(QLatin1String("<br>")) + QLatin1Char('\n');
        }
        if (overLimit(w))
            return w;
    }
    out += QLatin1String("|}\n");
    return w;
}

} // namespace publish
