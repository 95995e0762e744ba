// The editor's side of the program: everything that needs a display starts here.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <unistd.h>

#include "core/app/command_line.h"
#include "gui/entry/gui_entry.h"
#include "gui/window/main_window.h"
#include "gui/window/document_manager.h"
#include "document/recovery_file.h"
#include "core/app/ui_language.h"
#include "gui/widgets/file_commands.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/ui_font.h"
#include "version.h"

namespace {

// The interface font is "ＭＳ Ｐゴシック"; where it is not installed, any Japanese
// sans-serif face stands in, never boxes.
void setUpFonts()
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

} // namespace

extern "C" Q_DECL_EXPORT int quorvanGuiMain(int &argc, char **argv, const CommandLine &cl)
{
    // The web engine (loaded with the first preview) refuses to run its sandbox
    // as root; previews must still work there. Both settings must be made
    // before the application object, whether or not a preview ever comes.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVAN_VERSION_TEXT));
    // Ties windows to the desktop file, named after the AppStream component.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorvan.Quorvan"));
    // Every window has the program's icon, also those before the first main window.
    QApplication::setWindowIcon(appIcon());
    setUpFonts();
    setUiLanguage(chooseUiLanguage(cl.language));

    // Tables a crash left behind come first; with some restored, no empty table is added.
    if (DocumentManager::offerRecoveredTables() == 0 || !cl.files.isEmpty())
        DocumentManager::openStartWindows(cl.files);
    bool anyShown = false;
    for (frmMain *w : frmMain::loadedWindows())
        anyShown = anyShown || w->isVisible();
    // Nothing on screen: every file failed with its message (a failed run), or
    // the open dialog was cancelled.
    if (!anyShown)
        return fileMessagesShown() > 0 ? 1 : 0;
    return app.exec();
}
