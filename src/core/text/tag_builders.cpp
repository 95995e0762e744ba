#include "core/text/tag_builders.h"

#include <QStringList>

#include "core/markup/table_markup.h"

#include <QtMath>

std::optional<QString> insertTagText(int kind, const QString &selected)
{
    auto wrap = [&selected](const char *name) {
        return QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>') + selected
               + QLatin1String("</") + QLatin1String(name) + QLatin1Char('>');
    };
    switch (static_cast<TagKind>(kind)) {
    case TagKind::Bold:
        return wrap("B");
    case TagKind::Italic:
        return wrap("I");
    case TagKind::Underline:
        return wrap("U");
    case TagKind::Strike:
        return wrap("S");
    case TagKind::LineBreak:
        return QStringLiteral("<BR>");
    }
    return std::nullopt;
}

QString linkTag(const QString &address, bool frameOn, const QString &frameName,
                const QString &selected)
{
    QString tag = QLatin1String("<A href=\"") + address + QLatin1Char('"');
    if (frameOn)
        tag += QLatin1String(" target=\"") + frameName + QLatin1Char('"');
    return tag + QLatin1Char('>') + selected + QLatin1String("</A>");
}

bool borderIsSet(const QString &borderText)
{
    bool ok = false;
    const double value = borderText.trimmed().toDouble(&ok);
    return ok && qIsFinite(value) && value != 0.0;
}

QString imageTag(const ImageTagInputs &in)
{
    QString tag = QLatin1String("<IMG SRC=\"") + in.address + QLatin1String("\" ALT=\"") + in.alt;
    if (borderIsSet(in.borderText))
        tag += QLatin1String("\" BORDER=\"") + in.borderText;
    tag += QLatin1Char('"');
    if (in.widthOn)
        tag += QLatin1String(" WIDTH=\"") + in.widthText + QLatin1Char('"');
    if (in.heightOn)
        tag += QLatin1String(" HEIGHT=\"") + in.heightText + QLatin1Char('"');
    return tag + QLatin1Char('>');
}

QString fontTag(const FontTagInputs &in, const QString &selected)
{
    const QString n = QString::number(in.size);
    if (in.heading)
        return QLatin1String("<H") + n + QLatin1Char('>') + selected + QLatin1String("</H") + n
               + QLatin1Char('>');

    const bool face = in.faceOn && !in.face.trimmed().isEmpty();
    if (in.html5) {
        // The legacy sizes 1..7 as the keywords browsers map them to.
        static const char *const sizes[] = {"x-small", "small", "medium", "large", "x-large",
                                            "xx-large", "xxx-large"};
        QStringList css;
        if (face)
            css << QLatin1String("font-family: ") + in.face.trimmed().replace(QLatin1Char('"'), QLatin1Char('\''));
        if (in.sizeOn && in.size >= 1 && in.size <= 7)
            css << QLatin1String("font-size: ") + QLatin1String(sizes[in.size - 1]);
        if (in.colorOn)
            css << QLatin1String("color: ") + ColorToHtml(in.color);
        if (css.isEmpty())
            return selected;
        return QLatin1String("<span style=\"") + css.join(QLatin1String("; ")) + QLatin1String("\">") + selected
               + QLatin1String("</span>");
    }

    QString open = QStringLiteral("<FONT");
    if (in.faceOn)
        open += QLatin1String(" FACE=\"") + in.face + QLatin1Char('"');
    if (in.sizeOn)
        open += QLatin1String(" SIZE=\"") + n + QLatin1Char('"');
    if (in.colorOn)
        open += QLatin1String(" COLOR=\"") + ColorToHtml(in.color) + QLatin1Char('"');
    return open + QLatin1Char('>') + selected + QLatin1String("</FONT>");
}
