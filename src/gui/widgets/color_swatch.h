#pragma once

#include <QFrame>

// A picture box that shows one colour (0x00BBGGRR), as the colour swatches do.
class ColorSwatch : public QFrame
{
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    qint32 color() const { return m_color; }
    void setColor(qint32 color);
    // "No colour": drawn in the theme's base, the colour kept for later.
    void setNone(bool none);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint32 m_color = 0xFFFFFF;
    bool m_none = false;
};
