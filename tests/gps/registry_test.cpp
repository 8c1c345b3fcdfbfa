// The plug-in host with a Plugins folder made here: the real Sentrix and the
// small libraries of this folder; then finding a receiver on a pty.
#include "gps/plugin_registry.hpp"
#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "platform/serial_device.hpp"
#include "support/temp_dir.hpp"
#include "tools/nmeasim/pty_port.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

std::string sentrixLibrary() {
    return std::string(TEVO_DIST_DIR) + "/Plugins/Sentrix/Sentrix.so";
}
std::string testLibrary(const std::string& name) {
    return std::string(TEST_PLUGIN_DIR) + "/" + name + ".so";
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        setMessageBoxesDrawn(false);
        logPath = folder.file("calls.log");
        setenv("TEVO_PLUGIN_LOG", logPath.c_str(), 1);
        folder.makeFolder("Plugins");
        folder.makeFolder("ports");
        setSerialPortsFolder(folder.path() + "/");
    }
    void TearDown() override {
        unsetenv("TEVO_PLUGIN_LOG");
        setSerialPortsFolder("");
    }

    // Installs a library as Plugins/<name>/<name>.so.
    void install(const std::string& name, const std::string& library) const {
        folder.makeFolder("Plugins/" + name);
        fs::copy_file(library, plugins() + name + "/" + name + ".so");
    }
    std::string plugins() const { return folder.file("Plugins/"); }

    std::vector<std::string> calls() const {
        std::ifstream in(logPath);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    bool called(const std::string& line) const {
        for (const std::string& call : calls()) {
            if (call.rfind(line, 0) == 0) return true;
        }
        return false;
    }

    TempDir folder;
    std::string logPath;
};

TEST_F(Registry, BindsEachKindAndReportsEachProblem) {
    install("Alpha", testLibrary("consumer_b"));
    install("Beta", testLibrary("consumer_a"));
    install("Broken", testLibrary("no_init"));
    folder.makeFolder("Plugins/Empty");
    std::ofstream(plugins() + "Empty/Empty.so") << "not a library";
    install("Odd", testLibrary("odd_kind"));
    install("Sentrix", sentrixLibrary());
    install("Zeta", testLibrary("no_ssi"));
    install(".hidden", testLibrary("consumer_a"));
    fs::copy_file(testLibrary("consumer_a"), plugins() + "Loose.so");
    folder.makeFolder("Plugins/Missing");

    cPluginRegistry registry;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(1, registry.loadPlugins(plugins()));
    std::string boxes = ::testing::internal::GetCapturedStderr();

    EXPECT_NE(std::string::npos, boxes.find("Error while load DLL"));
    EXPECT_NE(std::string::npos, boxes.find(plugins() + "Empty/Empty.so"));
    EXPECT_NE(std::string::npos, boxes.find(plugins() + "Missing/Missing.so"));
    EXPECT_NE(std::string::npos, boxes.find("Incopatible DLL"));
    EXPECT_NE(std::string::npos, boxes.find(plugins() + "Broken/Broken.so"));
    EXPECT_NE(std::string::npos, boxes.find("Isn't support all needed functions"));
    EXPECT_NE(std::string::npos, boxes.find(plugins() + "Zeta/Zeta.so"));

    // Alpha, Beta, Odd, Sentrix and Zeta keep slots; only Sentrix is a receiver.
    EXPECT_EQ(5, registry.libraryCount());
    EXPECT_EQ(1, registry.receiverCount());
    EXPECT_EQ(1, registry.consumerCountA());
    EXPECT_EQ(1, registry.consumerCountB());
    EXPECT_NE(nullptr, registry.receiver(0).PluginGetSSI);

    std::vector<std::string> loaded = calls();
    ASSERT_GE(loaded.size(), 2u);
    EXPECT_EQ("Alpha.so Init " + plugins() + "Alpha/Alpha.so", loaded[0]);
    EXPECT_EQ("Alpha.so GetDetails", loaded[1]);
    EXPECT_FALSE(called("Loose.so"));
    EXPECT_FALSE(called(".hidden.so"));
    EXPECT_FALSE(called("? GetDetails")); // the library without PluginInit is not asked

    // Kind 4 before kind 8, whatever the load order; only the record given.
    GpsData record{};
    record.latitude = 52.0f;
    record.fix = 3;
    registry.notifyConsumers(record);
    std::vector<std::string> after = calls();
    ASSERT_EQ(loaded.size() + 2, after.size());
    EXPECT_EQ("Beta.so SetGPSData 52", after[loaded.size()]);
    EXPECT_EQ("Alpha.so SetGPSData 52", after[loaded.size() + 1]);

    registry.unloadPlugins();
    EXPECT_TRUE(called("Alpha.so DeInit"));
    EXPECT_TRUE(called("Beta.so DeInit"));
    EXPECT_TRUE(called("Odd.so DeInit"));
    EXPECT_TRUE(called("Zeta.so DeInit"));
    EXPECT_EQ(0, registry.libraryCount());
    EXPECT_EQ(0, registry.receiverCount());
}

TEST_F(Registry, EndOfTheRegistryDeInitsEveryLibraryOnce) {
    install("Alpha", testLibrary("consumer_a"));
    install("Zeta", testLibrary("no_ssi"));
    {
        cPluginRegistry registry;
        ::testing::internal::CaptureStderr();
        registry.loadPlugins(plugins());
        ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(called("Alpha.so DeInit"));
    }
    int deInits = 0;
    for (const std::string& call : calls()) deInits += call.find(" DeInit") != std::string::npos;
    EXPECT_EQ(2, deInits);
    EXPECT_TRUE(called("Zeta.so DeInit"));
}

TEST_F(Registry, MissingFolderLoadsNothingSilently) {
    cPluginRegistry registry;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(1, registry.loadPlugins(folder.file("Nowhere/")));
    EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
    EXPECT_EQ(0, registry.libraryCount());
}

TEST_F(Registry, FoldersBeyondThirtyAreSkippedWithALine) {
    for (int i = 0; i < 33; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "C%02d", i);
        install(name, testLibrary("consumer_a"));
    }
    cPluginRegistry registry;
    ::testing::internal::CaptureStdout();
    registry.loadPlugins(plugins());
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(cPluginRegistry::kSlots, registry.libraryCount());
    EXPECT_EQ(cPluginRegistry::kSlots, registry.consumerCountA());
    EXPECT_NE(std::string::npos, out.find("C30/C30.so"));
    EXPECT_NE(std::string::npos, out.find("C32/C32.so"));
    EXPECT_EQ(std::string::npos, out.find("C29/C29.so"));
}

TEST_F(Registry, ReadGpsDataWithoutGetterIsAllZero) {
    cPluginRegistry registry;
    cPosition reader;
    GpsData record;
    record.fix = 3;
    record.latitude = 1.0f;
    registry.readGpsData(reader, record);
    EXPECT_EQ(0, record.fix);
    EXPECT_EQ(0.0f, record.latitude);
}

// A plug-in that asks for a larger sample than a batch holds is handed a
// full batch, never more.
TEST_F(Registry, SampleForDetectionNeverExceedsTheBatch) {
    install("Greedy", testLibrary("greedy_receiver"));
    nmeasim::PtyPort line;
    ASSERT_TRUE(line.link(folder.path(), 3));
    cPluginRegistry registry;
    registry.setSettleTime(300);
    registry.loadPlugins(plugins());
    ASSERT_EQ(1, registry.receiverCount());
    // More than a batch arrives while the port settles.
    std::thread receiver([&] {
        sleepMs(50);
        line.write(std::string(cPosition::kBatchSize + 1000, 'x'));
    });
    cPosition reader;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(registry.openConfiguredReceiver(reader, 3, 4800));
    const std::string out = ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
    receiver.join();
    EXPECT_NE(std::string::npos, out.find(" readed: 4096\n")) << out;
    EXPECT_TRUE(called("Greedy.so DetectReceiver 4096"));
}

// A receiver on a pty that sends a new position every 50 ms.
class Talker {
public:
    Talker() {
        thread_ = std::thread([this] {
            for (int i = 0; !stop_; ++i) {
                char line[128];
                std::snprintf(
                    line, sizeof(line),
                    "$GPRMC,1200%02d,A,4807.%03d,N,01131.000,E,022.4,084.4,230394,,*6A\r\n", i % 60,
                    i % 1000);
                pty.write(line);
                sleepMs(50);
            }
        });
    }
    ~Talker() {
        stop_ = true;
        thread_.join();
    }
    nmeasim::PtyPort pty;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class Receiver : public Registry {
protected:
    void SetUp() override {
        Registry::SetUp();
        install("Sentrix", sentrixLibrary());
        registry.setSettleTime(300);
    }
    cPluginRegistry registry; // outlives the reader
};

TEST_F(Receiver, ConfiguredPortOpensAndPositionsFlow) {
    Talker talker;
    ASSERT_TRUE(talker.pty.link(folder.path(), 3));
    registry.loadPlugins(plugins());
    cPosition reader;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(registry.openConfiguredReceiver(reader, 3, 4800));
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(0u, out.find("Open GPS... readed: 150\n COM3 at 4800 bps\n")) << out;
    EXPECT_EQ(3, reader.portNumber);
    EXPECT_EQ(4800, reader.baudRate);
    bool updated = false;
    for (int i = 0; i < 200 && !updated; ++i) {
        sleepMs(10);
        updated = reader.api.PluginIsPositionUpdated();
    }
    ASSERT_TRUE(updated);
    GpsData record;
    registry.readGpsData(reader, record);
    EXPECT_EQ(1, record.fix);
    EXPECT_NEAR(48.1, record.latitude, 0.1);
}

TEST_F(Receiver, ConfiguredPortWithoutReceiverFails) {
    registry.loadPlugins(plugins());
    cPosition reader;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(registry.openConfiguredReceiver(reader, 3, 4800));
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ("Open GPS...not Opened\n", ::testing::internal::GetCapturedStdout());
    EXPECT_NE(std::string::npos, err.find("Can't open GPS"));
    EXPECT_NE(std::string::npos, err.find("Error"));
    EXPECT_EQ(0, reader.portNumber);
}

TEST_F(Receiver, DetectionFindsTheReceiverAtTheFirstRate) {
    Talker talker;
    ASSERT_TRUE(talker.pty.link(folder.path(), 3));
    registry.loadPlugins(plugins());
    cPosition reader;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(registry.detectConfiguredReceiver(reader));
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ("Detecting GPS... readed: 150\n COM3 at 57600 bps\n", out);
    EXPECT_EQ(3, reader.portNumber);
    EXPECT_EQ(57600, reader.baudRate);
}

TEST_F(Receiver, DetectionWithoutReceiverReportsIt) {
    registry.loadPlugins(plugins());
    cPosition reader;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(registry.detectConfiguredReceiver(reader));
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ("Detecting GPS...not Detected\n", ::testing::internal::GetCapturedStdout());
    EXPECT_NE(std::string::npos, err.find("GPS Device Not Detected"));
    EXPECT_EQ(0, reader.portNumber);
    EXPECT_EQ(0, reader.baudRate);
}

TEST_F(Receiver, EachReceiverScansAllPortsBeforeTheNext) {
    install("Fake1", testLibrary("fake_receiver"));
    install("Fake2", testLibrary("fake_receiver"));
    Talker talker;
    ASSERT_TRUE(talker.pty.link(folder.path(), 3));
    registry.setSettleTime(10);
    registry.loadPlugins(plugins());
    ASSERT_EQ(3, registry.receiverCount());
    cPosition reader;
    ::testing::internal::CaptureStdout();
    // Sentrix (loaded last of the three) is not reached: fakes first, in load order.
    reader.api = registry.receiver(0);
    EXPECT_EQ(0, registry.detectReceiver(reader));
    reader.api = registry.receiver(1);
    EXPECT_EQ(0, registry.detectReceiver(reader));
    ::testing::internal::GetCapturedStdout();
    std::vector<std::string> detections;
    for (const std::string& call : calls()) {
        if (call.find("DetectReceiver") != std::string::npos ||
            call.find("GetMinimumBytes") != std::string::npos) {
            detections.push_back(call.substr(0, call.find(' ')) + " " +
                                 call.substr(call.find(' ') + 1, 6));
        }
    }
    // Four rates on the one port that answers, minimum bytes asked before each judgement.
    std::vector<std::string> expected;
    for (const char* name : {"Fake1.so", "Fake2.so"}) {
        for (int rate = 0; rate < 4; ++rate) {
            expected.push_back(std::string(name) + " GetMin");
            expected.push_back(std::string(name) + " Detect");
        }
    }
    EXPECT_EQ(expected, detections);
}

} // namespace
} // namespace tevo::test
