// The cross-section check in the window: the overlay on the point graphic, the summary in the
// status bar, the report and its way back to the shape dialog.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/status_panels.h"
#include "core/shape/program_writers.h"
#include "window_test_support.h"
#include "worked_example.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace quillane;
using namespace quillane::testing;

class CheckTest : public WindowFixture {
    Q_OBJECT

    QAction* check() const { return Find<QAction>(window_.get(), QStringLiteral("mnuCheck")); }

    // The worked example's passes in the point data pane, with its record.
    void giveWorkedExample() {
        GeneratorState state;
        state.Shape = testing_shapes::WorkedExample();
        const RunResult r = RunGenerator(state, OutputOptions{}, "", "");
        QVERIFY(r.Succeeded);
        window_->generatorState() = r.State;
        window_->showProgramTexts(r.PointText, "");
    }

private slots:
    void overlayAndSummaryFollowTheToggleAndTheEdits() {
        giveWorkedExample();
        QVERIFY(!plot1_->showsCheckOverlay());
        QVERIFY(status_->checkSummary().isEmpty());
        plot1_->setFocus();
        QTest::keyClick(plot1_, Qt::Key_C);
        QVERIFY(check()->isChecked());
        QVERIFY(plot1_->showsCheckOverlay());
        QCOMPARE(status_->checkSummary(), QStringLiteral("uncut 0.293 mm on A1, no gouge, 1 idle pass"));
        // A hand edit that takes pass 10 0.2 deeper is checked as it is typed.
        const QString text = PaneText(a_);
        const qsizetype at = text.indexOf(QStringLiteral("N010 X"));
        QVERIFY(at >= 0);
        a_->replaceText((text.left(at) + QStringLiteral("N010 X36.4") + text.mid(at + 10)).toStdString());
        QVERIFY2(status_->checkSummary().contains(QStringLiteral("gouge")) &&
                     !status_->checkSummary().contains(QStringLiteral("no gouge")),
                 qPrintable(status_->checkSummary()));
        QTest::keyClick(plot1_, Qt::Key_C);
        QVERIFY(!plot1_->showsCheckOverlay());
        QVERIFY(status_->checkSummary().isEmpty());
    }

    void reportListsTheSegmentsAndOpensTheDialogWithItsFeeds() {
        giveWorkedExample();
        Find<QAction>(window_.get(), QStringLiteral("mnuCheckReport"))->trigger();
        auto* report = Find<QWidget>(window_.get(), QStringLiteral("CheckReport"));
        QVERIFY(report && report->isVisible());
        auto* segments = Find<QTableWidget>(report, QStringLiteral("CheckSegments"));
        QStringList names;
        for (int row = 0; row < segments->rowCount(); ++row) names << segments->item(row, 0)->text();
        QCOMPARE(names, QStringList({"R1", "A1", "R2", "D1", "R3", "A2", "R4", "D2"}));
        QCOMPARE(segments->item(3, 3)->text(), QStringLiteral("0.177"));  // 2 sqrt(2rh - h^2), rounded down

        QString floorFeed;
        int pointLines = -1;
        WhenModal([&](QWidget* dialog) {
            floorFeed = Find<QLineEdit>(dialog, QStringLiteral("FEED(3)"))->text();
            Find<QPushButton>(dialog, QStringLiteral("Command2"))->click();
        });
        const int before = a_->lines();
        Find<QPushButton>(report, QStringLiteral("UseSuggestedFeeds"))->click();
        pointLines = a_->lines();
        QCOMPARE(floorFeed, QStringLiteral("0.177"));
        QCOMPARE(pointLines, before);  // nothing generated
    }
};

QTEST_MAIN(CheckTest)
#include "check_test.moc"
