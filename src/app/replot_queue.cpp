// The plots' replots and clears, run in the order they were asked for.
#include "app/replot_queue.h"

#include "app/plot_view.h"
#include "app/program_view.h"

#include <utility>

namespace quillane {

ReplotQueue::ReplotQueue(ProgramView* points, ProgramView* program, QObject* parent)
    : QObject(parent), views_{points, program} {
    for (ProgramView* view : views_) connect(view, &ProgramView::backgroundPlotLanded, this, &ReplotQueue::run);
}

void ReplotQueue::replot(ProgramView* view, const GeneratorState& record) {
    for (ProgramView* other : views_) {
        if (other != view && other->takeWaitingReplot()) add({other, false, record});
    }
    view->takeWaitingReplot();  // this replot takes its changes too
    add({view, false, record});
    run();
}

void ReplotQueue::clear(ProgramView* view) {
    add({view, true, {}});
    run();
}

bool ReplotQueue::idle() const { return waiting_.empty() && !drawing(); }

void ReplotQueue::add(Request request) {
    // Two replots of one view in a row are one: the first takes every change the pane recorded.
    if (!request.Clear && !waiting_.empty() && waiting_.back().View == request.View && !waiting_.back().Clear) {
        waiting_.back().Record = request.Record;
        return;
    }
    waiting_.push_back(std::move(request));
}

bool ReplotQueue::drawing() const {
    for (const ProgramView* view : views_) {
        if (view->drawingInBackground()) return true;
    }
    return false;
}

void ReplotQueue::run() {
    // A replot's own signals may ask for more; the loop below takes those too.
    if (running_) return;
    running_ = true;
    while (!waiting_.empty() && !drawing()) {
        const Request next = std::move(waiting_.front());
        waiting_.pop_front();
        if (next.Clear) {
            next.View->plot()->clearToButtonFace();
        } else {
            next.View->replot(next.Record);
        }
    }
    running_ = false;
}

}  // namespace quillane
