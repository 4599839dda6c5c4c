// A whole replot of a very large text drawn on a thread of its own, so that the window keeps
// answering input while it is drawn. The thread works on its own copies only (the text, the
// record, the scan state and a fresh plot); the result comes back on the window's thread.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/incremental_plot.h"
#include "core/ncplot/nc_scanner.h"
#include "core/shape/program_writers.h"

#include <QObject>

#include <memory>
#include <string>
#include <thread>

namespace quillane {

class BackgroundPlot : public QObject {
    Q_OBJECT
public:
    // What the thread drew: a plot of the copied text, ready to take the place of the one
    // shown, the scan state it left and the record it read. Without a plot (out of memory)
    // nothing was drawn and the scan state is as it came.
    struct Result {
        std::unique_ptr<IncrementalPlot> Plot;
        ScanState Scan;
        GeneratorState Record;
    };

    explicit BackgroundPlot(QObject* parent = nullptr);
    // Waits for a plot still being drawn and drops it.
    ~BackgroundPlot() override;

    // Starts drawing `text` whole as Replot does; no other plot of this one may be running.
    void start(PlotKind kind, std::string text, const GeneratorState& record, const ScanState& scan);
    // From start() until landed() has been emitted.
    bool running() const { return thread_.joinable(); }
    // The result, once landed() was emitted.
    Result take();

signals:
    // The plot is drawn: take() gives it.
    void landed();

private:
    void finish(const std::shared_ptr<Result>& result);

    std::thread thread_;
    Result result_;
};

}  // namespace quillane
