// The NC lexer in an editor: styling a whole large pane, and styling one screen of it (what an
// edit or a scroll costs), which must not depend on the size of the document.
#include "app/nc_lexer.h"
#include "core/shape/program_writers.h"

#include "worked_example.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace quillane;

constexpr std::size_t MB = 1 << 20;

// The worked example's standard program, repeated as repeated runs of "Program Output" leave it.
std::string LargeProgram(std::size_t bytes) {
    GeneratorState state;
    state.Shape = testing_shapes::WorkedExample();
    const std::string run = RunGenerator(state, OutputOptions{}, "", "").ProgramText;
    std::string text;
    text.reserve(bytes + run.size());
    while (text.size() < bytes) text += run;
    return text;
}

void SetText(QsciScintilla& pane, const std::string& text) {
    pane.SendScintilla(QsciScintillaBase::SCI_SETTEXT, text.c_str());
}

void BM_LexerStyleWholePane(benchmark::State& bench) {
    const std::string text = LargeProgram(static_cast<std::size_t>(bench.range(0)) * MB);
    QsciScintilla pane;
    auto* lexer = new NcLexer(&pane);
    pane.setLexer(lexer);
    SetText(pane, text);
    const auto length = static_cast<int>(text.size());
    for (auto _ : bench) lexer->styleText(0, length);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * text.size()));
}

// Sixty lines from the middle of the pane, as a paint after an edit there asks for them.
void BM_LexerStyleScreen(benchmark::State& bench) {
    const std::string text = LargeProgram(static_cast<std::size_t>(bench.range(0)) * MB);
    QsciScintilla pane;
    auto* lexer = new NcLexer(&pane);
    pane.setLexer(lexer);
    SetText(pane, text);
    lexer->styleText(0, static_cast<int>(text.size()));
    const long middle = pane.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) / 2;
    const auto from = static_cast<int>(pane.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, middle));
    const auto to = static_cast<int>(pane.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, middle + 60));
    // An edit there moves Scintilla's gap into the pane's middle, as typing does. (The edit itself is
    // not timed: QScintilla's own cost of an edit grows with its position in the document.)
    pane.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(from), " ");
    pane.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(from), 1L);
    for (auto _ : bench) lexer->styleText(from, to);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * (to - from));
}

}  // namespace

BENCHMARK(BM_LexerStyleWholePane)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LexerStyleScreen)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
