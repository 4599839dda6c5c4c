// A whole replot of a very large text drawn on a thread of its own.
#include "app/background_plot.h"

#include <new>
#include <utility>

namespace quillane {

BackgroundPlot::BackgroundPlot(QObject* parent) : QObject(parent) {}

BackgroundPlot::~BackgroundPlot() {
    // The thread touches nothing of ours but the queued call that hands its result over, which
    // goes with this object unrun; the wait is one replot at most.
    if (thread_.joinable()) thread_.join();
}

void BackgroundPlot::start(PlotKind kind, std::string text, const GeneratorState& record, const ScanState& scan) {
    auto result = std::make_shared<Result>(Result{nullptr, scan, record});
    thread_ = std::thread([this, kind, text = std::move(text), result] {
        try {
            auto plot = std::make_unique<IncrementalPlot>(kind);
            ScanState carried = result->Scan;
            plot->Replot(text, result->Record, carried);
            result->Plot = std::move(plot);
            result->Scan = std::move(carried);
        } catch (const std::bad_alloc&) {
            // Nothing drawn: the shown picture stays, and so does the scan state.
        }
        // Queued to this object's thread; when this object is destroyed first, the call goes
        // with it unrun.
        QMetaObject::invokeMethod(
            this, [this, result] { finish(result); }, Qt::QueuedConnection);
    });
}

void BackgroundPlot::finish(const std::shared_ptr<Result>& result) {
    thread_.join();  // it has nothing left to do but end
    result_ = std::move(*result);
    emit landed();
}

BackgroundPlot::Result BackgroundPlot::take() { return std::exchange(result_, {}); }

}  // namespace quillane
