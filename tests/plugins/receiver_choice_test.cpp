// The host with both receiver plug-ins in its Plugins folder, as the build
// installs them: a receiver that speaks only GPS sentences is served by
// Sentrix, one that speaks for other systems too by Gnss.
#include "gps/plugin_registry.hpp"
#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "platform/serial_device.hpp"
#include "support/temp_dir.hpp"
#include "tools/nmeasim/pty_port.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

// A receiver on a pseudo-terminal that sends a log over and over, about
// 5 KB a second; what the line cannot take is dropped, never waited for.
class LogTalker {
public:
    explicit LogTalker(const std::string& logPath) {
        std::ifstream in(logPath, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line[0] != '#') log_ += line + "\n";
        }
        if (!log_.empty()) thread_ = std::thread([this] { talk(); });
    }
    ~LogTalker() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    const std::string& device() const { return line_.devicePath(); }
    bool ok() const { return !log_.empty() && line_.ok(); }

private:
    void talk() {
        constexpr std::size_t kChunk = 128;
        for (std::size_t at = 0; !stop_; at = (at + kChunk) % log_.size()) {
            line_.send(std::string_view(log_).substr(at, kChunk)); // a full line drops it
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }

    std::string log_;
    nmeasim::PtyPort line_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class ReceiverChoice : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.path() + "/";
        fs::create_directories(folder + "ports");
        for (const char* name : {"Gnss", "Sentrix"}) {
            fs::create_directories(folder + "Plugins/" + name);
            fs::copy_file(std::string(TEVO_DIST_DIR) + "/Plugins/" + name + "/" + name + ".so",
                          folder + "Plugins/" + name + "/" + name + ".so");
        }
        setMessageBoxesDrawn(false);
        setSerialPortsFolder(folder);
        registry.setSettleTime(300);
    }
    void TearDown() override { setSerialPortsFolder(""); }

    // Detects the receiver that sends `log` on COM3 and returns the index of
    // the receiver plug-in chosen (-1 for none); the reader keeps running.
    int detect(const std::string& log, cPosition& reader) {
        talker = std::make_unique<LogTalker>(std::string(TEVO_SOURCE_DIR) + "/tests/plugins/data/" +
                                             log);
        EXPECT_TRUE(talker->ok());
        fs::create_symlink(talker->device(), folder + "ports/COM3");
        registry.loadPlugins(folder + "Plugins/");
        EXPECT_EQ(2, registry.receiverCount());
        ::testing::internal::CaptureStdout();
        bool found = registry.detectConfiguredReceiver(reader);
        output = ::testing::internal::GetCapturedStdout();
        if (!found) return -1;
        for (int i = 0; i < registry.receiverCount(); ++i) {
            if (registry.receiver(i).PluginPushData == reader.api.PluginPushData) return i;
        }
        return -1;
    }

    static bool waitForPosition(const cPosition& reader, GpsData& fix) {
        for (int i = 0; i < 300; ++i) {
            if (reader.api.PluginIsPositionUpdated()) {
                reader.api.PluginGetGPSData(&fix);
                if (fix.fix != FixNone) return true;
            }
            sleepMs(10);
        }
        return false;
    }

    TempDir dir;
    std::string folder; // dir with a trailing '/'
    std::string output;
    std::unique_ptr<LogTalker> talker;
    cPluginRegistry registry; // outlives every reader
};

TEST_F(ReceiverChoice, GnssIsLoadedFirstAndAsksForMoreBytes) {
    registry.loadPlugins(folder + "Plugins/");
    ASSERT_EQ(2, registry.receiverCount());
    EXPECT_EQ(1024, registry.receiver(0).PluginGetMinimumBytes()); // Gnss
    EXPECT_EQ(150, registry.receiver(1).PluginGetMinimumBytes());  // Sentrix
}

TEST_F(ReceiverChoice, GpsOnlyReceiverIsServedBySentrix) {
    cPosition reader;
    EXPECT_EQ(1, detect("mt3339.log", reader)) << output;
    // One sample: Gnss declined it, Sentrix took it.
    EXPECT_EQ("Detecting GPS... readed: 1024\n COM3 at 57600 bps\n", output);
    GpsData fix{};
    ASSERT_TRUE(waitForPosition(reader, fix));
    EXPECT_NEAR(0.0, fix.latitude, 90.0);
}

TEST_F(ReceiverChoice, MultiSystemReceiverIsServedByGnssAndGivesPositions) {
    cPosition reader;
    EXPECT_EQ(0, detect("ch-4711.log", reader)) << output;
    EXPECT_EQ("Detecting GPS... readed: 1024\n COM3 at 57600 bps\n", output);
    GpsData fix{};
    ASSERT_TRUE(waitForPosition(reader, fix));
    EXPECT_NEAR(55.717, fix.latitude, 0.01);
    EXPECT_NEAR(37.412, fix.longitude, 0.01);
}

TEST_F(ReceiverChoice, GpsPositionsWithBeiDouSatellitesGoToGnss) {
    cPosition reader;
    EXPECT_EQ(0, detect("skytraq-dgps.log", reader)) << output;
    GpsData fix{};
    ASSERT_TRUE(waitForPosition(reader, fix));
    EXPECT_LT(fix.longitude, -100.0); // 121 W
}

} // namespace
} // namespace tevo::test
