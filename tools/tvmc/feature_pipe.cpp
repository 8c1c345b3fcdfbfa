#include "tools/tvmc/feature_pipe.hpp"

namespace tevo::tvmc {

namespace {

// Batches waiting (of up to 256 features each): enough to even out the
// work of the three sides, whose pace changes from block to block (a run of
// buildings, a run of long roads), and a few megabytes at most. A quarter
// of this kept the second pass waiting more often (its runs took 2 to 10 %
// longer, alternated).
constexpr std::size_t kMaxBatches = 32;

} // namespace

FeaturePipe::FeaturePipe(std::function<void(Feature&&)> consume)
    : consume_(std::move(consume)), worker_([this] { run(); }) {}

FeaturePipe::~FeaturePipe() {
    finish();
}

void FeaturePipe::add(std::vector<Feature>&& batch) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queue_.size() < kMaxBatches; });
        queue_.push_back(std::move(batch));
    }
    changed_.notify_all();
}

void FeaturePipe::finish() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void FeaturePipe::run() {
    while (true) {
        std::vector<Feature> batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || closed_; });
            if (queue_.empty()) return;
            batch = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        for (Feature& f : batch) consume_(std::move(f));
    }
}

} // namespace tevo::tvmc
