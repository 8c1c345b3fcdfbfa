// The position worker: what it pushes into the plug-in and when.
#include "gps/position.hpp"
#include "gps/serial_port.hpp"
#include "platform/clock.hpp"
#include "platform/serial_device.hpp"
#include "support/temp_dir.hpp"
#include "tools/nmeasim/pty_port.hpp"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace tevo::test {
namespace {

// What the worker handed to the plug-in.
struct Pushes {
    std::mutex lock;
    std::vector<int32_t> sizes;
    std::string bytes;
};
Pushes gPushes;

int32_t recordPush(const uint8_t* data, int32_t length) {
    std::lock_guard<std::mutex> guard(gPushes.lock);
    gPushes.sizes.push_back(length);
    gPushes.bytes.append(reinterpret_cast<const char*>(data), length);
    return 0;
}

class Position : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.link(folder.path(), 3));
        setSerialPortsFolder(folder.path() + "/");
        std::lock_guard<std::mutex> guard(gPushes.lock);
        gPushes.sizes.clear();
        gPushes.bytes.clear();
        reader.api.PluginPushData = recordPush;
        auto port = std::make_unique<cSerialPort>();
        ASSERT_TRUE(port->open(3, 4800));
        reader.source = std::move(port);
        reader.start();
    }
    void TearDown() override { setSerialPortsFolder(""); }

    std::size_t pushedBytes() {
        std::lock_guard<std::mutex> guard(gPushes.lock);
        return gPushes.bytes.size();
    }
    bool waitForPushed(std::size_t n) {
        for (int i = 0; i < 2000 && pushedBytes() < n; ++i) sleepMs(1);
        return pushedBytes() >= n;
    }

    nmeasim::PtyPort pty;
    TempDir folder;
    cPosition reader;
};

TEST_F(Position, PushesTrickledBytesInBatchesOfAtLeast60) {
    std::string sent;
    for (int i = 0; i < 300; ++i) sent += char('a' + i % 26);
    for (std::size_t i = 0; i < sent.size(); i += 7) {
        pty.write(sent.substr(i, 7));
        sleepMs(2);
    }
    // 300 bytes: everything but a tail of fewer than 60 is pushed.
    ASSERT_TRUE(waitForPushed(241));
    sleepMs(50);
    std::lock_guard<std::mutex> guard(gPushes.lock);
    for (int32_t size : gPushes.sizes) EXPECT_GE(size, cPosition::kMinimumBatch);
    EXPECT_EQ(sent.substr(0, gPushes.bytes.size()), gPushes.bytes);
}

TEST_F(Position, FewerThan60BytesAreNeverPushed) {
    pty.write(std::string(59, 'x'));
    sleepMs(200);
    EXPECT_EQ(0u, pushedBytes());
    pty.write("y");
    EXPECT_TRUE(waitForPushed(60));
}

TEST_F(Position, LargeBacklogGoesInBatchesOfAtMost4096) {
    std::string sent;
    for (int i = 0; i < 12000; ++i) sent += char('A' + i % 23);
    pty.write(sent);
    ASSERT_TRUE(waitForPushed(sent.size()));
    std::lock_guard<std::mutex> guard(gPushes.lock);
    for (int32_t size : gPushes.sizes) EXPECT_LE(size, cPosition::kBatchSize);
    EXPECT_EQ(sent, gPushes.bytes);
}

// Waits up to `ms` for the receiver's link to become `link`.
bool waitForLink(const cPosition& reader, ReceiverLink link, int ms) {
    for (int waited = 0; waited < ms && reader.status().link != link; waited += 10) sleepMs(10);
    return reader.status().link == link;
}

TEST_F(Position, ASourceThatFallsSilentOrGoesAwayIsLostUntilItIsBack) {
    pty.write(std::string(100, 'a'));
    ASSERT_TRUE(waitForPushed(100));
    EXPECT_EQ(ReceiverLink::Open, reader.status().link);
    EXPECT_EQ(u"COM3 at 4800 bps", reader.status().source);
    // Nothing for a while: lost, until bytes come again.
    EXPECT_TRUE(waitForLink(reader, ReceiverLink::Lost, ReceiverStatus::kSilentMs + 1000));
    pty.write(std::string(100, 'b'));
    EXPECT_TRUE(waitForLink(reader, ReceiverLink::Open, 1000));
    // Unplugged: lost; plugged in again on the same port: opened, then open
    // with its first bytes, which reach the plug-in.
    pty.hangUp();
    EXPECT_TRUE(waitForLink(reader, ReceiverLink::Lost, 1000));
    nmeasim::PtyPort back;
    ASSERT_TRUE(back.link(folder.path(), 3));
    EXPECT_TRUE(waitForLink(reader, ReceiverLink::Reopening, 3 * ReceiverStatus::kReopenMs));
    back.write(std::string(100, 'c'));
    EXPECT_TRUE(waitForLink(reader, ReceiverLink::Open, 1000));
    ASSERT_TRUE(waitForPushed(300));
    std::lock_guard<std::mutex> guard(gPushes.lock);
    EXPECT_EQ(std::string(100, 'c'), gPushes.bytes.substr(200));
}

TEST(PositionLifetime, NeverResumedWorkerEndsWithTheObject) {
    cPosition reader;
    EXPECT_EQ(0, reader.portNumber);
    EXPECT_EQ(nullptr, reader.api.PluginPushData);
}

} // namespace
} // namespace tevo::test
