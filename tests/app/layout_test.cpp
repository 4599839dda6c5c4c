// The main window's layout: the figures of each control for a window size, and how they apply.
#include "app/main_layout.h"
#include "app/twips.h"
#include "window_test_support.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace quillane;
using quillane::testing::Find;

Q_DECLARE_METATYPE(quillane::TwipRect)

namespace {

bool Same(const TwipRect& a, const TwipRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

QString Show(const TwipRect& r) {
    return QStringLiteral("(%1, %2, %3, %4)").arg(r.Left).arg(r.Top).arg(r.Width).arg(r.Height);
}

double TwipsPerPixel(const QWidget* w) { return TwipsPerPixelX(w); }

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void rowsSplitTheClientHeight_data() {
        QTest::addColumn<float>("sh");
        QTest::addColumn<float>("upperBottom");
        QTest::addColumn<float>("lowerTop");
        QTest::addColumn<float>("lowerBottom");
        // Upper row 680 .. SH/2 + 100, a gap of 30, lower row SH/2 + 130 .. SH - 275.
        QTest::newRow("default client") << 7000.0F << 3600.0F << 3630.0F << 6725.0F;
        QTest::newRow("tall") << 15000.0F << 7600.0F << 7630.0F << 14725.0F;
        QTest::newRow("odd height keeps the half") << 7001.0F << 3600.5F << 3630.5F << 6726.0F;
    }
    void rowsSplitTheClientHeight() {
        QFETCH(float, sh);
        QFETCH(float, upperBottom);
        QFETCH(float, lowerTop);
        QFETCH(float, lowerBottom);
        const MainLayout l = LayoutMainWindow(11880, sh, 12000);
        QCOMPARE(l.txtDataA.Top, 680.0F);
        QCOMPARE(l.txtDataA.Top + l.txtDataA.Height, upperBottom);
        QCOMPARE(l.txtDataB.Top, lowerTop);
        QCOMPARE(l.txtDataB.Top + l.txtDataB.Height, lowerBottom);
        // Each plot is exactly as high as its pane and starts 40 twips right of it.
        QVERIFY(l.Picture1.Top == l.txtDataA.Top && l.Picture1.Height == l.txtDataA.Height);
        QVERIFY(l.Picture2.Top == l.txtDataB.Top && l.Picture2.Height == l.txtDataB.Height);
        QCOMPARE(l.Picture1.Left, l.txtDataA.Left + l.txtDataA.Width + 40.0F);
    }

    void defaultWindowGivesPlotsOf7400() {
        const MainLayout l = LayoutMainWindow(11880, 7000, 12000);
        QVERIFY2(Same(l.txtDataA, {10, 680, 4250, 2920}), qPrintable(Show(l.txtDataA)));
        QVERIFY2(Same(l.txtDataB, {10, 3630, 4250, 3095}), qPrintable(Show(l.txtDataB)));
        QVERIFY2(Same(l.Picture1, {4300, 680, 7400, 2920}), qPrintable(Show(l.Picture1)));
        QVERIFY2(Same(l.Picture2, {4300, 3630, 7400, 3095}), qPrintable(Show(l.Picture2)));
        QVERIFY2(Same(l.Picture3, {9680, 300, 2300, 600}), qPrintable(Show(l.Picture3)));
        QCOMPARE(l.LineX2, 11880.0F);
    }

    void growingInWidthOnlyWidensThePlots() {
        const MainLayout narrow = LayoutMainWindow(11880, 7000, 12000);
        const MainLayout wide = LayoutMainWindow(17880, 7000, 18000);
        QCOMPARE(wide.txtDataA.Width, narrow.txtDataA.Width);
        QCOMPARE(wide.txtDataB.Width, 4250.0F);
        QCOMPARE(wide.Picture1.Width - narrow.Picture1.Width, 6000.0F);
        QCOMPARE(wide.Picture3.Left, 17880.0F - 2200.0F);
        QVERIFY(Same(wide.txtDataA, narrow.txtDataA));
    }

    void smallWindowsGiveNegativeSizes_data() {
        QTest::addColumn<float>("sh");
        QTest::addColumn<float>("w");
        QTest::addColumn<bool>("upperPlaceable");
        QTest::addColumn<bool>("lowerPlaceable");
        QTest::addColumn<bool>("plotsPlaceable");
        QTest::newRow("upper row just fits") << 1160.0F << 12000.0F << true << true << true;
        QTest::newRow("upper row negative") << 1159.0F << 12000.0F << false << true << true;
        QTest::newRow("lower row just fits") << 810.0F << 12000.0F << false << true << true;
        QTest::newRow("both rows negative") << 809.0F << 12000.0F << false << false << true;
        QTest::newRow("plots negative") << 7000.0F << 4599.0F << true << true << false;
        QTest::newRow("plots zero wide") << 7000.0F << 4600.0F << true << true << true;
    }
    void smallWindowsGiveNegativeSizes() {
        QFETCH(float, sh);
        QFETCH(float, w);
        QFETCH(bool, upperPlaceable);
        QFETCH(bool, lowerPlaceable);
        QFETCH(bool, plotsPlaceable);
        const MainLayout l = LayoutMainWindow(w - 120, sh, w);
        QCOMPARE(IsPlaceable(l.txtDataA), upperPlaceable);
        QCOMPARE(IsPlaceable(l.txtDataB), lowerPlaceable);
        QCOMPARE(IsPlaceable(l.Picture1), upperPlaceable && plotsPlaceable);
        QCOMPARE(IsPlaceable(l.Picture2), lowerPlaceable && plotsPlaceable);
    }

    void windowAppliesTheFiguresInPixels() {
        testing::ClearSettings();
        auto window = testing::OpenWindow();
        QVERIFY(window);
        window->resize(900, 640);
        QTRY_COMPARE(window->size(), QSize(900, 640));
        auto* client = window->centralWidget();
        const double tpp = TwipsPerPixel(window.get());
        const MainLayout l =
            LayoutMainWindow(static_cast<float>(client->width() * tpp), static_cast<float>(client->height() * tpp),
                             static_cast<float>(window->frameGeometry().width() * tpp));
        const auto near = [&](const QRect& px, const TwipRect& tw) {
            return std::abs(px.x() - static_cast<double>(tw.Left) / tpp) <= 1 &&
                   std::abs(px.y() - static_cast<double>(tw.Top) / tpp) <= 1 &&
                   std::abs(px.width() - static_cast<double>(tw.Width) / tpp) <= 1 &&
                   std::abs(px.height() - static_cast<double>(tw.Height) / tpp) <= 1;
        };
        QVERIFY(near(Find<QWidget>(window.get(), "txtDataA")->geometry(), l.txtDataA));
        QVERIFY(near(Find<QWidget>(window.get(), "txtDataB")->geometry(), l.txtDataB));
        QVERIFY(near(Find<QWidget>(window.get(), "Picture1")->geometry(), l.Picture1));
        QVERIFY(near(Find<QWidget>(window.get(), "Picture2")->geometry(), l.Picture2));
        QVERIFY(near(Find<QWidget>(window.get(), "Picture3")->geometry(), l.Picture3));
        // Panes and plots never overlap, and the lower row ends where the status bar starts.
        const QRect a = Find<QWidget>(window.get(), "txtDataA")->geometry();
        const QRect b = Find<QWidget>(window.get(), "txtDataB")->geometry();
        const QRect p1 = Find<QWidget>(window.get(), "Picture1")->geometry();
        QVERIFY(!a.intersects(b));
        QVERIFY(!a.intersects(p1));
        QCOMPARE(b.bottom() + 1, Find<QWidget>(window.get(), "sbStatusBar")->geometry().top());
        QCOMPARE(Find<QWidget>(window.get(), "Line1")->width(), client->width());
    }

    void tooShortARowKeepsItsLastRectangle() {
        testing::ClearSettings();
        auto window = testing::OpenWindow();
        QVERIFY(window);
        window->resize(900, 640);
        QTRY_COMPARE(window->size(), QSize(900, 640));
        auto* paneA = Find<QWidget>(window.get(), "txtDataA");
        auto* paneB = Find<QWidget>(window.get(), "txtDataB");
        auto* plot1 = Find<QWidget>(window.get(), "Picture1");
        auto* plot2 = Find<QWidget>(window.get(), "Picture2");
        const QRect before = paneA->geometry();
        const QRect plot1Before = plot1->geometry();
        const int plot2WidthBefore = plot2->width();
        // A client height below 1160 twips leaves the upper row negative; the lower row still fits.
        const double tpp = TwipsPerPixel(window.get());
        const int menuAndFrame = window->height() - window->centralWidget()->height();
        window->resize(1100, static_cast<int>(1000 / tpp) + menuAndFrame);
        QTRY_VERIFY(plot2->width() > plot2WidthBefore);
        QCOMPARE(paneA->geometry(), before);
        QCOMPARE(plot1->geometry(), plot1Before);
        // The placements after the refused ones still ran.
        QVERIFY(paneB->geometry().top() < before.top() + 5);
        QVERIFY(plot2->width() > plot2WidthBefore);
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
