#pragma once

#include <QLabel>

class QTimer;

// A line of the status bar that screen readers hear: an alert, announced
// afresh with every text it is given, cleared again after a while.
class StatusAnnouncer : public QLabel
{
    Q_OBJECT

public:
    explicit StatusAnnouncer(QWidget *parent = nullptr);

    // An empty text clears the line and announces nothing.
    void announce(const QString &text);

private:
    QTimer *m_clear;
};
