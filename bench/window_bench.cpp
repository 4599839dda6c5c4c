// Cost of one keystroke in a large program pane (text change, scan, drawing and paint), of a
// paste and a Copy All of a large program, and of the events that only look: a caret move, a
// mouse move over a plot, a zoom step. Also a keystroke in the shape dialog, which checks the
// shape on every change of a box.
#include "app/main_window.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "app/shape_dialog.h"
#include "core/ncplot/cutting_graphic.h"
#include "core/ncplot/plot_thinning.h"
#include "core/numeric/number_text.h"
#include "core/shape/program_writers.h"
#include "worked_example.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <utility>

namespace {

using namespace quillane;

// A FANUC program of many passes, `bytes` long or a little more.
std::string LargeProgram(std::size_t bytes) {
    std::string text = "O0001( FANUC THREAD )%\r\nG28 U0 W0\r\nT0101\r\nG00 X28. Z50. S700 M4\r\n";
    double z = 17.7;
    while (text.size() < bytes) {
        const std::string zText = FormatPattern(z, "###0.0##");
        text += "G00 X32. Z" + zText + "\r\nG32 Z-80. F12.7\r\nG00 X28.\r\nG00 Z" + zText + "\r\n";
        z -= 0.002;
    }
    return text + "G00 Z50. M9\r\nG28 U0 W0 M5\r\nM30\r\n";
}

void GiveShape(MainWindow& window) {
    GeneratorState& state = window.generatorState();
    state.Shape.Pitch = 12.7;
    state.Shape.D1 = 30;
    state.Shape.D2 = 27;
    state.Shape.BlankDiaX = 32;
    state.Shape.StartPointZ = 17.7;
    state.Shape.EndPointZ = -80;
    state.CutSpanZ = 110.4;
}

// Sends one key press to a widget, as the keyboard would.
void PressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
}

ProgramView* ViewOf(ProgramPane* pane) {
    for (ProgramView* view : pane->window()->findChildren<ProgramView*>()) {
        if (view->pane() == pane) return view;
    }
    return nullptr;
}

// Runs the window's events until no plot is being drawn on a thread of its own (a whole replot
// of a very large text is), so that it is shown and costs nothing in what is measured next.
void SettlePlots(MainWindow* window) {
    const auto drawing = [window] {
        for (const ProgramView* view : window->findChildren<ProgramView*>()) {
            if (view->drawingInBackground()) return true;
        }
        return false;
    };
    QApplication::processEvents();
    while (drawing()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
    }
}

// Types a space, then a backspace, and so on, at the end of the pane's first line, one key per
// iteration, each followed by everything it sets going: the replot (a very large pane's, which
// waits for the keys to pause, is run at once) and the painting of the pane and the plot.
void TypeAtEndOfFirstLine(benchmark::State& state, ProgramPane* pane) {
    ProgramView* view = ViewOf(pane);
    pane->setFocus();
    PressKey(pane, Qt::Key_Home, Qt::ControlModifier);
    PressKey(pane, Qt::Key_End);
    int key = 0;
    for (auto _ : state) {
        if (key++ % 2 == 0) {
            PressKey(pane, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        } else {
            PressKey(pane, Qt::Key_Backspace);
        }
        QApplication::processEvents();
        view->runWaitingReplot();
        QApplication::processEvents();
    }
}

// One key typed at the end of the first line of the standard-program pane, and all that it
// sets going until the screen shows it.
void Keystroke(benchmark::State& state, MainWindow* window, std::size_t bytes) {
    window->showProgramTexts("", LargeProgram(bytes));
    SettlePlots(window);
    auto* pane = window->findChild<ProgramPane*>(QStringLiteral("txtDataB"));
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    TypeAtEndOfFirstLine(state, pane);
    state.counters["bytes"] = static_cast<double>(window->standardProgramText().size());
    state.counters["primitives"] = static_cast<double>(plot->drawing().Items.size());
}

// An edit of one line in the middle of a program of `bytes`, undone by the next iteration, and
// all that it sets going until the screen shows it: a digit typed at the end of a rapid move's
// Z (its line draws another move), or Enter there (every line after it moves down one) and the
// pane's Undo.
void KeystrokeInTheMiddle(benchmark::State& state, MainWindow* window, std::size_t bytes, bool enter) {
    const std::string program = LargeProgram(bytes);
    window->showProgramTexts("", program);
    SettlePlots(window);
    auto* pane = window->findChild<ProgramPane*>(QStringLiteral("txtDataB"));
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    ProgramView* view = ViewOf(pane);
    const std::size_t move = program.find("G00 X32. Z", program.size() / 2);
    pane->setFocus();
    view->putCaretOn(
        static_cast<int>(std::count(program.begin(), program.begin() + static_cast<std::ptrdiff_t>(move), '\n')));
    PressKey(pane, Qt::Key_End);
    QApplication::processEvents();
    int key = 0;
    for (auto _ : state) {
        if (key++ % 2 == 0) {
            if (enter) {
                PressKey(pane, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            } else {
                PressKey(pane, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
            }
        } else if (enter) {
            pane->undo();
        } else {
            PressKey(pane, Qt::Key_Backspace);
        }
        QApplication::processEvents();
        view->runWaitingReplot();
        QApplication::processEvents();
    }
    state.counters["bytes"] = static_cast<double>(window->standardProgramText().size());
    state.counters["primitives"] = static_cast<double>(plot->drawing().Items.size());
    window->showProgramTexts("", "");
    SettlePlots(window);
}

// CPU time of the calling thread so far, in ms: what the window's own thread spends, whatever
// other threads and programs on the machine do meanwhile.
double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A large program pasted into the empty standard-program pane: how long the paste takes to
// return; from then until the plot shows the pasted program, the longest the window leaves
// input waiting (the longest gap between the turns of its event loop, watched by a 1 ms timer)
// and the CPU time its thread spends (the pane's own styling and layout, and the replot when it
// runs there); and as the iteration's time, until the picture is painted.
void Paste(benchmark::State& state, MainWindow* window, std::size_t bytes) {
    const std::string program = LargeProgram(bytes);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(program.data(), static_cast<qsizetype>(program.size())));
    auto* pane = window->findChild<ProgramPane*>(QStringLiteral("txtDataB"));
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    const auto ms = [](const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
    double inserting = 0;
    double stalled = 0;
    double busy = 0;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(1);
    QElapsedTimer sinceTurn;
    double longest = 0;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longest = std::max(longest, ms(sinceTurn));
        sinceTurn.start();
    });
    for (auto _ : state) {
        state.PauseTiming();
        window->showProgramTexts("", "");
        QApplication::processEvents();
        pane->setFocus();
        const int shown = plot->replotCount();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        window->paste();
        inserting += ms(clock);
        const double cpuBefore = ThreadCpuMs();
        longest = 0;
        sinceTurn.start();
        turns.start();
        while (plot->replotCount() == shown) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longest = std::max(longest, ms(sinceTurn));
        turns.stop();
        stalled += longest;
        busy += ThreadCpuMs() - cpuBefore;
        QApplication::processEvents();
    }
    const auto perIteration = [&state](double total) { return total / static_cast<double>(state.iterations()); };
    // The part of it that the pane itself takes to hold the text.
    state.counters["paste_ms"] = perIteration(inserting);
    state.counters["stall_ms"] = perIteration(stalled);
    state.counters["ui_cpu_ms"] = perIteration(busy);
    state.counters["bytes"] = static_cast<double>(window->standardProgramText().size());
    window->showProgramTexts("", "");
    QGuiApplication::clipboard()->clear();
}

// Copy All of a large standard program: the whole text selected and put on the clipboard.
void CopyAll(benchmark::State& state, MainWindow* window, std::size_t bytes) {
    window->showProgramTexts("", LargeProgram(bytes));
    SettlePlots(window);
    auto* pane = window->findChild<ProgramPane*>(QStringLiteral("txtDataB"));
    pane->setFocus();
    for (auto _ : state) {
        window->copyAll();
        QApplication::processEvents();
    }
    state.counters["bytes"] = static_cast<double>(QGuiApplication::clipboard()->text().size());
    window->showProgramTexts("", "");
    QGuiApplication::clipboard()->clear();
}

// The parts of a keystroke one by one: reading the pane, plotting, painting.
void ReadPane(benchmark::State& state, MainWindow* window) {
    for (auto _ : state) benchmark::DoNotOptimize(window->standardProgramText());
}

void PlotOnly(benchmark::State& state, MainWindow* window) {
    const std::string text = window->standardProgramText();
    ScanState scan;
    for (auto _ : state) benchmark::DoNotOptimize(PlotCuttingPath(text, window->generatorState(), scan));
}

void ThinOnly(benchmark::State& state, MainWindow* window) {
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    for (auto _ : state) benchmark::DoNotOptimize(ThinForPainting(plot->drawing(), plot->width(), plot->height()));
}

void TypeOnly(benchmark::State& state, MainWindow* window) {
    // The editor alone: the pane's change handling switched off for the measurement.
    auto* pane = window->findChild<ProgramPane*>(QStringLiteral("txtDataB"));
    const QSignalBlocker quiet(pane);
    int key = 0;
    for (auto _ : state) {
        if (key++ % 2 == 0) {
            PressKey(pane, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        } else {
            PressKey(pane, Qt::Key_Backspace);
        }
    }
}

void PaintOnly(benchmark::State& state, MainWindow* window) {
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    for (auto _ : state) plot->repaint();
}

// One paint of the worked example's cutting graphic at the window's default size: the labels
// kept apart at its own scale, or the rulers of a zoomed view.
void PaintWorkedExample(benchmark::State& state, MainWindow* window, bool zoomed) {
    GeneratorState generator;
    generator.Shape = testing_shapes::WorkedExample();
    const RunResult run = RunGenerator(generator, OutputOptions{}, "", "");
    const GeneratorState before = window->generatorState();
    const QSize size = window->size();
    window->resize(800, 533);
    window->generatorState() = run.State;
    window->showProgramTexts("", run.ProgramText);
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    if (zoomed) plot->zoomAt(QRectF(plot->contentsRect()).center(), 3);
    QApplication::processEvents();
    for (auto _ : state) plot->repaint();
    plot->resetView();
    window->generatorState() = before;
    window->showProgramTexts("", "");
    window->resize(size);
}

// One key typed into the Retract X box of the shape dialog holding the worked example with the
// retract on the wrong side, alternately a digit and its removal, so that the warning's
// sentence changes each time; with the repaint of the dialog: the check, the marks, the list
// and the sketch.
void ShapeDialogKeystroke(benchmark::State& state, MainWindow* window) {
    ShapeDialog dialog(window);
    dialog.setModal(false);
    const std::pair<int, const char*> values[] = {
        {2, "12.7"}, {3, "3"},  {1, "0.4"}, {12, "29"}, {13, "0"}, {14, "5"},  {15, "-80"}, {16, "0"}, {17, "40"},
        {4, "36"},   {5, "30"}, {18, "30"}, {6, "60"},  {7, "60"}, {8, "0.5"}, {9, "1"},    {10, "1"}, {11, "0.5"}};
    for (const auto& [n, v] : values) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n))->setText(QString::fromLatin1(v));
    }
    for (int k = 0; k < 8; ++k)
        dialog.findChild<QLineEdit*>(QStringLiteral("FEED(%1)").arg(k))->setText(QStringLiteral("0.5"));
    dialog.show();
    auto* retract = dialog.findChild<QLineEdit*>(QStringLiteral("Text17"));
    retract->setFocus();
    retract->end(false);
    int key = 0;
    for (auto _ : state) {
        const Qt::Key k = key++ % 2 == 0 ? Qt::Key_1 : Qt::Key_Backspace;
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, k == Qt::Key_1 ? QStringLiteral("1") : QString());
        QApplication::sendEvent(retract, &press);
        dialog.repaint();
    }
    state.counters["findings"] = static_cast<double>(dialog.findings().size());
}

// The lines of the 1 MB program.
int LargeProgramLines() {
    const std::string text = LargeProgram(std::size_t{1} << 20);
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The standard-program pane holding the 1 MB program, whichever benchmark runs first.
void LoadLargeProgram(MainWindow* window) {
    const std::size_t size = window->standardProgramText().size();
    if (size < (1 << 20) || size > (2 << 20)) {
        window->showProgramTexts("", LargeProgram(std::size_t{1} << 20));
        QApplication::processEvents();
    }
}

ProgramView* StandardProgramView(MainWindow* window) {
    return ViewOf(window->findChild<ProgramPane*>(QStringLiteral("txtDataB")));
}

// The caret one line down or up in the large standard program, with the pass it lands on
// lit up in all four views, until the screen shows it.
void CaretMove(benchmark::State& state, MainWindow* window) {
    LoadLargeProgram(window);
    ProgramView* view = StandardProgramView(window);
    view->pane()->setFocus();
    view->putCaretOn(LargeProgramLines() / 2);
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        PressKey(view->pane(), step++ % 2 == 0 ? Qt::Key_Down : Qt::Key_Up);
        QApplication::processEvents();
    }
}

// The mouse moving over the cutting graphic: the read-out follows it.
void MouseMove(benchmark::State& state, MainWindow* window) {
    LoadLargeProgram(window);
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    int step = 0;
    for (auto _ : state) {
        const QPointF at(100 + step++ % 50, 80);
        QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
        QApplication::processEvents();
    }
}

// One notch of the wheel over the cutting graphic, in and out by turns, until it is painted.
void WheelZoom(benchmark::State& state, MainWindow* window) {
    LoadLargeProgram(window);
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    int step = 0;
    for (auto _ : state) {
        const QPointF at(120, 90);
        QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, step++ % 2 == 0 ? 120 : -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        QApplication::processEvents();
    }
    plot->resetView();
}

// One step of a drag with the middle button over the cutting graphic, until it is painted.
void PanStep(benchmark::State& state, MainWindow* window) {
    LoadLargeProgram(window);
    auto* plot = window->findChild<PlotView*>(QStringLiteral("Picture2"));
    const auto send = [plot](QEvent::Type type, const QPointF& at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, plot->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::MiddleButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(plot, &e);
    };
    send(QEvent::MouseButtonPress, QPointF(200, 100), Qt::MiddleButton);
    int step = 0;
    for (auto _ : state) {
        send(QEvent::MouseMove, QPointF(200 + (step++ % 2 == 0 ? 3 : 0), 100), Qt::MiddleButton);
        QApplication::processEvents();
    }
    send(QEvent::MouseButtonRelease, QPointF(200, 100), Qt::NoButton);
    plot->resetView();
}

// One key typed into the point data of the worked example (28 passes), with the cross-section
// check off or on: the check runs again with every replot of the point graphic.
void PointKeystroke(benchmark::State& state, MainWindow* window, bool checked) {
    const GeneratorState saved = window->generatorState();
    GeneratorState generator;
    generator.Shape = testing_shapes::WorkedExample();
    const RunResult r = RunGenerator(generator, OutputOptions{}, "", "");
    window->generatorState() = r.State;
    window->showProgramTexts(r.PointText, "");
    window->findChild<QAction*>(QStringLiteral("mnuCheck"))->setChecked(checked);
    auto* pane = window->findChild<ProgramPane*>(QStringLiteral("txtDataA"));
    TypeAtEndOfFirstLine(state, pane);
    window->findChild<QAction*>(QStringLiteral("mnuCheck"))->setChecked(false);
    window->showProgramTexts("", "");
    window->generatorState() = saved;
}

// Opening a large program file into the standard-program pane: read, decode (UTF-8, or Latin-1
// after the UTF-8 check fails at its last line), set the pane and replot. Two files that differ
// in their last line take turns, so every open really changes the pane.
void OpenFile(benchmark::State& state, MainWindow* window, std::size_t bytes, bool latin1) {
    QTemporaryDir dir;
    const std::string text = LargeProgram(bytes);
    QString paths[2];
    for (int k = 0; k < 2; ++k) {
        paths[k] = dir.filePath(QStringLiteral("open%1.NC").arg(k));
        QFile file(paths[k]);
        if (!file.open(QIODevice::WriteOnly)) state.SkipWithError("cannot write the file");
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.write(latin1 ? "(\xE9)\r\n" : "(e)\r\n");
        if (k == 1) file.write("M30\r\n");
    }
    window->newProgram();  // clears what other benchmarks typed: nothing to ask about
    window->findChild<ProgramPane*>(QStringLiteral("txtDataB"))->setFocus();
    int k = 0;
    for (auto _ : state) {
        if (!window->openProgramFile(paths[k++ % 2])) state.SkipWithError("not opened");
        SettlePlots(window);  // until the plot shows the file
    }
}

// The same texts set by a command, without the file: what opening adds is the difference.
void SetText(benchmark::State& state, MainWindow* window, std::size_t bytes) {
    const std::string texts[2] = {LargeProgram(bytes) + "(e)\r\n", LargeProgram(bytes) + "(e)\r\nM30\r\n"};
    int k = 0;
    for (auto _ : state) {
        window->showProgramTexts("", texts[k++ % 2]);
        SettlePlots(window);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Offscreen by default, and settings of its own: a benchmark must not move the user's window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    // Painting happens only once the window is on screen.
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    GiveShape(window);

    benchmark::Initialize(&argc, argv);
    // The least of the repetitions is the figure least disturbed by other work on the machine.
    const auto least = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    benchmark::RegisterBenchmark("ShapeDialogKeystroke", ShapeDialogKeystroke, &window)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ComputeStatistics("least", least);
    for (const bool checked : {false, true}) {
        benchmark::RegisterBenchmark(
            checked ? "PointKeystroke/WorkedExample/CheckOn" : "PointKeystroke/WorkedExample/CheckOff", PointKeystroke,
            &window, checked)
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(5)
            ->ComputeStatistics("least", least);
    }
    for (const std::size_t mb : {10, 50}) {
        benchmark::RegisterBenchmark(("Paste/" + std::to_string(mb) + "MB").c_str(), Paste, &window, mb << 20)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(mb > 10 ? 1 : 3);
    }
    benchmark::RegisterBenchmark("CopyAll/10MB", CopyAll, &window, std::size_t{10} << 20)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Keystroke/1MB", Keystroke, &window, std::size_t{1} << 20)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ComputeStatistics("least", least);
    using Run = void (*)(benchmark::State&, MainWindow*);
    for (auto [name, run] : {std::pair<const char*, Run>{"CaretMove/1MB", CaretMove},
                             std::pair<const char*, Run>{"MouseMove/1MB", MouseMove},
                             std::pair<const char*, Run>{"WheelZoom/1MB", WheelZoom},
                             std::pair<const char*, Run>{"PanStep/1MB", PanStep}}) {
        benchmark::RegisterBenchmark(name, run, &window)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ComputeStatistics("least", least);
    }
    benchmark::RegisterBenchmark("ReadPane/1MB", ReadPane, &window)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PlotCuttingPath/1MB", PlotOnly, &window)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Thin/1MB", ThinOnly, &window)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Type/1MB", TypeOnly, &window)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Paint/1MB", PaintOnly, &window)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Keystroke/10MB", Keystroke, &window, std::size_t{10} << 20)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
    benchmark::RegisterBenchmark("SetText/10MB", SetText, &window, std::size_t{10} << 20)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(6);
    for (const bool latin1 : {false, true}) {
        benchmark::RegisterBenchmark(latin1 ? "OpenFile/Latin1/10MB" : "OpenFile/UTF8/10MB", OpenFile, &window,
                                     std::size_t{10} << 20, latin1)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(6);
    }
    for (const char* name : {"ReadPane/10MB", "PlotCuttingPath/10MB", "Thin/10MB", "Type/10MB", "Paint/10MB"}) {
        const std::string n = name;
        auto* b = n.starts_with("ReadPane")      ? benchmark::RegisterBenchmark(name, ReadPane, &window)
                  : n.starts_with("PlotCutting") ? benchmark::RegisterBenchmark(name, PlotOnly, &window)
                  : n.starts_with("Thin")        ? benchmark::RegisterBenchmark(name, ThinOnly, &window)
                  : n.starts_with("Type")        ? benchmark::RegisterBenchmark(name, TypeOnly, &window)
                                                 : benchmark::RegisterBenchmark(name, PaintOnly, &window);
        b->Unit(benchmark::kMillisecond)->Iterations(5);
    }
    for (const bool enter : {false, true}) {
        benchmark::RegisterBenchmark(enter ? "KeystrokeEnter/100MB" : "Keystroke/100MB", KeystrokeInTheMiddle, &window,
                                     std::size_t{100} << 20, enter)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(50);
    }
    // The first key after the text was plotted, alone: the plot takes up the scanner's values
    // from the replot before it.
    benchmark::RegisterBenchmark("FirstKeystroke/100MB", KeystrokeInTheMiddle, &window, std::size_t{100} << 20, false)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    // Last: it replaces the panes' texts, which the benchmarks above build on.
    for (const bool zoomed : {false, true}) {
        benchmark::RegisterBenchmark(zoomed ? "PaintWorkedExample/Zoomed" : "PaintWorkedExample/Own",
                                     PaintWorkedExample, &window, zoomed)
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(5)
            ->ComputeStatistics("least", least);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
