#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "app/main_window.h"
#include "table/grid_widget.h"

// The in-window preview, with a real web engine on a real display.
class tst_Preview : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void previewRendersTheTable();

private:
    QVariant evaluate(QWebEngineView *view, const QString &script);
};

void tst_Preview::cleanup()
{
    for (frmMain *w : frmMain::loadedWindows()) {
        if (w->PageFileFlag && !w->PageFilePath.isEmpty())
            QFile::remove(w->PageFilePath);
        delete w;
    }
}

QVariant tst_Preview::evaluate(QWebEngineView *view, const QString &script)
{
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &v) {
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
    w->FileName = newTableName();
    w->resize(900, 600);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->txtWidth->setText(QStringLiteral("3"));
    w->txtHeight->setText(QStringLiteral("3"));
    w->Bar_ButtonClick(10);

    const QString names[] = {QStringLiteral("名前"), QStringLiteral("年齢"), QStringLiteral("備考")};
    for (int c = 1; c <= 3; ++c) {
        w->Cells(c, 1).Header = -1;
        w->Cells(c, 1).Text = names[c - 1];
    }
    CellRecord &block = w->Cells(1, 2);
    block.Text = QStringLiteral("結合した表～①");
    block.ColSpanOn = 1;
    block.ColSpan = 2;
    block.RowSpanOn = 1;
    block.RowSpan = 2;
    block.BackColorNothing = 0;
    block.BackColor = 0x00FFFF; // yellow
    w->Cells(3, 2).Text = QStringLiteral("二十");
    w->Cells(3, 3).Text = QStringLiteral("三十");
    w->Cells(3, 3).BackColorNothing = 0;
    w->Cells(3, 3).BackColor = 0xFF8000; // 0x00BBGGRR: a blue

    QVERIFY(!w->findChild<QWebEngineView *>());
    QWebEngineView *view = w->webView();
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    w->Bar_ButtonClick(12);
    QVERIFY(w->Web->isVisible());
    QVERIFY(!w->picAllSet->isVisible());
    QVERIFY(w->PageFileFlag);
    QCOMPARE(view->url(), QUrl::fromLocalFile(w->PageFilePath));
    QVERIFY(loaded.wait(20000) || !loaded.isEmpty());
    QCOMPARE(loaded.first().first().toBool(), true);
    QVERIFY(view->isVisible());
    QCOMPARE(view->geometry(), w->Web->rect());

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
    const QString page = w->PageFilePath;
    w->Bar_ButtonClick(13);
    QVERIFY(!QFile::exists(page));
    QVERIFY(view->isVisible());
    QCOMPARE(evaluate(view, QStringLiteral("document.querySelectorAll('td,th').length")).toInt(), 6);
}

QTEST_MAIN(tst_Preview)
#include "tst_preview.moc"
