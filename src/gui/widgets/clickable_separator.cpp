#include "gui/widgets/clickable_separator.h"

#include <QPainter>
#include <QToolBar>

ClickableSeparator::ClickableSeparator(std::function<void()> onClick, QWidget *parent)
    : QWidget(parent), m_onClick(std::move(onClick))
{
    setFixedWidth(8);
}

void ClickableSeparator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int x = width() / 2;
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(x, 3, x, height() - 4);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(x + 1, 3, x + 1, height() - 4);
}

void ClickableSeparator::mousePressEvent(QMouseEvent *)
{
    if (isEnabled() && m_onClick)
        m_onClick();
}

QToolBar *makeFixedToolBar(QWidget *parent)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("Bar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}
