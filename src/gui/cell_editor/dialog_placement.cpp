#include "gui/cell_editor/dialog_placement.h"

#include <QWidget>

void centreOnOwner(QWidget *window)
{
    QWidget *owner = window->parentWidget();
    if (!owner)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(owner->window()->frameGeometry().center());
    window->move(frame.topLeft());
}
