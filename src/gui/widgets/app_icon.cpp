// The program's own icon, drawn at every size it is asked for.
#include "gui/widgets/icons.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace {

// The program's emblem: a table with an amber header row and one selected
// cell, on a blue tile. Lines snap to whole pixels at every size.
void paintEmblem(QPainter &p, int size)
{
    const qreal f = size / 16.0;
    auto X = [f](qreal v) { return qreal(std::lround(v * f)); };
    p.setRenderHint(QPainter::Antialiasing, true);

    const qreal margin = size >= 48 ? size / 32.0 : 0;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0, QColor(0x4A, 0x8B, 0xE6));
    g.setColorAt(1, QColor(0x1D, 0x4C, 0x9C));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, size * 0.19, size * 0.19);

    const qreal lw = qMax<qreal>(1, std::lround(size / 48.0));
    // Small sizes give the table most of the tile, so its cells stay readable.
    const bool small = size < 48;
    const qreal xs[] = {X(small ? 2 : 3), X(small ? 6 : 6.4), X(small ? 10 : 9.6), X(small ? 14 : 13)};
    const qreal ys[] = {X(small ? 2 : 3.5), X(small ? 6 : 6.5), X(small ? 10 : 9.5), X(small ? 14 : 12.5)};
    const QRectF sheet(xs[0], ys[0], xs[3] - xs[0] + lw, ys[3] - ys[0] + lw);
    if (size >= 48)
        p.fillRect(sheet.translated(size * 0.015, size * 0.03), QColor(0x0B, 0x1F, 0x45, 90));
    p.fillRect(sheet, QColor(0x27, 0x40, 0x6B));
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            QColor fill = Qt::white;
            if (j == 0)
                fill = QColor(0xF4, 0xB9, 0x42);
            else if (i == 1 && j == 1)
                fill = QColor(0xF0, 0x70, 0x4A);
            p.fillRect(QRectF(xs[i] + lw, ys[j] + lw, xs[i + 1] - xs[i] - lw, ys[j + 1] - ys[j] - lw),
                       fill);
        }
    }
}

} // namespace

QPixmap appPicture(int size)
{
    size = qBound(1, size, 1024);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintEmblem(painter, size);
    painter.end();
    return QPixmap::fromImage(image);
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(appPicture(size));
    return icon;
}
