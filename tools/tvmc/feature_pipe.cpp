#include "tools/tvmc/feature_pipe.hpp"

namespace tevo::tvmc {

namespace {

// Features of a batch, and batches waiting: enough to even out the work
// of both sides, little enough memory.
constexpr std::size_t kBatchFeatures = 256;
constexpr std::size_t kMaxBatches = 8;

} // namespace

FeaturePipe::FeaturePipe(std::function<void(Feature&&)> consume)
    : consume_(std::move(consume)), worker_([this] { run(); }) {
    batch_.reserve(kBatchFeatures);
}

FeaturePipe::~FeaturePipe() {
    finish();
}

void FeaturePipe::add(Feature&& f) {
    std::unique_lock lock(mutex_);
    batch_.push_back(std::move(f));
    if (batch_.size() < kBatchFeatures) return;
    changed_.wait(lock, [this] { return queue_.size() < kMaxBatches; });
    // Another thread may have sent the batch off while this one waited.
    if (batch_.size() < kBatchFeatures) return;
    queue_.push_back(std::move(batch_));
    batch_ = {};
    batch_.reserve(kBatchFeatures);
    changed_.notify_all();
}

void FeaturePipe::finish() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        if (!batch_.empty()) queue_.push_back(std::move(batch_));
        batch_ = {};
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
