// Find and replace on the text a cell shows, written back as markup that
// shows the replaced text; and every search bounded, whatever it is asked.
#include <QtTest>

#include "core/io/compression.h"
#include "core/model/cell_finder.h"
#include "core/model/grid_text.h"
#include "core/model/table_edits.h"

namespace {

TableModel filledTable(int cols, int rows, const QString &text)
{
    TableModel m;
    m.TableCols = cols;
    m.TableRows = rows;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            m.Cells(c, r).Text = text;
    return m;
}

SpanLayout layoutOf(const TableModel &m)
{
    SpanLayout cells;
    cells.compute(m, m.TableRows, m.TableCols);
    return cells;
}

} // namespace

class tst_CellFinder : public QObject
{
    Q_OBJECT

private slots:
    void replaceWhatTheCellShows_data();
    void replaceWhatTheCellShows();
    void everySearchIsBounded_data();
    void everySearchIsBounded();
    void anExplosiveReplaceIsRefused();
};

void tst_CellFinder::replaceWhatTheCellShows_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("flags");     // r: regular expression, s: in the source, c: match case
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("replaced");
    QTest::addColumn<int>("skipped");

    QTest::newRow("plain text") << "Tea and milk" << "milk" << "cream" << "" << "Tea and cream" << 1 << 0;
    QTest::newRow("a reference is its character") << "Tea &amp; milk" << "&" << "and" << "" << "Tea and milk" << 1 << 0;
    QTest::newRow("a reference's name is not text") << "Tea &amp; milk" << "amp" << "x" << "" << "Tea &amp; milk" << 0 << 0;
    QTest::newRow("tag names are not text") << "<SMALL>a</SMALL> <TD>" << "small" << "x" << "" << "<SMALL>a</SMALL> <TD>" << 0 << 0;
    QTest::newRow("a letter of a tag is left alone") << "<B>bob</B>" << "b" << "c" << "" << "<B>coc</B>" << 2 << 0;
    QTest::newRow("tags inside a match stay, the text goes to the first run")
            << "<B>Tea</B> time" << "Tea time" << "Coffee break" << "" << "<B>Coffee break</B>" << 1 << 0;
    QTest::newRow("the source's reference is written again") << "R&amp;D" << "R&D" << "P&G" << "" << "P&amp;G" << 1 << 0;
    QTest::newRow("a reference spelt as the source spelt it") << "&copy;2002 Q" << "©2002" << "©2003" << "" << "&copy;2003 Q" << 1 << 0;
    QTest::newRow("typed angle brackets become references") << "a" << "a" << "<b>" << "" << "&lt;b&gt;" << 1 << 0;
    QTest::newRow("a lone ampersand before a space stays") << "a b" << "a" << "& a" << "" << "& a b" << 1 << 0;
    QTest::newRow("an ampersand that would start a reference is one") << "x" << "x" << "&copy" << "" << "&amp;copy" << 1 << 0;
    QTest::newRow("text that would finish an open ampersand") << "&copx" << "x" << "y" << "" << "&amp;copy" << 1 << 0;
    QTest::newRow("a match on a line break only is left") << "a<BR>b" << "\\r\\n" << " " << "r" << "a<BR>b" << 0 << 1;
    QTest::newRow("a line break inside a match keeps its tag") << "a<BR>b" << "a\\s+b" << "c" << "r" << "c<BR>" << 1 << 0;
    QTest::newRow("groups of a regular expression") << "<I>Tea 300</I>" << "(\\w+) (\\d+)" << "\\2 \\1" << "r" << "<I>300 Tea</I>" << 1 << 0;
    QTest::newRow("an unfinished tag is text as typed") << "a<b" << "<b" << "c" << "" << "ac" << 1 << 0;
    QTest::newRow("source: the markup as typed") << "Tea &amp; milk" << "&amp;" << "and" << "s" << "Tea and milk" << 1 << 0;
    QTest::newRow("source: tags too") << "<B>x</B>" << "B" << "I" << "sc" << "<I>x</I>" << 2 << 0;
}

// The story of one Replace All over a cell, as the dialog runs it.
void tst_CellFinder::replaceWhatTheCellShows()
{
    QFETCH(QString, markup);
    QFETCH(QString, find);
    QFETCH(QString, with);
    QFETCH(QString, flags);
    FindOptions o;
    o.pattern = find;
    o.regex = flags.contains(u'r');
    o.inSource = flags.contains(u's');
    o.matchCase = flags.contains(u'c');
    const CellFinder finder(o);
    QVERIFY(finder.isValid());
    TableModel m = filledTable(2, 1, QStringLiteral("none"));
    m.Cells(2, 1).Text = markup;
    const SpanLayout cells = layoutOf(m);

    QFETCH(int, replaced);
    const FoundCell found = finder.findCell(m, cells, QPoint(1, 1), false);
    QFETCH(int, skipped);
    QCOMPARE(found.status == FindStatus::Found, replaced + skipped > 0);

    QVector<CellText> changes;
    const ReplaceSummary s = finder.replaceAll(m, cells, with, changes);
    QCOMPARE(s.stop, ReplaceSummary::Stop::None);
    QCOMPARE(s.replaced, replaced);
    QCOMPARE(s.skipped, skipped);
    QFETCH(QString, after);
    QCOMPARE(changes.isEmpty() ? markup : changes.first().text, after);
    if (!o.inSource && replaced && !HtmlToGridText(markup).contains(u'\n')) {
        // What the cell shows is the old text with the match replaced.
        QString expected = HtmlToGridText(markup);
        if (o.regex)
            expected.replace(QRegularExpression(find), with);
        else
            expected.replace(find, with, Qt::CaseInsensitive);
        QCOMPARE(HtmlToGridText(after), expected);
    }
}

void tst_CellFinder::everySearchIsBounded_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("gaveUp");

    const QString letters = QString(29, u'a') + u'!';
    QTest::newRow("nested repeats backtrack without end") << "(a+)+$" << letters << true;
    QTest::newRow("the pattern cannot raise the limit") << "(*LIMIT_MATCH=10000000)(a+)+$" << letters << true;
    QTest::newRow("nor ask for the interpreter to escape it") << "(*NO_JIT)(a|aa)+$" << letters << true;
    QTest::newRow("a plain repeat is no trouble") << "a+$" << letters << false;
}

void tst_CellFinder::everySearchIsBounded()
{
    QFETCH(QString, pattern);
    QFETCH(QString, cell);
    QFETCH(bool, gaveUp);
    FindOptions o;
    o.pattern = pattern;
    o.regex = true;
    const TableModel m = filledTable(TableLimits::ClassicLines, TableLimits::ClassicLines, cell);
    const SpanLayout cells = layoutOf(m);
    const FoundCell found = CellFinder(o).findCell(m, cells, QPoint(1, 1), false);
    QCOMPARE(found.status, gaveUp ? FindStatus::GaveUp : FindStatus::NotFound);
    QVector<CellText> changes;
    const ReplaceSummary s = CellFinder(o).replaceAll(m, cells, QStringLiteral("x"), changes);
    QCOMPARE(s.stop, gaveUp ? ReplaceSummary::Stop::GaveUp : ReplaceSummary::Stop::None);
    QVERIFY(changes.isEmpty());
}

// Each "." of 100-letter cells by 1,000 letters would be a thousand million
// characters: refused before anything is built whole.
void tst_CellFinder::anExplosiveReplaceIsRefused()
{
    FindOptions o;
    o.pattern = QStringLiteral(".");
    o.regex = true;
    const TableModel m = filledTable(TableLimits::ClassicLines, TableLimits::ClassicLines, QString(100, u'x'));
    QVector<CellText> changes;
    const ReplaceSummary s = CellFinder(o).replaceAll(m, layoutOf(m), QString(1000, u'y'), changes);
    QCOMPARE(s.stop, ReplaceSummary::Stop::TooLarge);
    QVERIFY(changes.isEmpty());
    QString one = m.Cells(1, 1).Text;
    QCOMPARE(CellFinder(o).replaceInCell(m, QPoint(1, 1), QString(1000, u'y'), one).stop, ReplaceSummary::Stop::None);
    QCOMPARE(one.size(), 100 * 1000);
    QVERIFY(CellFinder::tableTextBytes(m) < MaxTableTextBytes);
}

QTEST_GUILESS_MAIN(tst_CellFinder)
#include "tst_cell_finder.moc"
