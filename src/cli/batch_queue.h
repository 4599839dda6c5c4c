// Batches of drawn items handed from the thread that draws a program to the one that makes the
// picture of them, and their storage handed back to be drawn into again.
#pragma once

#include "core/ncplot/drawing.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace quillane::cli {

// One batch: the items and the scale they were drawn on.
struct DrawnBatch {
    UserScale Scale;
    std::vector<Primitive> Items;
    bool Shown = false;  // already what the picture shows of them (ShownPicture::ShownOf)
};

// Never makes the drawing thread wait: a batch goes in at once, and storage that has not come
// back yet is made anew. Whoever draws closes the queue when done (also when it fails), or the
// taker would wait for ever.
class BatchQueue {
public:
    void Push(DrawnBatch batch) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            full_.push_back(std::move(batch));
        }
        ready_.notify_one();
    }
    void Close() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        ready_.notify_one();
    }
    // The next batch, waiting for it; nothing once the queue is closed and every batch taken.
    std::optional<DrawnBatch> Pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return closed_ || !full_.empty(); });
        if (full_.empty()) return std::nullopt;
        DrawnBatch batch = std::move(full_.front());
        full_.pop_front();
        return batch;
    }
    // Storage of a batch made into a picture, emptied, for the drawing to fill again.
    void Return(std::vector<Primitive> storage) {
        storage.clear();
        const std::lock_guard<std::mutex> lock(mutex_);
        spare_.push_back(std::move(storage));
    }
    // Returned storage, or an empty list with room for `items`.
    std::vector<Primitive> Spare(std::size_t items) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!spare_.empty()) {
                std::vector<Primitive> storage = std::move(spare_.back());
                spare_.pop_back();
                return storage;
            }
        }
        std::vector<Primitive> storage;
        storage.reserve(items);
        return storage;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<DrawnBatch> full_;
    std::vector<std::vector<Primitive>> spare_;
    bool closed_ = false;
};

}  // namespace quillane::cli
