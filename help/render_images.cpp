// Renders the button pictures the help pages show, from the same code the
// program draws its toolbars with, so the help never shows a stale picture.
// With --app-icons it writes the program icon's PNG sizes instead.

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QTextStream>

#include "gui/widgets/icons.h"

namespace {

struct Picture {
    const char *name;
    bool editor;
    int index;
};

const Picture Pictures[] = {
    {"tb_new", false, 1},      {"tb_open", false, 2},     {"tb_save", false, 3},
    {"tb_help", false, 5},     {"tb_header", false, 7},   {"tb_table", false, 9},
    {"tb_cell", false, 10},    {"tb_tag", false, 11},     {"tb_preview", false, 12},
    {"tb_browser", false, 14}, {"ed_store", true, 1},     {"ed_close", true, 2},
    {"ed_text", true, 4},      {"ed_preview", true, 5},   {"ed_br", true, 7},
    {"ed_font", true, 8},      {"ed_link", true, 9},      {"ed_picture", true, 10},
    {"ed_bold", true, 12},     {"ed_italic", true, 13},   {"ed_underline", true, 14},
    {"ed_strike", true, 15},   {"ed_help", true, 17},
};

bool save(const QPixmap &pixmap, const QString &path)
{
    if (pixmap.save(path, "PNG"))
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // Runs during the build, where there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool appIcons = args.contains(QStringLiteral("--app-icons"));
    QStringList rest = args.mid(1);
    rest.removeAll(QStringLiteral("--app-icons"));
    if (rest.size() != 1) {
        QTextStream(stderr) << "usage: quorvan_helpimages [--app-icons] OUTPUT_DIR\n";
        return 2;
    }
    QDir out(rest.first());
    if (!out.mkpath(QStringLiteral(".")))
        return 1;

    bool ok = true;
    if (appIcons) {
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            ok &= save(appPicture(size), out.filePath(QStringLiteral("quorvan-%1.png").arg(size)));
        return ok ? 0 : 1;
    }
    for (const Picture &p : Pictures) {
        const QIcon icon = p.editor ? editorIcon(p.index) : toolbarIcon(p.index);
        ok &= save(icon.pixmap(24, 24), out.filePath(QLatin1String(p.name) + QStringLiteral(".png")));
    }
    ok &= save(appPicture(48), out.filePath(QStringLiteral("quorvan.png")));
    return ok ? 0 : 1;
}
