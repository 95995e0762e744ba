// Nothing typed into the grid's in-place box is lost: every command that reads
// the table sees it, the keys that leave the box keep the grid in charge, and
// the pane always shows the cell being edited. Built twice: offscreen, and on
// a real display under Xvfb, where focus moves as it does for a user and the
// file dialog is the real one.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QItemSelectionRange>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolBar>

#include <functional>
#include <memory>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/cell_editor/frm_edit.h"
#include "core/io/compression.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/url_opener.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

namespace {

bool realDisplay()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

std::unique_ptr<frmMain> openWindow(int rows = 2)
{
    auto w = shownWindow();
    if (rows != 2) {
        part<QLineEdit>(*w, "txtHeight")->setFocus();
        part<QLineEdit>(*w, "txtHeight")->selectAll();
        QTest::keyClicks(part<QLineEdit>(*w, "txtHeight"), QByteArray::number(rows).constData());
    }
    QTest::mouseClick(part<QToolBar>(*w, "Bar")->widgetForAction(barAction(*w, ToolbarButton::CellView)), Qt::LeftButton);
    return w;
}

// Keys as a user types them: each goes to whatever has the focus then.
void type(const QString &text)
{
    for (const QChar ch : text)
        QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
}

void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
{
    QTest::keyClick(QApplication::focusWidget(), k, mods);
}

void clickCell(frmMain &w, int col, int row, Qt::KeyboardModifiers mods = {},
               Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(grid(w)->viewport(), button, mods, grid(w)->cellRect(col, row).center());
}

void clickBar(frmMain &w, int index)
{
    QTest::mouseClick(part<QToolBar>(w, "Bar")->widgetForAction(barAction(w, ToolbarButton(index))), Qt::LeftButton);
}

// Runs act on the first modal window of type T that comes up while the next
// command runs; false when none did.
template<typename T>
std::shared_ptr<bool> whenModal(const std::function<void(T *)> &act)
{
    auto seen = std::make_shared<bool>(false);
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, seen, act] {
        if (auto *modal = qobject_cast<T *>(QApplication::activeModalWidget())) {
            *seen = true;
            poll->deleteLater();
            act(modal);
        }
    });
    QTimer::singleShot(5000, poll, &QObject::deleteLater);
    poll->start(20);
    return seen;
}

// Ctrl+S, and the save dialog answered with path: typed into the real dialog
// on a real display, through the dialog hook offscreen.
void saveWithCtrlS(const QString &path)
{
    std::shared_ptr<bool> seen;
    if (realDisplay()) {
        seen = whenModal<QFileDialog>([path](QFileDialog *dialog) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            // Set, not typed: the name completer's pop-up would take the Enter.
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        });
    } else {
        CommonDialog::setTestHook([path](const CommonDialog::Request &) {
            CommonDialog::Reply reply;
            reply.accepted = true;
            reply.fileName = path;
            return reply;
        });
    }
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier); // Save As: the dialog every time
    if (seen)
        QVERIFY2(*seen, "no save dialog came up");
}

QByteArray savedBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (!path.endsWith(QLatin1String(".qvn")))
        return bytes;
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    if (DeCompression(path, plain) != 0)
        return {};
    QFile p(plain);
    return p.open(QIODevice::ReadOnly) ? p.readAll() : QByteArray();
}

} // namespace

class TstTypedText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        CommonDialog::setTestHook({});
        setUrlOpener({});
    }
    void saveTakesTheOpenBox_data();
    void saveTakesTheOpenBox();
    void outputViewsTakeTheOpenBox_data();
    void outputViewsTakeTheOpenBox();
    void editorOpensOnTheOpenBox();
    void tabShowsTheTypedCellOnce();
    void movingKeysKeepTheGrid_data();
    void movingKeysKeepTheGrid();
    void viewSwitchTakesTheOpenBox_data();
    void viewSwitchTakesTheOpenBox();
    void doubleClickOnAnotherCellShowsItInThePane();
    void shiftRightClickMenuDefault();

private:
    QTemporaryDir m_dir;
};

void TstTypedText::saveTakesTheOpenBox_data()
{
    QTest::addColumn<bool>("appended");
    QTest::addColumn<QString>("file");
    QTest::newRow("new text, table file") << false << "t.qvn";
    QTest::newRow("new text, html") << false << "t.html";
    QTest::newRow("added to old, table file") << true << "u.qvn";
    QTest::newRow("added to old, html") << true << "u.html";
}

void TstTypedText::saveTakesTheOpenBox()
{
    QFETCH(bool, appended);
    QFETCH(QString, file);
    auto w = openWindow();
    QString expected;
    if (appended) {
        clickCell(*w, 1, 1);
        w->SettingText(QStringLiteral("old"));
        QTest::mouseDClick(grid(*w)->viewport(), Qt::LeftButton, {}, grid(*w)->cellRect(1, 1).center());
        key(Qt::Key_End);
        type(QStringLiteral("NEW"));
        expected = QStringLiteral("oldNEW");
    } else {
        clickCell(*w, 1, 1);
        type(QStringLiteral("abc"));
        expected = QStringLiteral("abc");
    }
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    const QString path = m_dir.filePath(file);
    saveWithCtrlS(path);

    const QByteArray saved = savedBytes(path);
    QVERIFY2(!saved.isEmpty(), qPrintable(path));
    if (file.endsWith(QLatin1String(".qvn")))
        QVERIFY2(saved.contains("\r\n1,1,\"" + expected.toLatin1() + "\","), saved.constData());
    else
        QVERIFY2(saved.contains(">" + expected.toLatin1() + "</TD>"), saved.constData());
    QCOMPARE(model(*w).Cells(1, 1).Text, expected);
}

void TstTypedText::outputViewsTakeTheOpenBox_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("tag view") << 11;
    QTest::newRow("preview") << 12;
    QTest::newRow("browser preview") << 14;
}

void TstTypedText::outputViewsTakeTheOpenBox()
{
    QFETCH(int, button);
    if (button == 12 && !realDisplay())
        QSKIP("the in-window preview needs a real display");
    QList<QUrl> opened;
    setUrlOpener([&opened](const QUrl &url) { opened << url; });
    auto w = openWindow();
    // The box is on the first cell the generator walks.
    clickCell(*w, 1, 1);
    QTest::mouseDClick(grid(*w)->viewport(), Qt::LeftButton, {}, grid(*w)->cellRect(1, 1).center());
    type(QStringLiteral("xyz"));
    clickBar(*w, button);

    const QByteArray cell = ">xyz</TD><";
    if (button == 11) {
        QVERIFY(part<QPlainTextEdit>(*w, "txtTag")->toPlainText().toLatin1().contains(cell));
    } else {
        const QByteArray page = savedBytes(output(*w)->PageFilePath);
        QFile::remove(output(*w)->PageFilePath);
        QVERIFY2(page.contains(cell), page.constData());
        QCOMPARE(opened.size(), button == 14 ? 1 : 0);
    }
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("xyz"));
}

void TstTypedText::editorOpensOnTheOpenBox()
{
    auto w = openWindow();
    clickCell(*w, 2, 2);
    type(QStringLiteral("box-text"));
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());

    QString shown;
    auto seen = whenModal<frmEdit>([&shown](frmEdit *ed) {
        shown = ed->paneText();
        ed->txtEdit->setFocus();
        ed->txtEdit->selectAll();
        QTest::keyClicks(ed->txtEdit, "editor-text");
        QTest::mouseClick(ed->Bar->widgetForAction(ed->button(EditorButton::StoreAndClose)), Qt::LeftButton);
    });
    // セル > セル複数行編集 from the menu bar, with the mouse.
    QTest::mouseClick(w->menuBar(), Qt::LeftButton, {},
                      w->menuBar()->actionGeometry(part<QMenu>(*w, "mnuSel")->menuAction()).center());
    QTRY_VERIFY(part<QMenu>(*w, "mnuSel")->isVisible());
    QTest::mouseClick(part<QMenu>(*w, "mnuSel"), Qt::LeftButton, {}, part<QMenu>(*w, "mnuSel")->actionGeometry(part<QAction>(*w, "mnuSelEditMax")).center());
    QTRY_VERIFY(*seen);

    QCOMPARE(shown, QStringLiteral("box-text"));
    QCOMPARE(model(*w).Cells(2, 2).Text, QStringLiteral("editor-text"));
    QCOMPARE(grid(*w)->text(2, 2), QStringLiteral("editor-text"));
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isHidden());
}

// Typing a cell and pressing Tab: the grid shows the text once, and the pane
// loads once, for the cell Tab moves to.
void TstTypedText::tabShowsTheTypedCellOnce()
{
    auto w = openWindow(2);
    clickCell(*w, 1, 1);
    QAbstractItemModel *cells = grid(*w)->model();
    const QModelIndex typed = cells->index(0, 0); // table cell 1, 1
    int writes = 0;
    QObject::connect(cells, &QAbstractItemModel::dataChanged, grid(*w),
                     [&](const QModelIndex &from, const QModelIndex &to) {
                         writes += QItemSelectionRange(from, to).contains(typed) ? 1 : 0;
                     });
    QSignalSpy shown(gridEditor(*w), &GridEditor::cellShown);
    type(QStringLiteral("ab"));
    key(Qt::Key_Tab);
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("ab"));
    QCOMPARE(grid(*w)->text(1, 1), QStringLiteral("ab"));
    QCOMPARE(writes, 1);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0), QVariantList({2, 1}));
}

void TstTypedText::movingKeysKeepTheGrid_data()
{
    QTest::addColumn<int>("movingKey");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("toRow");
    QTest::newRow("Down") << int(Qt::Key_Down) << 2 << 3;
    QTest::newRow("Up") << int(Qt::Key_Up) << 2 << 1;
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 1 << 5;
    QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 5 << 1;
}

void TstTypedText::movingKeysKeepTheGrid()
{
    QFETCH(int, movingKey);
    QFETCH(int, fromRow);
    QFETCH(int, toRow);
    auto w = openWindow(5);
    clickCell(*w, 1, fromRow);
    type(QStringLiteral("ab"));
    key(Qt::Key(movingKey));
    QCOMPARE(grid(*w)->Row(), toRow);
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isHidden());
    QVERIFY(grid(*w)->hasFocus());

    // The next keys, a space first, start the next cell's text.
    type(QStringLiteral(" cd"));
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    key(Qt::Key_Return);
    QCOMPARE(model(*w).Cells(1, fromRow).Text, QStringLiteral("ab"));
    QCOMPARE(model(*w).Cells(1, toRow).Text, QStringLiteral(" cd"));
    QCOMPARE(model(*w).Cells(1, toRow).BackColorNothing, qint16(1));
    QVERIFY(part<QCheckBox>(*w, "chkBackColorNothing2")->isChecked());
    QVERIFY(grid(*w)->hasFocus());

    // Both texts reach the files, and no cell colour came with them. (On a
    // real display a second save from the grid's focus stalls in a nested
    // dialog of the file dialog; the saves run offscreen only.)
    if (realDisplay())
        return;
    for (const char *kind : {".qvn", ".html"}) {
        const QString path = m_dir.filePath(QLatin1String(QTest::currentDataTag()) + QLatin1String(kind));
        saveWithCtrlS(path);
        const QByteArray saved = savedBytes(path);
        QVERIFY2(saved.contains("ab") && saved.contains(" cd") && !saved.contains("BGCOLOR"),
                 saved.constData());
    }
}

void TstTypedText::viewSwitchTakesTheOpenBox_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("cell view again: the grid is sized anew") << 10;
    QTest::newRow("table settings view") << 9;
}

void TstTypedText::viewSwitchTakesTheOpenBox()
{
    QFETCH(int, button);
    auto w = openWindow();
    clickCell(*w, 1, 1);
    type(QStringLiteral("kept"));
    clickBar(*w, button);
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isHidden());
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("kept"));
    QCOMPARE(grid(*w)->text(1, 1), QStringLiteral("kept"));
}

void TstTypedText::doubleClickOnAnotherCellShowsItInThePane()
{
    auto w = openWindow();
    doc(*w).setCellField(1, 2, CellField::WidthOn, 1);
    doc(*w).setCellField(1, 2, CellField::Width, 333);
    doc(*w).setCellText(1, 2, QStringLiteral("two"));
    clickCell(*w, 1, 1);
    QCOMPARE(part<QLineEdit>(*w, "txtSWidth")->text(), QStringLiteral("100"));
    // The second press of a double-click reaches the grid as the double-click
    // alone; here it lands across the row border.
    QTest::mouseDClick(grid(*w)->viewport(), Qt::LeftButton, {}, grid(*w)->cellRect(1, 2).center());
    QCOMPARE(grid(*w)->Row(), 2);
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isVisible());
    QCOMPARE(part<QLineEdit>(*w, "txtInsert")->text(), QStringLiteral("two"));
    QCOMPARE(part<QLineEdit>(*w, "txtSWidth")->text(), QStringLiteral("333"));
    QVERIFY(part<QCheckBox>(*w, "chkSWidth")->isChecked());
    key(Qt::Key_Return);
    QCOMPARE(model(*w).Cells(1, 2).Width, 333);
    QCOMPARE(model(*w).Cells(1, 1).WidthOn, qint16(0));
}

void TstTypedText::shiftRightClickMenuDefault()
{
    auto w = openWindow();
    // The Cell menu is shown first from the menu bar, then from a plain
    // right-click; each time it measures its items.
    QTest::mouseClick(w->menuBar(), Qt::LeftButton, {},
                      w->menuBar()->actionGeometry(part<QMenu>(*w, "mnuSel")->menuAction()).center());
    QTRY_VERIFY(part<QMenu>(*w, "mnuSel")->isVisible());
    QCOMPARE(part<QMenu>(*w, "mnuSel")->defaultAction(), nullptr);
    QTest::keyClick(part<QMenu>(*w, "mnuSel"), Qt::Key_Escape);
    QTRY_VERIFY(!part<QMenu>(*w, "mnuSel")->isVisible());
    clickCell(*w, 1, 1, {}, Qt::RightButton);
    QTRY_VERIFY(part<QMenu>(*w, "mnuSel")->isVisible());
    QTest::keyClick(part<QMenu>(*w, "mnuSel"), Qt::Key_Escape);
    QTRY_VERIFY(!part<QMenu>(*w, "mnuSel")->isVisible());

    clickCell(*w, 1, 1, Qt::ShiftModifier, Qt::RightButton);
    QTRY_VERIFY(part<QMenu>(*w, "mnuSel")->isVisible());
    QCOMPARE(part<QMenu>(*w, "mnuSel")->defaultAction(), part<QAction>(*w, "mnuSelEditMax"));
    // A menu that knew its bold default from the start gives the full width.
    QMenu fresh;
    fresh.setFont(part<QMenu>(*w, "mnuSel")->font());
    fresh.addActions(part<QMenu>(*w, "mnuSel")->actions());
    fresh.setDefaultAction(part<QAction>(*w, "mnuSelEditMax"));
    QCOMPARE(part<QMenu>(*w, "mnuSel")->actionGeometry(part<QAction>(*w, "mnuSelEditMax")).width(),
             fresh.actionGeometry(part<QAction>(*w, "mnuSelEditMax")).width());
    QTest::keyClick(part<QMenu>(*w, "mnuSel"), Qt::Key_Escape);
    QTRY_VERIFY(!part<QMenu>(*w, "mnuSel")->isVisible());
    QCOMPARE(part<QMenu>(*w, "mnuSel")->defaultAction(), nullptr);
}

QTEST_MAIN(TstTypedText)
#include "tst_typed_text.moc"

