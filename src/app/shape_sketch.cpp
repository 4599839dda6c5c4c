// The drawing of the groove profile at the top of the shape dialog: outline, finish stock,
// blank and the dimension lines that say what each box means, for the chosen cutting position.
#include "app/shape_sketch.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <initializer_list>

namespace quillane {
namespace {

const QColor Black(0, 0, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

// Two short strokes at `tip`, opening back along the line from `from`.
void Arrowhead(QPainter& p, QPointF from, QPointF tip) {
    constexpr double length = 90;    // twips
    constexpr double spread = 0.45;  // radians either side
    const double angle = std::atan2(from.y() - tip.y(), from.x() - tip.x());
    for (double side : {-spread, spread}) {
        p.drawLine(tip, tip + QPointF(length * std::cos(angle + side), length * std::sin(angle + side)));
    }
}

void Polyline(QPainter& p, std::initializer_list<QPointF> points) { p.drawPolyline(QPolygonF(QList<QPointF>(points))); }

void Label(QPainter& p, double left, double top, const QString& text, const QColor& colour, double width = 600,
           double height = 240) {
    p.setPen(colour);
    p.drawText(QRectF(left, top, width, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

QPen SolidPen(const QColor& c) {
    QPen pen(c);
    pen.setWidthF(15);  // one pixel at the usual resolution
    pen.setCosmetic(false);
    return pen;
}

QPen StyledPen(const QColor& c, const QList<qreal>& pattern) {
    QPen pen = SolidPen(c);
    pen.setDashPattern(pattern);
    return pen;
}

// Internal: the groove is cut outward into the wall of a bore. The axis lies below the
// drawing, so D1, the floor, is the larger diameter at the top and the tops (D2, D3) below it.
void PaintInternal(QPainter& p) {
    // Profile outline: R4-side top, flank A2, floor D1, flank A1, R1-side top.
    p.setPen(SolidPen(Black));
    Polyline(p, {{840, 1320}, {2160, 1320}, {2760, 840}, {3720, 840}, {4440, 1320}, {5880, 1320}});

    // Finish-stock offset, red and dotted.
    p.setPen(StyledPen(Red, {1, 3}));
    Polyline(p, {{2280, 1440}, {2760, 1080}, {3720, 1080}, {4200, 1440}});
    Label(p, 2040, 1620, QStringLiteral("Finish Stock (Diameter)"), Red, 1035, 435);

    // Blank line, blue dash-dot-dot.
    p.setPen(StyledPen(Blue, {8, 3, 1, 3, 1, 3}));
    p.drawLine(QPointF(1800, 1440), QPointF(5880, 1440));

    p.setPen(SolidPen(Black));
    // PITCH with its extension lines.
    p.drawLine(QPointF(1320, 300), QPointF(5280, 300));
    Arrowhead(p, {5280, 300}, {1320, 300});
    Arrowhead(p, {1320, 300}, {5280, 300});
    p.drawLine(QPointF(1320, 1320), QPointF(1320, 240));
    p.drawLine(QPointF(5295, 1335), QPointF(5295, 240));
    Label(p, 3060, 60, QStringLiteral("PITCH"), Black);

    // WIDTH.
    p.setPen(SolidPen(Black));
    p.drawLine(QPointF(2880, 600), QPointF(3600, 600));
    Arrowhead(p, {3600, 600}, {2880, 600});
    Arrowhead(p, {2880, 600}, {3600, 600});
    p.drawLine(QPointF(2880, 1080), QPointF(2880, 480));
    p.drawLine(QPointF(3600, 1080), QPointF(3600, 480));
    Label(p, 2980, 360, QStringLiteral("WIDTH"), Black);

    // Diameters D1, D2, D3, from below up to their lines.
    struct Diameter {
        double x, top, labelLeft;
        const char* text;
    };
    for (const Diameter& d :
         {Diameter{3360, 840, 3120, "D1"}, Diameter{4920, 1320, 4680, "D2"}, Diameter{1560, 1320, 1320, "D3"}}) {
        p.setPen(SolidPen(Black));
        p.drawLine(QPointF(d.x, 1920), QPointF(d.x, d.top));
        Arrowhead(p, {d.x, 1920}, {d.x, d.top});
        Label(p, d.labelLeft, 1620, QString::fromLatin1(d.text), Black);
    }

    // Finish stock on the floor: red, arrowheads pointing at the two lines.
    p.setPen(SolidPen(Red));
    p.drawLine(QPointF(3100, 600), QPointF(3100, 1920));
    Arrowhead(p, {3100, 600}, {3100, 840});
    Arrowhead(p, {3100, 1920}, {3100, 1080});

    // Blank diameter, blue.
    p.setPen(SolidPen(Blue));
    p.drawLine(QPointF(5640, 2040), QPointF(5640, 1440));
    Arrowhead(p, {5640, 2040}, {5640, 1440});
    Label(p, 5200, 1740, QStringLiteral("Blank Dia"), Blue, 900);

    // Corner radii: leaders with an arrowhead at the corner.
    struct Leader {
        QPointF from, corner;
        double labelLeft, labelTop;
        const char* text;
    };
    for (const Leader& l :
         {Leader{{4560, 1080}, {4440, 1320}, 4500, 900, "R1"}, Leader{{3600, 1080}, {3720, 840}, 3480, 1080, "R2"},
          Leader{{2880, 1080}, {2760, 840}, 2760, 1080, "R3"}, Leader{{2040, 1080}, {2160, 1320}, 1920, 900, "R4"}}) {
        p.setPen(SolidPen(Black));
        p.drawLine(l.from, l.corner);
        Arrowhead(p, l.from, l.corner);
        Label(p, l.labelLeft, l.labelTop, QString::fromLatin1(l.text), Black);
    }

    // Flank angles: reference lines continuing the tops under the flanks.
    p.setPen(SolidPen(Black));
    p.drawLine(QPointF(3960, 1320), QPointF(4500, 1320));
    Label(p, 3840, 1140, QStringLiteral("A1"), Black);
    p.setPen(SolidPen(Black));
    p.drawLine(QPointF(2100, 1320), QPointF(2580, 1320));
    Label(p, 2460, 1140, QStringLiteral("A2"), Black);
}

// External: the groove is cut inward from the outside of a blank, and the pass geometry puts
// the profile there as the Internal one mirrored about y = 1080: D1 is the outer diameter of
// both tops, D2 the floor below them. The R4 half is computed from D3 shifted by D3 - D2, so
// only D3 = D2 gives one floor and one outer diameter; the sketch says so. The blank and the
// retract lie outside the tops.
void PaintExternal(QPainter& p) {
    // Profile outline: R4-side top, flank A2, floor D2, flank A1, R1-side top.
    p.setPen(SolidPen(Black));
    Polyline(p, {{840, 840}, {2160, 840}, {2760, 1320}, {3720, 1320}, {4440, 840}, {5880, 840}});

    // Finish-stock offset, red and dotted, outside the floor.
    p.setPen(StyledPen(Red, {1, 3}));
    Polyline(p, {{2280, 720}, {2760, 1080}, {3720, 1080}, {4200, 720}});
    Label(p, 2040, 1620, QStringLiteral("Finish Stock (Diameter)"), Red, 1035, 435);

    // Blank line, blue dash-dot-dot, outside the tops.
    p.setPen(StyledPen(Blue, {8, 3, 1, 3, 1, 3}));
    p.drawLine(QPointF(1800, 720), QPointF(5880, 720));

    // Retract level, black dashed, outside the blank.
    p.setPen(StyledPen(Black, {6, 4}));
    p.drawLine(QPointF(4560, 540), QPointF(6240, 540));

    p.setPen(SolidPen(Black));
    // PITCH, its extension lines from the tops.
    p.drawLine(QPointF(1320, 300), QPointF(5280, 300));
    Arrowhead(p, {5280, 300}, {1320, 300});
    Arrowhead(p, {1320, 300}, {5280, 300});
    p.drawLine(QPointF(1320, 840), QPointF(1320, 240));
    p.drawLine(QPointF(5295, 855), QPointF(5295, 240));
    Label(p, 3060, 60, QStringLiteral("PITCH"), Black);

    // WIDTH, its extension lines up from the floor.
    p.setPen(SolidPen(Black));
    p.drawLine(QPointF(2880, 600), QPointF(3600, 600));
    Arrowhead(p, {3600, 600}, {2880, 600});
    Arrowhead(p, {2880, 600}, {3600, 600});
    p.drawLine(QPointF(2880, 1320), QPointF(2880, 480));
    p.drawLine(QPointF(3600, 1320), QPointF(3600, 480));
    Label(p, 2980, 360, QStringLiteral("WIDTH"), Black);

    // Diameters from below: D1 up to a top, D2 up to the floor; D3 is D2.
    struct Diameter {
        double x, top, labelLeft;
        const char* text;
    };
    for (const Diameter& d : {Diameter{4920, 840, 4680, "D1"}, Diameter{3360, 1320, 3120, "D2"}}) {
        p.setPen(SolidPen(Black));
        p.drawLine(QPointF(d.x, 1920), QPointF(d.x, d.top));
        Arrowhead(p, {d.x, 1920}, {d.x, d.top});
        Label(p, d.labelLeft, 1620, QString::fromLatin1(d.text), Black);
    }
    Label(p, 3420, 1800, QStringLiteral("D3 = D2"), Black, 900);

    // Finish stock on the floor: red, arrowheads pointing at the two lines.
    p.setPen(SolidPen(Red));
    p.drawLine(QPointF(3100, 840), QPointF(3100, 1560));
    Arrowhead(p, {3100, 840}, {3100, 1080});
    Arrowhead(p, {3100, 1560}, {3100, 1320});

    // Blank diameter, blue, and the retract diameter beside it.
    p.setPen(SolidPen(Blue));
    p.drawLine(QPointF(5640, 2040), QPointF(5640, 720));
    Arrowhead(p, {5640, 2040}, {5640, 720});
    Label(p, 5200, 1740, QStringLiteral("Blank Dia"), Blue, 900);
    p.setPen(SolidPen(Black));
    p.drawLine(QPointF(6120, 1920), QPointF(6120, 540));
    Arrowhead(p, {6120, 1920}, {6120, 540});
    Label(p, 5420, 330, QStringLiteral("Retract X"), Black, 900);

    // Corner radii: the convex corners R1 and R4 at the tops; the concave R2 and R3 at the floor
    // from below, clear of the WIDTH extension lines.
    struct Leader {
        QPointF from, corner;
        double labelLeft, labelTop;
        const char* text;
    };
    for (const Leader& l :
         {Leader{{4560, 1080}, {4440, 840}, 4500, 1100, "R1"}, Leader{{3840, 1440}, {3720, 1320}, 3860, 1400, "R2"},
          Leader{{2640, 1440}, {2760, 1320}, 2420, 1400, "R3"}, Leader{{2040, 1080}, {2160, 840}, 1920, 1100, "R4"}}) {
        p.setPen(SolidPen(Black));
        p.drawLine(l.from, l.corner);
        Arrowhead(p, l.from, l.corner);
        Label(p, l.labelLeft, l.labelTop, QString::fromLatin1(l.text), Black);
    }

    // Flank angles: reference lines continuing the tops over the flanks.
    p.setPen(SolidPen(Black));
    p.drawLine(QPointF(3960, 840), QPointF(4500, 840));
    Label(p, 3840, 850, QStringLiteral("A1"), Black);
    p.setPen(SolidPen(Black));
    p.drawLine(QPointF(2100, 840), QPointF(2580, 840));
    Label(p, 2460, 850, QStringLiteral("A2"), Black);
}

}  // namespace

void PaintShapeSketch(QPainter& p, SketchSide side) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont font = p.font();
    font.setPixelSize(165);  // about 8 points in twips
    p.setFont(font);
    if (side == SketchSide::External) {
        PaintExternal(p);
    } else {
        PaintInternal(p);
    }
    p.restore();
}

}  // namespace quillane
