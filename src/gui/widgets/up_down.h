#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Up-down arrows attached to a text box: a step writes the new value into the
// box's text (which runs the box's change handler); no handler of its own.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    void setBuddy(QLineEdit *box);
    void setRange(int minimum, int maximum);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

    void stepUp();
    void stepDown();

private:
    void step(int delta);

    QLineEdit *m_buddy = nullptr;
    QToolButton *m_up;
    QToolButton *m_down;
    int m_min = 0;
    int m_max = 100;
};
