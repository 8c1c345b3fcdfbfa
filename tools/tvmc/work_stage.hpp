// Runs a later stage of the work on a thread of its own: the thread before
// it hands over each item (a buffer of objects, a block of records) when it
// is done with it, and the stage works through them in the order they came,
// a few items behind at most, so that the two share the machine's cores.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace tevo::tvmc {

template <typename T> class WorkStage {
public:
    using Work = std::function<void(T&)>;

    // `behind`: the items that may wait at most.
    WorkStage(Work work, std::size_t behind)
        : work_(std::move(work)), behind_(behind), worker_([this] { run(); }) {}
    // Stops the stage, dropping what still waits (after a failure elsewhere).
    ~WorkStage() { stop(true); }
    WorkStage(const WorkStage&) = delete;
    WorkStage& operator=(const WorkStage&) = delete;

    // Waits while the stage is `behind` items behind. Throws what the
    // stage's work threw, once it has stopped.
    void add(T&& item) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return queue_.size() < behind_ || failure_; });
            if (!failure_) queue_.push_back(std::move(item));
        }
        changed_.notify_all();
        rethrow();
    }

    // Waits until every item is worked through; throws as add does.
    void finish() {
        stop(false);
        rethrow();
    }

private:
    void stop(bool drop) {
        if (!worker_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            if (drop) queue_.clear();
            closed_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }

    void rethrow() {
        std::exception_ptr failure;
        {
            std::lock_guard lock(mutex_);
            failure = failure_;
        }
        if (!failure) return;
        stop(true);
        std::rethrow_exception(failure);
    }

    void run() {
        while (true) {
            T item;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return !queue_.empty() || closed_; });
                if (queue_.empty()) return;
                item = std::move(queue_.front());
                queue_.pop_front();
            }
            changed_.notify_all();
            try {
                work_(item);
            } catch (...) {
                std::lock_guard lock(mutex_);
                failure_ = std::current_exception();
                queue_.clear();
                changed_.notify_all();
                return;
            }
        }
    }

    Work work_;
    std::size_t behind_;
    std::deque<T> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool closed_ = false;
    std::exception_ptr failure_;
    std::thread worker_; // last: it starts on the members above
};

} // namespace tevo::tvmc
