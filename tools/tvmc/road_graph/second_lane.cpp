#include "tools/tvmc/road_graph/second_lane.hpp"

namespace tevo::tvmc {

SecondLane::SecondLane() {
    if (std::thread::hardware_concurrency() >= 2) thread_ = std::thread([this] { serve(); });
}

SecondLane::~SecondLane() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void SecondLane::runBoth(const std::function<void(int)>& job) {
    if (!thread_.joinable()) return job(0);
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        ++started_;
    }
    wake_.notify_one();
    job(0);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return done_ == started_; });
    job_ = nullptr;
}

void SecondLane::serve() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [&] { return stop_ || done_ != started_; });
        if (stop_) return;
        const std::function<void(int)>* job = job_;
        lock.unlock();
        (*job)(1);
        lock.lock();
        done_ = started_;
        finished_.notify_one();
    }
}

} // namespace tevo::tvmc
