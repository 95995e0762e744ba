#include "gui/widgets/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

QString plainCaption(QString caption)
{
    static const QRegularExpression japaneseMnemonic(QStringLiteral("\\(&[^&]\\)"));
    caption.remove(japaneseMnemonic);
    caption.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QLatin1String("&"));
    caption = caption.trimmed();
    while (caption.endsWith(QChar(0xFF1A)) || caption.endsWith(QLatin1Char(':'))
           || caption.endsWith(QLatin1Char('.')))
        caption.chop(1);
    return caption.trimmed();
}

namespace {

QString firstSentence(const QString &tip)
{
    const qsizetype end = tip.indexOf(QChar(0x3002)); // 。
    QString s = end >= 0 ? tip.left(end) : tip;
    const qsizetype dot = s.indexOf(QLatin1String(". "));
    if (dot >= 0)
        s = s.left(dot);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s.trimmed();
}

} // namespace

void nameControls(QWidget *root)
{
    QHash<QWidget *, QString> labelled;
    const QList<QLabel *> labels = root->findChildren<QLabel *>();
    for (QLabel *label : labels)
        if (label->buddy())
            labelled.insert(label->buddy(), plainCaption(label->text()));

    const QList<QWidget *> widgets = root->findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        if (!w->accessibleName().isEmpty() || qobject_cast<QLabel *>(w))
            continue;
        auto *button = qobject_cast<QAbstractButton *>(w);
        const bool control = button || qobject_cast<QAbstractSlider *>(w) || (w->focusPolicy() & Qt::TabFocus);
        if (!control)
            continue;
        if (button && !plainCaption(button->text()).isEmpty())
            continue;
        // An editable combo's text box speaks for the combo.
        QWidget *named = qobject_cast<QComboBox *>(w->parentWidget()) ? w->parentWidget() : w;
        QString name = labelled.value(named);
        if (name.isEmpty())
            name = firstSentence(named->toolTip());
        if (!name.isEmpty())
            w->setAccessibleName(name);
    }
}
