#include "gui/window/more_files.h"

#include <QPoint>

#include "core/app/command_line.h"
#include "gui/window/main_window.h"
#include "core/model/table_model.h"
#include "gui/widgets/twips.h"

namespace {

// The Open command's offset, 400 twips.
constexpr int StaircaseOffset = twipsToPixels(400);

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
        w->setFileName(newTableName());
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
        w->setFileName(newTableName());
        w->show();
    }
    openMoreFiles(args.mid(1));
}
