// A worker thread created suspended: it runs `run` of its object once resume
// is called, and is stopped and joined by halt.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tevo {

class cThread {
public:
    cThread();
    virtual ~cThread();
    cThread(const cThread&) = delete;
    cThread& operator=(const cThread&) = delete;

    // Lets the suspended thread enter run. Later calls do nothing.
    void resume();
    bool resumed() const;

    // Set to end the loop of run.
    std::atomic<bool> stop{false};

protected:
    // The thread body; returns the thread's result.
    virtual int run() { return 0; }

    // Sets stop and waits for the thread to leave run. A derived class calls
    // it first in its destructor, before the members run uses are gone.
    void halt();

private:
    void body();

    mutable std::mutex gateLock_;
    std::condition_variable gate_;
    bool open_ = false;
    std::thread thread_;
};

} // namespace tevo
