#include "widgets/Artwork.h"

#include <QBitmap>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QtMath>

#include <functional>

namespace Artwork {
namespace {

// Button pictures are drawn on a 16-unit grid and scaled; strokes sit on half units so that
// they fall on whole pixels at 16 px.
constexpr qreal Grid = 16.0;

const QColor Ink(0x2b, 0x2f, 0x3a);
const QColor Paper(0xff, 0xff, 0xff);
const QColor PaperShade(0xdd, 0xe3, 0xea);
const QColor Blue(0x2f, 0x6f, 0xd0);
const QColor LightBlue(0x9c, 0xc4, 0xf2);
const QColor Green(0x2e, 0xa0, 0x43);
const QColor LightGreen(0x8a, 0xd8, 0x7f);
const QColor Red(0xd9, 0x35, 0x2b);
const QColor Yellow(0xf7, 0xc8, 0x3c);
const QColor DarkYellow(0xd8, 0x9a, 0x1c);
const QColor Orange(0xf0, 0x82, 0x1e);
const QColor Brown(0x9a, 0x5a, 0x2a);
const QColor Grey(0x8a, 0x90, 0x9a);

QPen inkPen(const QColor &color = Ink, qreal width = 1.0)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void shape(QPainter &p, const QPolygonF &polygon, const QColor &fill, const QColor &line = Ink)
{
    p.setPen(inkPen(line));
    p.setBrush(fill);
    p.drawPolygon(polygon);
}

void box(QPainter &p, const QRectF &r, const QColor &fill, const QColor &line = Ink)
{
    p.setPen(inkPen(line));
    p.setBrush(fill);
    p.drawRect(r);
}

void stroke(QPainter &p, const QPolygonF &line, const QColor &color, qreal width)
{
    p.setPen(inkPen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
}

// A sheet of paper with its top-right corner folded.
void page(QPainter &p, const QRectF &r)
{
    const qreal fold = 3.0;
    shape(p,
          {{r.left(), r.top()},
           {r.right() - fold, r.top()},
           {r.right(), r.top() + fold},
           {r.right(), r.bottom()},
           {r.left(), r.bottom()}},
          Paper);
    shape(p,
          {{r.right() - fold, r.top()},
           {r.right() - fold, r.top() + fold},
           {r.right(), r.top() + fold}},
          PaperShade);
}

// A small window: frame, blue title strip.
void window(QPainter &p, const QRectF &r)
{
    box(p, r, Paper);
    p.setPen(Qt::NoPen);
    p.setBrush(Blue);
    p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1.0, 2.0));
}

// An arc with an arrow head at its end. Angles in degrees, counter-clockwise from 3 o'clock
// as QPainterPath counts them.
void arcArrow(QPainter &p, const QRectF &r, qreal start, qreal sweep, const QColor &color)
{
    QPainterPath path;
    path.arcMoveTo(r, start);
    path.arcTo(r, start, sweep);
    p.setPen(inkPen(color, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);

    const qreal a = qDegreesToRadians(start + sweep);
    const QPointF end(r.center().x() + r.width() / 2 * qCos(a),
                      r.center().y() - r.height() / 2 * qSin(a));
    QPointF dir(-qSin(a), -qCos(a)); // direction of growing angle on screen
    if (sweep < 0)
        dir = -dir;
    const QPointF normal(-dir.y(), dir.x());
    const QPointF tip = end + dir * 2.5;
    const QPointF base = end - dir * 1.0;
    p.setPen(inkPen(color, 1.0));
    p.setBrush(color);
    p.drawPolygon(QPolygonF{tip, base + normal * 3.0, base - normal * 3.0});
}

// A block arrow pointing right, drawn mirrored for left.
void blockArrow(QPainter &p, bool right, const QColor &fill)
{
    QPolygonF arrow{{1.5, 6.0},  {8.0, 6.0},  {8.0, 2.5}, {14.5, 8.0},
                    {8.0, 13.5}, {8.0, 10.0}, {1.5, 10.0}};
    if (!right) {
        for (QPointF &pt : arrow)
            pt.setX(Grid - pt.x());
    }
    shape(p, arrow, fill, fill.darker(170));
}

void angleBrackets(QPainter &p, const QRectF &r, const QColor &color, qreal width)
{
    const qreal midY = r.center().y();
    const qreal arm = r.width() * 0.3;
    stroke(p, {{r.left() + arm, r.top()}, {r.left(), midY}, {r.left() + arm, r.bottom()}}, color,
           width);
    stroke(p, {{r.right() - arm, r.top()}, {r.right(), midY}, {r.right() - arm, r.bottom()}}, color,
           width);
}

void smiley(QPainter &p, const QPointF &c, qreal radius)
{
    p.setPen(inkPen(DarkYellow.darker(140)));
    p.setBrush(Yellow);
    p.drawEllipse(c, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    const qreal eye = radius * 0.16;
    p.drawEllipse(QPointF(c.x() - radius * 0.35, c.y() - radius * 0.25), eye, eye * 1.4);
    p.drawEllipse(QPointF(c.x() + radius * 0.35, c.y() - radius * 0.25), eye, eye * 1.4);
    QPainterPath mouth;
    const QRectF m(c.x() - radius * 0.55, c.y() - radius * 0.45, radius * 1.1, radius * 1.0);
    mouth.arcMoveTo(m, 200);
    mouth.arcTo(m, 200, 140);
    p.setPen(inkPen(Ink, qMax(1.0, radius * 0.18)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);
}

// A green arrow pointing down onto a text line: "put it in at the caret".
void insertMark(QPainter &p)
{
    stroke(p, {{12.5, 6.5}, {12.5, 11.0}}, Green, 2.0);
    shape(p, {{9.5, 10.0}, {15.5, 10.0}, {12.5, 13.5}}, Green, Green.darker(140));
    stroke(p, {{2.0, 14.5}, {14.5, 14.5}}, Ink, 1.0);
}

void floppy(QPainter &p)
{
    shape(p, {{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}, Blue);
    box(p, QRectF(4.5, 1.5, 7.0, 4.0), PaperShade);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(9.0, 2.5, 1.5, 2.5));
    box(p, QRectF(3.5, 8.5, 9.0, 6.0), Paper);
    stroke(p, {{5.0, 10.5}, {11.0, 10.5}}, Grey, 1.0);
    stroke(p, {{5.0, 12.5}, {11.0, 12.5}}, Grey, 1.0);
}

void pencil(QPainter &p)
{
    // Lies from the bottom-left point up to the top-right end.
    p.save();
    p.translate(5.0, 15.0);
    p.rotate(-45);
    shape(p, {{0.0, 0.0}, {3.0, -1.6}, {3.0, 1.6}}, QColor(0xf4, 0xd6, 0xa8));
    shape(p, {{3.0, -1.6}, {11.0, -1.6}, {11.0, 1.6}, {3.0, 1.6}}, Orange);
    shape(p, {{11.0, -1.6}, {13.0, -1.6}, {13.0, 1.6}, {11.0, 1.6}}, QColor(0xf2, 0x9f, 0xb0));
    p.restore();
}

using Painter = std::function<void(QPainter &)>;

const QHash<QString, Painter> &painters()
{
    static const QHash<QString, Painter> table{
        {"t_exit",
         [](QPainter &p) {
             // Door frame, the door swung open, an arrow walking out.
             box(p, QRectF(2.5, 1.5, 8.0, 13.0), Ink.lighter(300));
             shape(p, {{2.5, 1.5}, {7.5, 3.0}, {7.5, 15.5}, {2.5, 14.5}}, Brown);
             p.setPen(Qt::NoPen);
             p.setBrush(Yellow);
             p.drawEllipse(QPointF(6.2, 9.0), 0.8, 0.8);
             stroke(p, {{9.0, 8.0}, {13.0, 8.0}}, Red, 2.0);
             shape(p, {{12.0, 4.5}, {15.5, 8.0}, {12.0, 11.5}}, Red, Red.darker(140));
         }},
        {"t_new",
         [](QPainter &p) {
             page(p, QRectF(3.5, 1.5, 10.0, 13.0));
             // A sparkle: brand new.
             const QPointF c(4.5, 11.0);
             QPolygonF star;
             for (int i = 0; i < 8; ++i) {
                 const qreal r = (i % 2) ? 1.3 : 4.0;
                 const qreal a = qDegreesToRadians(90.0 + i * 45.0);
                 star << QPointF(c.x() + r * qCos(a), c.y() - r * qSin(a));
             }
             shape(p, star, Yellow, DarkYellow.darker(130));
         }},
        {"t_temp",
         [](QPainter &p) {
             // A page laid out in blocks.
             page(p, QRectF(2.5, 1.5, 11.0, 13.0));
             p.setPen(Qt::NoPen);
             p.setBrush(Blue);
             p.drawRect(QRectF(4.0, 3.5, 6.0, 2.0));
             p.setBrush(LightGreen);
             p.drawRect(QRectF(4.0, 7.0, 3.0, 3.0));
             p.setBrush(Orange);
             p.drawRect(QRectF(4.0, 11.0, 3.0, 2.0));
             stroke(p, {{8.5, 7.5}, {11.5, 7.5}}, Grey, 1.0);
             stroke(p, {{8.5, 9.5}, {11.5, 9.5}}, Grey, 1.0);
             stroke(p, {{8.5, 12.0}, {11.5, 12.0}}, Grey, 1.0);
         }},
        {"t_open",
         [](QPainter &p) {
             // Folder back with its tab, then the front flap falling open.
             shape(p, {{1.5, 3.5}, {6.0, 3.5}, {7.5, 5.0}, {12.5, 5.0}, {12.5, 13.5}, {1.5, 13.5}},
                   DarkYellow);
             shape(p, {{1.5, 13.5}, {4.0, 7.5}, {15.5, 7.5}, {12.5, 13.5}}, Yellow);
         }},
        {"t_save", [](QPainter &p) { floppy(p); }},
        {"t_name",
         [](QPainter &p) {
             p.save();
             p.scale(0.8, 0.8);
             floppy(p);
             p.restore();
             pencil(p);
         }},
        {"t_load",
         [](QPainter &p) {
             // Undo: an arrow turning back to the left.
             arcArrow(p, QRectF(3.5, 3.5, 10.0, 9.0), -40.0, 215.0, Blue);
         }},
        {"t_tag",
         [](QPainter &p) {
             // The tag library: a book with "<>" on its cover.
             const QColor cover(0xb0, 0x3a, 0x48);
             box(p, QRectF(3.5, 1.5, 10.0, 13.0), cover, cover.darker(160));
             p.setPen(Qt::NoPen);
             p.setBrush(cover.darker(140));
             p.drawRect(QRectF(4.0, 2.0, 1.5, 12.0));
             stroke(p, {{3.5, 14.5}, {13.5, 14.5}}, PaperShade, 1.0);
             angleBrackets(p, QRectF(6.0, 4.5, 6.5, 7.0), Paper, 1.5);
         }},
        {"t_ime", [](QPainter &p) { smiley(p, QPointF(8.0, 8.0), 6.5); }},
        {"t_pall",
         [](QPainter &p) {
             QPainterPath palette;
             palette.addEllipse(QRectF(1.5, 2.5, 13.0, 11.0));
             QPainterPath thumb;
             thumb.addEllipse(QRectF(8.0, 8.5, 3.5, 3.0));
             p.setPen(inkPen(Brown.darker(130)));
             p.setBrush(QColor(0xe8, 0xc8, 0x96));
             p.drawPath(palette.subtracted(thumb));
             p.setPen(Qt::NoPen);
             const QColor dots[] = {Red, Yellow, Green, Blue};
             const QPointF at[] = {{4.5, 7.0}, {7.0, 4.8}, {10.3, 5.0}, {5.0, 10.3}};
             for (int i = 0; i < 4; ++i) {
                 p.setBrush(dots[i]);
                 p.drawEllipse(at[i], 1.5, 1.5);
             }
         }},
        {"t_winV",
         [](QPainter &p) {
             window(p, QRectF(1.5, 1.5, 13.0, 6.0));
             window(p, QRectF(1.5, 8.5, 13.0, 6.0));
         }},
        {"t_winH",
         [](QPainter &p) {
             window(p, QRectF(1.5, 1.5, 6.0, 13.0));
             window(p, QRectF(8.5, 1.5, 6.0, 13.0));
         }},
        {"t_winC",
         [](QPainter &p) {
             window(p, QRectF(1.5, 1.5, 9.0, 8.0));
             window(p, QRectF(3.5, 4.0, 9.0, 8.0));
             window(p, QRectF(5.5, 6.5, 9.0, 8.0));
         }},
        {"back", [](QPainter &p) { blockArrow(p, false, Green); }},
        {"forward", [](QPainter &p) { blockArrow(p, true, Green); }},
        {"stop",
         [](QPainter &p) {
             QPolygonF octagon;
             for (int i = 0; i < 8; ++i) {
                 const qreal a = qDegreesToRadians(22.5 + i * 45.0);
                 octagon << QPointF(8.0 + 7.0 * qCos(a), 8.0 - 7.0 * qSin(a));
             }
             shape(p, octagon, Red, Red.darker(160));
             stroke(p, {{5.5, 5.5}, {10.5, 10.5}}, Paper, 2.0);
             stroke(p, {{10.5, 5.5}, {5.5, 10.5}}, Paper, 2.0);
         }},
        {"reload",
         [](QPainter &p) { arcArrow(p, QRectF(3.0, 3.0, 10.0, 10.0), 120.0, -290.0, Green); }},
        {"t_pre",
         [](QPainter &p) {
             // Looking at the page through a magnifier.
             page(p, QRectF(1.5, 1.5, 9.0, 11.0));
             stroke(p, {{9.5, 9.5}, {14.5, 14.5}}, Brown, 2.5);
             p.setPen(inkPen(Ink, 1.3));
             p.setBrush(QColor(0xc8, 0xe6, 0xff, 220));
             p.drawEllipse(QPointF(8.0, 8.0), 3.8, 3.8);
         }},
        {"t_col",
         [](QPainter &p) {
             // "</>" in three colours: tags coloured by their names.
             stroke(p, {{5.0, 3.5}, {1.5, 8.0}, {5.0, 12.5}}, Red, 2.0);
             stroke(p, {{9.5, 2.5}, {6.5, 13.5}}, Green, 2.0);
             stroke(p, {{11.0, 3.5}, {14.5, 8.0}, {11.0, 12.5}}, Blue, 2.0);
         }},
        {"close",
         [](QPainter &p) {
             window(p, QRectF(1.5, 1.5, 13.0, 13.0));
             stroke(p, {{5.0, 6.5}, {11.0, 12.5}}, Red, 2.0);
             stroke(p, {{11.0, 6.5}, {5.0, 12.5}}, Red, 2.0);
         }},
        {"insertTag",
         [](QPainter &p) {
             angleBrackets(p, QRectF(1.0, 1.5, 9.5, 7.0), Blue, 1.6);
             insertMark(p);
         }},
        {"insertPictograph",
         [](QPainter &p) {
             smiley(p, QPointF(5.5, 5.5), 4.5);
             insertMark(p);
         }},
    };
    return table;
}

void paintGeneric(QPainter &p)
{
    p.setPen(inkPen(Grey.darker(130)));
    p.setBrush(PaperShade);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11.0, 11.0), 2.0, 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Grey);
    p.drawEllipse(QPointF(8.0, 8.0), 2.0, 2.0);
}

QImage blank(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QStringList buttonKeys()
{
    return {"t_exit",          "t_new", "t_temp", "t_open", "t_save", "t_name", "t_load",
            "t_tag",           "t_ime", "t_pall", "t_winV", "t_winH", "t_winC", "back",
            "forward",         "stop",  "reload", "t_pre",  "t_col",  "close",  "insertTag",
            "insertPictograph"};
}

QImage buttonImage(const QString &key, int size)
{
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / Grid, size / Grid);
    const auto it = painters().constFind(key);
    if (it != painters().constEnd())
        (*it)(p);
    else
        paintGeneric(p);
    return image;
}

QIcon buttonIcon(const QString &key)
{
    QIcon icon;
    for (int size : {16, 24})
        icon.addPixmap(QPixmap::fromImage(buttonImage(key, size)));
    return icon;
}

QImage appImage(int size)
{
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64-unit grid; the smallest sizes leave out the keypad.
    p.scale(size / 64.0, size / 64.0);
    const qreal line = size < 32 ? 64.0 / size : 2.0;

    const QColor body(0x2c, 0x4a, 0x7e);
    p.setPen(QPen(body.darker(150), line));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(12, 2, 40, 60), 8, 8);

    const QRectF screen(16, 10, 32, 30);
    p.setPen(QPen(body.darker(170), line * 0.75));
    p.setBrush(QColor(0xf6, 0xfb, 0xff));
    p.drawRect(screen);

    QPen mark(Orange, size < 32 ? 5.0 : 4.0);
    mark.setJoinStyle(Qt::MiterJoin);
    mark.setCapStyle(Qt::SquareCap);
    p.setPen(mark);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{27, 17}, {20, 25}, {27, 33}});
    p.drawPolyline(QPolygonF{{37, 17}, {44, 25}, {37, 33}});

    if (size >= 32) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x9a, 0xb4, 0xdc));
        p.drawRoundedRect(QRectF(26, 5, 12, 2), 1, 1);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col)
                p.drawRoundedRect(QRectF(19 + col * 10, 44 + row * 5.5, 6, 3.5), 1.5, 1.5);
        }
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x9a, 0xb4, 0xdc));
        p.drawRect(QRectF(20, 46, 24, 10));
    }
    return image;
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(appImage(size)));
    return icon;
}

QCursor customPointer()
{
    // An arrow with a pen nib at its heel, white with a black edge. The mask covers edge and
    // fill; in the bitmap the edge is set and the fill clear.
    const QPolygon arrow{{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
    const QPolygon nib{{14, 13}, {20, 13}, {20, 18}, {17, 23}, {14, 18}};

    QBitmap mask(32, 32);
    mask.fill(Qt::color0);
    {
        QPainter p(&mask);
        p.setPen(Qt::color1);
        p.setBrush(Qt::color1);
        p.drawPolygon(arrow);
        p.drawPolygon(nib);
    }
    QBitmap bitmap(32, 32);
    bitmap.fill(Qt::color0);
    {
        QPainter p(&bitmap);
        p.setPen(Qt::color1);
        p.setBrush(Qt::color0);
        p.drawPolygon(arrow);
        p.drawPolygon(nib);
        // The nib's slit and its breather hole.
        p.drawLine(17, 18, 17, 22);
        p.drawPoint(17, 17);
        p.drawLine(14, 15, 20, 15);
    }
    return QCursor(bitmap, mask, 0, 0);
}

QCursor pointingHand()
{
    return QCursor(Qt::PointingHandCursor);
}

} // namespace Artwork
