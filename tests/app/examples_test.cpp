// The Example menu: sample programs into the panes, the point graphic left blank.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "core/shape/example_programs.h"
#include "window_test_support.h"

#include <QMenu>
#include <QTest>

using namespace quillane;
using namespace quillane::testing;

class ExamplesTest : public WindowFixture {
    Q_OBJECT

    void choose(const char* item) {
        QAction* action = Find<QAction>(window_.get(), item);
        QVERIFY(action);
        action->trigger();
    }
    bool pointGraphicIsBlank() const {
        return plot1_->drawing().Items.empty() && plot1_->drawing().Background == Color::System(ColorRole::ButtonFace);
    }

private slots:

    void fanucGoesIntoTheStandardPane() {
        choose("ExampleFanucStandard");
        QCOMPARE(window_->standardProgramText(), FanucExampleProgram());
        QCOMPARE(window_->pointDataText(), std::string());
        QVERIFY(window_->standardProgramText().ends_with("M30\r\n\r\n"));
        QVERIFY(pointGraphicIsBlank());
    }

    void trvStandardGoesIntoTheStandardPane() {
        choose("ExampleTrvStandard");
        QCOMPARE(window_->standardProgramText(), TrvStandardExampleProgram());
        QCOMPARE(window_->pointDataText(), std::string());
    }

    void trvMacroFillsBothPanesButLeavesThePointGraphicBlank() {
        GiveShape(*window_);
        choose("ExampleTrvMacro");
        QCOMPARE(window_->pointDataText(), TrvMacroMainProgram());
        QCOMPARE(window_->standardProgramText(), TrvMacroSubProgram());
        QVERIFY(window_->standardProgramText().ends_with("NRTS RTS\r\n\r\n\r\n"));
        QVERIFY(pointGraphicIsBlank());
    }

    void fanucAfterTrvMacroEmptiesThePointData() {
        choose("ExampleTrvMacro");
        choose("ExampleFanucStandard");
        QCOMPARE(window_->pointDataText(), std::string());
        QCOMPARE(window_->standardProgramText(), FanucExampleProgram());
    }

    void loadingTwiceReplacesInsteadOfAppending() {
        choose("ExampleTrvStandard");
        choose("ExampleTrvStandard");
        QCOMPARE(window_->standardProgramText(), TrvStandardExampleProgram());
    }

    void beforeAnyProgramOutputTheCuttingGraphicStaysAsItWas() {
        const int before = plot2_->replotCount();
        choose("ExampleFanucStandard");
        QCOMPARE(plot2_->replotCount(), before);
        QVERIFY(plot2_->drawing().Items.empty());
    }

    void afterAProgramOutputTheCuttingGraphicShowsTheExample() {
        GiveShape(*window_);
        choose("ExampleFanucStandard");
        const Drawing& drawing = plot2_->drawing();
        int pathItems = 0;
        for (const Primitive& item : drawing.Items) pathItems += item.NcLine != NoNcLine ? 1 : 0;
        QVERIFY(pathItems > 0);
        QVERIFY(Find<QWidget>(window_.get(), "Picture3")->isVisible());
    }

    void examplesLeaveTheShapeAndCounterAlone() {
        GiveShape(*window_);
        window_->generatorState().PassCounter = 12;
        choose("ExampleTrvMacro");
        choose("ExampleFanucStandard");
        QCOMPARE(window_->generatorState().PassCounter, 12.0F);
        QCOMPARE(window_->generatorState().Shape.D1, 30.0);
    }

    void theMenuListsTheThreeExamples() {
        auto* menu = Find<QMenu>(window_.get(), "mnuExample");
        QVERIFY(menu);
        QStringList captions;
        for (QAction* action : menu->actions()) captions << action->text();
        QCOMPARE(captions, QStringList({"TRV Macro", "TRV Standard", "FANUC"}));
    }
};

QTEST_MAIN(ExamplesTest)
#include "examples_test.moc"
