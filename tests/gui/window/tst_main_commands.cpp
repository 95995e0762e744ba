#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolBar>
#include <QTreeWidget>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/widgets/file_commands.h"
#include "gui/widgets/common_dialog.h"
#include "gui/help/help_window.h"
#include "gui/widgets/url_opener.h"
#include "core/io/table_document_io.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

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
    void openHtmlPage_data();
    void openHtmlPage();
    void previewPageHasTheTableFolder_data();
    void previewPageHasTheTableFolder();
    void nextToolbarClickDeletesThePageFile_data();
    void nextToolbarClickDeletesThePageFile();
    void menuAndToolbarShareOneAction();
    void rebuildShowsTheNewSize();
    void helpOpensFromButtonAndF1();

private:
    frmMain *newShownWindow();
    QList<QUrl> m_opened;
};

frmMain *TestMainCommands::newShownWindow()
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
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
    output(*w)->PageFileFlag = true; // as after a preview; every view button clears it
    clickBar(*w, ToolbarButton(button));
    QCOMPARE(part<QWidget>(*w, "picAllSet")->isVisible(), allSet);
    QCOMPARE(part<QWidget>(*w, "picBar")->isVisible(), cellView);
    QCOMPARE(grid(*w)->isVisible(), cellView);
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->isVisible(), tag);
    QVERIFY(!part<QWidget>(*w, "Web")->isVisible());
    QCOMPARE(barAction(*w, ToolbarButton::Header)->isEnabled(), cellView);
    QCOMPARE(part<QMenu>(*w, "mnuSel")->menuAction()->isEnabled(), cellView);
    QVERIFY(barAction(*w, ToolbarButton(button))->isChecked());
    QCOMPARE(output(*w)->PageFileFlag, false);
}

void TestMainCommands::headerButtonFollowsTheCell()
{
    frmMain *w = newShownWindow();
    clickBar(*w, ToolbarButton::CellView);
    QCOMPARE(grid(*w)->Col(), 1);
    QCOMPARE(grid(*w)->Row(), 1);

    clickBar(*w, ToolbarButton::Header); // pressed
    QCOMPARE(model(*w).Cells(1, 1).Header, qint16(-1));
    QVERIFY(grid(*w)->cellBold(1, 1));
    QVERIFY(!part<QSlider>(*w, "SliH")->isEnabled());
    QVERIFY(!part<QSlider>(*w, "SliW")->isEnabled());
    QVERIFY(part<QAction>(*w, "mnuBold")->isChecked());

    clickBar(*w, ToolbarButton::Header); // released
    QCOMPARE(model(*w).Cells(1, 1).Header, qint16(0));
    QVERIFY(!grid(*w)->cellBold(1, 1));
    QVERIFY(part<QSlider>(*w, "SliH")->isEnabled());
    QVERIFY(part<QSlider>(*w, "SliW")->isEnabled());
    QVERIFY(!part<QAction>(*w, "mnuBold")->isChecked());

    // Only the cell settings view offers it.
    clickBar(*w, ToolbarButton::TagView);
    QVERIFY(!barAction(*w, ToolbarButton::Header)->isEnabled());
}

void TestMainCommands::closeIsGreyWithOneWindow()
{
    frmMain *first = newShownWindow();
    first->mnuFile_Click();
    QVERIFY(!part<QAction>(*first, "mnuClose")->isEnabled());

    first->mnuNew_Click();
    QCOMPARE(frmMain::loadedWindows().size(), 2);
    frmMain *second = frmMain::loadedWindows().last();
    first->mnuFile_Click();
    second->mnuFile_Click();
    QVERIFY(part<QAction>(*first, "mnuClose")->isEnabled());
    QVERIFY(part<QAction>(*second, "mnuClose")->isEnabled());
}

void TestMainCommands::newMakesAStaircase()
{
    frmMain *first = newShownWindow();
    first->move(2000 / 15, 1000 / 15);
    QTRY_COMPARE(first->pos(), QPoint(2000 / 15, 1000 / 15));
    clickBar(*first, ToolbarButton::New);
    frmMain *second = frmMain::loadedWindows().last();
    QVERIFY(second != first);
    QCOMPARE(second->pos(), first->pos() + QPoint(27, 27));
    QCOMPARE(caption(*second), QStringLiteral("Quorvan - 新規テーブル"));
    QVERIFY(second->isVisible());

    // From the newest window, not the first.
    second->mnuNew_Click();
    frmMain *third = frmMain::loadedWindows().last();
    QCOMPARE(third->pos(), second->pos() + QPoint(27, 27));
}

void TestMainCommands::cancelledOpenLeavesNoWindow()
{
    frmMain *w = newShownWindow();
    doc(*w).setCellText(1, 1, QStringLiteral("keep"));
    w->mnuOpen_Click(); // the hook cancels the dialog
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_COMPARE(frmMain::loadedWindows().size(), 1);
    QCOMPARE(frmMain::loadedWindows().first(), w);
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("keep"));
    QCOMPARE(caption(*w), QStringLiteral("Quorvan - 新規テーブル*"));
}

void TestMainCommands::exitClosesEveryWindow()
{
    frmMain *w = newShownWindow();
    w->mnuNew_Click();
    w->mnuNew_Click();
    QCOMPARE(frmMain::loadedWindows().size(), 3);
    w->mnuExit_Click(); // unchanged tables: no question
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_VERIFY(frmMain::loadedWindows().isEmpty());
}

void TestMainCommands::openHtmlPage_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<int>("pick");        // chooser: -1 none shown, -2 cancelled, else presses of Up from its choice
    QTest::addColumn<QString>("opened");  // cell (1, 1) of the opened table, "" for none opened
    QTest::addColumn<bool>("message");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("edited");     // the start window changed before Open
    const QByteArray three = "<html><body><table><tr><td>outer<table><tr><td>nested</td></tr></table>"
                             "</td></tr></table><p><table><tr><td>second</td><td>x</td></tr></table>";
    QByteArray wide = "<table><tr>";
    for (int c = 0; c <= TableLimits::MaxCols; ++c)
        wide += "<td>w</td>";
    wide += "</tr></table>";
    const QString page = QStringLiteral("page.htm");
    const QByteArray one = "<TABLE><TR><TD>only</TD></TR></TABLE>";
    QTest::newRow("one table, into the untouched start window") << one << -1 << "only" << false << page << false;
    QTest::newRow("one table, beside the edited start window") << one << -1 << "only" << false << page << true;
    QTest::newRow("three, one nested: the chooser proposes the widest") << three << 0 << QStringLiteral("second") << false << page << true;
    QTest::newRow("three, one nested: the nested one, above it") << three << 1 << QStringLiteral("nested") << false << page << false;
    QTest::newRow("a CSV file takes its name too") << QByteArray("a,b\r\n") << -1 << "a" << false << "list.csv" << false;
    QTest::newRow("a CSV with a NUL opens, and says so")
            << QByteArray("a\0b,c\r\n", 7) << -1 << "ab" << true << "nul.csv" << false;
    QTest::newRow("a CSV past the rows a table holds: refused")
            << QByteArray("x\n").repeated(TableLimits::MaxRows + 1) << -1 << QString() << true << "rows.csv" << true;
    QTest::newRow("chooser cancelled: the start window stays") << three << -2 << QString() << false << page << false;
    QTest::newRow("no table") << QByteArray("<p>text</p>") << -1 << QString() << true << page << false;
    QTest::newRow("a column past the limit") << wide << -1 << QString() << true << page << true;
    QTest::newRow("nested 20 000 deep: refused")
            << QByteArray("<div>").repeated(20000) + "<table><tr><td>x</td></tr></table>" << -1
            << QString() << true << page << false;
}

void TestMainCommands::openHtmlPage()
{
    QFETCH(QByteArray, page);
    QFETCH(int, pick);
    QFETCH(QString, opened);
    QFETCH(bool, message);
    QFETCH(QString, name);
    QFETCH(bool, edited);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(page);
    file.close();

    QString filter;
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) {
        filter = r.filter;
        return CommonDialog::Reply{true, path, 0};
    });
    int messages = 0;
    setFileMessageHook([&](QWidget *, const QString &) { ++messages; });
    QStringList offered;
    // Answers the chooser once it is up, the way a user does.
    QTimer answer;
    answer.setInterval(10);
    connect(&answer, &QTimer::timeout, this, [&]() {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != QLatin1String("dlgHtmlTable"))
            return;
        answer.stop();
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("lstTables"));
        for (QTreeWidgetItemIterator it(list); *it; ++it)
            offered << (*it)->text(0);
        if (pick == -2) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        for (int i = 0; i < pick; ++i)
            QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Return);
    });

    frmMain *w = newShownWindow();
    if (edited)
        doc(*w).setCellText(1, 1, QStringLiteral("mine"));
    answer.start();
    w->mnuOpen_Click();
    answer.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(filter.startsWith(QStringLiteral("Quorvan File(*.QVN ･ *.QVF)|*.qvn;*.qvf|")));
    QVERIFY(filter.contains(QStringLiteral("HTMLファイル(*.html;*.htm)|*.html;*.htm")));
    QTRY_COMPARE(messages, message ? 1 : 0); // a notice comes once the table is shown
    QCOMPARE(offered.size(), pick == -1 ? 0 : 3);
    if (opened.isEmpty()) {
        QTRY_COMPARE(frmMain::loadedWindows().size(), 1);
        QCOMPARE(frmMain::loadedWindows().first(), w);
        QCOMPARE(caption(*w), edited ? QStringLiteral("Quorvan - 新規テーブル*") : QStringLiteral("Quorvan - 新規テーブル"));
        return;
    }
    // Only an edited start window stays beside the opened table.
    QCOMPARE(frmMain::loadedWindows().size(), edited ? 2 : 1);
    frmMain *o = frmMain::loadedWindows().last();
    QCOMPARE(o == w, !edited);
    QVERIFY(o->isVisible());
    QCOMPARE(model(*o).Cells(1, 1).Text, opened);
    QCOMPARE(o->FileName(), newTableName());
    const QString base = QFileInfo(name).completeBaseName();
    QCOMPARE(caption(*o), QStringLiteral("Quorvan - ") + base);

    // Ctrl+S asks for a name, offering the page's beside it, and asks before writing over a file.
    CommonDialog::Request asked;
    CommonDialog::setTestHook([&](const CommonDialog::Request &r) { asked = r; return CommonDialog::Reply(); });
    QApplication::setActiveWindow(o);
    QVERIFY(QTest::qWaitForWindowActive(o));
    QTest::keyClick(o, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(asked.kind == CommonDialog::Save && asked.overwritePrompt);
    QCOMPARE(asked.fileName, dir.filePath(base + QStringLiteral(".qvn")));
}

void TestMainCommands::previewPageHasTheTableFolder_data()
{
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("profile");
    QTest::newRow("saved, HTML 4") << true << int(MarkupProfile::Html4);
    QTest::newRow("saved, HTML5") << true << int(MarkupProfile::Html5);
    QTest::newRow("never saved") << false << int(MarkupProfile::Html4);
}

void TestMainCommands::previewPageHasTheTableFolder()
{
    QFETCH(bool, saved);
    QFETCH(int, profile);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("a b&c"));
    QVERIFY(QDir().mkpath(folder));
    frmMain *w = newShownWindow();
    doc(*w).setTableField(TableField::OutputProfile, profile);
    doc(*w).setCellText(1, 1, QStringLiteral("<IMG SRC=\"pic.png\">"));
    if (saved)
        doc(*w).setFileName(folder + QStringLiteral("/t.qvn"));
    const bool html5 = profile == int(MarkupProfile::Html5);
    const QByteArray base = QByteArray(html5 ? "<base href=\"" : "<BASE HREF=\"")
                            + QUrl::fromLocalFile(folder + QLatin1Char('/')).toEncoded().replace("&", "&amp;")
                            + "\">";
    QVERIFY(base.contains("a%20b&amp;c/\">"));

    clickBar(*w, ToolbarButton::BrowserPreview);
    QFile page(output(*w)->PageFilePath);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    page.close();
    QCOMPARE(text.contains(base), saved);
    QVERIFY(text.indexOf(html5 ? "</head>" : "</HEAD>") > text.indexOf(html5 ? "<head>" : "<HEAD>"));
    if (saved)
        QVERIFY(text.indexOf(base) < text.indexOf(html5 ? "</head>" : "</HEAD>"));
    QCOMPARE(text.toLower().count("<base"), saved ? 1 : 0);

    // The tag view and saved HTML are the table text alone.
    const QString table = w->BuildTableHtml();
    clickBar(*w, ToolbarButton::TagView);
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->toPlainText().contains(QStringLiteral("BASE"), Qt::CaseInsensitive), false);
    const QString html = dir.filePath(QStringLiteral("out.html"));
    CommonDialog::setTestHook([&](const CommonDialog::Request &) { return CommonDialog::Reply{true, html, 0}; });
    w->mnuSaveAs_Click();
    QFile out(html);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), htmlDocumentBytes(table, MarkupProfile(profile)));
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
    clickBar(*w, ToolbarButton::BrowserPreview);
    const QString page = output(*w)->PageFilePath;
    QVERIFY(page.endsWith(QStringLiteral(".html")));
    QVERIFY(QFile::exists(page));
    QVERIFY(output(*w)->PageFileFlag);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.first(), QUrl::fromLocalFile(page));

    // Clicked the way a user does: separators are widgets on the toolbar.
    QWidget *button = part<QToolBar>(*w, "Bar")->widgetForAction(barAction(*w, ToolbarButton(next)));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() / 2, button->height() / 2));
    QVERIFY(!QFile::exists(page));
    if (next == 14) {
        QVERIFY(output(*w)->PageFilePath != page); // a fresh file with a new name
        QVERIFY(QFile::exists(output(*w)->PageFilePath));
        QFile::remove(output(*w)->PageFilePath);
    }
}

void TestMainCommands::menuAndToolbarShareOneAction()
{
    frmMain *w = newShownWindow();
    clickBar(*w, ToolbarButton::CellView);
    clickBar(*w, ToolbarButton::BrowserPreview);
    const QString page = output(*w)->PageFilePath;
    QVERIFY(QFile::exists(page));
    // The preview's generator left the current cell on the last emitted one.
    const QPoint current(grid(*w)->Col(), grid(*w)->Row());

    // Chosen from the menu, the action runs the menu's command: the page stays.
    QCOMPARE(item(*w, "mnuBold"), barAction(*w, ToolbarButton::Header));
    item(*w, "mnuBold")->trigger();
    QCOMPARE(model(*w).Cells(current.x(), current.y()).Header, qint16(-1));
    QVERIFY(QFile::exists(page));
    QVERIFY(output(*w)->PageFileFlag);

    // Clicked on the toolbar, the same action runs the toolbar's dispatch.
    clickBar(*w, ToolbarButton::Header);
    QCOMPARE(model(*w).Cells(current.x(), current.y()).Header, qint16(0));
    QVERIFY(!QFile::exists(page));
    QVERIFY(!output(*w)->PageFileFlag);
}

void TestMainCommands::rebuildShowsTheNewSize()
{
    frmMain *w = newShownWindow();
    part<QLineEdit>(*w, "txtWidth")->selectAll();
    QTest::keyClicks(part<QLineEdit>(*w, "txtWidth"), QStringLiteral("3"));
    QCOMPARE(model(*w).TableCols, 3);
    clickBar(*w, ToolbarButton::CellView);
    QCOMPARE(grid(*w)->Cols(), 4);
    QCOMPARE(grid(*w)->Rows(), 3);
    QCOMPARE(grid(*w)->text(1, 0), QStringLiteral("1"));
    QCOMPARE(grid(*w)->text(3, 0), QStringLiteral("3"));
    QCOMPARE(grid(*w)->text(0, 2), QStringLiteral("2"));
    QCOMPARE(grid(*w)->cellAlignment(0, 2), TextPlacement::CentreMiddle);
    QCOMPARE(gridEditor(*w)->RowHeightCol.size(), grid(*w)->Rows() + 1);
}

void TestMainCommands::helpOpensFromButtonAndF1()
{
    frmMain *w = newShownWindow();
    QVERIFY(!HelpWindow::forOwner(w, false));
    clickBar(*w, ToolbarButton::Help);
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
