#pragma once

#include <QObject>
#include <QString>
#include <QTest>
#include <QToolBar>

#include "gui/cell_editor/frm_edit.h"

// Stands in for the main window: receives the text by name, as the editor calls it.
class CellReceiver : public QObject
{
    Q_OBJECT
public:
    void SettingText(const QString &GridSelText)
    {
        text = GridSelText;
        ++calls;
    }
    QString text;
    int calls = 0;
};

// Clicks a position of the editor's toolbar as a user does.
inline void clickBar(frmEdit &ed, int position)
{
    QWidget *button = ed.Bar->widgetForAction(ed.BarButton[position]);
    QVERIFY(button);
    QVERIFY2(button->isEnabled(), qPrintable(QStringLiteral("position %1 disabled").arg(position)));
    QTest::mouseClick(button, Qt::LeftButton);
}
