#pragma once

#include <QCoreApplication>
#include <QPoint>
#include <QRegularExpression>
#include <QString>
#include <QVector>

class SpanLayout;
class TableModel;

// What Find and Replace look for: by default in the text a cell shows (tags
// left out, character references as their characters), or in its HTML source.
struct FindOptions {
    QString pattern;
    bool matchCase = false;
    bool wholeCell = false;     // the whole text of a cell, not a part of it
    bool regex = false;         // pattern is a regular expression; \1 in a replacement its group
    bool inSource = false;      // the cell's HTML source as typed
};

enum class FindStatus { Found, NotFound, GaveUp };

struct FoundCell {
    FindStatus status = FindStatus::NotFound;
    QPoint cell;                // when found
    bool wrapped = false;       // reached by going on past the table's end (or start)
};

// What a replacement did. One that stopped changed nothing.
struct ReplaceSummary {
    enum class Stop { None, GaveUp, TooLarge, NoMemory };
    int replaced = 0;
    int skipped = 0;            // matches left alone: on a line break only, or not to be written as markup
    Stop stop = Stop::None;
};

struct CellText {
    QPoint cell;
    QString text;
};

// One search over cell texts, for one command: make one for each. Every match is bounded (a regular expression that backtracks without
// end gives up), and so is the time a command spends matching. A regular
// expression that does not compile finds nothing and says why.
class CellFinder
{
    Q_DECLARE_TR_FUNCTIONS(CellFinder)

public:
    // Backtracking steps a match may take from one starting point.
    static constexpr int MatchLimit = 20000;
    // What one command may spend matching: a regular expression less than a
    // second in all, a plain text a little more on a very large table.
    static constexpr qint64 RegexBudgetMs = 600;
    static constexpr qint64 TextBudgetMs = 2000;

    explicit CellFinder(const FindOptions &options);

    bool isValid() const;
    QString errorString() const;    // in the interface's language
    const FindOptions &options() const { return m_options; }

    // The next written cell after from (row by row, wrapping round, from itself
    // last) whose text matches.
    FoundCell findCell(const TableModel &m, const SpanLayout &cells, QPoint from, bool backward) const;

    // The matches in the cell's markup replaced; markup changes only when the
    // summary does not stop.
    ReplaceSummary replaceIn(QString &markup, const QString &with, qsizetype maxLength) const;
    // One cell of the table, refused when the table's text would pass what a
    // table file may hold.
    ReplaceSummary replaceInCell(const TableModel &m, QPoint cell, const QString &with, QString &text) const;
    // Every written cell: the new texts of the cells that change, or none when
    // the summary stops.
    ReplaceSummary replaceAll(const TableModel &m, const SpanLayout &cells, const QString &with,
                              QVector<CellText> &changes) const;

    // A lower bound of the bytes the table's cell texts take in a table file.
    static qint64 tableTextBytes(const TableModel &m);

private:
    enum class Match { Yes, No, GaveUp };
    struct Gathered;
    ReplaceSummary::Stop gather(const QString &markup, const QString &with, qsizetype maxLength, Gathered &out) const;
    ReplaceSummary build(QString &markup, const Gathered &found, qsizetype maxLength) const;
    Match matchIn(const QString &markup) const;
    QString expand(const QString &with, const QRegularExpressionMatch &match) const;
    bool outOfTime() const;
    QRegularExpressionMatch timedMatch(const QString &text, qsizetype from,
                                       QRegularExpression::MatchOptions options) const;

    FindOptions m_options;
    QRegularExpression m_re;
    qsizetype m_leading = 0;    // the pattern's own leading (*...) settings
    qsizetype m_added = 0;      // what was put after them
    mutable qint64 m_matchingNs = 0;    // spent matching in this command
};
