#include "core/io/cell_runs.h"

#include "core/text/char_refs.h"

#include <vector>

namespace {

bool isBlank(char16_t c)
{
    // Only what HTML folds: a no-break or ideographic space stays a character.
    // The line and paragraph separators would end a line in the readers of
    // the line-based formats.
    return c == u' ' || c == u'\t' || c == u'\f' || c == 0x2028 || c == 0x2029;
}

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

class RunBuilder
{
public:
    RunBuilder() { m_lines.append(TextLine()); }

    void text(QStringView s)
    {
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t c = s.at(i).unicode();
            if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && i + 1 < s.size() && s.at(i + 1) == u'\n')
                    ++i;
                // "<BR>" typed at a line's end is one break, not two.
                if (m_afterBreak)
                    m_afterBreak = false;
                else
                    newLine();
            } else if (isBlank(c)) {
                m_pendingSpace = true;
            } else if (!isControl(c)) {
                append(QChar(c));
            }
        }
    }

    void tag(QStringView inner)
    {
        const bool closing = inner.startsWith(u'/');
        qsizetype p = closing ? 1 : 0;
        const qsizetype nameStart = p;
        while (p < inner.size() && inner.at(p).isLetterOrNumber())
            ++p;
        const QStringView name = inner.mid(nameStart, p - nameStart);
        auto is = [&name](const char *n) { return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
        if (is("br")) {
            newLine();
            m_afterBreak = true;
        } else if (is("b") || is("strong")) {
            m_bold = closing ? std::max(0, m_bold - 1) : m_bold + 1;
        } else if (is("i") || is("em")) {
            m_italic = closing ? std::max(0, m_italic - 1) : m_italic + 1;
        } else if (is("a")) {
            // A new link ends the one before, as in a browser.
            m_href = closing ? QString() : publishableHref(hrefOf(inner.mid(p)));
        }
    }

    QVector<TextLine> take() { return std::move(m_lines); }

private:
    static QString hrefOf(QStringView attrs)
    {
        qsizetype p = 0;
        const qsizetype n = attrs.size();
        auto skipBlanks = [&] {
            while (p < n && (attrs.at(p).isSpace() || attrs.at(p) == u'/'))
                ++p;
        };
        while (p < n) {
            skipBlanks();
            const qsizetype nameStart = p;
            while (p < n && !attrs.at(p).isSpace() && attrs.at(p) != u'=' && attrs.at(p) != u'/')
                ++p;
            const QStringView name = attrs.mid(nameStart, p - nameStart);
            if (name.isEmpty()) {
                ++p;
                continue;
            }
            while (p < n && attrs.at(p).isSpace())
                ++p;
            QStringView value;
            if (p < n && attrs.at(p) == u'=') {
                ++p;
                while (p < n && attrs.at(p).isSpace())
                    ++p;
                if (p < n && (attrs.at(p) == u'"' || attrs.at(p) == u'\'')) {
                    const QChar quote = attrs.at(p++);
                    const qsizetype end = attrs.indexOf(quote, p);
                    value = attrs.mid(p, (end < 0 ? n : end) - p);
                    p = end < 0 ? n : end + 1;
                } else {
                    const qsizetype start = p;
                    while (p < n && !attrs.at(p).isSpace())
                        ++p;
                    value = attrs.mid(start, p - start);
                }
            }
            if (name.compare(QLatin1String("href"), Qt::CaseInsensitive) == 0)
                return decodeCharacterReferences(value);
        }
        return QString();
    }

    void append(QChar c)
    {
        m_afterBreak = false;
        TextLine &line = m_lines.last();
        const bool bold = m_bold > 0, italic = m_italic > 0;
        if (line.isEmpty() || line.last().bold != bold || line.last().italic != italic || line.last().href != m_href)
            line.append(TextRun{QString(), bold, italic, m_href});
        // A blank between two runs goes with the second: the writers move it
        // out of any markup.
        if (m_pendingSpace && (line.size() > 1 || !line.last().text.isEmpty()))
            line.last().text += u' ';
        m_pendingSpace = false;
        line.last().text += c;
    }

    void newLine()
    {
        m_lines.append(TextLine());
        m_pendingSpace = false;
    }

    QVector<TextLine> m_lines;
    int m_bold = 0;
    int m_italic = 0;
    QString m_href;
    bool m_pendingSpace = false;
    bool m_afterBreak = false;
};

bool isSchemeChar(QChar c)
{
    return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == u'+' || c == u'-' || c == u'.';
}

} // namespace

QVector<TextLine> cellLines(const QString &html)
{
    RunBuilder runs;
    const QStringView all(html);
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = html.indexOf(u'<', i);
        const qsizetype textEnd = lt < 0 ? n : lt;
        if (textEnd > i)
            runs.text(decodeCharacterReferences(all.mid(i, textEnd - i)));
        if (lt < 0)
            break;
        const qsizetype gt = html.indexOf(u'>', lt + 1);
        if (gt < 0) {
            // An unfinished tag is text, as the grid shows it.
            runs.text(all.mid(lt));
            break;
        }
        runs.tag(all.mid(lt + 1, gt - lt - 1));
        i = gt + 1;
    }
    QVector<TextLine> lines = runs.take();
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString publishableHref(const QString &href)
{
    QString out;
    out.reserve(href.size());
    for (const QChar c : QStringView(href).trimmed()) {
        if (c == u' ')
            out += QLatin1String("%20");
        else if (!isControl(c.unicode()))
            out += c;
    }
    // A scheme is what comes before the first colon, if nothing else does.
    qsizetype p = 0;
    while (p < out.size() && isSchemeChar(out.at(p)))
        ++p;
    if (p > 0 && p < out.size() && out.at(p) == u':' && out.at(0).isLetter()) {
        const QString scheme = out.left(p).toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp")
            && scheme != QLatin1String("mailto"))
            return QString();
    }
    return out;
}

QString plainText(const TextLine &line)
{
    QString out;
    for (const TextRun &run : line)
        out += run.text;
    return out;
}

QString renderLine(const TextLine &line, const InlineSyntax &syntax, bool allBold, bool noLinks)
{
    struct Open {
        InlineMark mark;
        QString href;
        bool operator==(const Open &o) const { return mark == o.mark && href == o.href; }
    };
    QString out;
    std::vector<Open> stack;
    for (const TextRun &run : line) {
        std::vector<Open> wanted;
        if (!noLinks && !run.href.isEmpty())
            wanted.push_back({InlineMark::Link, run.href});
        if (allBold || run.bold)
            wanted.push_back({InlineMark::Bold, QString()});
        if (run.italic)
            wanted.push_back({InlineMark::Italic, QString()});
        std::size_t keep = 0;
        while (keep < stack.size() && keep < wanted.size() && stack[keep] == wanted[keep])
            ++keep;
        const bool closes = stack.size() > keep;
        while (stack.size() > keep) {
            out += syntax.close(stack.back().mark, stack.back().href);
            stack.pop_back();
        }
        QStringView text(run.text);
        if (text.startsWith(u' ')) {
            out += u' ';
            text = text.mid(1);
        } else if (closes && wanted.size() > keep) {
            out += syntax.between();
        }
        for (std::size_t i = keep; i < wanted.size(); ++i) {
            out += syntax.open(wanted[i].mark, wanted[i].href);
            stack.push_back(wanted[i]);
        }
        out += syntax.escaped(text, out.isEmpty());
    }
    while (!stack.empty()) {
        out += syntax.close(stack.back().mark, stack.back().href);
        stack.pop_back();
    }
    return out;
}
