#pragma once

#include <QWidget>
#include <functional>

// A toolbar separator that still reports clicks: the toolbars dispatch every
// position, separators included (a click there deletes a preview page too).
class ClickableSeparator : public QWidget
{
public:
    ClickableSeparator(std::function<void()> onClick, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::function<void()> m_onClick;
};
