#include "ui_font.h"

#include <QStringList>

QFont japaneseUiFont(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic"),
                      QStringLiteral("Source Han Sans JP")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
