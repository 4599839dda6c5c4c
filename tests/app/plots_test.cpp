// The plots in the window: read-out under the mouse, crosshair, repaint without re-scanning.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "core/ncplot/plot_thinning.h"
#include "qt/drawing_painter.h"
#include "window_test_support.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>

using namespace quillane;
using namespace quillane::testing;

class PlotsTest : public WindowFixture {
    Q_OBJECT

private slots:

    void readoutIsHiddenUntilAPlotCompletes() {
        QVERIFY(!readout_->isVisible());
        window_->loadFanucExample();  // no program output yet: nothing is drawn
        QVERIFY(!readout_->isVisible());
        QCOMPARE(plot2_->cursor().shape(), Qt::ArrowCursor);
        GiveShape(*window_);
        window_->loadFanucExample();
        QVERIFY(!readout_->isVisible());  // same text: no change, no plot
        window_->loadTrvStandardExample();
        QVERIFY(readout_->isVisible());
        QCOMPARE(plot2_->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(readout_->parentWidget()->objectName(), QStringLiteral("tbToolBar"));
    }

    void readoutShowsDiameterAndZUnderTheMouse() {
        // A picture whose scale puts diameter 31 (y = -15.5) and Z 0 on a whole pixel.
        const QRect picture = plot2_->contentsRect();
        const int px = picture.width() / 2;
        const int py = picture.height() / 2;
        Drawing drawing;
        drawing.Scale = UserScale{static_cast<float>(-px), static_cast<float>(-15.5 - py),
                                  static_cast<float>(picture.width()), static_cast<float>(picture.height())};
        drawing.ReadoutVisible = true;
        plot2_->showDrawing(drawing);
        QTest::mouseMove(plot2_, picture.topLeft() + QPoint(px, py));
        QTRY_COMPARE(readout_->text(), QStringLiteral("  X31.000  Z0.000"));
        // Above the axis the diameter reads negative: y = 0.5 is X-1.
        QTest::mouseMove(plot2_, picture.topLeft() + QPoint(px, py + 16));
        QTRY_COMPARE(readout_->text(), QStringLiteral("  X-1.000  Z0.000"));
    }

    void readoutKeepsItsLastValuesWhenTheMouseLeaves() {
        GiveShape(*window_);
        window_->loadTrvStandardExample();
        QTest::mouseMove(plot2_, QPoint(10, 10));
        QTRY_VERIFY(!readout_->text().isEmpty());
        const QString last = readout_->text();
        QTest::mouseMove(Find<QWidget>(window_.get(), "txtDataA"), QPoint(5, 5));
        QCOMPARE(readout_->text(), last);
    }

    void beforeAnyPlotTheReadoutIsInTwips() {
        const double twipsPerPixel = 1440.0 / plot1_->logicalDpiX();
        const QPointF at = plot1_->drawingPositionAt(plot1_->contentsRect().topLeft() + QPointF(10, 20));
        QCOMPARE(at.x(), 10 * twipsPerPixel);
        QCOMPARE(at.y(), 20 * twipsPerPixel);
    }

    void aPlotThatStopsBeforeItsScaleKeepsThePreviousOne() {
        Drawing scaled;
        scaled.Scale = UserScale{-10, -20, 100, 50};
        plot1_->showDrawing(scaled);
        const QPointF corner = plot1_->contentsRect().topLeft();
        QCOMPARE(plot1_->drawingPositionAt(corner), QPointF(-10, -20));
        plot1_->showDrawing(Drawing{});  // stopped before it could set one
        QCOMPARE(plot1_->drawingPositionAt(corner), QPointF(-10, -20));
    }

    void resizingRepaintsWithoutReplotting() {
        GiveShape(*window_);
        window_->loadTrvStandardExample();
        const int count = plot2_->replotCount();
        const QImage before = plot2_->grab().toImage();
        const int widthBefore = plot2_->width();
        window_->resize(window_->width() + 200, window_->height() + 100);
        QTRY_VERIFY(plot2_->width() > widthBefore);
        const QImage after = plot2_->grab().toImage();
        QCOMPARE(plot2_->replotCount(), count);
        QVERIFY(after.width() > before.width());
    }

    void theToolPathIsPaintedInItsColours() {
        GiveShape(*window_);
        window_->loadFanucExample();
        window_->loadTrvStandardExample();
        const QImage image = plot2_->grab().toImage();
        bool yellow = false;
        bool purple = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                yellow = yellow || c == QColor(255, 255, 0);
                purple = purple || c == QColor(128, 0, 128);
            }
        }
        QVERIFY(yellow);
        QVERIFY(purple);
    }

    void thinningDropsOnlyWhatIsPaintedOverAgain() {
        Drawing drawing;
        drawing.Scale = UserScale{0, 0, 100, 50};
        drawing.Background = Color::Rgb(8, 0, 0);
        const auto line = [](float y, Color colour) {
            Primitive p;
            p.Kind = PrimitiveKind::Line;
            p.At = {5, y};
            p.To = {95, y};
            p.Colour = colour;
            return p;
        };
        const auto ring = [](float x) {
            Primitive p;
            p.Kind = PrimitiveKind::Circle;
            p.At = {x, 25};
            p.Radius = 2;
            p.Colour = Color::Rgb(0, 255, 255);
            return p;
        };
        const Color yellow = Color::Rgb(255, 255, 0);
        const Color purple = Color::Rgb(128, 0, 128);
        // A thousand passes a thousandth of a pixel apart, a purple line over them, and one
        // more yellow pass over that: the yellow must end on top.
        for (int i = 0; i < 1000; ++i) {
            drawing.Items.push_back(line(10.0F + static_cast<float>(i) * 1e-5F, yellow));
            drawing.Items.push_back(ring(50.0F + static_cast<float>(i) * 1e-5F));
        }
        drawing.Items.push_back(line(10, purple));
        drawing.Items.push_back(line(10, yellow));
        drawing.Items.push_back(ring(70));  // elsewhere: kept

        const QSize size(200, 100);
        const Drawing thin = ThinForPainting(drawing, size.width(), size.height());
        QCOMPARE(thin.Items.size(), std::size_t{4});  // last ring of the thousand, purple, yellow, far ring
        QVERIFY(thin.Items[0].Kind == PrimitiveKind::Circle);
        QVERIFY(thin.Items[1].Colour == purple);
        QVERIFY(thin.Items[2].Colour == yellow);

        const auto paint = [&](const Drawing& d) {
            QImage image(size, QImage::Format_RGB32);
            QPainter painter(&image);
            PaintDrawing(painter, d, QRectF(QPointF(), QSizeF(size)));
            return image;
        };
        const QImage full = paint(drawing);
        QCOMPARE(full.pixelColor(100, 20), QColor(255, 255, 0));
        // Pixel for pixel the same, but for the smoothed edge of the ring at (50, 25), which a
        // thousand coats make a little more opaque than one.
        const QImage thinned = paint(thin);
        const QRect ringEdge(QPoint(100, 50) - QPoint(7, 7), QSize(15, 15));
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (!ringEdge.contains(x, y)) QCOMPARE(thinned.pixel(x, y), full.pixel(x, y));
    }

    void aPictureWithNothingToThinComesBackWhole() {
        GiveShape(*window_);
        window_->loadTrvStandardExample();
        const Drawing& drawing = plot2_->drawing();
        QVERIFY(!drawing.Texts.empty());
        // The grid and labels of a short program land on pixels of their own.
        const Drawing thin = ThinForPainting(drawing, 4000, 3000);
        // All but exact repeats of a later item stay.
        Drawing expected = drawing;
        std::vector<Primitive> unique;
        for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
            bool repeated = false;
            for (std::size_t j = i + 1; j < drawing.Items.size() && !repeated; ++j) {
                const Primitive& a = drawing.Items[i];
                const Primitive& b = drawing.Items[j];
                repeated = a.Kind != PrimitiveKind::Text && a.Kind == b.Kind && a.Colour == b.Colour &&
                           a.Style == b.Style && a.At == b.At && a.To == b.To && a.Radius == b.Radius;
            }
            if (!repeated) unique.push_back(drawing.Items[i]);
        }
        expected.Items = unique;
        QVERIFY(thin == expected);
    }

    void pointDataIsPlottedAsTheUserTypes() {
        GiveShape(*window_);
        auto* pane = Find<ProgramPane>(window_.get(), "txtDataA");
        pane->setFocus();
        const auto dots = [&] {
            int n = 0;
            for (const Primitive& item : plot1_->drawing().Items) n += item.Kind == PrimitiveKind::Dot ? 1 : 0;
            return n;
        };
        QTest::keyClicks(pane, "N001 X32 Z17.7");
        QCOMPARE(dots(), 0);  // a line without its line end is not drawn
        QTest::keyClick(pane, Qt::Key_Return);
        QCOMPARE(dots(), 1);
        QVERIFY(readout_->isVisible());
    }
};

QTEST_MAIN(PlotsTest)
#include "plots_test.moc"
