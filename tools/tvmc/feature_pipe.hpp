// Hands the features from the reading thread to the level cutting on a
// thread of its own, in batches, so that reading, area assembly and cutting
// share the machine's cores. The cutting sees the features in the order
// they were read, so the map does not depend on the threads.
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

    // On the reading thread. Waits while the cutting is a few batches behind.
    void add(Feature&& f);
    // Waits until every feature added is consumed; the pipe is then closed.
    void finish();

private:
    void run();

    std::function<void(Feature&&)> consume_;
    std::vector<Feature> batch_; // being filled by the reading thread
    std::deque<std::vector<Feature>> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool closed_ = false;
    std::thread worker_;
};

} // namespace tevo::tvmc
