#include "gui/widgets/icons.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <cmath>
#include <functional>

namespace {

// One palette for every picture, so the two toolbars read as one set.
namespace Ink {
const QColor Outline(0x2B, 0x35, 0x44);
const QColor Paper(0xFF, 0xFF, 0xFF);
const QColor PaperShade(0xE6, 0xEC, 0xF5);
const QColor Blue(0x2F, 0x6F, 0xD0);
const QColor BlueDark(0x1D, 0x4D, 0x9E);
const QColor BlueLight(0xCF, 0xE0, 0xF7);
const QColor Amber(0xF3, 0xB4, 0x3C);
const QColor AmberLight(0xF8, 0xD3, 0x7E);
const QColor AmberDark(0xB3, 0x7A, 0x0C);
const QColor Green(0x35, 0xA0, 0x4F);
const QColor GreenDark(0x1F, 0x7A, 0x36);
const QColor Red(0xD8, 0x45, 0x3A);
const QColor RedDark(0x9E, 0x27, 0x1F);
const QColor Coral(0xEE, 0x6A, 0x43);
const QColor CoralDark(0xB8, 0x43, 0x22);
const QColor GridLine(0x8D, 0xA3, 0xC4);
const QColor Frame(0x33, 0x49, 0x6B);
const QColor Sky(0xCF, 0xE6, 0xFA);
} // namespace Ink

// Drawing on a 16-unit design grid, scaled to the target size. Rectangles
// snap to whole pixels so edges stay sharp at 16, 24 and 32 pixels; only
// curves and diagonals are antialiased.
class Canvas
{
public:
    Canvas(QPainter &painter, int size) : p(painter), s(size), u(size / 16.0) {}

    QPainter &p;
    const int s;
    const qreal u;

    int px(qreal v) const { return int(std::lround(v * u)); }
    // Width of a thin line: one pixel up to 31 pixels, then two.
    int lw() const { return qMax(1, s / 16); }
    // Width of a bold stroke.
    qreal bold(qreal units) const { return qMax(1.5, units * u); }
    QPointF pt(qreal x, qreal y) const { return QPointF(x * u, y * u); }

    QRect box(qreal x, qreal y, qreal w, qreal h) const
    {
        const int l = px(x), t = px(y);
        return QRect(l, t, qMax(1, px(x + w) - l), qMax(1, px(y + h) - t));
    }

    // A filled rectangle with a crisp border inside its bounds.
    void framed(const QRect &r, const QColor &fill, const QColor &edge) const
    {
        p.fillRect(r, edge);
        p.fillRect(r.adjusted(lw(), lw(), -lw(), -lw()), fill);
    }

    void stroke(const QPainterPath &path, const QColor &color, qreal width) const
    {
        QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.strokePath(path, pen);
    }

    void letter(const QString &text, const QRectF &units, const QString &family, qreal pixelUnits,
                bool boldFace, bool italic, const QColor &color) const
    {
        QFont f(family);
        f.setPixelSize(qMax(8, int(std::lround(pixelUnits * u))));
        f.setBold(boldFace);
        f.setItalic(italic);
        f.setStyleStrategy(QFont::PreferAntialias);
        p.setFont(f);
        p.setPen(color);
        p.drawText(QRectF(units.x() * u, units.y() * u, units.width() * u, units.height() * u),
                   Qt::AlignCenter, text);
    }
};

// A table of cols x rows cells; fill decides each cell's colour.
void drawGrid(const Canvas &c, qreal x, qreal y, qreal w, qreal h, int cols, int rows,
              const QColor &frame, const QColor &line,
              const std::function<QColor(int col, int row)> &fill)
{
    const int lw = c.lw();
    QList<int> xs, ys;
    for (int i = 0; i <= cols; ++i)
        xs.append(c.px(x + w * i / cols));
    for (int j = 0; j <= rows; ++j)
        ys.append(c.px(y + h * j / rows));
    const QRect outer(xs.first(), ys.first(), xs.last() - xs.first() + lw, ys.last() - ys.first() + lw);
    c.p.fillRect(outer, line);
    for (int i = 0; i < cols; ++i) {
        for (int j = 0; j < rows; ++j) {
            c.p.fillRect(QRect(xs[i] + lw, ys[j] + lw, xs[i + 1] - xs[i] - lw, ys[j + 1] - ys[j] - lw),
                         fill(i, j));
        }
    }
    c.p.setPen(QPen(frame, lw));
    c.p.setBrush(Qt::NoBrush);
    c.p.setRenderHint(QPainter::Antialiasing, false);
    c.p.drawRect(outer.adjusted(0, 0, -lw, -lw).translated(lw / 2, lw / 2));
    c.p.setRenderHint(QPainter::Antialiasing, true);
}

// A sheet of paper with a folded top-right corner.
void drawPage(const Canvas &c)
{
    const qreal h = c.lw() / 2.0;
    const qreal l = c.px(3) + h, t = c.px(1) + h, r = c.px(13) - h, b = c.px(15) - h;
    const qreal fold = c.px(4);
    QPainterPath body;
    body.moveTo(l, t);
    body.lineTo(r - fold, t);
    body.lineTo(r, t + fold);
    body.lineTo(r, b);
    body.lineTo(l, b);
    body.closeSubpath();
    c.p.setPen(QPen(Ink::Outline, c.lw(), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    c.p.setBrush(Ink::Paper);
    c.p.drawPath(body);
    QPainterPath ear;
    ear.moveTo(r - fold, t);
    ear.lineTo(r - fold, t + fold);
    ear.lineTo(r, t + fold);
    c.p.setBrush(Ink::PaperShade);
    c.p.drawPath(ear);
}

void drawNew(const Canvas &c)
{
    drawPage(c);
    const QPointF centre = c.pt(11.5, 11.5);
    const qreal radius = 4.0 * c.u;
    c.p.setPen(QPen(Ink::GreenDark, qMax(1.0, 0.8 * c.u)));
    c.p.setBrush(Ink::Green);
    c.p.drawEllipse(centre, radius, radius);
    const int bar = qMax(1, int(std::lround(1.2 * c.u)));
    const int arm = int(std::lround(2.4 * c.u));
    const QPoint m = centre.toPoint();
    c.p.fillRect(QRect(m.x() - arm, m.y() - bar / 2, 2 * arm + (bar % 2), bar), Ink::Paper);
    c.p.fillRect(QRect(m.x() - bar / 2, m.y() - arm, bar, 2 * arm + (bar % 2)), Ink::Paper);
}

void drawOpen(const Canvas &c)
{
    QPainterPath back;
    back.moveTo(c.pt(1, 2.5));
    back.lineTo(c.pt(6, 2.5));
    back.lineTo(c.pt(7.5, 4));
    back.lineTo(c.pt(14, 4));
    back.lineTo(c.pt(14, 13.5));
    back.lineTo(c.pt(1, 13.5));
    back.closeSubpath();
    c.p.setPen(QPen(Ink::AmberDark, c.lw(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    c.p.setBrush(Ink::AmberLight);
    c.p.drawPath(back);
    // A sheet inside, so it reads as "open" rather than "folder".
    c.framed(c.box(3, 5, 9, 5), Ink::Paper, Ink::GridLine);
    QPainterPath front;
    front.moveTo(c.pt(3.5, 7.5));
    front.lineTo(c.pt(15.5, 7.5));
    front.lineTo(c.pt(13, 13.5));
    front.lineTo(c.pt(1, 13.5));
    front.closeSubpath();
    QLinearGradient g(c.pt(0, 7.5), c.pt(0, 13.5));
    g.setColorAt(0, Ink::AmberLight);
    g.setColorAt(1, Ink::Amber);
    c.p.setBrush(g);
    c.p.drawPath(front);
}

void drawSave(const Canvas &c)
{
    const QRect body = c.box(1, 1, 14, 14);
    c.framed(body, Ink::Blue, Ink::BlueDark);
    // Shutter with its slot.
    c.framed(c.box(4, 1, 8, 5), Ink::PaperShade, Ink::BlueDark);
    c.p.fillRect(c.box(9, 2, 1.5, 3), Ink::BlueDark);
    // Label.
    c.framed(c.box(3, 8, 10, 7), Ink::Paper, Ink::BlueDark);
    c.p.fillRect(c.box(4.5, 10, 7, 0.01).adjusted(0, 0, 0, c.lw() - 1), Ink::GridLine);
    c.p.fillRect(c.box(4.5, 12, 7, 0.01).adjusted(0, 0, 0, c.lw() - 1), Ink::GridLine);
}

void drawHelp(const Canvas &c)
{
    const QRectF disc(c.pt(1, 1), c.pt(15, 15));
    QRadialGradient g(c.pt(6, 5), 10 * c.u);
    g.setColorAt(0, Ink::Blue.lighter(125));
    g.setColorAt(1, Ink::BlueDark);
    c.p.setPen(QPen(Ink::BlueDark, qMax(1.0, 0.8 * c.u)));
    c.p.setBrush(g);
    c.p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    c.letter(QStringLiteral("?"), QRectF(1, 1.3, 14, 14), QStringLiteral("DejaVu Sans"), 11.5, true,
             false, Ink::Paper);
}

void drawHeaderCell(const Canvas &c)
{
    drawGrid(c, 1, 2, 14, 12, 3, 3, Ink::Frame, Ink::GridLine, [](int, int row) {
        return row == 0 ? Ink::BlueDark : Ink::Paper;
    });
}

void drawTableSettings(const Canvas &c)
{
    drawGrid(c, 1, 2, 14, 12, 3, 3, Ink::Frame, Ink::GridLine, [](int, int row) {
        return row == 0 ? Ink::Amber : Ink::BlueLight;
    });
}

void drawCellSettings(const Canvas &c)
{
    drawGrid(c, 1, 2, 14, 12, 3, 3, Ink::Frame, Ink::GridLine, [](int col, int row) {
        return col == 1 && row == 1 ? Ink::Coral : Ink::Paper;
    });
}

void drawTagView(const Canvas &c)
{
    QPainterPath chevrons;
    chevrons.moveTo(c.pt(5.5, 4));
    chevrons.lineTo(c.pt(1.8, 8));
    chevrons.lineTo(c.pt(5.5, 12));
    chevrons.moveTo(c.pt(10.5, 4));
    chevrons.lineTo(c.pt(14.2, 8));
    chevrons.lineTo(c.pt(10.5, 12));
    c.stroke(chevrons, Ink::Blue, c.bold(1.8));
    QPainterPath slash;
    slash.moveTo(c.pt(9.3, 2.8));
    slash.lineTo(c.pt(6.7, 13.2));
    c.stroke(slash, Ink::AmberDark, c.bold(1.6));
}

void drawWindowFrame(const Canvas &c)
{
    const QRect frame = c.box(1, 2, 14, 12);
    c.framed(frame, Ink::Paper, Ink::BlueDark);
    c.p.fillRect(c.box(1, 2, 14, 3), Ink::Blue);
    c.p.fillRect(QRect(c.px(1), c.px(2), frame.width(), c.lw()), Ink::BlueDark);
    c.p.fillRect(QRect(c.px(1), c.px(2), c.lw(), c.px(5) - c.px(2)), Ink::BlueDark);
    c.p.fillRect(QRect(frame.right() - c.lw() + 1, c.px(2), c.lw(), c.px(5) - c.px(2)), Ink::BlueDark);
}

void drawPreview(const Canvas &c)
{
    drawWindowFrame(c);
    drawGrid(c, 3.5, 6.5, 9, 6, 2, 2, Ink::GridLine, Ink::GridLine, [](int, int row) {
        return row == 0 ? Ink::AmberLight : Ink::Paper;
    });
}

void drawBrowser(const Canvas &c)
{
    const QRectF disc(c.pt(1.2, 1.2), c.pt(14.8, 14.8));
    QRadialGradient g(c.pt(6, 5), 11 * c.u);
    g.setColorAt(0, Ink::BlueLight);
    g.setColorAt(1, Ink::Blue);
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(g);
    c.p.drawEllipse(disc);
    QPainterPath clip;
    clip.addEllipse(disc);
    c.p.save();
    c.p.setClipPath(clip);
    QPainterPath lines;
    lines.addEllipse(QRectF(c.pt(5.2, 1.2), c.pt(10.8, 14.8)));
    lines.moveTo(c.pt(8, 1.2));
    lines.lineTo(c.pt(8, 14.8));
    lines.moveTo(c.pt(1.2, 8));
    lines.lineTo(c.pt(14.8, 8));
    lines.moveTo(c.pt(2.2, 4.8));
    lines.quadTo(c.pt(8, 6.2), c.pt(13.8, 4.8));
    lines.moveTo(c.pt(2.2, 11.2));
    lines.quadTo(c.pt(8, 9.8), c.pt(13.8, 11.2));
    c.stroke(lines, QColor(255, 255, 255, 220), qMax(1.0, 0.75 * c.u));
    c.p.restore();
    c.p.setPen(QPen(Ink::BlueDark, qMax(1.0, 0.8 * c.u)));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawEllipse(disc);
}

void drawStore(const Canvas &c)
{
    QPainterPath tick;
    tick.moveTo(c.pt(2.5, 8.5));
    tick.lineTo(c.pt(6.3, 12.3));
    tick.lineTo(c.pt(13.5, 3.5));
    c.stroke(tick, Ink::GreenDark, c.bold(3.2));
    c.stroke(tick, Ink::Green, c.bold(2.0));
}

void drawClose(const Canvas &c)
{
    QPainterPath cross;
    cross.moveTo(c.pt(3.5, 3.5));
    cross.lineTo(c.pt(12.5, 12.5));
    cross.moveTo(c.pt(12.5, 3.5));
    cross.lineTo(c.pt(3.5, 12.5));
    c.stroke(cross, Ink::RedDark, c.bold(3.2));
    c.stroke(cross, Ink::Red, c.bold(2.0));
}

void drawLineBreak(const Canvas &c)
{
    QPainterPath hook;
    hook.moveTo(c.pt(13, 2.5));
    hook.lineTo(c.pt(13, 9.5));
    hook.lineTo(c.pt(5.5, 9.5));
    c.stroke(hook, Ink::Blue, c.bold(1.8));
    QPolygonF head;
    head << c.pt(1.5, 9.5) << c.pt(6.5, 5.5) << c.pt(6.5, 13.5);
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(Ink::Blue);
    c.p.drawPolygon(head);
}

// The letters of the editor's style buttons are text on the button: they take
// the theme's button text colour, so a dark theme shows them light.
QColor letterInk()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance())
            ? QGuiApplication::palette().color(QPalette::ButtonText)
            : Ink::Outline;
}

void drawFont(const Canvas &c)
{
    c.letter(QStringLiteral("A"), QRectF(0, -0.5, 16, 13), QStringLiteral("DejaVu Serif"), 13, true,
             false, letterInk());
    c.p.fillRect(c.box(2, 12.5, 12, 3), Ink::Coral);
}

void drawLink(const Canvas &c)
{
    c.p.save();
    c.p.translate(c.pt(8, 8));
    c.p.rotate(-45);
    const qreal w = 7.2 * c.u, h = 4.4 * c.u, r = h / 2;
    QPainterPath left, right;
    left.addRoundedRect(QRectF(-w + 1.2 * c.u, -h / 2, w, h), r, r);
    right.addRoundedRect(QRectF(-1.2 * c.u, -h / 2, w, h), r, r);
    c.stroke(left, Ink::BlueDark, c.bold(1.7));
    c.stroke(right, Ink::Blue, c.bold(1.7));
    c.p.restore();
}

void drawPicture(const Canvas &c)
{
    const QRect frame = c.box(1, 2.5, 14, 11);
    c.framed(frame, Ink::Sky, Ink::Outline);
    c.p.save();
    c.p.setClipRect(frame.adjusted(c.lw(), c.lw(), -c.lw(), -c.lw()));
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(Ink::Amber);
    c.p.drawEllipse(c.pt(11, 6), 1.7 * c.u, 1.7 * c.u);
    QPolygonF hills;
    hills << c.pt(0.5, 14) << c.pt(5.5, 7) << c.pt(8.5, 11) << c.pt(10.5, 9) << c.pt(15.5, 14);
    c.p.setBrush(Ink::Green);
    c.p.drawPolygon(hills);
    c.p.restore();
}

void drawBold(const Canvas &c)
{
    c.letter(QStringLiteral("B"), QRectF(0, 0, 16, 16), QStringLiteral("DejaVu Sans"), 15.5, true, false,
             letterInk());
}

void drawItalic(const Canvas &c)
{
    c.letter(QStringLiteral("I"), QRectF(0, 0, 16, 16), QStringLiteral("DejaVu Serif"), 15.5, true, true,
             letterInk());
}

void drawUnderline(const Canvas &c)
{
    c.letter(QStringLiteral("U"), QRectF(0, -1.5, 16, 15), QStringLiteral("DejaVu Sans"), 14, true,
             false, letterInk());
    c.p.fillRect(c.box(3, 13.5, 10, 1.5), Ink::Blue);
}

void drawStrike(const Canvas &c)
{
    c.letter(QStringLiteral("S"), QRectF(0, 0, 16, 16), QStringLiteral("DejaVu Sans"), 15.5, true, false,
             letterInk());
    c.p.fillRect(c.box(1.5, 7.6, 13, 1.4), Ink::Coral);
}

using Painter = void (*)(const Canvas &);

QIcon iconFrom(Painter paint)
{
    if (!paint)
        return QIcon();
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        paint(Canvas(painter, size));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

QIcon toolbarIcon(int index)
{
    switch (index) {
    case 1: return iconFrom(drawNew);
    case 2: return iconFrom(drawOpen);
    case 3: return iconFrom(drawSave);
    case 5: return iconFrom(drawHelp);
    case 7: return iconFrom(drawHeaderCell);
    case 9: return iconFrom(drawTableSettings);
    case 10: return iconFrom(drawCellSettings);
    case 11: return iconFrom(drawTagView);
    case 12: return iconFrom(drawPreview);
    case 14: return iconFrom(drawBrowser);
    default: return QIcon();
    }
}

QIcon editorIcon(int position)
{
    switch (position) {
    case 1: return iconFrom(drawStore);
    case 2: return iconFrom(drawClose);
    case 4: return iconFrom(drawTagView);
    case 5: return iconFrom(drawPreview);
    case 7: return iconFrom(drawLineBreak);
    case 8: return iconFrom(drawFont);
    case 9: return iconFrom(drawLink);
    case 10: return iconFrom(drawPicture);
    case 12: return iconFrom(drawBold);
    case 13: return iconFrom(drawItalic);
    case 14: return iconFrom(drawUnderline);
    case 15: return iconFrom(drawStrike);
    case 17: return iconFrom(drawHelp);
    default: return QIcon();
    }
}
