#include "more_files.h"

#include <QPoint>

#include "app/main_window.h"

namespace {

// The Open command's offset: 400 twips, 15 twips a pixel.
constexpr int StaircaseOffset = 400 / 15;

} // namespace

void openMoreFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.isEmpty() || path == QLatin1String("\""))
            continue;
        // The newest window still open stands for the one that "opened" this
        // file; when every earlier file failed, the window centres itself.
        const QList<frmMain *> open = frmMain::loadedWindows();
        auto *w = new frmMain;
        w->FileName = newTableName();
        w->load();
        if (!open.isEmpty())
            w->move(open.last()->pos() + QPoint(StaircaseOffset, StaircaseOffset));
        w->OpenFile(path);
    }
}
