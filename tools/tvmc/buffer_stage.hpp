// Runs a later stage of the reading on a thread of its own: the reading
// thread hands over each buffer of objects when it is done with it, and the
// stage works through them in the order they came, a few buffers behind at
// most, so that the two share the machine's cores.
#pragma once

#include <osmium/memory/buffer.hpp>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace tevo::tvmc {

class BufferStage {
public:
    using Work = std::function<void(osmium::memory::Buffer&)>;

    explicit BufferStage(Work work);
    // Stops the stage, dropping what still waits (after a failure elsewhere).
    ~BufferStage();
    BufferStage(const BufferStage&) = delete;
    BufferStage& operator=(const BufferStage&) = delete;

    // Waits while the stage is several buffers behind. Throws what the
    // stage's work threw, once it has stopped.
    void add(osmium::memory::Buffer&& buffer);
    // Waits until every buffer is worked through; throws as add does.
    void finish();

private:
    void run();
    void stop(bool drop);
    void rethrow();

    Work work_;
    std::deque<osmium::memory::Buffer> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool closed_ = false;
    std::exception_ptr failure_;
    std::thread worker_;
};

} // namespace tevo::tvmc
