#include "gui/help/help.h"

#include "core/app/app_paths.h"
#include "gui/help/help_window.h"

void showHelpFile(QWidget *owner)
{
    HelpWindow *w = HelpWindow::forOwner(owner, true);
    // Every help command opens the file afresh at its default topic, so a
    // file installed or repaired since the last time is picked up.
    w->openFile(helpFilePath());
    w->show();
    w->raise();
    w->activateWindow();
}
