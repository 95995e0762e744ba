#include "more_files.h"

#include <QPoint>

#include "app/command_line.h"
#include "app/main_window.h"

namespace {

// The Open command's offset: 400 twips at 15 twips a pixel, rounded (26.7 -> 27).
constexpr int StaircaseOffset = (400 + 7) / 15;

} // namespace

void openMoreFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.isEmpty() || path == QLatin1String("\""))
            continue;
        // The newest window on screen stands for the one that "opened" this
        // file; when every earlier file failed, the window centres itself.
        frmMain *from = nullptr;
        for (frmMain *open : frmMain::loadedWindows())
            if (open->isVisible())
                from = open;
        auto *w = new frmMain;
        w->FileName = newTableName();
        w->load();
        if (from)
            w->move(from->pos() + QPoint(StaircaseOffset, StaircaseOffset));
        w->OpenFile(path);
    }
}

void openStartWindows(const QStringList &args)
{
    const StartRequest req = startRequestFromRawText(rawTextFromArguments(args));
    auto *w = new frmMain;
    if (req.openFile) {
        w->OpenFile(req.path);
    } else {
        w->FileName = newTableName();
        w->show();
    }
    openMoreFiles(args.mid(1));
}
