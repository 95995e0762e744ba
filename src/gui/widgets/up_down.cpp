#include "gui/widgets/up_down.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    // The arrows take no focus, but a screen reader lists them.
    m_up->setAccessibleName(tr("1 増やす"));
    m_down->setAccessibleName(tr("1 減らす"));
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setBuddy(QLineEdit *box)
{
    m_buddy = box;
}

void UpDown::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = maximum;
}

void UpDown::stepUp()
{
    step(1);
}

void UpDown::stepDown()
{
    step(-1);
}

void UpDown::step(int delta)
{
    if (!m_buddy)
        return;
    bool ok = false;
    int value = m_buddy->text().toInt(&ok);
    if (!ok)
        value = m_min;
    // The arrows stay within their own range whatever the box holds.
    const int next = qBound(m_min, value + delta, m_max);
    const QString text = QString::number(next);
    if (text != m_buddy->text())
        m_buddy->setText(text);
}
