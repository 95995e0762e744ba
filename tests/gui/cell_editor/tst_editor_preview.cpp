#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QFile>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <unistd.h>

#include "gui/cell_editor/frm_edit.h"
#include "support/editor_test_support.h"
#include "core/text/text_codec.h"

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text the web view shows, once the page has loaded.
QString shownText(QWebEngineView *view)
{
    QString text;
    for (int attempt = 0; attempt < 100 && text.trimmed().isEmpty(); ++attempt) {
        bool done = false;
        view->page()->toPlainText([&](const QString &t) {
            text = t;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, 10000))
            break;
        if (text.trimmed().isEmpty())
            QTest::qWait(100);
    }
    return text;
}

// The result of a script run in the shown page, from a world of the test's
// own: the page's scripts are off.
QVariant pageValue(QWebEngineView *view, const QString &script)
{
    QVariant value;
    bool done = false;
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &v) {
        value = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QVariant();
    return value;
}

} // namespace

class TestEditorPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pasteWithNothingOnTheClipboard();

    void previewWritesPageAndSwitches();
    void previewShowsJapaneseAndTags();
    void previewShowsJapaneseInAttributes();
    void previewTwiceDeletesFirstFile();
    void textViewAfterPreview();
    void storeAndCloseFromPreview();
    void closeFromFrameRemovesPage();

private:
    frmEdit *ed = nullptr;
    CellReceiver *cell = nullptr;
};

void TestEditorPreview::init()
{
    cell = new CellReceiver;
    ed = new frmEdit;
    ed->objForm = cell;
    QObject::connect(ed, &frmEdit::textStored, cell, &CellReceiver::SettingText);
    ed->show();
    QVERIFY(QTest::qWaitForWindowExposed(ed));
}

void TestEditorPreview::cleanup()
{
    delete ed;
    delete cell;
}

void TestEditorPreview::pasteWithNothingOnTheClipboard()
{
    // xvfb-run starts a fresh X server: nobody owns the clipboard or the selection yet.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server");
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (data && !data->formats().isEmpty())
        QSKIP("the clipboard has an owner");
    ed->SettingText(QStringLiteral("abc"));
    QTest::keyClick(ed->txtEdit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(ed->txtEdit, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::mouseClick(ed->txtEdit->viewport(), Qt::MiddleButton, {}, QPoint(5, 5));
    QCOMPARE(ed->txtEdit->toPlainText(), QStringLiteral("abc"));
}

void TestEditorPreview::previewWritesPageAndSwitches()
{
    const QString text = QStringLiteral("一行目\r\n<B>太字</B>");
    ed->SettingText(text);
    clickBar(*ed, 5);

    QVERIFY(ed->PreviewFileMade);
    QVERIFY(ed->PreviewFile.endsWith(QLatin1String(".html")));
    QCOMPARE(readAll(ed->PreviewFile),
             QByteArray("<HTML><BODY>\r\n") + encodeCp932(text) + QByteArray("\r\n</BODY></HTML>\r\n"));
    QVERIFY(!ed->txtEdit->isVisible());
    QVERIFY(ed->Web->isVisible());
    QVERIFY(ed->button(EditorButton::Preview)->isChecked());
    QVERIFY(!ed->button(EditorButton::TagView)->isChecked());
    // Tag, dialog and help buttons are off while the preview shows.
    for (int i = int(EditorButton::LineBreak); i <= frmEdit::ButtonCount; ++i)
        QVERIFY2(!ed->BarButton[i]->isEnabled(), qPrintable(QString::number(i)));
    QVERIFY(!ed->Bar->widgetForAction(ed->button(EditorButton::Help))->isEnabled());
    for (int i : {1, 2, 4, 5})
        QVERIFY(ed->BarButton[i]->isEnabled());
    // The preview takes the whole inner height below the toolbar's top.
    QCOMPARE(ed->Web->height(), ed->height());
}

void TestEditorPreview::previewShowsJapaneseAndTags()
{
    ed->SettingText(QStringLiteral("表<B>示</B>"));
    clickBar(*ed, 5);
    auto *view = qobject_cast<QWebEngineView *>(ed->webView());
    QVERIFY(view);
    // Pages without a declared character set are read as Shift_JIS; the
    // engine's own guess must not be all that stands between CP932 and mojibake.
    QCOMPARE(view->settings()->defaultTextEncoding(), QStringLiteral("Shift_JIS"));
    QCOMPARE(shownText(view).trimmed(), QStringLiteral("表示"));
}

void TestEditorPreview::previewShowsJapaneseInAttributes()
{
    // Japanese in attributes only: no body text for the engine to guess the
    // encoding from. A picture given by its full path still shows.
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("a.png"));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(picture));
    ed->SettingText(QStringLiteral(R"(<IMG SRC="%1" ALT="りんごの写真" TITLE="赤">)")
                        .arg(QUrl::fromLocalFile(picture).toString()));
    clickBar(*ed, 5);
    auto *view = qobject_cast<QWebEngineView *>(ed->webView());
    QVERIFY(view);
    const auto value = [view](const char *script) {
        return pageValue(view, QString::fromLatin1(script));
    };
    QVERIFY(QTest::qWaitFor([&] { return value("document.images.length").toInt() == 1; }, 10000));
    QCOMPARE(value("document.images[0].alt").toString(), QStringLiteral("りんごの写真"));
    QCOMPARE(value("document.images[0].title").toString(), QStringLiteral("赤"));
    QVERIFY(QTest::qWaitFor([&] { return value("document.images[0].complete").toBool(); }, 10000));
    QCOMPARE(value("document.images[0].naturalWidth").toInt(), 3);
}

void TestEditorPreview::previewTwiceDeletesFirstFile()
{
    ed->SettingText(QStringLiteral("a"));
    clickBar(*ed, 5);
    const QString first = ed->PreviewFile;
    QVERIFY(QFile::exists(first));
    clickBar(*ed, 5);
    const QString second = ed->PreviewFile;
    QVERIFY(first != second);
    QVERIFY(!QFile::exists(first));
    QVERIFY(QFile::exists(second));
    QVERIFY(ed->Web->isVisible());
}

void TestEditorPreview::textViewAfterPreview()
{
    const QString text = QStringLiteral("x\r\ny");
    ed->SettingText(text);
    clickBar(*ed, 5);
    const QString page = ed->PreviewFile;
    clickBar(*ed, 4);
    QVERIFY(!QFile::exists(page));
    QVERIFY(!ed->PreviewFileMade);
    QVERIFY(ed->txtEdit->isVisible());
    QVERIFY(!ed->Web->isVisible());
    QVERIFY(ed->button(EditorButton::TagView)->isChecked());
    for (int i = int(EditorButton::LineBreak); i <= frmEdit::ButtonCount; ++i)
        QVERIFY(ed->BarButton[i]->isEnabled());
    QCOMPARE(ed->paneText(), text);
}

void TestEditorPreview::storeAndCloseFromPreview()
{
    ed->SettingText(QStringLiteral("<I>i</I>"));
    clickBar(*ed, 5);
    const QString page = ed->PreviewFile;
    clickBar(*ed, 1);
    QVERIFY(!QFile::exists(page));
    QCOMPARE(cell->text, QStringLiteral("<I>i</I>"));
    QVERIFY(!ed->isVisible());
}

void TestEditorPreview::closeFromFrameRemovesPage()
{
    clickBar(*ed, 5);
    const QString page = ed->PreviewFile;
    QVERIFY(QFile::exists(page));
    ed->close();
    QVERIFY(!QFile::exists(page));
    QCOMPARE(cell->calls, 0);
}

int main(int argc, char *argv[])
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestEditorPreview test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editor_preview.moc"
