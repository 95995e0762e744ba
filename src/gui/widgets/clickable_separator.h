#pragma once

#include <QWidget>
#include <functional>

class QToolBar;

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

// The fixed, icon-only toolbar with 16-pixel pictures that the main window and
// the editor both carry, named "Bar".
QToolBar *makeFixedToolBar(QWidget *parent);
