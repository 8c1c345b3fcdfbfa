// The serial port reader over a pseudo-terminal: bytes reach takeBytes, close
// releases the reader, the waits of takeBytes, a device that goes away.
#include "gps/serial_port.hpp"
#include "platform/clock.hpp"
#include "platform/quit_request.hpp"
#include "platform/serial_device.hpp"
#include "support/temp_dir.hpp"
#include "tools/nmeasim/pty_port.hpp"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace tevo::test {
namespace {

using Clock = std::chrono::steady_clock;

// CPU time (user + system) this process has used, in milliseconds.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long msSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.link(folder.path(), 3));
        setSerialPortsFolder(folder.path() + "/");
    }
    void TearDown() override { setSerialPortsFolder(""); }

    // Waits until the port holds `n` bytes or a second has passed.
    bool waitForCount(int32_t n) {
        for (int i = 0; i < 1000 && port.count() < n; ++i) sleepMs(1);
        return port.count() >= n;
    }

    nmeasim::PtyPort pty;
    TempDir folder;
    cSerialPort port;
};

TEST_F(SerialPort, MapsPortsThroughThePortsFolderOnly) {
    EXPECT_EQ(folder.file("ports/COM3"), serialDevicePath(3));
    setSerialPortsFolder("/nonexistent/");
    const struct {
        int32_t port;
        const char* device;
    } table[] = {{1, "/dev/ttyS0"},
                 {4, "/dev/ttyS3"},
                 {5, "/dev/ttyUSB0"},
                 {20, "/dev/ttyUSB15"},
                 {21, "/dev/ttyACM0"},
                 {36, "/dev/ttyACM15"},
                 {37, "/dev/ttyS4"},
                 {64, "/dev/ttyS31"},
                 {65, "/dev/rfcomm0"},
                 {72, "/dev/rfcomm7"},
                 {73, ""},
                 {0, ""}};
    for (const auto& entry : table) EXPECT_EQ(entry.device, serialDevicePath(entry.port));
}

TEST_F(SerialPort, PortWithoutDeviceDoesNotOpen) {
    EXPECT_FALSE(port.open(9, 4800));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(0, port.takeBytes(10, std::vector<uint8_t>(10).data()));
}

TEST_F(SerialPort, BytesWrittenAtTheReceiverArriveInOrder) {
    ASSERT_TRUE(port.open(3, 4800));
    EXPECT_EQ(3, port.portNumber());
    EXPECT_EQ(4800, port.baudRate());
    std::string sent = "$GPGGA,1,2,3\r\n$GPRMC,4,5,6\r\n";
    pty.write(sent);
    ASSERT_TRUE(waitForCount(int32_t(sent.size())));
    std::vector<uint8_t> got(sent.size());
    EXPECT_EQ(int32_t(sent.size()), port.takeBytes(int32_t(sent.size()), got.data()));
    EXPECT_EQ(sent, std::string(got.begin(), got.end()));
    EXPECT_EQ(0, port.count());
}

TEST_F(SerialPort, OpeningAgainClosesThePreviousPort) {
    nmeasim::PtyPort other;
    ASSERT_TRUE(other.link(folder.path(), 4));
    ASSERT_TRUE(port.open(3, 4800));
    ASSERT_TRUE(port.open(4, 9600));
    // COM3 is free again: a second port can take it (ports are not shared).
    cSerialPort second;
    EXPECT_TRUE(second.open(3, 4800));
    cSerialPort third;
    EXPECT_FALSE(third.open(4, 4800));
}

TEST_F(SerialPort, CloseReleasesAWaitingReaderPromptly) {
    ASSERT_TRUE(port.open(3, 4800));
    sleepMs(50); // the reader is blocked in its wait
    auto start = Clock::now();
    port.close();
    EXPECT_LT(msSince(start), 210);
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(port.open(3, 4800)); // and opens again
    pty.write("again\n");
    EXPECT_TRUE(waitForCount(6));
}

TEST_F(SerialPort, TakeBytesGivesUpAfterTwoEmptyPeriods) {
    ASSERT_TRUE(port.open(3, 4800));
    std::vector<uint8_t> got(150);
    auto start = Clock::now();
    EXPECT_EQ(0, port.takeBytes(150, got.data())); // periods of 150 * 10000 / 4800 = 312 ms
    long elapsed = msSince(start);
    EXPECT_GE(elapsed, 2 * 312);
    EXPECT_LT(elapsed, 3 * 312);
}

TEST_F(SerialPort, TakeBytesSettlesForWhatCameAfterFivePeriods) {
    ASSERT_TRUE(port.open(3, 4800));
    pty.write(std::string(100, 'x'));
    ASSERT_TRUE(waitForCount(100));
    std::vector<uint8_t> got(150);
    auto start = Clock::now();
    EXPECT_EQ(100, port.takeBytes(150, got.data()));
    long elapsed = msSince(start);
    EXPECT_GE(elapsed, 5 * 312);
    EXPECT_LT(elapsed, 6 * 312);
}

TEST_F(SerialPort, TakeBytesWaitIsBoundedAtAnyRate) {
    // At 50 bps a period for 150 bytes would be 30 s; it is cut to 2 s.
    ASSERT_TRUE(port.open(3, 50));
    std::vector<uint8_t> got(150);
    auto start = Clock::now();
    EXPECT_EQ(0, port.takeBytes(150, got.data()));
    long elapsed = msSince(start);
    EXPECT_GE(elapsed, 2 * 2000);
    EXPECT_LT(elapsed, 2 * 2000 + 500);
}

TEST_F(SerialPort, TakeBytesEndsEmptyWhenTheProgramIsAskedToEnd) {
    ASSERT_TRUE(port.open(3, 4800));
    pty.write(std::string(100, 'x'));
    ASSERT_TRUE(waitForCount(100));
    std::thread asker([] {
        sleepMs(100);
        requestQuit();
    });
    std::vector<uint8_t> got(150);
    auto start = Clock::now();
    EXPECT_EQ(0, port.takeBytes(150, got.data())); // would settle for 100 after 5 periods
    EXPECT_LT(msSince(start), 300);
    asker.join();
    clearQuitRequest();
    EXPECT_EQ(100, port.count()); // the bytes stay for the next reader
}

TEST_F(SerialPort, OverflowKeepsTheNewestBytes) {
    ASSERT_TRUE(port.open(3, 57600));
    std::string old(12000, 'o');
    pty.write(old);
    ASSERT_TRUE(waitForCount(12000));
    std::string fresh(6000, 'n');
    pty.write(fresh);
    sleepMs(200);
    int32_t n = port.count();
    EXPECT_LE(n, cSerialPort::kBufferSize);
    std::vector<uint8_t> got(n);
    ASSERT_EQ(n, port.takeBytes(n, got.data()));
    ASSERT_GT(n, 0);
    EXPECT_EQ('n', got.back());
}

TEST_F(SerialPort, OverflowByAFewBytesDropsTheOldOnes) {
    ASSERT_TRUE(port.open(3, 57600));
    pty.write(std::string(cSerialPort::kBufferSize - 34, 'o'));
    ASSERT_TRUE(waitForCount(cSerialPort::kBufferSize - 34));
    pty.write(std::string(60, 'n'));
    sleepMs(200);
    ASSERT_EQ(60, port.count());
    std::vector<uint8_t> got(60);
    ASSERT_EQ(60, port.takeBytes(60, got.data()));
    EXPECT_EQ(std::vector<uint8_t>(60, 'n'), got);
}

TEST_F(SerialPort, DeviceThatGoesAwayCostsNoBusyLoop) {
    ASSERT_TRUE(port.open(3, 4800));
    pty.write("last words\n");
    ASSERT_TRUE(waitForCount(11));
    pty.hangUp();
    sleepMs(100);
    double before = processCpuMs();
    sleepMs(1000);
    EXPECT_LT(processCpuMs() - before, 50.0); // under 5 % of a core
    std::vector<uint8_t> got(11);
    EXPECT_EQ(11, port.takeBytes(11, got.data()));
    auto start = Clock::now();
    port.close();
    EXPECT_LT(msSince(start), 210);
}

// A pseudo-terminal does not come back when its program ends, and its number
// may go to another program's: the link to it is followed again only once a
// program made it anew.
TEST_F(SerialPort, AGonePseudoTerminalIsOpenedAgainOnlyThroughANewLink) {
    const std::string link = folder.file("ports/COM5");
    auto first = std::make_unique<nmeasim::PtyPort>();
    ASSERT_EQ(0, symlink(first->devicePath().c_str(), link.c_str()));
    SerialDevice device;
    ASSERT_TRUE(device.open(link, 4800));
    device.close();
    first.reset();
    nmeasim::PtyPort next; // may take the number the link still names
    EXPECT_FALSE(device.mayReopen(link));
    sleepMs(20);
    ASSERT_EQ(0, unlink(link.c_str()));
    ASSERT_EQ(0, symlink(next.devicePath().c_str(), link.c_str()));
    EXPECT_TRUE(device.mayReopen(link));
}

} // namespace
} // namespace tevo::test
