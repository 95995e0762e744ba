// The web preview plugin: found in the build tree, and its absence shown in
// place of the previews, never a crash.
#include <QtTest>

#include <QLabel>
#include <QPluginLoader>

#include "gui/window/main_window.h"
#include "support/editor_test_support.h"
#include "gui/cell_editor/frm_edit.h"
#include "gui/output/web_preview.h"
#include "support/window_parts.h"

using namespace parts;

class tst_PreviewPlugin : public QObject
{
    Q_OBJECT

private slots:
    void pluginFoundBesideTheProgram();
    void missingPluginInTheWindow();
    void missingPluginInTheEditor();
    void cleanup();

private:
    QTemporaryDir m_empty;
};

void tst_PreviewPlugin::pluginFoundBesideTheProgram()
{
    // Read from the file's metadata, without starting the engine.
    const QString path = QDir(webPreviewPluginDirs().first()).filePath(webPreviewPluginName());
    QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    const QJsonObject meta = QPluginLoader(path).metaData();
    QCOMPARE(meta.value(QStringLiteral("IID")).toString(), QStringLiteral("io.github.quorvan.WebViewFactory/1.1"));
}

void tst_PreviewPlugin::cleanup()
{
    setWebPreviewPluginDirs({});
    for (frmMain *w : frmMain::loadedWindows()) {
        output(*w)->PageFileFlag = true;
        output(*w)->deletePageFileIfFlagged();
        delete w;
    }
}

void tst_PreviewPlugin::missingPluginInTheWindow()
{
    setWebPreviewPluginDirs({m_empty.path()});
    auto *w = new frmMain;
    w->setFileName(newTableName());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    for (int click = 0; click < 2; ++click) {
        w->Bar_ButtonClick(ToolbarButton::Preview);
        QVERIFY(part<QWidget>(*w, "Web")->isVisible());
        const QList<QLabel *> labels = w->findChildren<QLabel *>(QStringLiteral("lblPreviewMissing"));
        QCOMPARE(labels.size(), 1);
        QVERIFY(labels.first()->isVisible());
        QVERIFY(labels.first()->text().startsWith(QStringLiteral("プレビューを表示できません。")));
        QVERIFY(labels.first()->text().contains(webPreviewPluginName() + QStringLiteral(" not found in ")));
        QVERIFY(!w->findChild<QWidget *>(QStringLiteral("webView")));
        // The page is written all the same, for the browser preview.
        QVERIFY(QFile::exists(output(*w)->PageFilePath));
    }
    // The rest of the window goes on as before.
    w->Bar_ButtonClick(ToolbarButton::TagView);
    QVERIFY(part<QPlainTextEdit>(*w, "txtTag")->toPlainText().startsWith(QStringLiteral("<TABLE")));
}

void tst_PreviewPlugin::missingPluginInTheEditor()
{
    setWebPreviewPluginDirs({m_empty.path()});
    CellReceiver cell;
    frmEdit ed;
    ed.objForm = &cell;
    QObject::connect(&ed, &frmEdit::textStored, &cell, &CellReceiver::SettingText);
    ed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ed));
    ed.SettingText(QStringLiteral("表"));
    clickBar(ed, int(EditorButton::Preview));
    QVERIFY(ed.Web->isVisible());
    auto *label = ed.findChild<QLabel *>(QStringLiteral("lblPreviewMissing"));
    QVERIFY(label && label->isVisible());
    QVERIFY(!ed.webView());
    clickBar(ed, int(EditorButton::TagView));
    QVERIFY(ed.txtEdit->isVisible());
    clickBar(ed, int(EditorButton::StoreAndClose));
    QCOMPARE(cell.text, QStringLiteral("表"));
}

int main(int argc, char *argv[])
{
    // As the program starts its editor: the missing plugin is then all that is missing.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_PreviewPlugin test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_preview_plugin.moc"
