// A gpsd of a test's own: on a free port of this machine's loopback, reading
// one device, stopped and started again at will. A gpsd that the machine may
// run at its usual port is never asked.
#pragma once

#include "support/process.hpp"
#include "support/temp_dir.hpp"

#include <memory>
#include <string>

namespace tevo::test {

class GpsdDaemon {
public:
    // False when the gpsd program is not installed.
    static bool installed();

    // `device` empty: a gpsd without a receiver.
    explicit GpsdDaemon(std::string device);
    ~GpsdDaemon();
    GpsdDaemon(const GpsdDaemon&) = delete;
    GpsdDaemon& operator=(const GpsdDaemon&) = delete;

    // Starts gpsd and waits until it takes connections.
    bool start(int timeoutMs);
    // Ends it as a system's shutdown does.
    void stop(int timeoutMs);

    int port() const { return port_; }
    // A gpsd.xml that points tevo at this gpsd.
    std::string settings() const;
    std::string errors() const { return process_ ? process_->errors() : std::string(); }

private:
    std::string device_;
    int port_;
    TempDir dir_; // the control socket of a gpsd without a device
    std::unique_ptr<ChildProcess> process_;
};

// A TCP port on the loopback that nothing listens on now.
int freeTcpPort();

} // namespace tevo::test
