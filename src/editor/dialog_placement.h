#pragma once

#include <Qt>

class QWidget;

// The window flags of the editor and its tag dialogs: a tool window with a
// title and a close button, no minimise or maximise, not in the task bar.
constexpr Qt::WindowFlags toolWindowFlags = Qt::Tool | Qt::CustomizeWindowHint
                                            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// Centres a window's frame on its owner's window.
void centreOnOwner(QWidget *window);
