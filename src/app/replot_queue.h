// The plots' replots and clears, run in the order they were asked for: both plots carry one
// scan state from plot to plot, so each replot reads what the one before it left. While a whole
// replot of a very large text is drawn on its own thread, what comes after it waits here, each
// with the record as it stood when asked for, and runs once that plot is shown.
#pragma once

#include "core/shape/program_writers.h"

#include <QObject>

#include <array>
#include <deque>

namespace quillane {

class ProgramView;

class ReplotQueue : public QObject {
    Q_OBJECT
public:
    ReplotQueue(ProgramView* points, ProgramView* program, QObject* parent = nullptr);

    // Replots `view` with `record`, now or after what waits before it. A replot still waiting in
    // the other view (a very large pane's, until the keys pause) goes first.
    void replot(ProgramView* view, const GeneratorState& record);
    // Clears the plot of `view` to the button face, after the replots asked for before.
    void clear(ProgramView* view);
    // No plot is being drawn on its own thread and nothing waits here.
    bool idle() const;

private:
    struct Request {
        ProgramView* View = nullptr;
        bool Clear = false;
        GeneratorState Record;
    };
    void add(Request request);
    bool drawing() const;
    void run();

    std::array<ProgramView*, 2> views_;
    std::deque<Request> waiting_;
    bool running_ = false;
};

}  // namespace quillane
