#include "gui/widgets/ui_font.h"

#include <QGuiApplication>
#include <QStringList>

QStringList japaneseFallbackFamilies()
{
    return {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
            QStringLiteral("IPAexGothic"),      QStringLiteral("VL PGothic"),
            QStringLiteral("TakaoPGothic"),     QStringLiteral("Source Han Sans JP"),
            QStringLiteral("Droid Sans Fallback")};
}

namespace {

// Qt falls back to "Sans Serif" at 9 points when the desktop names no font.
bool desktopNamesFont(const QFont &font)
{
    return !(font.family() == QLatin1String("Sans Serif") && qFuzzyCompare(font.pointSizeF(), 9.0));
}

} // namespace

qreal desktopFontScale()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return 1.0;
    const QFont desktop = QGuiApplication::font();
    if (!desktopNamesFont(desktop))
        return 1.0;
    const qreal points = desktop.pointSizeF() > 0 ? desktop.pointSizeF() : desktop.pixelSize() * 0.75;
    return points > 0 ? points / 9.0 : 1.0;
}

QFont japaneseUiFont(qreal pointSize, bool bold)
{
    QFont font;
    QStringList families{QStringLiteral("ＭＳ Ｐゴシック")};
    // The desktop's face and size, where it names one; the designed sizes keep
    // their proportions to its 9 points.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        && desktopNamesFont(QGuiApplication::font())) {
        families = QStringList{QGuiApplication::font().family()};
        pointSize *= desktopFontScale();
    }
    font.setFamilies(families + japaneseFallbackFamilies());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
