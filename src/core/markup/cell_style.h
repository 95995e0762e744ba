#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

// A cell's own CSS: the declarations of a style attribute, split as a browser
// splits them, and the ones that may go back out into a page. Whatever the
// text (a page's, a table file's, the user's), a declaration that could load
// anything or run anything is never written.

struct CssDeclaration {
    QString property;  // lower case
    QString value;     // as written, trimmed, "!important" included; empty for a broken one
};

// The declarations in order. Comments go; ";" and ":" inside quotes or
// brackets belong to the value. Text without a colon, or with nothing before
// it, is no declaration (a browser skips it too). A quote left open makes the
// rest one broken declaration (its value empty). Past MaxDeclarations the
// rest is one declaration named "…", never written. Linear in the text's length.
constexpr qsizetype MaxDeclarations = 256;
QVector<CssDeclaration> cssDeclarations(QStringView style);

// True for a declaration whose property is a CSS name and whose value can
// neither fetch nor run anything: no url(), image(), expression(), script
// scheme, binding or behaviour, no escape that could spell one, no control
// character, nothing broken.
bool isWritableDeclaration(const CssDeclaration &d);

// At most this many characters of a cell's own style are kept and written.
constexpr qsizetype MaxCellStyleChars = 2048;

// The writable declarations as they are written: "color: red; font-weight:
// bold", no longer than MaxCellStyleChars. The property of each declaration
// left out (not writable, or past the length) goes into leftOut, once each.
QString cssText(const QVector<CssDeclaration> &declarations, QStringList *leftOut = nullptr);
// The same for a style as typed or stored.
QString cellStyleText(QStringView style, QStringList *leftOut = nullptr);
