#pragma once

#include <QString>

#include <optional>

// The tags the cell editor and its dialogs put in place of the selected text.
// Plain concatenation: values go in as typed, nothing is escaped.

// Codes of the editor's InsertTag.
enum class TagKind { Bold = 0, Italic = 1, Underline = 2, Strike = 3, LineBreak = 5 };

// The new selected text for an InsertTag code; nothing for an unknown code.
std::optional<QString> insertTagText(int kind, const QString &selected);

// <A href="address" target="frame">selected</A>; target only when frameOn.
QString linkTag(const QString &address, bool frameOn, const QString &frameName,
                const QString &selected);

struct ImageTagInputs {
    QString address;
    QString alt;
    QString borderText;     // as typed; BORDER only when it reads as a non-zero number
    bool widthOn = false;
    QString widthText;
    bool heightOn = false;
    QString heightText;
};
// <IMG SRC="" ALT="" BORDER="" WIDTH="" HEIGHT="">, attributes in that order.
QString imageTag(const ImageTagInputs &in);

struct FontTagInputs {
    bool heading = false;   // <Hn>…</Hn>; the other switches are then ignored
    bool faceOn = false;
    QString face;
    bool sizeOn = false;
    int size = 0;           // 1..7 from the list, 0 when nothing is selected
    bool colorOn = false;
    qint32 color = 0;       // 0x00BBGGRR
    bool html5 = false;     // the table is HTML5: CSS on a <span>, no <FONT>
};
// <FONT FACE="" SIZE="" COLOR="">selected</FONT> (HTML5: <span style="font-family:
// …; font-size: …; color: …">selected</span>, an empty face left out, and
// with nothing left selected as it is) or <Hn>selected</Hn>.
QString fontTag(const FontTagInputs &in, const QString &selected);

// True when a border text reads as a number other than 0. Empty text and text
// that is not a number count as 0.
bool borderIsSet(const QString &borderText);
