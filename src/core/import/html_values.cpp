#include "core/import/html_values_p.h"

#include <algorithm>

namespace htmltables {

// ------------------------------------------------ attribute values


std::optional<Number> parseDimension(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && isHtmlSpace(s.at(i)))
        ++i;
    if (i < s.size() && s.at(i) == u'+')
        ++i;
    const qsizetype digits = i;
    Number n;
    while (i < s.size() && s.at(i) >= u'0' && s.at(i) <= u'9') {
        n.value = std::min<qint64>(n.value * 10 + (s.at(i).unicode() - '0'), 1000000000);
        ++i;
    }
    if (i == digits)
        return std::nullopt;
    while (i < s.size() && (s.at(i) == u'.' || (s.at(i) >= u'0' && s.at(i) <= u'9')))
        ++i;
    n.percent = i < s.size() && s.at(i) == u'%';
    return n;
}

// A CSS length in pixels ("120px", "0") or a percentage.
std::optional<Number> parseCssLength(QString s)
{
    s = s.trimmed().toLower();
    Number n;
    if (s.endsWith(QLatin1String("px")))
        s.chop(2);
    else if (s.endsWith(u'%')) {
        s.chop(1);
        n.percent = true;
    } else if (s != QLatin1String("0"))
        return std::nullopt;
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    if (!ok || v < 0 || v > 1e9)
        return std::nullopt;
    n.value = qRound64(v);
    return n;
}

static qint32 rgb(int red, int green, int blue)
{
    return qint32(red) | (qint32(green) << 8) | (qint32(blue) << 16); // 0x00BBGGRR
}

static std::optional<qint32> hexColour(const QString &hex)
{
    bool ok = false;
    const uint v = hex.toUInt(&ok, 16);
    if (!ok || hex.startsWith(u'+') || hex.startsWith(u'-'))
        return std::nullopt;
    if (hex.size() == 6)
        return rgb(int(v >> 16), int((v >> 8) & 0xFF), int(v & 0xFF));
    if (hex.size() == 3)
        return rgb(int(v >> 8) * 17, int((v >> 4) & 0xF) * 17, int(v & 0xF) * 17);
    return std::nullopt;
}

// "#RRGGBB", "#RGB", the basic colour names and (in CSS) rgb(r, g, b); a
// legacy BGCOLOR may also leave out the "#".
std::optional<qint32> parseColour(QString s, bool legacy)
{
    s = s.trimmed().toLower();
    if (s.startsWith(u'#'))
        return hexColour(s.mid(1));
    if (legacy && s.size() == 6)
        if (auto c = hexColour(s))
            return c;
    struct Named { const char *name; int r, g, b; };
    static const Named names[] = {
        {"black", 0, 0, 0}, {"silver", 192, 192, 192}, {"gray", 128, 128, 128},
        {"grey", 128, 128, 128}, {"white", 255, 255, 255}, {"maroon", 128, 0, 0},
        {"red", 255, 0, 0}, {"purple", 128, 0, 128}, {"fuchsia", 255, 0, 255},
        {"magenta", 255, 0, 255}, {"green", 0, 128, 0}, {"lime", 0, 255, 0},
        {"olive", 128, 128, 0}, {"yellow", 255, 255, 0}, {"navy", 0, 0, 128},
        {"blue", 0, 0, 255}, {"teal", 0, 128, 128}, {"aqua", 0, 255, 255},
        {"cyan", 0, 255, 255}, {"orange", 255, 165, 0}};
    for (const Named &n : names)
        if (s == QLatin1String(n.name))
            return rgb(n.r, n.g, n.b);
    if (!legacy && (s.startsWith(QLatin1String("rgb(")) || s.startsWith(QLatin1String("rgba(")))
            && s.endsWith(u')')) {
        const qsizetype open = s.indexOf(u'(');
        QString inner = s.mid(open + 1, s.size() - open - 2);
        inner.replace(u',', u' ');
        const QStringList parts = inner.split(u' ', Qt::SkipEmptyParts);
        if (parts.size() < 3)
            return std::nullopt;
        int v[3];
        for (int i = 0; i < 3; ++i) {
            QString p = parts.at(i);
            const bool percent = p.endsWith(u'%');
            if (percent)
                p.chop(1);
            bool ok = false;
            const double d = p.toDouble(&ok);
            if (!ok)
                return std::nullopt;
            v[i] = std::clamp(int(qRound(percent ? d * 2.55 : d)), 0, 255);
        }
        return rgb(v[0], v[1], v[2]);
    }
    return std::nullopt;
}

std::optional<qint16> horizontalAlignment(const QString &s)
{
    const QString v = s.trimmed().toLower();
    if (v == QLatin1String("left") || v == QLatin1String("start"))
        return 0;
    if (v == QLatin1String("center") || v == QLatin1String("middle"))
        return 1;
    if (v == QLatin1String("right") || v == QLatin1String("end"))
        return 2;
    return std::nullopt;
}

std::optional<qint16> verticalAlignment(const QString &s)
{
    const QString v = s.trimmed().toLower();
    if (v == QLatin1String("top") || v == QLatin1String("text-top"))
        return 0;
    if (v == QLatin1String("middle") || v == QLatin1String("center"))
        return 1;
    if (v == QLatin1String("bottom") || v == QLatin1String("text-bottom"))
        return 2;
    return std::nullopt;
}


InlineStyle parseStyle(const std::optional<QString> &attr)
{
    InlineStyle style;
    if (!attr)
        return style;
    // Comments out in one pass: removing them one at a time moved the rest of
    // the text each time, which a style of many comments made take minutes.
    const QString &from = *attr;
    QString s;
    s.reserve(from.size());
    for (qsizetype at = 0; at < from.size();) {
        const qsizetype open = from.indexOf(QLatin1String("/*"), at);
        if (open < 0) {
            s += QStringView(from).mid(at);
            break;
        }
        s += QStringView(from).mid(at, open - at);
        const qsizetype close = from.indexOf(QLatin1String("*/"), open + 2);
        at = close < 0 ? from.size() : close + 2;
    }
    for (const QString &declaration : s.split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toLower();
        QString value = declaration.mid(colon + 1).trimmed();
        const qsizetype bang = value.indexOf(u'!');
        if (bang >= 0)
            value = value.left(bang).trimmed();
        if (property == QLatin1String("text-align"))
            style.textAlign = value;
        else if (property == QLatin1String("vertical-align"))
            style.verticalAlign = value;
        else if (property == QLatin1String("width"))
            style.width = value;
        else if (property == QLatin1String("height"))
            style.height = value;
        else if (property == QLatin1String("border-width"))
            style.borderWidth = value;
        else if (property == QLatin1String("border") && !style.borderWidth)
            // The shorthand the HTML5 output writes: "1px outset gray"; its width comes first.
            style.borderWidth = value.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        else if (property == QLatin1String("background-color"))
            style.backgroundColor = value;
        else if (property == QLatin1String("background") && parseColour(value, false))
            style.backgroundColor = value; // the shorthand holding a colour only
    }
    return style;
}

// The background colour: CSS first (it wins over the attribute), then BGCOLOR.
std::optional<qint32> backgroundOf(const GumboElement &e, const InlineStyle &style)
{
    if (style.backgroundColor)
        if (auto c = parseColour(*style.backgroundColor, false))
            return c;
    if (auto attr = attribute(e, "bgcolor"))
        return parseColour(*attr, true);
    return std::nullopt;
}

// A size in pixels from CSS or the attribute; percentages are not pixels.
std::optional<qint64> pixelsOf(const GumboElement &e, const std::optional<QString> &css,
                               const char *name)
{
    std::optional<Number> n;
    if (css)
        n = parseCssLength(*css);
    if (!n)
        if (auto attr = attribute(e, name))
            n = parseDimension(*attr);
    if (!n || n->percent)
        return std::nullopt;
    return n->value;
}

// ---------------------------------------------------------------- tables

} // namespace htmltables
