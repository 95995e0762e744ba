#pragma once

#include <QString>
#include <QVector>

// A cell's markup as the formats with bold, italic, links and line breaks of
// their own take it: lines of text runs, each run with the formatting around
// it. Tags are found as the grid finds them (grid_text.h) and dropped, all but
// <B>/<STRONG>, <I>/<EM>, <A href> and <BR>; character references are decoded.
// Blanks are folded as a browser folds them (a run of them is one space, none
// at a line's ends), and a line break typed after a <BR> is that same break.
// Linear in the text's length.
struct TextRun {
    QString text;   // never empty, no line break, no control character
    bool bold = false;
    bool italic = false;
    QString href;   // the link's address; empty for none
};

using TextLine = QVector<TextRun>;

// At least one line, each possibly empty; a break at the very end, which a
// browser does not show, makes no line of its own.
QVector<TextLine> cellLines(const QString &html);

// A link address other formats may carry: none with a scheme that runs or
// reads something (javascript:, data:, file:); http, https, ftp, mailto and
// relative addresses pass. Blanks and control characters are removed.
QString publishableHref(const QString &href);

// The lines' text alone, runs joined.
QString plainText(const TextLine &line);

// What a format writes around and inside runs. Marks nest link outermost,
// then bold, then italic; a run's leading blank goes outside any mark that
// opens or closes beside it.
enum class InlineMark { Link, Bold, Italic };

class InlineSyntax
{
public:
    virtual ~InlineSyntax() = default;
    // text escaped for the format; lineStart: nothing precedes it on its line;
    // inLink: it is a link's text.
    virtual QString escaped(QStringView text, bool lineStart, bool inLink) const = 0;
    virtual QString open(InlineMark mark, const QString &href) const = 0;
    virtual QString close(InlineMark mark, const QString &href) const = 0;
    // What keeps marks closing right before others open from running into
    // one another (Markdown's "**" then "*"); nothing by default.
    virtual QString between() const { return QString(); }
    // Whether a mark's delimiters work between these characters (null for a
    // line's ends): before the opening one, first and last inside, after the
    // closing one. Where not, the format's other way is written.
    virtual bool fits(InlineMark, QChar /*before*/, QChar /*first*/, QChar /*last*/, QChar /*after*/) const
    {
        return true;
    }
    virtual QString openOtherwise(InlineMark mark, const QString &href) const { return open(mark, href); }
    virtual QString closeOtherwise(InlineMark mark, const QString &href) const { return close(mark, href); }
};

// One line in a format's syntax. allBold: every run is bold (a header cell
// in a format without header cells); noLinks: links are written as their text.
QString renderLine(const TextLine &line, const InlineSyntax &syntax, bool allBold = false, bool noLinks = false);
