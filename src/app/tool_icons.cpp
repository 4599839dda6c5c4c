// The tool-bar and window icons, drawn in code so that they stay sharp at any scale.
#include "app/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace quillane {
namespace {

using Artwork = std::function<void(QPainter&)>;  // draws on a 24 x 24 canvas

const QColor kInk(40, 48, 64);
const QColor kPaper(252, 252, 248);
const QColor kBlue(38, 110, 200);

QIcon Render(const Artwork& art) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 24.0, size / 24.0);
        art(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Page(QPainter& p, QRectF r, const QColor& fill = kPaper) {
    const qreal fold = 5;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void TextLines(QPainter& p, QRectF r, int count, const QColor& colour, qreal width = 1.4) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + i * 3.0;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right() - (i % 2) * 2.5, y));
    }
}

void DrawNew(QPainter& p) {
    Page(p, {4.5, 2.5, 14, 19});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 190, 30));
    QPainterPath star;
    const QPointF c(17.5, 6.5);
    for (int i = 0; i < 8; ++i) {
        const qreal radius = i % 2 == 0 ? 5.5 : 2.0;
        const qreal a = i * 3.14159265 / 4;
        const QPointF pt(c.x() + radius * std::sin(a), c.y() - radius * std::cos(a));
        i == 0 ? star.moveTo(pt) : star.lineTo(pt);
    }
    star.closeSubpath();
    p.drawPath(star);
}

void DrawSquare(QPainter& p) {
    // A small input form with a groove profile sketched on it.
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(2.5, 3.5, 19, 17), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(3.1, 4.1, 17.8, 3.4));
    p.setPen(QPen(QColor(200, 60, 40), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath groove;
    groove.moveTo(4.5, 11);
    groove.lineTo(8.5, 11);
    groove.lineTo(10, 17);
    groove.lineTo(14, 17);
    groove.lineTo(15.5, 11);
    groove.lineTo(19.5, 11);
    p.drawPath(groove);
}

void DrawSave(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kBlue);
    QPainterPath body;
    body.moveTo(3, 3);
    body.lineTo(18, 3);
    body.lineTo(21, 6);
    body.lineTo(21, 21);
    body.lineTo(3, 21);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(210, 215, 225));
    p.drawRect(QRectF(7, 3, 9, 6));
    p.setBrush(kInk);
    p.drawRect(QRectF(12.5, 4.2, 2, 3.6));
    p.setBrush(kPaper);
    p.drawRect(QRectF(5.5, 12, 13, 9));
    TextLines(p, {7.5, 14.5, 9, 0}, 2, QColor(150, 160, 175), 1.1);
}

void DrawUndo(QPainter& p) {
    p.setPen(QPen(kBlue, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(7, 9);
    arc.cubicTo(13, 9, 20, 9, 20, 14.5);
    arc.cubicTo(20, 19, 15, 20, 11, 20);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(2.5, 9), QPointF(9, 3.5), QPointF(9, 14.5)}));
}

void DrawCut(QPainter& p) {
    p.setPen(QPen(QColor(120, 130, 145), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5, 14), QPointF(17, 2.5));
    p.drawLine(QPointF(15.5, 14), QPointF(7, 2.5));
    p.setPen(QPen(QColor(200, 50, 40), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(7, 17.5), 3.3, 3.3);
    p.drawEllipse(QPointF(17, 17.5), 3.3, 3.3);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(12, 9.3), 1.1, 1.1);
}

void DrawCopy(QPainter& p) {
    Page(p, {3, 2.5, 12, 15});
    Page(p, {9, 6.5, 12, 15});
    TextLines(p, {11.5, 12.5, 6.5, 0}, 3, QColor(150, 160, 175), 1.1);
}

void DrawCopyAll(QPainter& p) {
    Page(p, {3, 2.5, 12, 15});
    Page(p, {9, 6.5, 12, 15});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 110, 200, 90));
    p.drawRect(QRectF(10.2, 11, 9.6, 9.5));
    TextLines(p, {11.5, 12.5, 6.5, 0}, 3, kBlue, 1.3);
}

void DrawPaste(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(176, 124, 70));
    p.drawRoundedRect(QRectF(3, 4, 15, 18), 1.5, 1.5);
    p.setBrush(QColor(200, 205, 215));
    p.drawRoundedRect(QRectF(7, 2.5, 7, 3.5), 1, 1);
    Page(p, {10, 9, 11.5, 13});
    TextLines(p, {12, 14, 6, 0}, 3, QColor(150, 160, 175), 1.1);
}

void DrawExit(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(150, 100, 60));
    p.drawRect(QRectF(3.5, 2.5, 11, 19));
    p.setBrush(QColor(230, 190, 60));
    p.drawEllipse(QPointF(12.3, 12), 0.9, 0.9);
    p.setPen(QPen(QColor(200, 45, 35), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 12), QPointF(18, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 45, 35));
    p.drawPolygon(QPolygonF({QPointF(22.5, 12), QPointF(17, 7), QPointF(17, 17)}));
}

void DrawWindowIcon(QPainter& p) {
    // A turned part with a helical groove and the tool that cuts it.
    QLinearGradient steel(0, 6, 0, 18);
    steel.setColorAt(0, QColor(215, 220, 228));
    steel.setColorAt(0.5, QColor(150, 158, 170));
    steel.setColorAt(1, QColor(95, 102, 115));
    p.setPen(QPen(kInk, 1));
    p.setBrush(steel);
    p.drawRoundedRect(QRectF(1.5, 6, 21, 12), 2, 2);
    p.setPen(QPen(QColor(45, 50, 60), 1.6));
    for (qreal x = 3; x < 21; x += 4) {
        p.drawLine(QPointF(x, 17.5), QPointF(x + 3, 6.5));
    }
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(245, 190, 30));
    p.drawPolygon(QPolygonF({QPointF(12, 18.5), QPointF(9, 23.5), QPointF(15, 23.5)}));
}

void DrawMeasure(QPainter& p) {
    // A rule laid across two marked points.
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(250, 214, 92));
    p.save();
    p.translate(12, 12);
    p.rotate(-35);
    p.drawRect(QRectF(-11, -3.5, 22, 7));
    for (qreal x = -8; x <= 8; x += 4) p.drawLine(QPointF(x, -3.5), QPointF(x, x == 0 ? 1 : -0.5));
    p.restore();
    p.setPen(QPen(kBlue, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4, 20), 2.2, 2.2);
    p.drawEllipse(QPointF(20, 4), 2.2, 2.2);
}

}  // namespace

QIcon ToolIcon(const QString& key) {
    struct Entry {
        const char* name;
        void (*draw)(QPainter&);
    };
    constexpr Entry artworks[] = {{"New", DrawNew},         {"Square", DrawSquare}, {"Save", DrawSave},
                                  {"Undo", DrawUndo},       {"Cut", DrawCut},       {"Copy", DrawCopy},
                                  {"CopyAll", DrawCopyAll}, {"Paste", DrawPaste},   {"Exit", DrawExit},
                                  {"Measure", DrawMeasure}};
    for (const auto& [name, draw] : artworks) {
        if (key == QLatin1String(name)) {
            return Render(draw);
        }
    }
    return {};
}

QIcon QuillaneWindowIcon() { return Render(DrawWindowIcon); }

}  // namespace quillane
