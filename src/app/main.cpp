#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <unistd.h>

#include "app/main_window.h"
#include "platform/ui_font.h"
#include "app/more_files.h"
#include "app/ui_language.h"
#include "files/table_export.h"

// The interface font is "ＭＳ Ｐゴシック"; where it is not installed, any Japanese
// sans-serif face stands in, never boxes.
static void setUpFonts()
{
    const QStringList fallbacks = japaneseFallbackFamilies();
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), fallbacks);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), fallbacks);
    QFont font = QApplication::font();
    const QStringList families = QFontDatabase::families();
    for (const QString &f : fallbacks) {
        if (families.contains(f)) {
            font.setFamilies({font.family(), f});
            break;
        }
    }
    QApplication::setFont(font);
}

int main(int argc, char *argv[])
{
    // --export, --help and --version: no window, so no display and no QApplication.
    {
        QStringList args;
        for (int i = 0; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        if (isCommandLineTool(args)) {
            QCoreApplication tool(argc, argv);
            return runCommandLineTool(QCoreApplication::arguments());
        }
    }
    // The web engine refuses to run its sandbox as root; previews must still work there.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    QApplication::setApplicationVersion(QStringLiteral("3.0.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvan")); // ties windows to quorvan.desktop
    setUpFonts();
    loadQtTranslations();

    openStartWindows(app.arguments().mid(1));
    bool anyShown = false;
    for (frmMain *w : frmMain::loadedWindows())
        anyShown = anyShown || w->isVisible();
    if (!anyShown)
        return 0; // the file could not be opened: its message was shown, the window is gone
    return app.exec();
}
