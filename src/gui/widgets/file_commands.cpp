#include "gui/widgets/file_commands.h"

#include <QMessageBox>
#include <QWidget>

#include <cstdio>

static FileMessageHook &messageHook()
{
    static FileMessageHook hook;
    return hook;
}

void setFileMessageHook(FileMessageHook hook)
{
    messageHook() = std::move(hook);
}

static int s_messagesShown = 0;

int fileMessagesShown()
{
    return s_messagesShown;
}

void showFileMessage(QWidget *parent, const QString &text, MessageKind kind)
{
    const bool failure = kind == MessageKind::Failure;
    if (failure)
        ++s_messagesShown;
    if (messageHook()) {
        messageHook()(parent, text);
        return;
    }
    // Also where a terminal or a log sees it, as --export says it.
    if (failure)
        std::fprintf(stderr, "%s\n", qPrintable(text));
    // A window that is being opened is not on screen yet; the box stands alone then.
    QWidget *owner = parent && parent->isVisible() ? parent : nullptr;
    QMessageBox box(failure ? QMessageBox::Critical : QMessageBox::Information, QStringLiteral("Quorvan"), text,
                    QMessageBox::Ok, owner);
    box.exec();
}
