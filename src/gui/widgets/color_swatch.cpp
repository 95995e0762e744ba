#include "gui/widgets/color_swatch.h"

#include <QPainter>

ColorSwatch::ColorSwatch(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void ColorSwatch::setColor(qint32 color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void ColorSwatch::setNone(bool none)
{
    if (m_none == none)
        return;
    m_none = none;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *event)
{
    {
        QPainter p(this);
        QColor c(m_color & 0xFF, (m_color >> 8) & 0xFF, (m_color >> 16) & 0xFF);
        if (m_none) {
            c = palette().color(QPalette::Base);
        } else if (!isEnabled()) {
            // Half way to the theme's own background, light or dark.
            const QColor back = palette().color(QPalette::Window);
            c = QColor((c.red() + back.red()) / 2, (c.green() + back.green()) / 2, (c.blue() + back.blue()) / 2);
        }
        p.fillRect(contentsRect(), c);
    }
    QFrame::paintEvent(event);
}
