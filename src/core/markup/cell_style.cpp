#include "core/markup/cell_style.h"

#include <algorithm>

namespace {

// A declaration's text outside comments, and where its colon is.
struct Pending {
    QString text;
    qsizetype colon = -1;
    bool broken = false;
};

void finish(Pending &p, QVector<CssDeclaration> &out)
{
    if (p.colon >= 0) {
        CssDeclaration d;
        d.property = p.text.left(p.colon).trimmed().toLower();
        if (!d.property.isEmpty()) {
            if (!p.broken) {
                d.value = p.text.mid(p.colon + 1);
                // Line breaks and tabs are blanks in CSS; in a file or an
                // attribute they would only get in the way.
                for (QChar &c : d.value)
                    if (c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f')
                        c = u' ';
                d.value = d.value.trimmed();
            }
            out.append(std::move(d));
        }
    }
    p.text.clear();
    p.colon = -1;
    p.broken = false;
}

// Names that fetch or run something, looked for with the blanks taken out
// and in lower case: a function, a scheme, an old script binding.
const char *const Refused[] = {"url(", "src(", "image(", "image-set(", "cross-fade(", "element(",
                               "paint(", "expression", "javascript:", "vbscript:", "livescript:",
                               "data:", "@import", "binding", "behavior"};

constexpr int MaxPropertyChars = 64;
constexpr int MaxNamedPerStyle = 32;

bool isCssName(const QString &p)
{
    if (p.isEmpty() || p.size() > MaxPropertyChars || (p.at(0) >= u'0' && p.at(0) <= u'9'))
        return false;
    for (QChar c : p)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_'))
            return false;
    return true;
}

void name(QStringList *leftOut, const QString &property)
{
    if (!leftOut || leftOut->size() >= MaxNamedPerStyle)
        return;
    QString shown = property.size() > MaxPropertyChars ? property.left(MaxPropertyChars) + QChar(0x2026) : property;
    if (shown.isEmpty())
        shown = QStringLiteral("?");
    if (!leftOut->contains(shown))
        leftOut->append(shown);
}

} // namespace

QVector<CssDeclaration> cssDeclarations(QStringView style)
{
    QVector<CssDeclaration> out;
    Pending p;
    QChar quote;
    int depth = 0;
    const qsizetype n = style.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (out.size() >= MaxDeclarations) {
            // A page of endless declarations would cost memory by the
            // declaration: the rest stands as one that is never written.
            if (style.mid(i).contains(u':')) {
                CssDeclaration rest;
                rest.property = QString(QChar(0x2026));
                out.append(rest);
            }
            return out;
        }
        const QChar c = style.at(i);
        if (!quote.isNull()) {
            p.text += c;
            if (c == u'\\' && i + 1 < n)
                p.text += style.at(++i);
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'/' && i + 1 < n && style.at(i + 1) == u'*') {
            const qsizetype close = style.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 1;
            continue;
        }
        switch (c.unicode()) {
        case u'\\':
            p.text += c;
            if (i + 1 < n)
                p.text += style.at(++i);
            continue;
        case u'"': case u'\'':
            quote = c;
            break;
        case u'(': case u'[': case u'{':
            ++depth;
            break;
        case u')': case u']': case u'}':
            depth = std::max(0, depth - 1);
            break;
        case u';':
            if (depth == 0) {
                finish(p, out);
                continue;
            }
            break;
        case u':':
            if (depth == 0 && p.colon < 0)
                p.colon = p.text.size();
            break;
        default:
            break;
        }
        p.text += c;
    }
    p.broken = !quote.isNull();
    finish(p, out);
    return out;
}

bool isWritableDeclaration(const CssDeclaration &d)
{
    if (!isCssName(d.property) || d.value.isEmpty())
        return false;
    for (const char *refused : {"behavior", "binding"})
        if (d.property.contains(QLatin1String(refused)))
            return false;
    QString folded;
    folded.reserve(d.value.size());
    for (QChar c : d.value) {
        // An escape can spell any name in pieces; a control character has no
        // business in a value.
        if (c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
        if (c != u' ')
            folded += c.toLower();
    }
    for (const char *refused : Refused)
        if (folded.contains(QLatin1String(refused)))
            return false;
    return true;
}

QString cssText(const QVector<CssDeclaration> &declarations, QStringList *leftOut)
{
    QString out;
    for (const CssDeclaration &d : declarations) {
        if (!isWritableDeclaration(d)) {
            name(leftOut, d.property);
            continue;
        }
        const qsizetype adds = (out.isEmpty() ? 0 : 2) + d.property.size() + 2 + d.value.size();
        if (out.size() + adds > MaxCellStyleChars) {
            name(leftOut, d.property);
            continue;
        }
        if (!out.isEmpty())
            out += QLatin1String("; ");
        out += d.property;
        out += QLatin1String(": ");
        out += d.value;
    }
    return out;
}

QString cellStyleText(QStringView style, QStringList *leftOut)
{
    if (style.isEmpty())
        return QString();
    return cssText(cssDeclarations(style), leftOut);
}
