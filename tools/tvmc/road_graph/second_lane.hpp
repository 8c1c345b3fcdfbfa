// A second thread that takes part in a job when asked. A job hands out its
// pieces through a counter that both threads draw from, and each piece's
// result depends on the piece alone, so the outcome is the same whichever
// thread took which piece.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tevo::tvmc {

class SecondLane {
public:
    // Starts the thread only where the machine has a second processor.
    SecondLane();
    ~SecondLane();
    SecondLane(const SecondLane&) = delete;
    SecondLane& operator=(const SecondLane&) = delete;

    // Runs job(1) on the second thread beside job(0) on this one, and
    // returns when both are done; job(0) alone without a second thread.
    void runBoth(const std::function<void(int)>& job);

private:
    void serve();

    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    const std::function<void(int)>* job_ = nullptr;
    uint64_t started_ = 0, done_ = 0;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace tevo::tvmc
