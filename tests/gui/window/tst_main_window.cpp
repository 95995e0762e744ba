#include <QtTest>

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolBar>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/window/document_manager.h"
#include "core/io/table_document_io.h"
#include "gui/widgets/common_dialog.h"
#include "gui/widgets/number_box.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void opensOnTheTableSettingsView();
    void menusAsDesigned();
    void toolbarAsDesigned();
    void windowIsCentred();
    void viewsFillTheClientArea();
    void everyWindowOpensAtTheDesignedSize_data();
    void everyWindowOpensAtTheDesignedSize();
    void narrowWindowSnapsToMinimumWidth();
    void lowWindowSnapsToMinimumHeight();
    void minimizedAndRestoredKeepsLayout();
    void numberBoxesTakeDigitsOnly_data();
    void numberBoxesTakeDigitsOnly();
    void programTextIsNeverTruncated();
    void hookedBoxOpensNoContextMenu();
    void closingTheOnlyWindowAsksNothing();
};

static QList<QAction *> visibleItems(QMenu *menu)
{
    return menu->actions();
}

void TestMainWindow::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
    CommonDialog::setTestHook({});
}

// The views share the whole client area below the toolbar, down to the window's
// bottom edge; the toolbar spans the client's width.
static void checkViewsFillTheWindow(frmMain *w)
{
    const int mb = w->menuBar()->height();
    const int tb = part<QToolBar>(*w, "Bar")->height();
    QCOMPARE(part<QWidget>(*w, "client")->geometry(), QRect(0, mb, w->width(), w->height() - mb));
    QCOMPARE(part<QToolBar>(*w, "Bar")->geometry(), QRect(0, 0, w->width(), tb));
    const QRect below(0, tb, part<QWidget>(*w, "client")->width(), part<QWidget>(*w, "client")->height() - tb);
    QCOMPARE(part<QWidget>(*w, "picAllSet")->geometry(), below);
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->geometry(), below);
    QCOMPARE(part<QWidget>(*w, "Web")->geometry(), below);
    QCOMPARE(grid(*w)->geometry(), below.adjusted(part<QWidget>(*w, "picBar")->width(), 0, 0, 0));
}

void TestMainWindow::opensOnTheTableSettingsView()
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    QCOMPARE(caption(*w), QStringLiteral("Quorvan - 新規テーブル"));
    QVERIFY(part<QWidget>(*w, "picAllSet")->isVisible());
    QVERIFY(!part<QWidget>(*w, "picBar")->isVisible());
    QVERIFY(!grid(*w)->isVisible());
    QVERIFY(!part<QPlainTextEdit>(*w, "txtTag")->isVisible());
    QVERIFY(!part<QWidget>(*w, "Web")->isVisible());
    QVERIFY(part<QLineEdit>(*w, "txtInsert")->isHidden());

    QCOMPARE(part<QLineEdit>(*w, "txtWidth")->text(), QStringLiteral("2"));
    QCOMPARE(part<QLineEdit>(*w, "txtHeight")->text(), QStringLiteral("2"));
    QCOMPARE(part<QLineEdit>(*w, "txtBorder")->text(), QStringLiteral("1"));
    QVERIFY(part<QLineEdit>(*w, "txtTitle")->text().isEmpty());
    QVERIFY(part<QCheckBox>(*w, "chkBackColorNothing")->isChecked());
    QVERIFY(!part<QAbstractButton>(*w, "cmdBackColorSet")->isEnabled());
    QVERIFY(!part<QCheckBox>(*w, "chkNet")->isChecked());

    QVERIFY(barAction(*w, ToolbarButton::TableView)->isChecked());
    QVERIFY(!barAction(*w, ToolbarButton::Header)->isEnabled());
    QVERIFY(!part<QMenu>(*w, "mnuSel")->menuAction()->isEnabled());

    // The hidden pane already shows cell (1, 1).
    QCOMPARE(grid(*w)->Col(), 1);
    QCOMPARE(grid(*w)->Row(), 1);
    QCOMPARE(grid(*w)->Cols(), 3);
    QCOMPARE(grid(*w)->Rows(), 3);
}

void TestMainWindow::menusAsDesigned()
{
    frmMain w;
    const QList<QAction *> top = w.menuBar()->actions();
    QCOMPARE(top.size(), 5);
    QCOMPARE(top.at(0)->text(), QStringLiteral("ファイル(&F)"));
    QCOMPARE(top.at(1)->text(), QStringLiteral("編集(&N)"));
    QCOMPARE(top.at(2)->text(), QStringLiteral("セル(&S)"));
    QCOMPARE(top.at(3)->text(), QStringLiteral("表示(&V)"));
    QCOMPARE(top.at(4)->text(), QStringLiteral("ヘルプ(&P)"));

    auto captions = [](QMenu *menu) {
        QStringList list;
        for (QAction *a : visibleItems(menu))
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    };
    QCOMPARE(captions(part<QMenu>(w, "mnuFile")), (QStringList{"新規作成(&N)", "開く(&O)...", "-", "閉じる(&C)", "-",
                                               "上書き保存(&S)", "名前を付けて保存(&A)...", "-",
                                               "アクセシビリティの確認(&Y)...", "-", "終了(&X)"}));
    QCOMPARE(captions(part<QMenu>(w, "mnuEdit")), (QStringList{"元に戻す(&U)", "やり直し(&R)", "-",
                                                               "切り取り(&T)", "コピー(&C)", "貼り付け(&P)",
                                                               "テキストとして貼り付け(&X)", "-",
                                                               "検索(&F)...", "置換(&H)...", "次を検索(&N)",
                                                               "前を検索(&V)"}));
    QCOMPARE(captions(part<QMenu>(w, "mnuSel")), (QStringList{"見出し(&H)", "見出し行にする(&K)", "-", "セル通常編集(&E)", "セル複数行編集(&M)", "-",
                                                              "切り取り(&T)", "コピー(&C)", "貼り付け(&P)",
                                                              "テキストとして貼り付け(&X)", "-",
                                                              "セルを結合(&J)", "結合を解除(&U)", "-", "行を挿入(&I)",
                                                              "列を挿入(&L)", "行を削除", "列を削除", "-", "並べ替え(&O)",
                                                              "列の配置(&G)", "-",
                                                              "下方向へコピー(&D)", "右方向へコピー(&R)", "連続データ(&S)",
                                                              "行と列の入れ替え(&W)", "行番号の列を挿入(&N)"}));
    QCOMPARE(captions(part<QMenu>(w, "mnuHelp")), (QStringList{"ヘルプ(&H)...", "-", "バージョン情報(&A)..."}));
    QCOMPARE(part<QAction>(w, "mnuNew")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QCOMPARE(part<QAction>(w, "mnuOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(part<QAction>(w, "mnuSave")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(part<QAction>(w, "mnuSaveAs")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QCOMPARE(part<QAction>(w, "mnuUndo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(part<QAction>(w, "mnuRedo")->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    QCOMPARE(part<QAction>(w, "mnuShowHelp")->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(part<QAction>(w, "mnuBold")->isCheckable());
}

void TestMainWindow::toolbarAsDesigned()
{
    frmMain w;
    const QList<QAction *> actions = part<QToolBar>(w, "Bar")->actions();
    QCOMPARE(actions.size(), 14);
    // One action per command: the toolbar shows the very items of the menus.
    const QStringList names = {"mnuNew", "mnuOpen", "mnuSave", "Bar_4", "mnuShowHelp", "Bar_6", "mnuBold",
                               "Bar_8", "Bar_9", "Bar_10", "Bar_11", "Bar_12", "Bar_13", "Bar_14"};
    for (int i = 1; i <= 14; ++i)
        QCOMPARE(actions.at(i - 1)->objectName(), names.at(i - 1));
    for (const char *shared : {"mnuNew", "mnuOpen", "mnuSave", "mnuShowHelp", "mnuBold"})
        QVERIFY2(actions.contains(item(w, shared)), shared);
    QCOMPARE(barAction(w, ToolbarButton::New)->toolTip(), QStringLiteral("新しい表を作成します。"));
    QCOMPARE(barAction(w, ToolbarButton::BrowserPreview)->toolTip(), QStringLiteral("関連づけられたブラウザでプレビューします。"));
    QVERIFY(barAction(w, ToolbarButton::Header)->isCheckable());
    for (int i : {9, 10, 11, 12})
        QVERIFY(barAction(w, ToolbarButton(i))->actionGroup() && barAction(w, ToolbarButton(i))->actionGroup()->isExclusive());
}

void TestMainWindow::windowIsCentred()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect screen = w.screen()->geometry();
    const QRect frame = w.frameGeometry();
    QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 2);
    QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= 2 + (frame.height() - w.height()));
}

void TestMainWindow::viewsFillTheClientArea()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(900, 700);
    QTRY_COMPARE(w.width(), 900);
    const int tb = part<QToolBar>(w, "Bar")->height();
    const QWidget *client = part<QWidget>(w, "client");
    QCOMPARE(part<QWidget>(w, "picBar")->geometry().topLeft(), QPoint(0, tb));
    // The designed 2775 x 5295 twips, with the cell's class row below them.
    QCOMPARE(part<QWidget>(w, "picBar")->size(), QSize(185, 353 + 30));
    QCOMPARE(grid(w)->geometry(), QRect(part<QWidget>(w, "picBar")->width(), tb, client->width() - part<QWidget>(w, "picBar")->width(),
                                       client->height() - tb));
    QCOMPARE(part<QPlainTextEdit>(w, "txtTag")->geometry(), QRect(0, tb, client->width(), client->height() - tb));
    QCOMPARE(part<QWidget>(w, "Web")->geometry(), part<QPlainTextEdit>(w, "txtTag")->geometry());
    QCOMPARE(part<QWidget>(w, "picAllSet")->geometry(), part<QPlainTextEdit>(w, "txtTag")->geometry());
}

void TestMainWindow::everyWindowOpensAtTheDesignedSize_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("first window") << "first";
    QTest::newRow("New") << "new";
    QTest::newRow("Open") << "open";
    QTest::newRow("file on the command line") << "command line";
}

void TestMainWindow::everyWindowOpensAtTheDesignedSize()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("t.qvn"));
    QVERIFY(saveTableDocument(TableModel(), table).ok);
    CommonDialog::setTestHook([table](const CommonDialog::Request &) {
        CommonDialog::Reply reply;
        reply.accepted = true;
        reply.fileName = table;
        return reply;
    });

    DocumentManager::openStartWindows(how == QLatin1String("command line") ? QStringList{table} : QStringList{});
    frmMain *first = frmMain::loadedWindows().first();
    QVERIFY(QTest::qWaitForWindowExposed(first));
    if (how == QLatin1String("new") || how == QLatin1String("open")) {
        // An untouched start window would take the opened table itself.
        if (how == QLatin1String("open"))
            first->document().setCellText(1, 1, QStringLiteral("mine"));
        first->move(60, 40);
        QTRY_COMPARE(first->pos(), QPoint(60, 40));
        clickBar(*first, ToolbarButton(how == QLatin1String("new") ? 1 : 2));
    }
    frmMain *w = frmMain::loadedWindows().last();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(caption(*w), how == QLatin1String("open") || how == QLatin1String("command line")
                                   ? QStringLiteral("Quorvan - t.qvn") : QStringLiteral("Quorvan - 新規テーブル"));

    // 7470 twips wide; the first layout has already raised the height to its minimum.
    QCOMPARE(w->width(), 7470 / 15);
    QCOMPARE(w->height(), part<QToolBar>(*w, "Bar")->height() + 6120 / 15);
    checkViewsFillTheWindow(w);
    if (w == first) { // centred, as far as a frame not yet drawn allows
        const QRect screen = w->screen()->geometry();
        const QRect frame = w->frameGeometry();
        QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 1 + frame.width() - w->width());
        QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= 1 + frame.height() - w->height());
    } else {
        QCOMPARE(w->pos(), first->pos() + QPoint(27, 27));
    }

    // Dragged too small: snapped back, and laid out at the snapped size.
    w->resize(250, 150);
    QTRY_COMPARE(w->width(), 6120 / 15);
    QTRY_COMPARE(w->height(), part<QToolBar>(*w, "Bar")->height() + 6120 / 15);
    checkViewsFillTheWindow(w);
}

void TestMainWindow::narrowWindowSnapsToMinimumWidth()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(250, w.height());
    QTRY_COMPARE(w.width(), 6120 / 15);
}

void TestMainWindow::lowWindowSnapsToMinimumHeight()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(w.width(), 200);
    QTRY_COMPARE(w.height(), part<QToolBar>(w, "Bar")->height() + 6120 / 15);
}

void TestMainWindow::minimizedAndRestoredKeepsLayout()
{
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.showMinimized();
    w.showNormal();
    const int tb = part<QToolBar>(w, "Bar")->height();
    QTRY_COMPARE(grid(w)->geometry(), QRect(part<QWidget>(w, "picBar")->width(), tb, part<QWidget>(w, "client")->width() - part<QWidget>(w, "picBar")->width(),
                                           part<QWidget>(w, "client")->height() - tb));
    QCOMPARE(part<QPlainTextEdit>(w, "txtTag")->geometry(), QRect(0, tb, part<QWidget>(w, "client")->width(), part<QWidget>(w, "client")->height() - tb));
    QCOMPARE(part<QWidget>(w, "picBar")->pos(), QPoint(0, tb));
}

void TestMainWindow::numberBoxesTakeDigitsOnly_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("switchBox");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("border: letters refused") << "txtBorder" << "" << "a5b" << "5";
    QTest::newRow("columns: four digits at most") << "txtWidth" << "" << "12345" << "1234";
    QTest::newRow("rows: seven digits at most") << "txtHeight" << "" << "12345678" << "1234567";
    QTest::newRow("rows: minus sign refused") << "txtHeight" << "" << "-7" << "7";
    QTest::newRow("cell width: four digits") << "txtSWidth" << "chkSWidth" << "12345" << "1234";
    QTest::newRow("cell height: full-width digits become ASCII")
        << "txtSHeight" << "chkSHeight" << "１2" << "12";
    QTest::newRow("row span: two digits") << "txtMHeight" << "chkHeight" << "x99" << "99";
    QTest::newRow("col span: two digits") << "txtMWidth" << "chkWidth" << "3.5" << "35";
}

void TestMainWindow::numberBoxesTakeDigitsOnly()
{
    QFETCH(QString, box);
    QFETCH(QString, switchBox);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (!switchBox.isEmpty()) {
        clickBar(w, ToolbarButton::CellView); // the cell boxes live on the cell settings view
        auto *check = w.findChild<QCheckBox *>(switchBox);
        QVERIFY(check);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        QVERIFY(check->isChecked());
    }
    auto *edit = w.findChild<QLineEdit *>(box);
    QVERIFY(edit);
    QVERIFY(edit->isEnabled());
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->selectAll();
    for (const QChar ch : typed) {
        if (ch.unicode() < 128)
            QTest::keyClick(edit, char(ch.unicode()));
        else // an input method delivers full-width digits as text
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QCOMPARE(edit->text(), shown);
}

void TestMainWindow::programTextIsNeverTruncated()
{
    // A stored span of 150 (from a file) must show as "150" in a two-digit box.
    QLineEdit box;
    SetNumberOnly(&box, 2);
    box.setText(QStringLiteral("150"));
    QCOMPARE(box.text(), QStringLiteral("150"));
    box.setText(QStringLiteral("abc"));
    QCOMPARE(box.text(), QStringLiteral("abc"));
}

void TestMainWindow::hookedBoxOpensNoContextMenu()
{
    struct Box : QLineEdit {
        int menus = 0;
        void contextMenuEvent(QContextMenuEvent *) override { ++menus; }
    } box;
    box.show();
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(2, 2), box.mapToGlobal(QPoint(2, 2)));
    HookContextMenu(&box);
    QApplication::sendEvent(&box, &ev);
    QCOMPARE(box.menus, 0);
    UnhookContextMenu(&box);
    QApplication::sendEvent(&box, &ev);
    QCOMPARE(box.menus, 1);
}

void TestMainWindow::closingTheOnlyWindowAsksNothing()
{
    auto *w = new frmMain;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    doc(*w).setCellText(1, 1, QStringLiteral("changed"));
    doc(*w).undoStack()->undo();
    QPointer<frmMain> guard(w);
    QVERIFY(w->close()); // unchanged: no question
    QTRY_VERIFY(guard.isNull());
    QVERIFY(frmMain::loadedWindows().isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
