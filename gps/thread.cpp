#include "gps/thread.hpp"

namespace tevo {

cThread::cThread() : thread_([this] { body(); }) {}

cThread::~cThread() {
    halt();
}

void cThread::resume() {
    {
        std::lock_guard<std::mutex> guard(gateLock_);
        open_ = true;
    }
    gate_.notify_all();
}

bool cThread::resumed() const {
    std::lock_guard<std::mutex> guard(gateLock_);
    return open_;
}

void cThread::halt() {
    stop = true;
    resume(); // a thread never resumed leaves at once: stop is set
    if (thread_.joinable()) thread_.join();
}

void cThread::body() {
    {
        std::unique_lock<std::mutex> guard(gateLock_);
        gate_.wait(guard, [this] { return open_; });
    }
    if (!stop) run();
}

} // namespace tevo
