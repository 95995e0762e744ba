#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/more_files.h"
#include "app/recovery.h"
#include "app/ui_language.h"
#include "files/file_commands.h"
#include "files/table_export.h"
#include "html/table_markup.h"
#include "platform/ui_font.h"
#include "table/table_model.h"
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

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char *argv[])
{
    // Everything but the editor runs without a display, before any application object.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = parseCommandLine(args);
    const QString program = QFileInfo(args.value(0, QStringLiteral("quorvan"))).fileName();
    switch (cl.mode) {
    case CommandLine::Help:
        print(stdout, usageText(program));
        return 0;
    case CommandLine::Version:
        print(stdout, QStringLiteral(QUORVAN_VERSION_TEXT));
        return 0;
    case CommandLine::Wrong:
        print(stderr, cl.error + QLatin1Char('\n') + usageText(program));
        return 2;
    case CommandLine::Export: {
        QCoreApplication tool(argc, argv);
        setUiLanguage(chooseUiLanguage(cl.language));
        const ExportResult r = exportTable(cl.files.at(0), cl.files.at(1),
                                           cl.profile.isEmpty() ? std::nullopt : markupProfileFromName(cl.profile));
        if (!r.ok) {
            print(stderr, r.message);
            return 1;
        }
        return 0;
    }
    case CommandLine::Edit:
        break;
    }

    // The web engine refuses to run its sandbox as root; previews must still work there.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvan"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVAN_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvan")); // ties windows to quorvan.desktop
    setUpFonts();
    setUiLanguage(chooseUiLanguage(cl.language));

    // Tables a crash left behind come first; with some restored, no empty table is added.
    if (offerRecoveredTables() == 0 || !cl.files.isEmpty())
        openStartWindows(cl.files);
    bool anyShown = false;
    for (frmMain *w : frmMain::loadedWindows())
        anyShown = anyShown || w->isVisible();
    // Nothing on screen: every file failed with its message (a failed run), or
    // the open dialog was cancelled.
    if (!anyShown)
        return fileMessagesShown() > 0 ? 1 : 0;
    return app.exec();
}
