// Hands the features from the reading threads to the level cutting on a
// thread of its own, in the batches the threads send, so that reading, area
// assembly and cutting share the machine's cores. The features of one
// reading thread keep their order; the cut records are sorted by the objects
// they come from, so the map does not depend on how the threads interleave.
#pragma once

#include "tools/tvmc/feature.hpp"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tevo::tvmc {

class FeaturePipe {
public:
    explicit FeaturePipe(std::function<void(Feature&&)> consume);
    ~FeaturePipe();
    FeaturePipe(const FeaturePipe&) = delete;
    FeaturePipe& operator=(const FeaturePipe&) = delete;

    // On the reading threads (any number). Waits while the cutting is a few
    // batches behind.
    void add(std::vector<Feature>&& batch);
    // Waits until every feature added is consumed; the pipe is then closed.
    void finish();

private:
    void run();

    std::function<void(Feature&&)> consume_;
    std::deque<std::vector<Feature>> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool closed_ = false;
    std::thread worker_;
};

} // namespace tevo::tvmc
