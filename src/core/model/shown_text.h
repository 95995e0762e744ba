#pragma once

#include <QString>
#include <QVector>

// A stretch of a cell's shown text (HtmlToGridText) and the text to show there.
struct ShownMatch {
    qsizetype from = 0;     // in the shown text; to > from
    qsizetype to = 0;
    QString with;
};

struct ShownReplacement {
    QString markup;         // the new markup; the old one when nothing was replaced
    int replaced = 0;
    // Matches left as they were: those on a line break's tag only, and every
    // match of a cell whose markup could not be made to show the result.
    int skipped = 0;
    bool tooLong = false;   // the markup would pass the length allowed: nothing replaced
};

// markup with each match of its shown text replaced, written back as markup
// that shows exactly the replaced text. Only the text runs a match covers are
// edited; a character the replaced source wrote as a reference ("&amp;") is
// written so again, "<" and ">" become "&lt;" and "&gt;"; tags inside and
// around a match stay where they are, the replacement going into the first
// run the match covers. shown is HtmlToGridText(markup); matches are in order
// and do not overlap.
ShownReplacement replaceShownText(const QString &markup, const QString &shown,
                                  const QVector<ShownMatch> &matches, qsizetype maxLength);
