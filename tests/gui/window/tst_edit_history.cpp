// Undo and redo as a user meets them: every kind of change made through the
// window is one step (or as many as the user made), Ctrl+Z takes it back to
// exactly the table before, Ctrl+Y makes it again, and the window shows it.
#include <QtTest>

#include <QComboBox>
#include <QMenuBar>
#include <QToolButton>
#include <QUndoStack>

#include "gui/window/main_window.h"
#include "gui/widgets/file_commands.h"
#include "core/io/table_document_io.h"
#include "core/io/table_export.h"
#include "core/markup/table_markup.h"
#include "core/io/table_file.h"
#include "gui/widgets/common_dialog.h"
#include "support/window_parts.h"
#include "core/model/grid_text.h"

using namespace parts;

namespace {

enum Change {
    TypeInCell, EditorText, Header, HeaderTwice, CellWidth, AlignmentDrag, CellColour, Title,
    BorderSpinnerHeld, ShrinkAndGrow, Netscape, WidthUnitChoice, Bulk99
};

// The table file and the export of the table, and every record beyond its size.
QByteArray snapshot(const TableModel &m)
{
    TableModel copy = m;
    const QByteArray shown = tableText(copy) + htmlDocumentBytes(buildTableMarkup(copy), copy.OutputProfile);
    copy.TableRows = 99;
    copy.TableCols = 99;
    return shown + tableText(copy);
}

// An item of the Edit menu chosen with the mouse.
void chooseFromEditMenu(frmMain &w, const char *name)
{
    QMenuBar *bar = w.menuBar();
    auto *edit = part<QMenu>(w, "mnuEdit");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit->menuAction()).center());
    QVERIFY(QTest::qWaitFor([edit] { return edit->isVisible(); }));
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(item(w, name)).center());
}

void clickOn(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void typeInto(QLineEdit *box, const QString &text)
{
    clickOn(box);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClicks(box, text);
}

} // namespace

class TestEditHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void everyChangeUndoesAndRedoes_data();
    void everyChangeUndoesAndRedoes();
    void menuNamesTheStep();
    void textBoxKeepsItsOwnUndo();
    void openBoxIsCommittedBeforeUndo();

private:
    frmMain *openStart();
    static void showCellView(frmMain &w) { clickBar(w, ToolbarButton::CellView); }
    // Ctrl+Z or Ctrl+Y where no text box has the keyboard.
    static void pressOnTable(frmMain &w, int key, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        QWidget *neutral = grid(w)->isVisible() ? static_cast<QWidget *>(grid(w)) : part(w, "chkNet");
        neutral->setFocus();
        QTest::keyClick(neutral, Qt::Key(key), mods);
    }
    void checkShown(frmMain &w);

    QTemporaryDir m_dir;
    QString m_start;
};

void TestEditHistory::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    setFileMessageHook([](QWidget *, const QString &text) { QFAIL(qPrintable(text)); });
    CommonDialog::setTestHook([](const CommonDialog::Request &) { return CommonDialog::Reply{true, {}, 0x123456}; });
    TableModel start;
    start.TableRows = 5;
    start.TableCols = 5;
    for (int c = 1; c <= 5; ++c)
        for (int r = 1; r <= 5; ++r)
            start.Cells(c, r).Text = QStringLiteral("c%1r%2").arg(c).arg(r);
    start.Cells(2, 3).Text = QStringLiteral("two<BR>lines");
    m_start = m_dir.filePath(QStringLiteral("start.qvn"));
    QVERIFY(saveTableDocument(start, m_start).ok);
}

void TestEditHistory::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
}

frmMain *TestEditHistory::openStart()
{
    auto *w = new frmMain;
    w->OpenFile(m_start);
    w->activateWindow();
    QApplication::setActiveWindow(w);
    if (!QTest::qWaitForWindowActive(w))
        qWarning("window not active");
    return w;
}

// The grid, the table pane and the cell pane show the table as it is.
void TestEditHistory::checkShown(frmMain &w)
{
    const TableModel &m = model(w);
    GridWidget *g = grid(w);
    QCOMPARE(g->Rows(), m.TableRows + 1);
    QCOMPARE(g->Cols(), m.TableCols + 1);
    for (int c = 1; c < g->Cols(); ++c)
        for (int r = 1; r < g->Rows(); ++r)
            QCOMPARE(g->text(c, r), HtmlToGridText(m.Cells(c, r).Text));
    QCOMPARE(box(w, "txtTitle")->text(), m.TableTitle);
    QCOMPARE(box(w, "txtWidth")->text(), QString::number(m.TableCols));
    QCOMPARE(box(w, "txtBorder")->text(), QString::number(m.TableBorder));
    QCOMPARE(part<QCheckBox>(w, "chkNet")->isChecked(), m.NetscapeMode != 0);
    const CellRecord &cur = m.Cells(g->Col(), g->Row());
    QCOMPARE(part<QCheckBox>(w, "chkSWidth")->isChecked(), cur.WidthOn != 0);
    QCOMPARE(box(w, "txtSWidth")->text(), QString::number(cur.Width));
    QCOMPARE(part<QSlider>(w, "SliW")->value(), int(cur.HAlign));
}

void TestEditHistory::everyChangeUndoesAndRedoes_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QPoint>("cell"); // where the current cell goes after the first undo; (0, 0) stays
    QTest::newRow("typed into a cell") << int(TypeInCell) << 1 << QPoint(4, 2);
    QTest::newRow("stored from the editor") << int(EditorText) << 1 << QPoint(2, 3);
    QTest::newRow("header") << int(Header) << 1 << QPoint(2, 3);
    QTest::newRow("header on and off again") << int(HeaderTwice) << 2 << QPoint(2, 3);
    QTest::newRow("width switch and box") << int(CellWidth) << 2 << QPoint(2, 3);
    QTest::newRow("alignment slider drag") << int(AlignmentDrag) << 1 << QPoint(2, 3);
    QTest::newRow("cell colour") << int(CellColour) << 2 << QPoint(2, 3);
    QTest::newRow("title typed") << int(Title) << 1 << QPoint(0, 0);
    QTest::newRow("border spinner held") << int(BorderSpinnerHeld) << 1 << QPoint(0, 0);
    QTest::newRow("size shrunk and grown") << int(ShrinkAndGrow) << 4 << QPoint(0, 0);
    QTest::newRow("Netscape switch") << int(Netscape) << 1 << QPoint(0, 0);
    QTest::newRow("width unit") << int(WidthUnitChoice) << 1 << QPoint(0, 0);
    QTest::newRow("99 x 99 whole table") << int(Bulk99) << 1 << QPoint(1, 1);
}

void TestEditHistory::everyChangeUndoesAndRedoes()
{
    QFETCH(int, change);
    QFETCH(int, steps);
    QFETCH(QPoint, cell);
    frmMain *w = openStart();
    QUndoStack *stack = doc(*w).undoStack();
    GridWidget *g = grid(*w);
    if (change <= CellColour) {
        showCellView(*w);
        g->setCol(2);
        g->setRow(3);
        gridEditor(*w)->Grid_Click();
    }
    const QByteArray before = snapshot(model(*w));
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - start.qvn"));

    switch (Change(change)) {
    case TypeInCell:
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->cellRect(4, 2).center());
        QTest::keyClicks(g, QStringLiteral("new"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        break;
    case EditorText:
        w->SettingText(QStringLiteral("one<BR>two<BR>three"));
        break;
    case Header:
        clickBar(*w, ToolbarButton::Header);
        break;
    case HeaderTwice:
        clickBar(*w, ToolbarButton::Header);
        clickBar(*w, ToolbarButton::Header);
        break;
    case CellWidth:
        clickOn(part(*w, "chkSWidth"));
        typeInto(box(*w, "txtSWidth"), QStringLiteral("250"));
        g->setFocus(); // leaving the box
        break;
    case AlignmentDrag: {
        auto *s = part<QSlider>(*w, "SliW");
        s->setSliderDown(true);
        for (int v : {0, 2, 0, 2})
            s->setValue(v);
        s->setSliderDown(false);
        break;
    }
    case CellColour:
        clickOn(part(*w, "chkBackColorNothing2"));
        clickOn(part(*w, "cmdBackColorSet2"));
        break;
    case Title:
        typeInto(box(*w, "txtTitle"), QStringLiteral("Sales 2026"));
        part(*w, "chkNet")->setFocus();
        break;
    case BorderSpinnerHeld: {
        auto *up = part<UpDown>(*w, "UpDown1")->findChild<QToolButton *>(QStringLiteral("up"));
        QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
        part<UpDown>(*w, "UpDown1")->stepUp(); // the repeats of a held arrow
        part<UpDown>(*w, "UpDown1")->stepUp();
        QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
        QCoreApplication::processEvents();
        break;
    }
    case ShrinkAndGrow:
        typeInto(box(*w, "txtWidth"), QStringLiteral("2"));
        typeInto(box(*w, "txtHeight"), QStringLiteral("2"));
        showCellView(*w);
        clickBar(*w, ToolbarButton::TableView);
        typeInto(box(*w, "txtWidth"), QStringLiteral("5"));
        typeInto(box(*w, "txtHeight"), QStringLiteral("4"));
        showCellView(*w);
        break;
    case Netscape:
        clickOn(part(*w, "chkNet"));
        break;
    case WidthUnitChoice:
        part<QComboBox>(*w, "cmbWidthUnit")->setCurrentIndex(2);
        break;
    case Bulk99:
        showCellView(*w);
        doc(*w).editModel(QStringLiteral("whole table"), [](TableModel &m) {
            m.TableRows = 99;
            m.TableCols = 99;
            for (int c = 1; c <= 99; ++c)
                for (int r = 1; r <= 99; ++r) {
                    m.Cells(c, r).Text = QStringLiteral("%1,%2").arg(c).arg(r);
                    m.Cells(c, r).HAlign = qint16((c + r) % 3);
                }
        });
        break;
    }
    QCOMPARE(stack->index(), steps);
    const QByteArray after = snapshot(model(*w));
    QVERIFY(after != before || change == HeaderTwice);
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - start.qvn*"));

    pressOnTable(*w, Qt::Key_Z);
    if (cell != QPoint(0, 0)) {
        QCOMPARE(g->Col(), cell.x());
        QCOMPARE(g->Row(), cell.y());
    }
    for (int i = 1; i < steps; ++i)
        pressOnTable(*w, Qt::Key_Z);
    QCOMPARE(stack->index(), 0);
    QCOMPARE(snapshot(model(*w)), before);
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - start.qvn"));
    showCellView(*w);
    checkShown(*w);

    pressOnTable(*w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    for (int i = 1; i < steps; ++i)
        pressOnTable(*w, Qt::Key_Y);
    QCOMPARE(stack->index(), steps);
    QCOMPARE(snapshot(model(*w)), after);
    checkShown(*w);
}

void TestEditHistory::menuNamesTheStep()
{
    frmMain *w = openStart();
    QAction *undo = item(*w, "mnuUndo");
    QAction *redo = item(*w, "mnuRedo");
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("元に戻す(&U)"));
    clickOn(part(*w, "chkNet"));
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("元に戻す(&U) - Netscape 互換"));
    QCOMPARE(undo->toolTip(), QStringLiteral("「Netscape 互換」の変更を元に戻します。"));
    undo->trigger();
    QCOMPARE(redo->text(), QStringLiteral("やり直し(&R) - Netscape 互換"));
    QCOMPARE(redo->toolTip(), QStringLiteral("「Netscape 互換」の変更をやり直します。"));
    QCOMPARE(undo->text(), QStringLiteral("元に戻す(&U)"));
}

// In a box, Ctrl+Z is the box's; from the menu it is the table's.
void TestEditHistory::textBoxKeepsItsOwnUndo()
{
    frmMain *w = openStart();
    QLineEdit *title = box(*w, "txtTitle");
    typeInto(title, QStringLiteral("abc"));
    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(title->text(), QString());
    QCOMPARE(model(*w).TableTitle, QString());
    QTest::keyClick(title, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(title->text(), QStringLiteral("abc"));
    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(title->text(), QStringLiteral("abc"));
    QCOMPARE(model(*w).TableTitle, QStringLiteral("abc"));
    QCOMPARE(doc(*w).undoStack()->index(), 1); // one visit, one step

    // The Edit menu, with the title box still holding the keyboard.
    chooseFromEditMenu(*w, "mnuUndo");
    QCOMPARE(model(*w).TableTitle, QString());
    QCOMPARE(title->text(), QString());
}

void TestEditHistory::openBoxIsCommittedBeforeUndo()
{
    frmMain *w = openStart();
    showCellView(*w);
    GridWidget *g = grid(*w);
    w->SettingText(QStringLiteral("first"));
    const QByteArray before = snapshot(model(*w));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->cellRect(1, 1).center());
    QTest::keyClicks(g, QStringLiteral("typed"));
    QVERIFY(gridEditor(*w)->boxOpen());
    chooseFromEditMenu(*w, "mnuUndo"); // the box still has the keyboard
    QVERIFY(!gridEditor(*w)->boxOpen());
    QCOMPARE(snapshot(model(*w)), before);
    QCOMPARE(doc(*w).undoStack()->redoText(), TableDocument::stepName(CellField::Text));
}

QTEST_MAIN(TestEditHistory)
#include "tst_edit_history.moc"
