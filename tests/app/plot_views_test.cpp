// The plots at every size and zoom: labels kept apart, rulers, fit, equal scales, captions,
// New starting the views afresh, and the export of what a plot shows.
#include "app/plot_export.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "core/ncplot/view_transform.h"
#include "qt/drawing_painter.h"
#include "qt/plot_ruler.h"
#include "window_test_support.h"
#include "worked_example.h"

#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cmath>

using namespace quillane;
using namespace quillane::testing;

namespace {

ViewTransform MapOf(const PlotView* plot) {
    const QRectF r(plot->contentsRect());
    return ViewTransform(*plot->shownScale(), PixelBox{r.left(), r.top(), r.width(), r.height()});
}

// Whether `step` is 1, 2 or 5 times a power of ten.
bool Round(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (std::fabs(mantissa - m) < 1e-9) return true;
    }
    return false;
}

}  // namespace

class PlotViewsTest : public WindowFixture {
    Q_OBJECT

    // Both panes as one "Program Output" of the worked example leaves them.
    void generate() {
        GeneratorState state = window_->generatorState();
        state.Shape = testing_shapes::WorkedExample();
        OutputOptions options;
        const RunResult r = RunGenerator(state, options, "", "");
        QVERIFY(r.Succeeded);
        window_->generatorState() = r.State;
        window_->generatorState().Shape = r.ShapeAtPointData;
        window_->showProgramTexts(r.PointText, "");
        window_->generatorState() = r.State;
        window_->showProgramTexts(r.PointText, r.ProgramText);
    }

    QAction* action(const char* name) { return Find<QAction>(window_.get(), QLatin1String(name)); }

private slots:

    void paintedLabelsNeverOverlapAtAnySize_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("default") << QSize();
        QTest::newRow("1400x900") << QSize(1400, 900);
        QTest::newRow("3840x2160") << QSize(3840, 2160);
    }
    void paintedLabelsNeverOverlapAtAnySize() {
        QFETCH(QSize, size);
        if (size.isValid()) {
            window_->resize(size);
            QTRY_VERIFY(plot2_->width() > size.width() / 2);
        } else {
            QCOMPARE(window_->frameGeometry().size(), QSize(800, 533));
        }
        generate();
        for (PlotView* plot : {plot1_, plot2_}) {
            const std::vector<PaintedLabel> labels =
                PaintedLabels(plot->drawing(), QRectF(plot->contentsRect()), plot->font(), plot);
            QVERIFY(labels.size() >= 6);
            for (std::size_t i = 0; i < labels.size(); ++i) {
                for (std::size_t j = i + 1; j < labels.size(); ++j) {
                    const QString pair =
                        QStringLiteral("%1 %2: %3 / %4")
                            .arg(plot->objectName())
                            .arg(size.width())
                            .arg(QString::fromStdString(plot->drawing().TextOf(plot->drawing().Items[labels[i].Item])))
                            .arg(QString::fromStdString(plot->drawing().TextOf(plot->drawing().Items[labels[j].Item])));
                    QVERIFY2(!labels[i].Box.intersects(labels[j].Box), qPrintable(pair));
                }
            }
            // The ends of the Z axis stay: its first value and the unit after the last.
            const Drawing& d = plot->drawing();
            QStringList texts;
            for (const PaintedLabel& l : labels) texts << QString::fromStdString(d.TextOf(d.Items[l.Item]));
            QVERIFY2(texts.contains(plot == plot1_ ? QStringLiteral(" 0") : QStringLiteral("-85")),
                     qPrintable(texts.join(',')));
            QVERIFY(texts.count(QStringLiteral("mm")) >= 1);
            // The drawing keeps every label: on a large screen every one of them is painted, at
            // the default size the crowded cutting graphic shows fewer.
            const auto drawn = static_cast<std::size_t>(std::count_if(
                d.Items.begin(), d.Items.end(), [](const Primitive& p) { return p.Kind == PrimitiveKind::Text; }));
            if (size.width() == 3840) QCOMPARE(labels.size(), drawn);
            if (!size.isValid() && plot == plot2_) QVERIFY(labels.size() < drawn);
        }
    }

    void rulersMarkRoundStepsAcrossTheZoomedView() {
        generate();
        for (PlotView* plot : {plot1_, plot2_}) {
            const QPointF middle = QRectF(plot->contentsRect()).center();
            for (const double factor : {1.0, 4.0, 50.0, 3000.0}) {
                plot->resetView();
                plot->zoomAt(middle, factor);
                plot->panBy(QPointF(13, -7));  // also when panned
                QVERIFY(plot->zoomed());
                const UserScale view = *plot->shownScale();
                QFont font = plot->font();
                font.setPointSize(9);
                const QRectF target(plot->contentsRect());
                const RulerScale x = DiameterRuler(view, target, font, plot);
                const RulerScale z = ZRuler(view, target, font, plot);
                const double xHigh = -2 * static_cast<double>(view.Top);
                const double xLow = -2 * (static_cast<double>(view.Top) + static_cast<double>(view.Height));
                const double zLow = static_cast<double>(view.Left);
                const double zHigh = zLow + static_cast<double>(view.Width);
                struct Axis {
                    const RulerScale& Ruler;
                    double Low, High;
                };
                for (const Axis& a : {Axis{x, xLow, xHigh}, Axis{z, zLow, zHigh}}) {
                    QVERIFY2(Round(a.Ruler.Step), qPrintable(QString::number(a.Ruler.Step)));
                    QVERIFY(a.Ruler.Values.size() >= 2);
                    // Every mark in view, and no step's room left free at either end.
                    QVERIFY(a.Ruler.Values.front() >= a.Low && a.Ruler.Values.back() <= a.High);
                    QVERIFY(a.Ruler.Values.front() - a.Low < a.Ruler.Step);
                    QVERIFY(a.High - a.Ruler.Values.back() < a.Ruler.Step);
                }
            }
        }
        // Back at the own scale the picture's own labels speak: no rulers (see the pixels).
        plot2_->resetView();
        const QImage own = plot2_->grab().toImage();
        plot2_->zoomAt(QRectF(plot2_->contentsRect()).center(), 1.0001);
        const QImage zoomed = plot2_->grab().toImage();
        const QPoint bottomLeft = plot2_->contentsRect().bottomLeft() + QPoint(3, -3);
        QVERIFY(own.pixelColor(bottomLeft) != zoomed.pixelColor(bottomLeft));
    }

    void fitBringsTheWholePathIntoViewWithAMargin() {
        // An example drawn in the scale of another shape lies partly outside the picture.
        GiveShape(*window_);
        window_->loadFanucExample();
        const PlotExtents path = *plot2_->links().Extents();
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_F);
        QVERIFY(plot2_->zoomed());
        const ViewTransform map = MapOf(plot2_);
        // The margin is kept clear of the rulers along the left and bottom edges too.
        QRectF picture(plot2_->contentsRect());
        const QSizeF room = RulerRoom(*plot2_->shownScale(), picture, plot2_->font(), plot2_);
        picture.adjust(room.width(), 0, 0, -room.height());
        const double marginX = 0.05 * plot2_->contentsRect().width() - 0.5;
        const double marginY = 0.05 * plot2_->contentsRect().height() - 0.5;
        for (const float z : {path.Left, path.Right}) {
            const double x = map.DeviceX(static_cast<double>(z));
            QVERIFY2(x >= picture.left() + marginX && x <= picture.right() - marginX, qPrintable(QString::number(x)));
        }
        for (const float r : {path.Top, path.Bottom}) {
            const double y = map.DeviceY(static_cast<double>(r));
            QVERIFY2(y >= picture.top() + marginY && y <= picture.bottom() - marginY, qPrintable(QString::number(y)));
        }
        // Home and a double click still go back to the own scale; the menu fits the focused plot.
        QTest::keyClick(plot2_, Qt::Key_Home);
        QVERIFY(!plot2_->zoomed());
        action("mnuViewFit")->trigger();
        QVERIFY(plot2_->zoomed());
        QVERIFY(!plot1_->zoomed());
        QTest::mouseDClick(plot2_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));
        QVERIFY(!plot2_->zoomed());
    }

    void equalScalesGiveAMillimetreTheSameLengthOnBothAxes() {
        generate();
        plot1_->setFocus();
        QTest::keyClick(plot1_, Qt::Key_A);
        QVERIFY(action("mnuViewEqualScales")->isChecked());
        for (PlotView* plot : {plot1_, plot2_}) {
            QVERIFY(plot->equalScales());
            const ViewTransform map = MapOf(plot);
            QVERIFY(std::fabs(std::fabs(map.PixelsPerUnitX()) - std::fabs(map.PixelsPerUnitY())) <
                    1e-4 * std::fabs(map.PixelsPerUnitX()));
            // Zoomed and fitted views keep them equal.
            plot->zoomAt(QPointF(40, 30), 3);
            const ViewTransform zoomed = MapOf(plot);
            QVERIFY(std::fabs(std::fabs(zoomed.PixelsPerUnitX()) - std::fabs(zoomed.PixelsPerUnitY())) <
                    1e-4 * std::fabs(zoomed.PixelsPerUnitX()));
        }
        // Kept between runs under its own key; off by default. (New first: the generated texts
        // would make closing ask whether to save them.)
        action("mnuFileNew")->trigger();
        window_->close();
        closeWindow();
        QCOMPARE(StoredSetting(QStringLiteral("EqualScales")), QStringLiteral("1"));
        window_ = OpenWindow();  // on the settings as they were left
        QVERIFY(Find<PlotView>(window_.get(), "Picture1")->equalScales());
        action("mnuViewEqualScales")->trigger();
        QVERIFY(!Find<PlotView>(window_.get(), "Picture2")->equalScales());
        window_->close();
        closeWindow();
        QCOMPARE(StoredSetting(QStringLiteral("EqualScales")), QStringLiteral("0"));
    }

    void newStartsBothViewsAfresh() {
        generate();
        action("tbButtonMeasure")->setChecked(true);
        for (PlotView* plot : {plot1_, plot2_}) {
            plot->zoomAt(QPointF(50, 50), 3);
            QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
        }
        b_->setFocus();
        b_->putCaretOn(4);
        QVERIFY(!plot2_->highlightedPass().Empty());
        action("mnuFileNew")->trigger();
        for (PlotView* plot : {plot1_, plot2_}) {
            QVERIFY(!plot->zoomed());
            QVERIFY(!plot->measuring());
            QVERIFY(plot->highlightedPass().Empty());
            QVERIFY(plot->highlightedLine().empty());
        }
        // The same extent again starts at the own scale.
        generate();
        QVERIFY(!plot1_->zoomed());
        QVERIFY(!plot2_->zoomed());
        QVERIFY(plot2_->measurementText().isEmpty());
    }

    // A pan moves the picture thinned for the view before it, as far as that picture reaches;
    // further on it is thinned again. Either way the window shows what a picture thinned for
    // the view shows.
    void aPanShowsWhatAFreshPictureShows() {
        generate();
        plot2_->zoomAt(QRectF(plot2_->contentsRect()).center(), 8);
        const QRect inside = plot2_->contentsRect();
        for (int step = 0; step < 8; ++step) {
            plot2_->panBy(QPointF(0.45 * inside.width(), step % 3 == 0 ? -0.3 * inside.height() : 0.0));
            const QImage fresh = QImage::fromData(PlotPicture(*plot2_, inside.size(), false));
            QCOMPARE(plot2_->grab(inside).toImage().convertToFormat(QImage::Format_RGB32),
                     fresh.convertToFormat(QImage::Format_RGB32));
        }
    }

    void exportWritesTheViewAsSeen() {
        generate();
        QTemporaryDir dir;
        plot2_->zoomAt(QPointF(100, 60), 2);
        const QString png = dir.filePath(QStringLiteral("cut.png"));
        QVERIFY(ExportPlot(*plot2_, png, QSize(640, 300)).Ok);
        const QImage image(png);
        QCOMPARE(image.size(), QSize(640, 300));
        // The view's own size gives what the window shows, frame aside.
        const QRect inside = plot2_->contentsRect();
        const QImage same = QImage::fromData(PlotPicture(*plot2_, inside.size(), false));
        QCOMPARE(same.convertToFormat(QImage::Format_RGB32),
                 plot2_->grab(inside).toImage().convertToFormat(QImage::Format_RGB32));
        const QString svg = dir.filePath(QStringLiteral("cut.SVG"));
        QVERIFY(ExportPlot(*plot2_, svg, QSize(640, 300)).Ok);
        QFile file(svg);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<svg"));
        QVERIFY(!ExportPlot(*plot2_, dir.filePath(QStringLiteral("no/such/folder.png")), QSize(64, 64)).Ok);

        // From the menu: the focused plot, at the size chosen, to the file chosen.
        plot1_->setFocus();
        const QString chosen = dir.filePath(QStringLiteral("points.png"));
        WhenModal([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("ExportSizeDialog"));
            Find<QSpinBox>(dialog, QStringLiteral("ExportWidth"))->setValue(321);
            Find<QSpinBox>(dialog, QStringLiteral("ExportHeight"))->setValue(123);
            static_cast<QDialog*>(dialog)->accept();
        });
        FileDialogAnswerer answerer([chosen](QFileDialog* dialog) {
            dialog->setDirectory(QFileInfo(chosen).absolutePath());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(chosen).fileName());
            static_cast<QDialog*>(dialog)->accept();
        });
        action("mnuFileExportPlot")->trigger();
        QVERIFY(answerer.seen());
        QCOMPARE(QImage(chosen).size(), QSize(321, 123));
    }
};

QTEST_MAIN(PlotViewsTest)
#include "plot_views_test.moc"
