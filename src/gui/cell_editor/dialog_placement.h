#pragma once

#include <QSize>
#include <QString>
#include <Qt>

class QWidget;

// The window flags of the editor and its tag dialogs: a tool window with a
// title and a close button, no minimise or maximise, not in the task bar.
constexpr Qt::WindowFlags toolWindowFlags = Qt::Tool | Qt::CustomizeWindowHint
                                            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// The designed size, or more where the layout needs it (a larger desktop font).
void fitDesignedSize(QWidget *dialog, QSize designed);

// Centres a window's frame on its owner's window.
void centreOnOwner(QWidget *window);

// A control with its name (the one tests and accessibility tools find it by) and tooltip.
template <typename T>
T *named(T *widget, const char *name, const QString &tip = QString())
{
    widget->setObjectName(QLatin1String(name));
    if (!tip.isEmpty())
        widget->setToolTip(tip);
    return widget;
}
