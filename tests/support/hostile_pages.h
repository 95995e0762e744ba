#pragma once

#include <QByteArray>
#include <QString>

// Small pages made to slip past the import's scan: a formatting bomb (18 s and
// 1.7 GB for gumbo unbounded) behind a place where a scan imitating the parser
// went wrong, and two pages that must be read right. "@": the table at the end.
namespace hostile {

inline QByteArray formattingBomb()
{
    QByteArray bomb;
    for (int i = 0; i < 3000; ++i)
        bomb += "<p><b id=" + QByteArray::number(i) + ">x</p>";
    return bomb;
}

inline QByteArray page(const QString &kind)
{
    const QByteArray table("<table><tr><td>@</td></tr></table>");
    const QByteArray bomb = formattingBomb();
    if (kind == QLatin1String("comment ended by --!>"))
        return "<!-- a --!>" + bomb + "-->" + table;
    if (kind == QLatin1String("made-up name hashed like plaintext"))
        return "<xrqhoejwru>" + bomb + table; // FNV-1a of it equals that of "plaintext"
    if (kind == QLatin1String("font without attributes stays in SVG"))
        return "<svg><font><style>" + bomb + "</style></svg>" + table;
    if (kind == QLatin1String("annotation-xml without encoding holds MathML"))
        return "<math><annotation-xml><style>" + bomb + "</style></annotation-xml></math>" + table;
    if (kind == QLatin1String("style inside select is dropped"))
        return "<select><style><input>" + bomb + "</style>" + table;
    if (kind == QLatin1String("900 KB of comments in a style"))
        return "<table><tr><td style=\"" + QByteArray("x/**/").repeated(184000) + ";width:40px\">@</td></tr></table>";
    // Text raises the scan's budget with the page; gumbo's counts only what the scan leaves of it.
    if (kind == QLatin1String("formatting bomb behind 8 MiB of text"))
        return bomb + table + "<p>" + QByteArray("lorem ipsum ").repeated(700000) + "</p>";
    if (kind == QLatin1String("CDATA end inside long text"))
        return "<table><tr><td><svg><![CDATA[>" + QByteArray(3000, 'a') + "]]>" + QByteArray(3000, 'b')
                + "</svg></td><td>second</td></tr></table>";
    return QByteArray();
}

} // namespace hostile
