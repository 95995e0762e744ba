#include "number_box.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <QPointer>

namespace {

// Refuses typed characters other than digits, and typed text beyond maxDigits.
// Unlike QLineEdit::maxLength or a validator, it never touches text the program
// sets or that is pasted: the change handlers deal with that.
class DigitsOnlyFilter : public QObject
{
public:
    DigitsOnlyFilter(QLineEdit *box, int maxDigits)
        : QObject(box), m_maxDigits(maxDigits)
    {
        setObjectName(QStringLiteral("DigitsOnlyFilter"));
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *box = static_cast<QLineEdit *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->matches(QKeySequence::Paste))
            return false;
        const QChar ch = text.at(0);
        if (!ch.isPrint())
            return false; // editing keys, Enter, Escape, Tab...
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return true;
        if (m_maxDigits > 0) {
            const int replaced = box->hasSelectedText() ? box->selectedText().size() : 0;
            if (box->text().size() - replaced >= m_maxDigits)
                return true;
        }
        return false;
    }

private:
    int m_maxDigits;
};

class NoContextMenuFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::ContextMenu;
    }
};

} // namespace

void SetNumberOnly(QLineEdit *box, int maxDigits)
{
    if (!box)
        return;
    if (auto *old = box->findChild<QObject *>(QStringLiteral("DigitsOnlyFilter"),
                                              Qt::FindDirectChildrenOnly)) {
        box->removeEventFilter(old);
        delete old;
    }
    box->installEventFilter(new DigitsOnlyFilter(box, maxDigits));
}

void HookContextMenu(QWidget *box)
{
    if (!box || box->findChild<QObject *>(QStringLiteral("NoContextMenuFilter"),
                                          Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new NoContextMenuFilter(box);
    filter->setObjectName(QStringLiteral("NoContextMenuFilter"));
    box->installEventFilter(filter);
}

void UnhookContextMenu(QWidget *box)
{
    if (!box)
        return;
    if (auto *filter = box->findChild<QObject *>(QStringLiteral("NoContextMenuFilter"),
                                                 Qt::FindDirectChildrenOnly)) {
        box->removeEventFilter(filter);
        delete filter;
    }
}
