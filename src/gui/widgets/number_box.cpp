#include "gui/widgets/number_box.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>
#include <QPointer>

namespace {

// Refuses typed characters other than digits, and typed text beyond maxDigits.
// Input-method text is typed text too: a Japanese user with the input method
// on commits full-width digits, which become ASCII ones; anything else in the
// commit is refused. Unlike QLineEdit::maxLength or a validator, it never
// touches text the program sets or that is pasted: the change handlers deal
// with that.
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
        auto *box = static_cast<QLineEdit *>(watched);
        if (event->type() == QEvent::InputMethod)
            return filterCommit(box, static_cast<QInputMethodEvent *>(event));
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->matches(QKeySequence::Paste))
            return false;
        if (!text.at(0).isPrint())
            return false; // editing keys, Enter, Escape, Tab...
        const QString digits = acceptable(box, text);
        if (digits == text)
            return false;
        if (!digits.isEmpty())
            box->insert(digits); // a full-width digit key
        return true;
    }

private:
    // The part of typed text the box takes: digits only, full-width ones made
    // ASCII, no more than the room left under maxDigits.
    QString acceptable(const QLineEdit *box, const QString &text) const
    {
        QString digits;
        for (const QChar ch : text) {
            if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
                digits += ch;
            else if (ch.unicode() >= 0xFF10 && ch.unicode() <= 0xFF19)
                digits += QChar(ch.unicode() - 0xFF10 + '0');
        }
        if (m_maxDigits > 0) {
            const int replaced = box->hasSelectedText() ? box->selectedText().size() : 0;
            const int room = qMax(0, m_maxDigits - int(box->text().size()) + replaced);
            digits.truncate(room);
        }
        return digits;
    }

    // Lets a commit through as it is when it is all ASCII digits with room for
    // them; otherwise hands the box the same event with the acceptable part.
    bool filterCommit(QLineEdit *box, QInputMethodEvent *event)
    {
        const QString commit = event->commitString();
        if (commit.isEmpty())
            return false; // composing only: the preedit is not the box's text
        const QString digits = acceptable(box, commit);
        if (digits == commit)
            return false;
        QInputMethodEvent replaced(event->preeditString(), event->attributes());
        replaced.setCommitString(digits, event->replacementStart(), event->replacementLength());
        QCoreApplication::sendEvent(box, &replaced);
        return true;
    }

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
