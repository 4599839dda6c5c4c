// An edit redraws only the lines it touched: after every kind of edit, both plots must be what a
// whole replot of the same texts, in the same order, draws.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "core/shape/shape_data.h"
#include "window_test_support.h"
#include "worked_example.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <algorithm>
#include <string>

using namespace quillane;
using namespace quillane::testing;

namespace {

enum class Action { Type, Enter, Paste, DeleteTwoLines, Undo, ReplaceAll };

struct Edit {
    const char* Name;
    bool PointPane;  // otherwise the standard program's pane
    int Line;        // -1: the last line
    Action Do;
    const char* Text;
};

// The ways a text changes by hand, in both panes, one after the other. The comment opened at
// the end of the point data changes what the scan carries into the standard program.
// The ways a text changes by hand, in both panes, one after the other, in a standard program
// long enough that an edit is redrawn from a checkpoint and spliced in (a plot keeps one every
// 4096 lines). The comment opened at the end of the point data changes what the scan carries
// into the standard program.
const Edit kEdits[] = {
    {"type in a line", false, 5000, Action::Type, " X31."},
    {"split a line", false, 9000, Action::Enter, ""},
    {"paste lines", false, 4095, Action::Paste, "G01 X29. Z-4.\r\nG00 X40.\r\n(pasted)\r\n"},
    {"delete two lines", false, 8191, Action::DeleteTwoLines, ""},
    {"undo the delete", false, 0, Action::Undo, ""},
    {"type in the first lines", false, 12, Action::Type, " G01"},
    {"change a point", true, 3, Action::Type, "5"},
    {"open a comment at the end of the point data", true, -1, Action::Type, " ("},
    {"type after the carried comment", false, 6000, Action::Type, " G00"},
    {"close the comment by undoing it", true, 0, Action::Undo, ""},
    {"type in the last line", false, -1, Action::Type, "G01 X30."},
    {"replace the whole program", false, 0, Action::ReplaceAll, "G00 X32. Z17.7\r\nG32 Z-80. F12.7\r\n"},
};

void Apply(ProgramPane* pane, const Edit& edit) {
    pane->setFocus();
    const int line = edit.Line < 0 ? pane->lines() - 1 : std::min(edit.Line, pane->lines() - 1);
    switch (edit.Do) {
        case Action::Type:
            pane->setCursorPosition(line, 0);
            QTest::keyClick(pane, Qt::Key_End);
            QTest::keyClicks(pane, edit.Text);
            break;
        case Action::Enter:
            pane->setCursorPosition(line, 2);
            QTest::keyClick(pane, Qt::Key_Return);
            break;
        case Action::Paste:
            QGuiApplication::clipboard()->setText(QString::fromUtf8(edit.Text));
            pane->setCursorPosition(line, 0);
            pane->paste();
            break;
        case Action::DeleteTwoLines:
            pane->setSelection(line, 0, line + 2, 0);
            QTest::keyClick(pane, Qt::Key_Delete);
            break;
        case Action::Undo:
            pane->undo();
            break;
        case Action::ReplaceAll:
            QGuiApplication::clipboard()->setText(QString::fromUtf8(edit.Text));
            pane->selectAll();
            pane->paste();
            break;
    }
}

}  // namespace

class EditReplotTest : public WindowFixture {
    Q_OBJECT

private slots:
    void everyEditDrawsWhatAWholeReplotDraws() {
        const ShapeBoxTexts boxes = ShapeToBoxes(testing_shapes::WorkedExample());
        std::unique_ptr<MainWindow> whole = OpenWindow();
        QVERIFY(whole);
        whole->runProgramOutput(boxes, OutputOptions{});
        const auto* wholePlot1 = Find<PlotView>(whole.get(), QStringLiteral("Picture1"));
        const auto* wholePlot2 = Find<PlotView>(whole.get(), QStringLiteral("Picture2"));
        QApplication::setActiveWindow(window_.get());
        window_->runProgramOutput(boxes, OutputOptions{});
        std::string program;
        while (std::count(program.begin(), program.end(), '\n') < 12'000) program += window_->standardProgramText();
        window_->showProgramTexts(window_->pointDataText(), program);
        whole->showProgramTexts(whole->pointDataText(), program);
        QVERIFY(!plot2_->drawing().Items.empty());
        QVERIFY(plot1_->drawing() == wholePlot1->drawing() && plot2_->drawing() == wholePlot2->drawing());

        for (const Edit& edit : kEdits) {
            const std::string before = edit.PointPane ? window_->pointDataText() : window_->standardProgramText();
            Apply(edit.PointPane ? a_ : b_, edit);
            const std::string after = edit.PointPane ? window_->pointDataText() : window_->standardProgramText();
            QVERIFY2(after != before, edit.Name);
            // The other window gets the edited text whole: only that pane replots, as here.
            whole->showProgramTexts(window_->pointDataText(), window_->standardProgramText());
            QVERIFY2(plot1_->drawing() == wholePlot1->drawing(), edit.Name);
            QVERIFY2(plot2_->drawing() == wholePlot2->drawing(), edit.Name);
            QVERIFY2(plot1_->links().Passes().size() == wholePlot1->links().Passes().size(), edit.Name);
            QVERIFY2(plot2_->links().Passes().size() == wholePlot2->links().Passes().size(), edit.Name);
        }
    }
};

QTEST_MAIN(EditReplotTest)
#include "edit_replot_test.moc"
