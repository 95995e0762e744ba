#include <QtTest>

#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>

#include "gui/help/help.h"
#include "gui/help/help_window.h"

namespace {

QTextBrowser *browserOf(HelpWindow *w)
{
    return w->findChild<QTextBrowser *>(QStringLiteral("helpBrowser"));
}

// Clicks the first link in the page whose address starts with href, as a user would.
bool clickLink(QTextBrowser *browser, const QString &href)
{
    for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.charFormat().isAnchor() || !frag.charFormat().anchorHref().startsWith(href))
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(frag.position() + frag.length() / 2);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            const QPoint at = browser->cursorRect(cursor).center();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
            return true;
        }
    }
    return false;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class tst_HelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensAtDefaultTopicOwnedByTheWindow();
    void followsLinksAndComesBackHome();
    void picturesComeFromTheHelpFile();
    void problemsAreReportedInTheWindow_data();
    void problemsAreReportedInTheWindow();
    void linksOutsideTheHelpFileAreNotFollowed();
};

void tst_HelpWindow::opensAtDefaultTopicOwnedByTheWindow()
{
    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    showHelpFile(&owner);
    QPointer<HelpWindow> help = HelpWindow::forOwner(&owner, false);
    QVERIFY(help);
    QVERIFY(help->isWindow());
    QCOMPARE(help->parentWidget(), &owner);
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Quorvan ヘルプ"));
    QCOMPARE(help->currentTopic(), QStringLiteral("/index.html"));
    QVERIFY(browserOf(help)->toPlainText().contains(QStringLiteral("表を作る手順")));

    auto *contents = help->findChild<QTreeWidget *>(QStringLiteral("helpContents"));
    QVERIFY(contents->isVisible());
    QCOMPARE(contents->topLevelItemCount(), 1);
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("Quorvan ヘルプ"));

    // A second help command, from a child of the same window, reuses the window.
    QWidget child(&owner);
    showHelpFile(&child);
    QCOMPARE(HelpWindow::forOwner(&owner, false), help.data());
    QCOMPARE(owner.findChildren<HelpWindow *>().size(), 1);

    // A second owner gets its own.
    QWidget other;
    showHelpFile(&other);
    QVERIFY(HelpWindow::forOwner(&other, false) != help.data());

    // It belongs to its owner and goes with it.
    delete HelpWindow::forOwner(&other, false);
    QVERIFY(help);
}

void tst_HelpWindow::followsLinksAndComesBackHome()
{
    QWidget owner;
    owner.show();
    showHelpFile(&owner);
    HelpWindow *help = HelpWindow::forOwner(&owner, false);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QTextBrowser *browser = browserOf(help);

    QVERIFY(clickLink(browser, QStringLiteral("table_settings.html")));
    QCOMPARE(help->currentTopic(), QStringLiteral("/table_settings.html"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("行の数(W)")));
    auto *contents = help->findChild<QTreeWidget *>(QStringLiteral("helpContents"));
    QCOMPARE(contents->currentItem()->text(0), QStringLiteral("全体設定画面"));

    // A link with an anchor into another page.
    QVERIFY(clickLink(browser, QStringLiteral("cell_settings.html")));
    QCOMPARE(help->currentTopic(), QStringLiteral("/cell_settings.html"));

    // Choosing from the contents.
    QTreeWidgetItem *font = contents->findItems(QStringLiteral("フォントの設定"),
                                                Qt::MatchExactly | Qt::MatchRecursive).value(0);
    QVERIFY(font);
    emit contents->itemClicked(font, 0);
    QCOMPARE(help->currentTopic(), QStringLiteral("/font.html"));

    browser->backward();
    QCOMPARE(help->currentTopic(), QStringLiteral("/cell_settings.html"));

    // The help command again (F1): back at the default topic, with a fresh
    // history, so Back has nowhere to go.
    QAction *back = help->findChild<QToolBar *>(QStringLiteral("helpToolBar"))->actions().value(0);
    QVERIFY(back->isEnabled());
    showHelpFile(&owner);
    QCOMPARE(help->currentTopic(), QStringLiteral("/index.html"));
    QVERIFY(!back->isEnabled());
    QVERIFY(!browser->isBackwardAvailable());
    QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(help->currentTopic(), QStringLiteral("/index.html"));
}

void tst_HelpWindow::picturesComeFromTheHelpFile()
{
    HelpWindow help;
    QCOMPARE(help.openFile(QStringLiteral(QUORVAN_HELP_FILE)), ChmFile::Ok);
    const QVariant data = browserOf(&help)->loadResource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("chm:/images/tb_new.png")));
    QImage image;
    QVERIFY(image.loadFromData(data.toByteArray()));
    QCOMPARE(image.size(), QSize(24, 24));
}

void tst_HelpWindow::problemsAreReportedInTheWindow_data()
{
    QTest::addColumn<QByteArray>("content");  // empty: no file at all
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray() << int(ChmFile::Missing)
                                  << QStringLiteral("ヘルプ ファイルが見つかりません");
    QTest::newRow("not a help file") << QByteArray("<html>plain page</html>")
                                     << int(ChmFile::Unreadable)
                                     << QStringLiteral("ヘルプ ファイルを読み込めません");
}

void tst_HelpWindow::problemsAreReportedInTheWindow()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Qrvn.CHM"));
    if (!content.isEmpty())
        writeFile(path, content);

    HelpWindow help;
    help.show();
    QCOMPARE(int(help.openFile(path)), status);
    const QString shown = browserOf(&help)->toPlainText();
    QVERIFY2(shown.contains(message), qPrintable(shown));
    QVERIFY(shown.contains(QDir::toNativeSeparators(path)));
    QVERIFY(help.currentTopic().isEmpty());
    QVERIFY(!help.findChild<QTreeWidget *>(QStringLiteral("helpContents"))->isVisible());

    // Once the file is there, the same window shows it.
    QVERIFY(QFile::copy(QStringLiteral(QUORVAN_HELP_FILE), path + QStringLiteral(".ok")));
    QFile::remove(path);
    QVERIFY(QFile::rename(path + QStringLiteral(".ok"), path));
    QCOMPARE(help.openFile(path), ChmFile::Ok);
    QCOMPARE(help.currentTopic(), QStringLiteral("/index.html"));
}

void tst_HelpWindow::linksOutsideTheHelpFileAreNotFollowed()
{
    HelpWindow help;
    QCOMPARE(help.openFile(QStringLiteral(QUORVAN_HELP_FILE)), ChmFile::Ok);
    QTextBrowser *browser = browserOf(&help);

    emit browser->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    QCOMPARE(help.currentTopic(), QStringLiteral("/index.html"));
    QVERIFY(browser->loadResource(QTextDocument::ImageResource,
                                  QUrl::fromLocalFile(QStringLiteral(QUORVAN_HELP_FILE)))
                .isNull());

    // A page the file does not hold is reported, not left blank.
    emit browser->anchorClicked(QUrl(QStringLiteral("missing.html")));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("ページが見つかりません")));
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_help_window.moc"
