#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's one way to tell the user something (title "Quorvan", one OK):
// a failure of opening or saving with the critical icon, a notice (a clipped
// paste, a refused command) with the information icon. Tests put a hook in
// its place so nothing modal ever blocks them.
enum class MessageKind { Failure, Notice };
using FileMessageHook = std::function<void(QWidget *parent, const QString &text)>;
void setFileMessageHook(FileMessageHook hook);  // empty hook: real message boxes again
void showFileMessage(QWidget *parent, const QString &text, MessageKind kind = MessageKind::Failure);
// How many such messages this run has shown: a start whose only window ended
// on one is a failed run.
int fileMessagesShown();
