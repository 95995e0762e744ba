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

// A CSS length in pixels or a percentage. The absolute units are pixels at
// 96 per inch, rounded; "em" and the other relative ones are not.
std::optional<Number> parseCssLength(QString s)
{
    s = s.trimmed().toLower();
    struct Unit { const char *name; double px; };
    static const Unit units[] = {{"px", 1}, {"pt", 96.0 / 72}, {"pc", 16}, {"in", 96},
                                 {"cm", 96 / 2.54}, {"mm", 96 / 25.4}, {"q", 96 / 101.6}};
    Number n;
    double scale = 1;
    if (s.endsWith(u'%')) {
        s.chop(1);
        n.percent = true;
    } else if (s != QLatin1String("0")) {
        const Unit *unit = nullptr;
        for (const Unit &u : units)
            if (s.endsWith(QLatin1String(u.name)))
                unit = &u;
        if (!unit)
            return std::nullopt;
        s.chop(qsizetype(qstrlen(unit->name)));
        scale = unit->px;
    }
    // A number alone, as CSS writes one: no blanks inside, no hex, no "inf".
    if (s.isEmpty() || s.contains(u' ') || !(s.back().isDigit() || s.back() == u'.'))
        return std::nullopt;
    bool ok = false;
    const double v = s.toDouble(&ok) * scale;
    if (!ok || !(v >= 0) || v > 1e9)
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
    style.declarations = cssDeclarations(*attr);
    style.taken.assign(std::size_t(style.declarations.size()), 0);
    return style;
}

int InlineStyle::lastOf(QLatin1String property) const
{
    for (qsizetype i = declarations.size(); i-- > 0;)
        if (declarations.at(i).property == property)
            return int(i);
    return -1;
}

QString InlineStyle::value(int i) const
{
    QString v = declarations.at(i).value;
    // "!important" changes nothing for a value the model holds.
    const qsizetype bang = v.indexOf(u'!');
    return bang >= 0 ? v.left(bang).trimmed() : v;
}

void InlineStyle::take(int i)
{
    const QString &property = declarations.at(i).property;
    for (int j = 0; j <= i; ++j)
        if (declarations.at(j).property == property)
            taken[std::size_t(j)] = 1;
}

QVector<CssDeclaration> InlineStyle::rest() const
{
    QVector<CssDeclaration> left;
    for (qsizetype i = 0; i < declarations.size(); ++i)
        if (!taken[std::size_t(i)])
            left.append(declarations.at(i));
    return left;
}

// The background colour: CSS first (it wins over the attribute), then BGCOLOR.
std::optional<qint32> backgroundOf(const GumboElement &e, InlineStyle &style)
{
    // The later of background-color and a background that is a colour alone.
    const int color = style.lastOf(QLatin1String("background-color"));
    int shorthand = style.lastOf(QLatin1String("background"));
    if (shorthand >= 0 && !parseColour(style.value(shorthand), false))
        shorthand = -1;
    const int last = std::max(color, shorthand);
    if (last >= 0)
        if (auto c = parseColour(style.value(last), false)) {
            style.take(last);
            if (last == shorthand && color >= 0 && color < last)
                style.take(color); // the shorthand set it again
            return c;
        }
    if (auto attr = attribute(e, "bgcolor"))
        return parseColour(*attr, true);
    return std::nullopt;
}

// ---------------------------------------------------------------- tables

} // namespace htmltables
