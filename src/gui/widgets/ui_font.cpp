#include "gui/widgets/ui_font.h"

#include <QStringList>

QStringList japaneseFallbackFamilies()
{
    return {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
            QStringLiteral("IPAexGothic"),      QStringLiteral("VL PGothic"),
            QStringLiteral("TakaoPGothic"),     QStringLiteral("Source Han Sans JP"),
            QStringLiteral("Droid Sans Fallback")};
}

QFont japaneseUiFont(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("ＭＳ Ｐゴシック")} + japaneseFallbackFamilies());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
