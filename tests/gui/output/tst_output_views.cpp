#include <QtTest>

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "core/markup/table_markup.h"
#include "core/text/text_codec.h"
#include "gui/widgets/url_opener.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

namespace {

const char *const DefaultTable =
        "<TABLE BORDER=\"1\" CELLSPACING=\"1\">\n"
        "<TR><TD ALIGN=\"center\" VALIGN=\"center\"></TD><TD ALIGN=\"center\" VALIGN=\"center\"></TD></TR>\n"
        "<TR><TD ALIGN=\"center\" VALIGN=\"center\"></TD><TD ALIGN=\"center\" VALIGN=\"center\"></TD></TR>\n"
        "</Table>";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_OutputViews : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void tagViewShowsTheTable();
    void tagViewFollowsTheModel();
    void tagViewContextMenuCopies();
    void browserPreviewHandsThePageOver();
    void browserPreviewWithoutTempFolderIsSilent();

private:
    frmMain *openWindow();
    QList<QUrl> m_opened;
};

frmMain *tst_OutputViews::openWindow()
{
    m_opened.clear();
    setUrlOpener([this](const QUrl &url) { m_opened.append(url); });
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowExposed(w))
        return nullptr;
    return w;
}

void tst_OutputViews::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows()) {
        if (output(*w)->PageFileFlag && !output(*w)->PageFilePath.isEmpty())
            QFile::remove(output(*w)->PageFilePath);
        delete w;
    }
    setUrlOpener({});
    qunsetenv("TMPDIR");
}

void tst_OutputViews::tagViewShowsTheTable()
{
    frmMain *w = openWindow();
    QVERIFY(w);
    const QString page = QDir::tempPath() + QStringLiteral("/tst_output_views_stale.html");
    QFile stale(page);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    output(*w)->PageFilePath = page;
    output(*w)->PageFileFlag = true;

    w->Bar_ButtonClick(ToolbarButton::TagView);
    QVERIFY(part<QPlainTextEdit>(*w, "txtTag")->isVisible());
    QVERIFY(!part<QWidget>(*w, "picAllSet")->isVisible());
    QVERIFY(!grid(*w)->isVisible());
    QVERIFY(!part<QWidget>(*w, "Web")->isVisible());
    QVERIFY(barAction(*w, ToolbarButton::TagView)->isChecked());
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->toPlainText(), QString::fromLatin1(DefaultTable));
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->textCursor().position(), 0);
    QTRY_VERIFY(part<QPlainTextEdit>(*w, "txtTag")->hasFocus());
    QVERIFY(part<QPlainTextEdit>(*w, "txtTag")->isReadOnly());
    QVERIFY(part<QPlainTextEdit>(*w, "txtTag")->toolTip().contains(QStringLiteral("「コピー」を選択してください。")));
    // The toolbar deleted the preview's page; the tag view cleared the flag.
    QVERIFY(!QFile::exists(page));
    QVERIFY(!output(*w)->PageFileFlag);

    // Again, after moving the caret: same text, caret back at the start.
    part<QPlainTextEdit>(*w, "txtTag")->moveCursor(QTextCursor::End);
    w->Bar_ButtonClick(ToolbarButton::TagView);
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->toPlainText(), QString::fromLatin1(DefaultTable));
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->textCursor().position(), 0);

    // The web engine is not started for any of this.
    QVERIFY(!w->findChild<QWidget *>(QStringLiteral("webView")));
}

void tst_OutputViews::tagViewFollowsTheModel()
{
    frmMain *w = openWindow();
    QVERIFY(w);
    part<QLineEdit>(*w, "txtWidth")->setText(QStringLiteral("3"));
    part<QLineEdit>(*w, "txtHeight")->setText(QStringLiteral("2"));
    w->Bar_ButtonClick(ToolbarButton::CellView);
    QCOMPARE(grid(*w)->Cols(), 4);

    grid(*w)->setCol(1);
    grid(*w)->setRow(2);
    gridEditor(*w)->Grid_Click();
    w->SettingText(QStringLiteral("日本語<BR>テキスト"));
    // A span switched on with a stale row count: only COLSPAN is written, and
    // showing the text leaves the table as it was.
    doc(*w).setCellField(1, 1, CellField::ColSpanOn, 1);
    doc(*w).setCellField(1, 1, CellField::ColSpan, 2);
    doc(*w).setCellField(1, 1, CellField::RowSpan, 4);
    doc(*w).setCellText(2, 1, QStringLiteral("covered"));

    w->Bar_ButtonClick(ToolbarButton::TagView);
    const QString text = part<QPlainTextEdit>(*w, "txtTag")->toPlainText();
    QCOMPARE(text.section(QLatin1Char('\n'), 1, 1),
             QStringLiteral("<TR><TD ALIGN=\"center\" VALIGN=\"center\" COLSPAN=\"2\"></TD>"
                            "<TD ALIGN=\"center\" VALIGN=\"center\"></TD></TR>"));
    QVERIFY(text.contains(QStringLiteral(">日本語<BR>テキスト</TD>")));
    QVERIFY(!text.contains(QLatin1String("covered")));
    QCOMPARE(model(*w).Cells(1, 1).RowSpan, 4);
    // The selection and the pane end on the last emitted cell.
    QCOMPARE(grid(*w)->Col(), 3);
    QCOMPARE(grid(*w)->Row(), 2);
    // The stored text is unchanged by the refreshes the generator ran.
    QCOMPARE(model(*w).Cells(1, 2).Text, QStringLiteral("日本語<BR>テキスト"));
}

void tst_OutputViews::tagViewContextMenuCopies()
{
    frmMain *w = openWindow();
    QVERIFY(w);
    w->Bar_ButtonClick(ToolbarButton::TagView);

    QStringList offered;
    QList<bool> enabled;
    auto rightClickAndChoose = [&](const QString &choice) {
        offered.clear();
        enabled.clear();
        QTimer::singleShot(0, this, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *a : menu->actions()) {
                offered << a->text();
                enabled << a->isEnabled();
            }
            for (QAction *a : menu->actions())
                if (a->text() == choice && a->isEnabled())
                    a->trigger();
            menu->close();
        });
        const QPoint pos(10, 10);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos,
                                part<QPlainTextEdit>(*w, "txtTag")->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(part<QPlainTextEdit>(*w, "txtTag")->viewport(), &event);
    };

    rightClickAndChoose(QStringLiteral("すべて選択"));
    QCOMPARE(offered, (QStringList {QStringLiteral("コピー"), QStringLiteral("すべて選択")}));
    QCOMPARE(enabled, (QList<bool> {false, true})); // nothing selected yet: nothing to copy
    QVERIFY(part<QPlainTextEdit>(*w, "txtTag")->textCursor().hasSelection());

    QApplication::clipboard()->clear();
    rightClickAndChoose(QStringLiteral("コピー"));
    QCOMPARE(enabled, (QList<bool> {true, true}));
    QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(DefaultTable));
    // Copying leaves the model and the page file alone.
    QVERIFY(!output(*w)->PageFileFlag);
}

void tst_OutputViews::browserPreviewHandsThePageOver()
{
    frmMain *w = openWindow();
    QVERIFY(w);
    doc(*w).setCellText(1, 1, QStringLiteral("表①😀"));

    w->Bar_ButtonClick(ToolbarButton::BrowserPreview);
    QCOMPARE(m_opened.size(), 1);
    const QUrl first = m_opened.at(0);
    QVERIFY(first.isLocalFile());
    const QString firstPath = first.toLocalFile();
    QVERIFY(firstPath.endsWith(QLatin1String(".html")));
    QCOMPARE(QFileInfo(firstPath).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    QCOMPARE(output(*w)->PageFilePath, firstPath);
    QVERIFY(output(*w)->PageFileFlag);
    // The view on show does not change.
    QVERIFY(part<QWidget>(*w, "picAllSet")->isVisible());
    QVERIFY(barAction(*w, ToolbarButton::TableView)->isChecked());

    const QString table = QStringLiteral(
            "<TABLE BORDER=\"1\" CELLSPACING=\"1\">\r\n"
            "<TR><TD ALIGN=\"center\" VALIGN=\"center\">表①😀</TD>"
            "<TD ALIGN=\"center\" VALIGN=\"center\"></TD></TR>\r\n"
            "<TR><TD ALIGN=\"center\" VALIGN=\"center\"></TD>"
            "<TD ALIGN=\"center\" VALIGN=\"center\"></TD></TR>\r\n"
            "</Table>");
    const QByteArray bytes = readFile(firstPath);
    QCOMPARE(bytes, encodeCp932(previewPageText(table)));
    QVERIFY(bytes.contains("\x95\x5c\x87\x40&#128512;</TD>"));

    // A second click deletes the first page and writes a new one.
    w->Bar_ButtonClick(ToolbarButton::BrowserPreview);
    QCOMPARE(m_opened.size(), 2);
    const QString secondPath = m_opened.at(1).toLocalFile();
    QVERIFY(secondPath != firstPath);
    QVERIFY(!QFile::exists(firstPath));
    QVERIFY(QFile::exists(secondPath));

    // Any next command deletes it; only some clear the flag.
    w->Bar_ButtonClick(ToolbarButton::TableView);
    QVERIFY(!QFile::exists(secondPath));
    QVERIFY(!output(*w)->PageFileFlag);
    QVERIFY(!w->findChild<QWidget *>(QStringLiteral("webView")));
}

void tst_OutputViews::browserPreviewWithoutTempFolderIsSilent()
{
    frmMain *w = openWindow();
    QVERIFY(w);
    // A temporary "folder" that is a plain file: nothing can be created in it.
    QTemporaryFile notAFolder;
    QVERIFY(notAFolder.open());
    qputenv("TMPDIR", QFile::encodeName(notAFolder.fileName()));
    w->Bar_ButtonClick(ToolbarButton::BrowserPreview);
    QVERIFY(m_opened.isEmpty());
    QVERIFY(output(*w)->PageFilePath.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    // The window carries on.
    w->Bar_ButtonClick(ToolbarButton::TagView);
    QCOMPARE(part<QPlainTextEdit>(*w, "txtTag")->toPlainText(), QString::fromLatin1(DefaultTable));
}

QTEST_MAIN(tst_OutputViews)
#include "tst_output_views.moc"
