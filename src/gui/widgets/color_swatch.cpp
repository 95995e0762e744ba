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

void ColorSwatch::paintEvent(QPaintEvent *event)
{
    {
        QPainter p(this);
        QColor c(m_color & 0xFF, (m_color >> 8) & 0xFF, (m_color >> 16) & 0xFF);
        if (!isEnabled())
            c = QColor::fromHsv(c.hue(), c.saturation() / 3, qMin(255, c.value() / 2 + 110));
        p.fillRect(contentsRect(), c);
    }
    QFrame::paintEvent(event);
}
