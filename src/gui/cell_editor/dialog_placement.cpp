#include "gui/cell_editor/dialog_placement.h"

#include <QLayout>
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

void fitDesignedSize(QWidget *dialog, QSize designed)
{
    QSize size = designed;
    if (QLayout *layout = dialog->layout()) {
        layout->activate();
        size = size.expandedTo(layout->totalMinimumSize());
    }
    dialog->setFixedSize(size);
}
