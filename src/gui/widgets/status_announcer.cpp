#include "gui/widgets/status_announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>

namespace {

// The bridge to AT-SPI passes on no alert event (Qt 6.4), but a screen reader
// reads an object of the alert role when it shows, and follows its name.
class AnnouncerAccessible : public QAccessibleWidget
{
public:
    explicit AnnouncerAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *announcerFactory(const QString &key, QObject *object)
{
    if (key == QLatin1String("StatusAnnouncer") && object && object->isWidgetType())
        return new AnnouncerAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

constexpr int ShownMs = 15000;

} // namespace

StatusAnnouncer::StatusAnnouncer(QWidget *parent)
    : QLabel(parent), m_clear(new QTimer(this))
{
    static const bool installed = (QAccessible::installFactory(announcerFactory), true);
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("lblAnnouncement"));
    setTextFormat(Qt::PlainText);
    m_clear->setSingleShot(true);
    m_clear->setInterval(ShownMs);
    connect(m_clear, &QTimer::timeout, this, [this] { announce(QString()); });
}

void StatusAnnouncer::announce(const QString &text)
{
    setText(text);
    if (text.isEmpty()) {
        m_clear->stop();
        return;
    }
    m_clear->start();
    if (!isVisible())
        return;
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
