#include "tools/tvmc/buffer_stage.hpp"

namespace tevo::tvmc {

namespace {

// Buffers waiting: enough to even out the work of both sides; each holds
// a few thousand objects.
constexpr std::size_t kMaxBuffers = 4;

} // namespace

BufferStage::BufferStage(Work work) : work_(std::move(work)), worker_([this] { run(); }) {}

BufferStage::~BufferStage() {
    stop(true);
}

void BufferStage::add(osmium::memory::Buffer&& buffer) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queue_.size() < kMaxBuffers || failure_; });
        if (!failure_) queue_.push_back(std::move(buffer));
    }
    changed_.notify_all();
    rethrow();
}

void BufferStage::finish() {
    stop(false);
    rethrow();
}

void BufferStage::stop(bool drop) {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        if (drop) queue_.clear();
        closed_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void BufferStage::rethrow() {
    std::exception_ptr failure;
    {
        std::lock_guard lock(mutex_);
        failure = failure_;
    }
    if (failure) {
        stop(true);
        std::rethrow_exception(failure);
    }
}

void BufferStage::run() {
    while (true) {
        osmium::memory::Buffer buffer;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || closed_; });
            if (queue_.empty()) return;
            buffer = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        try {
            work_(buffer);
        } catch (...) {
            std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
            queue_.clear();
            changed_.notify_all();
            return;
        }
    }
}

} // namespace tevo::tvmc
