#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolBar>

#include "app/main_window.h"
#include "files/file_commands.h"
#include "platform/common_dialog.h"
#include "platform/help_window.h"
#include "platform/url_opener.h"
#include "table/grid_widget.h"

class TestMainCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void viewButtons_data();
    void viewButtons();
    void headerButtonFollowsTheCell();
    void closeIsGreyWithOneWindow();
    void newMakesAStaircase();
    void cancelledOpenLeavesNoWindow();
    void exitClosesEveryWindow();
    void nextToolbarClickDeletesThePageFile_data();
    void nextToolbarClickDeletesThePageFile();
    void rebuildShowsTheNewSize();
    void helpOpensFromButtonAndF1();

private:
    frmMain *newShownWindow();
    QList<QUrl> m_opened;
};

frmMain *TestMainCommands::newShownWindow()
{
    auto *w = new frmMain;
    w->FileName = newTableName();
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        qWarning("window not exposed");
    return w;
}

void TestMainCommands::init()
{
    m_opened.clear();
    setUrlOpener([this](const QUrl &url) { m_opened << url; });
    setFileMessageHook([](QWidget *, const QString &) {});
    CommonDialog::setTestHook([](const CommonDialog::Request &) { return CommonDialog::Reply(); });
}

void TestMainCommands::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows())
        delete w;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setUrlOpener({});
    setFileMessageHook({});
    CommonDialog::setTestHook({});
}

void TestMainCommands::viewButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("allSet");
    QTest::addColumn<bool>("cellView");
    QTest::addColumn<bool>("tag");
    QTest::newRow("9: table settings") << 9 << true << false << false;
    QTest::newRow("10: cell settings") << 10 << false << true << false;
    QTest::newRow("11: tag view") << 11 << false << false << true;
}

void TestMainCommands::viewButtons()
{
    QFETCH(int, button);
    QFETCH(bool, allSet);
    QFETCH(bool, cellView);
    QFETCH(bool, tag);
    frmMain *w = newShownWindow();
    w->PageFileFlag = true; // as after a preview; every view button clears it
    w->BarButton[button]->trigger();
    QCOMPARE(w->picAllSet->isVisible(), allSet);
    QCOMPARE(w->picBar->isVisible(), cellView);
    QCOMPARE(w->Grid->isVisible(), cellView);
    QCOMPARE(w->txtTag->isVisible(), tag);
    QVERIFY(!w->Web->isVisible());
    QCOMPARE(w->BarButton[7]->isEnabled(), cellView);
    QCOMPARE(w->mnuSel->menuAction()->isEnabled(), cellView);
    QVERIFY(w->BarButton[button]->isChecked());
    QCOMPARE(w->PageFileFlag, false);
}

void TestMainCommands::headerButtonFollowsTheCell()
{
    frmMain *w = newShownWindow();
    w->BarButton[10]->trigger();
    QCOMPARE(w->Grid->Col(), 1);
    QCOMPARE(w->Grid->Row(), 1);

    w->BarButton[7]->trigger(); // pressed
    QCOMPARE(w->Cells(1, 1).Header, qint16(-1));
    QVERIFY(w->Grid->cellBold(1, 1));
    QVERIFY(!w->SliH->isEnabled());
    QVERIFY(!w->SliW->isEnabled());
    QVERIFY(w->mnuBold->isChecked());

    w->BarButton[7]->trigger(); // released
    QCOMPARE(w->Cells(1, 1).Header, qint16(0));
    QVERIFY(!w->Grid->cellBold(1, 1));
    QVERIFY(w->SliH->isEnabled());
    QVERIFY(w->SliW->isEnabled());
    QVERIFY(!w->mnuBold->isChecked());

    // Only the cell settings view offers it.
    w->BarButton[11]->trigger();
    QVERIFY(!w->BarButton[7]->isEnabled());
}

void TestMainCommands::closeIsGreyWithOneWindow()
{
    frmMain *first = newShownWindow();
    first->mnuFile_Click();
    QVERIFY(!first->mnuClose->isEnabled());

    first->mnuNew_Click();
    QCOMPARE(frmMain::loadedWindows().size(), 2);
    frmMain *second = frmMain::loadedWindows().last();
    first->mnuFile_Click();
    second->mnuFile_Click();
    QVERIFY(first->mnuClose->isEnabled());
    QVERIFY(second->mnuClose->isEnabled());
}

void TestMainCommands::newMakesAStaircase()
{
    frmMain *first = newShownWindow();
    first->move(2000 / 15, 1000 / 15);
    QTRY_COMPARE(first->pos(), QPoint(2000 / 15, 1000 / 15));
    first->BarButton[1]->trigger();
    frmMain *second = frmMain::loadedWindows().last();
    QVERIFY(second != first);
    QCOMPARE(second->pos(), first->pos() + QPoint(27, 27));
    QCOMPARE(second->windowTitle(), QStringLiteral("Quorvan - 新規テーブル"));
    QVERIFY(second->isVisible());

    // From the newest window, not the first.
    second->mnuNew_Click();
    frmMain *third = frmMain::loadedWindows().last();
    QCOMPARE(third->pos(), second->pos() + QPoint(27, 27));
}

void TestMainCommands::cancelledOpenLeavesNoWindow()
{
    frmMain *w = newShownWindow();
    w->Cells(1, 1).Text = QStringLiteral("keep");
    w->mnuOpen_Click(); // the hook cancels the dialog
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_COMPARE(frmMain::loadedWindows().size(), 1);
    QCOMPARE(frmMain::loadedWindows().first(), w);
    QCOMPARE(w->Cells(1, 1).Text, QStringLiteral("keep"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Quorvan - 新規テーブル"));
}

void TestMainCommands::exitClosesEveryWindow()
{
    frmMain *w = newShownWindow();
    w->mnuNew_Click();
    w->mnuNew_Click();
    QCOMPARE(frmMain::loadedWindows().size(), 3);
    w->Cells(1, 1).Text = QStringLiteral("unsaved");
    w->mnuExit_Click(); // no question, whatever was changed
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_VERIFY(frmMain::loadedWindows().isEmpty());
}

void TestMainCommands::nextToolbarClickDeletesThePageFile_data()
{
    QTest::addColumn<int>("next");
    QTest::newRow("a separator") << 4;
    QTest::newRow("the last separator") << 13;
    QTest::newRow("the tag view") << 11;
    QTest::newRow("the browser preview again") << 14;
}

void TestMainCommands::nextToolbarClickDeletesThePageFile()
{
    QFETCH(int, next);
    frmMain *w = newShownWindow();
    w->BarButton[14]->trigger();
    const QString page = w->PageFilePath;
    QVERIFY(page.endsWith(QStringLiteral(".html")));
    QVERIFY(QFile::exists(page));
    QVERIFY(w->PageFileFlag);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.first(), QUrl::fromLocalFile(page));

    // Clicked the way a user does: separators are widgets on the toolbar.
    QWidget *button = w->Bar->widgetForAction(w->BarButton[next]);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() / 2, button->height() / 2));
    QVERIFY(!QFile::exists(page));
    if (next == 14) {
        QVERIFY(w->PageFilePath != page); // a fresh file with a new name
        QVERIFY(QFile::exists(w->PageFilePath));
        QFile::remove(w->PageFilePath);
    }
}

void TestMainCommands::rebuildShowsTheNewSize()
{
    frmMain *w = newShownWindow();
    w->txtWidth->selectAll();
    QTest::keyClicks(w->txtWidth, QStringLiteral("3"));
    QCOMPARE(w->TableCols, 3);
    w->BarButton[10]->trigger();
    QCOMPARE(w->Grid->Cols(), 4);
    QCOMPARE(w->Grid->Rows(), 3);
    QCOMPARE(w->Grid->text(1, 0), QStringLiteral("1"));
    QCOMPARE(w->Grid->text(3, 0), QStringLiteral("3"));
    QCOMPARE(w->Grid->text(0, 2), QStringLiteral("2"));
    QCOMPARE(w->Grid->cellAlignment(0, 2), 4);
    QCOMPARE(w->RowHeightCol.size(), w->Grid->Rows() + 1);
}

void TestMainCommands::helpOpensFromButtonAndF1()
{
    frmMain *w = newShownWindow();
    QVERIFY(!HelpWindow::forOwner(w, false));
    w->BarButton[5]->trigger();
    HelpWindow *help = HelpWindow::forOwner(w, false);
    QVERIFY(help);
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->currentTopic(), QStringLiteral("/index.html"));
    help->close();

    w->activateWindow();
    QTest::keyClick(w, Qt::Key_F1);
    QTRY_VERIFY(HelpWindow::forOwner(w, false) && HelpWindow::forOwner(w, false)->isVisible());
    QCOMPARE(HelpWindow::forOwner(w, false)->currentTopic(), QStringLiteral("/index.html"));
}

QTEST_MAIN(TestMainCommands)
#include "tst_main_commands.moc"
