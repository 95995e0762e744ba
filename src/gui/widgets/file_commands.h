#pragma once

#include <QString>
#include <functional>

class QWidget;

// The message boxes of opening and saving (title "Quorvan", critical icon,
// one OK). Tests put a hook in their place so nothing modal ever blocks them.
using FileMessageHook = std::function<void(QWidget *parent, const QString &text)>;
void setFileMessageHook(FileMessageHook hook);  // empty hook: real message boxes again
void showFileMessage(QWidget *parent, const QString &text);
// How many such messages this run has shown: a start whose only window ended
// on one is a failed run.
int fileMessagesShown();
