// Everyday edits as a spreadsheet user makes them: what the boxes show is
// what is output, ranges act as one, and the edits of a working day (Enter
// down a column, dragged borders, find and replace, sort) are one step each.
#include <QtTest>

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

#include "gui/grid/find_replace_dialog.h"
#include "core/app/ui_language.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/file_commands.h"
#include "gui/widgets/url_opener.h"
#include "support/window_parts.h"

using namespace parts;

namespace {

std::unique_ptr<frmMain> openWindow(int cols, int rows)
{
    auto w = shownWindow();
    for (auto [name, n] : {std::pair{"txtWidth", cols}, std::pair{"txtHeight", rows}}) {
        box(*w, name)->selectAll();
        QTest::keyClicks(box(*w, name), QByteArray::number(n).constData());
    }
    clickBar(*w, ToolbarButton::CellView);
    grid(*w)->setFocus();
    return w;
}

void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), k, mods); }
void type(const char *text) { QTest::keyClicks(QApplication::focusWidget(), text); }

void clickCell(frmMain &w, int col, int row, Qt::KeyboardModifiers mods = {})
{
    QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, mods, grid(w)->cellRect(col, row).center());
}

// Answers the next message box with the named button (or OK), keeping its text.
void answerNextBox(const QString &button, QString *text = nullptr)
{
    QTimer::singleShot(0, [button, text] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && text)
            *text = box->text();
        if (box && button.isEmpty())
            box->accept();
        else if (box)
            part<QPushButton>(*box, qPrintable(button))->click();
    });
}

// What a widget repaints, gathered from its paint events.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget *widget) : QObject(widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

int countOf(const QString &text, const char *what) { return int(text.count(QLatin1String(what), Qt::CaseInsensitive)); }

} // namespace

class TstEverydayEditing : public QObject
{
    Q_OBJECT

private slots:
    void outputHoldsWhatTheBoxesShow();
    void rangesActAsOne_data();
    void rangesActAsOne();
    void insertedLinesTakeTheirNeighboursFormat();
    void mergeAsksAboutHiddenText_data();
    void mergeAsksAboutHiddenText();
    void gridShowsCharacterReferences();
    void missingBrowserIsReported();
    void enterFillsAColumn();
    void saveDialogOffersHtml_data();
    void saveDialogOffersHtml();
    void saveAsPublishes_data();
    void saveAsPublishes();
    void draggedBorderSetsTheWidth();
    void findAndReplace();
    void sortByTheCurrentColumn_data();
    void sortByTheCurrentColumn();
};

void TstEverydayEditing::outputHoldsWhatTheBoxesShow()
{
    auto w = openWindow(2, 14);
    clickBar(*w, ToolbarButton::TableView);
    box(*w, "txtHeight")->setFocus();
    box(*w, "txtHeight")->selectAll();
    QTest::keyClicks(box(*w, "txtHeight"), "15");
    clickBar(*w, ToolbarButton::TagView);
    QCOMPARE(countOf(output(*w)->tagView()->toPlainText(), "<TR>"), 15);
}

void TstEverydayEditing::rangesActAsOne_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("header button") << "Bar_7";
    QTest::newRow("width box") << "chkSWidth";
    QTest::newRow("no colour box") << "chkBackColorNothing2";
}

// Row 1 is set already; a column from it is mixed. One click sets it whole,
// a second clears it whole.
void TstEverydayEditing::rangesActAsOne()
{
    QFETCH(QString, control);
    auto w = openWindow(3, 3);
    auto isSet = [&](int row) {
        const CellRecord &r = model(*w).Cells(1, row);
        return control == QLatin1String("Bar_7") ? r.Header == -1
             : control == QLatin1String("chkSWidth") ? r.WidthOn != 0 : r.BackColorNothing == 0;
    };
    auto click = [&] {
        if (control == QLatin1String("Bar_7"))
            clickBar(*w, ToolbarButton::Header);
        else
            part<QCheckBox>(*w, qPrintable(control))->click();
    };
    if (control == QLatin1String("chkBackColorNothing2"))
        doc(*w).setCellField(1, 1, CellField::BackColorNothing, 0);
    clickCell(*w, 1, 1);
    if (control != QLatin1String("chkBackColorNothing2"))
        click();
    QVERIFY(isSet(1) && !isSet(2));
    clickCell(*w, 1, 3, Qt::ShiftModifier); // the column, from its set first cell
    click();
    const bool setsNothing = control == QLatin1String("chkBackColorNothing2");
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(isSet(row), !setsNothing);
    click();
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(isSet(row), setsNothing);

    // Clicking elsewhere repaints the range it leaves: no tint stays behind.
    QCoreApplication::processEvents();
    auto *recorder = new PaintRecorder(grid(*w)->viewport());
    clickCell(*w, 3, 2);
    QTRY_VERIFY(!recorder->painted.isEmpty());
    QCoreApplication::processEvents();
    for (int row = 1; row <= 3; ++row)
        QVERIFY2((QRegion(grid(*w)->cellRect(1, row)) - recorder->painted).isEmpty(), qPrintable(QString::number(row)));
}

void TstEverydayEditing::insertedLinesTakeTheirNeighboursFormat()
{
    auto w = openWindow(2, 3);
    doc(*w).setTableField(TableField::OutputProfile, int(MarkupProfile::Html5));
    clickCell(*w, 1, 1);
    clickCell(*w, 2, 1, Qt::ShiftModifier);
    clickBar(*w, ToolbarButton::Header);
    doc(*w).setCellsField(QRect(1, 2, 2, 1), CellField::BackColorNothing, 0);
    doc(*w).setCellsField(QRect(1, 2, 2, 1), CellField::BackColor, 0x00CCFF);
    clickCell(*w, 2, 2);
    item(*w, "mnuInsertColLeft")->trigger();
    item(*w, "mnuInsertRowBelow")->trigger();
    const TableModel &m = model(*w);
    QCOMPARE(m.Cells(2, 1).Header, qint16(-1));  // the header row stays headers
    QCOMPARE(m.Cells(2, 2).BackColorNothing, qint16(0));
    QCOMPARE(m.Cells(2, 3).BackColor, 0x00CCFF);   // no hole in the coloured row
    QVERIFY(w->BuildTableHtml().contains(QLatin1String("<THEAD>"), Qt::CaseInsensitive));
}

void TstEverydayEditing::mergeAsksAboutHiddenText_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("merged");
    QTest::newRow("move the text") << "move" << "a<BR>b" << true;
    QTest::newRow("keep it hidden") << "keep" << "a" << true;
    QTest::newRow("cancel") << "cancel" << "a" << false;
}

void TstEverydayEditing::mergeAsksAboutHiddenText()
{
    QFETCH(QString, answer);
    QFETCH(QString, first);
    QFETCH(bool, merged);
    auto w = openWindow(2, 2);
    doc(*w).setCellText(1, 1, QStringLiteral("a"));
    doc(*w).setCellText(2, 1, QStringLiteral("b"));
    clickCell(*w, 1, 1);
    clickCell(*w, 2, 1, Qt::ShiftModifier);
    answerNextBox(answer);
    item(*w, "mnuMerge")->trigger();
    QCOMPARE(model(*w).Cells(1, 1).Text, first);
    QCOMPARE(model(*w).Cells(1, 1).ColSpanOn != 0, merged);
    QCOMPARE(model(*w).Cells(2, 1).Text, answer == QLatin1String("move") ? QString() : QStringLiteral("b"));
}

void TstEverydayEditing::gridShowsCharacterReferences()
{
    auto w = openWindow(1, 1);
    clickCell(*w, 1, 1);
    type("&"); // opens the box, which takes the rest
    type("yen;980&ndash;&#x2713; <a>x</a>");
    key(Qt::Key_Return);
    QCOMPARE(grid(*w)->text(1, 1), QString::fromUtf16(u"\u00A5980\u2013\u2713 x"));
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("&yen;980&ndash;&#x2713; <a>x</a>"));
}

void TstEverydayEditing::missingBrowserIsReported()
{
    auto w = openWindow(1, 1);
    setCheckedUrlOpener([](const QUrl &) { return false; });
    QString shown;
    answerNextBox({}, &shown);
    clickBar(*w, ToolbarButton::BrowserPreview);
    setCheckedUrlOpener({});
    const QString page = QDir::toNativeSeparators(output(*w)->PageFilePath);
    QVERIFY(!page.isEmpty());
    QVERIFY2(shown.contains(page), qPrintable(shown));
    QVERIFY(QFile::exists(output(*w)->PageFilePath)); // left for the user to open
}

void TstEverydayEditing::enterFillsAColumn()
{
    auto w = openWindow(1, 3);
    clickCell(*w, 1, 1);
    for (const char *text : {"a", "b", "c"}) {
        type(text);
        key(Qt::Key_Return);
    }
    QCOMPARE(model(*w).Cells(1, 3).Text, QStringLiteral("c"));
    QCOMPARE(grid(*w)->Row(), 3); // the last row keeps the current cell
    type("z");
    key(Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(model(*w).Cells(1, 3).Text, QStringLiteral("z"));
    QCOMPARE(grid(*w)->Row(), 2);
    QCOMPARE(model(*w).Cells(1, 2).Text, QStringLiteral("b"));
}

void TstEverydayEditing::saveDialogOffersHtml_data()
{
    QTest::addColumn<int>("type");        // the chosen file type
    QTest::addColumn<QByteArray>("start"); // how the written file begins
    QTest::newRow("HTML file: the table alone") << 1 << QByteArray("<TABLE");
    QTest::newRow("HTML page: a page a browser opens as it is")
            << 2 << QByteArray("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<HTML LANG=\"ja\">");
}

void TstEverydayEditing::saveDialogOffersHtml()
{
    QFETCH(int, type);
    QFETCH(QByteArray, start);
    auto w = openWindow(1, 1);
    QTemporaryDir dir;
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) {
        CommonDialog::Reply reply;
        reply.accepted = r.filter.contains(QStringLiteral("HTMLファイル (*.html;*.htm)"))
                && r.filter.contains(QStringLiteral("HTMLページ (*.html)"));
        reply.fileName = dir.filePath(QStringLiteral("price"));
        reply.filterIndex = type;
        return reply;
    });
    w->SaveFile();
    CommonDialog::setTestHook({});
    QFile saved(dir.filePath(QStringLiteral("price.html")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY2(saved.readAll().startsWith(start), qPrintable(saved.fileName()));
}

void TstEverydayEditing::saveAsPublishes_data()
{
    QTest::addColumn<QString>("kind");    // the file type chosen, as the dialog lists it
    QTest::addColumn<QString>("file");    // what is written
    QTest::addColumn<QString>("notice");  // what the window then says; empty: nothing
    QTest::addColumn<bool>("english");
    QTest::newRow("LaTeX holds the merge") << "LaTeXファイル (*.tex)" << "price.tex" << QString() << false;
    QTest::newRow("reStructuredText, no alignment") << "reStructuredTextファイル (*.rst)" << "price.rst"
                                                    << "文字揃えは書き出していません" << false;
    QTest::newRow("Markdown flattens the merge") << "Markdownファイル (*.md)" << "price.md" << "結合したセル" << false;
    QTest::newRow("the notice in English") << "Markdown File (*.md)" << "price.md" << "Joined cells were flattened" << true;
}

// A price list with a joined title row, saved as each publishing format by
// choosing its type and typing a bare name: the type gives the extension,
// and what the format could not hold is said once the file is written.
void TstEverydayEditing::saveAsPublishes()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(QString, notice);
    QFETCH(bool, english);
    if (english)
        QVERIFY(setUiLanguage(UiLanguage::English));
    auto w = openWindow(2, 2);
    // The first key opens the in-place box, which takes the rest.
    auto enter = [](const char *text, Qt::Key then) {
        type(QByteArray(text, 1).constData());
        type(text + 1);
        key(then);
    };
    clickCell(*w, 1, 1);
    enter("Prices", Qt::Key_Return);
    enter("Tea", Qt::Key_Tab);
    enter("120", Qt::Key_Return);
    clickCell(*w, 1, 1);
    clickCell(*w, 2, 1, Qt::ShiftModifier);
    item(*w, "mnuMerge")->trigger();

    QTemporaryDir dir;
    QString offered;
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) {
        const QStringList pairs = r.filter.split(QLatin1Char('|'));
        CommonDialog::Reply reply;
        reply.accepted = true;
        reply.fileName = dir.filePath(QStringLiteral("price"));
        reply.filterIndex = int(pairs.indexOf(kind) / 2);
        offered = r.filter;
        return reply;
    });
    QStringList said;
    setFileMessageHook([&](QWidget *, const QString &text) { said << text; });
    w->SaveFile();
    CommonDialog::setTestHook({});
    setFileMessageHook({});
    if (english)
        setUiLanguage(UiLanguage::Japanese);
    QVERIFY2(offered.split(QLatin1Char('|')).contains(kind), qPrintable(offered));
    QFile saved(dir.filePath(file));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray written = saved.readAll();
    QVERIFY2(written.contains("Prices"), written.constData());
    QCOMPARE(said.size(), notice.isEmpty() ? 0 : 1);
    if (!notice.isEmpty())
        QVERIFY2(said.first().contains(notice), qPrintable(said.first()));
}

void TstEverydayEditing::draggedBorderSetsTheWidth()
{
    auto w = openWindow(2, 2);
    QHeaderView *h = grid(*w)->horizontalHeader();
    const int border = h->sectionViewportPosition(0) + h->sectionSize(0) - 1;
    const int y = h->height() / 2;
    const int steps = doc(*w).undoStack()->count();
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, QPoint(border, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(border + 40, y), h->viewport()->mapToGlobal(QPointF(border + 40, y)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h->viewport(), &move);
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, QPoint(border + 40, y));
    const int px = h->sectionSize(0);
    QVERIFY(px > 80);
    QCOMPARE(model(*w).Cells(1, 2).Width, px);
    // The current cell is in that column: its pane follows the border.
    QCOMPARE(box(*w, "txtSWidth")->text(), QString::number(px));
    QVERIFY(part<QCheckBox>(*w, "chkSWidth")->isChecked());
    QVERIFY(w->BuildTableHtml().contains(QStringLiteral("WIDTH=\"%1\"").arg(px)));
    QCOMPARE(doc(*w).undoStack()->count(), steps + 1);
    QTest::keyClick(grid(*w), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!w->BuildTableHtml().contains(QLatin1String("WIDTH")));
    QCOMPARE(h->sectionSize(0), GridWidget::DefaultColWidth / 15);
}

void TstEverydayEditing::findAndReplace()
{
    auto w = openWindow(2, 3);
    doc(*w).setCellText(2, 1, QStringLiteral("Tea 300"));
    doc(*w).setCellText(1, 3, QStringLiteral("tea 450"));
    doc(*w).setCellText(2, 3, QStringLiteral("coffee"));
    clickCell(*w, 1, 1);
    QTest::keyClick(grid(*w), Qt::Key_H, Qt::ControlModifier);
    auto *dlg = w->findChild<FindReplaceDialog *>();
    QVERIFY(dlg && dlg->isVisible());
    QTest::keyClicks(box(*dlg, "txtFind"), "tea");
    part<QPushButton>(*dlg, "cmdFindPrev")->click(); // back round from (1, 1)
    QCOMPARE(QPoint(grid(*w)->Col(), grid(*w)->Row()), QPoint(1, 3));
    part<QCheckBox>(*dlg, "chkRegex")->click();
    box(*dlg, "txtFind")->setText(QStringLiteral("(tea) (\\d+)"));
    box(*dlg, "txtReplace")->setText(QStringLiteral("\\1: \\2円"));
    const int steps = doc(*w).undoStack()->count();
    part<QPushButton>(*dlg, "cmdReplaceAll")->click();
    QCOMPARE(model(*w).Cells(2, 1).Text, QStringLiteral("Tea: 300円"));
    QCOMPARE(model(*w).Cells(1, 3).Text, QStringLiteral("tea: 450円"));
    QVERIFY(part<QLabel>(*dlg, "lblStatus")->text().contains(QLatin1String("2")));
    QCOMPARE(doc(*w).undoStack()->count(), steps + 1);
    doc(*w).undoStack()->undo();
    QCOMPARE(model(*w).Cells(2, 1).Text, QStringLiteral("Tea 300"));
}

void TstEverydayEditing::sortByTheCurrentColumn_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("numbers, full-width and separated, ascending")
            << "mnuSortAscendingNumber" << QStringList{"９８", "1,280", "12,000"};
    QTest::newRow("text ascending") << "mnuSortAscending" << QStringList{"1,280", "12,000", "９８"};
}

void TstEverydayEditing::sortByTheCurrentColumn()
{
    QFETCH(QString, action);
    QFETCH(QStringList, order);
    auto w = openWindow(2, 4);
    doc(*w).setCellsField(QRect(1, 1, 2, 1), CellField::Header, -1);
    const QStringList prices{"1,280", "12,000", "９８"};
    for (int i = 0; i < 3; ++i) {
        doc(*w).setCellText(1, i + 2, QStringLiteral("item%1").arg(i));
        doc(*w).setCellText(2, i + 2, prices.at(i));
    }
    clickCell(*w, 2, 3);
    item(*w, qPrintable(action))->trigger();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(model(*w).Cells(2, i + 2).Text, order.at(i));
        QCOMPARE(model(*w).Cells(1, i + 2).Text, QStringLiteral("item%1").arg(prices.indexOf(order.at(i))));
    }
    doc(*w).undoStack()->undo();
    QCOMPARE(model(*w).Cells(2, 2).Text, prices.at(0));

    // A row span would be torn: the sort refuses and names its row.
    doc(*w).setCellField(1, 3, CellField::RowSpanOn, 1);
    doc(*w).setCellField(1, 3, CellField::RowSpan, 2);
    QString said;
    answerNextBox({}, &said);
    clickCell(*w, 2, 2);
    item(*w, qPrintable(action))->trigger();
    QVERIFY2(said.contains(QLatin1String("3")), qPrintable(said));
    QCOMPARE(model(*w).Cells(2, 2).Text, prices.at(0));
}

QTEST_MAIN(TstEverydayEditing)
#include "tst_everyday_editing.moc"
