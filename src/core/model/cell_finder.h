#pragma once

#include <QPoint>
#include <QRegularExpression>
#include <QString>

class SpanLayout;
class TableModel;

// What Find and Replace look for in the cells' stored text.
struct FindOptions {
    QString pattern;
    bool matchCase = false;
    bool wholeCell = false;     // the whole text of a cell, not a part of it
    bool regex = false;         // pattern is a regular expression; \1 in a replacement its group
};

// One search over cell texts. A regular expression that does not compile
// finds nothing and says why.
class CellFinder
{
public:
    explicit CellFinder(const FindOptions &options);

    bool isValid() const;
    QString errorString() const;
    bool matches(const QString &text) const;
    // text with every match replaced; count (if given) gets how many there were.
    QString replaced(const QString &text, const QString &with, int *count = nullptr) const;

    // The next written cell after from (row by row, wrapping round, from itself
    // last) whose text matches; a null point when none does.
    QPoint findCell(const TableModel &m, const SpanLayout &cells, QPoint from, bool backward) const;

private:
    QString expand(const QString &with, const QRegularExpressionMatch &match) const;

    FindOptions m_options;
    QRegularExpression m_re;
};
