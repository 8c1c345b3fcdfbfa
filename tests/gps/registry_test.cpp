// The plug-in host with a Plugins folder made here: the real Sentrix and the
// small libraries of this folder; then finding a receiver on a pty.
#include "gps/plugin_probe.hpp"
#include "gps/plugin_registry.hpp"
#include "platform/clock.hpp"
#include "platform/message_box.hpp"
#include "platform/serial_device.hpp"
#include "support/gpsd_daemon.hpp"
#include "support/temp_dir.hpp"
#include "tools/nmeasim/pty_port.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
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

// A probe with a verdict per library file name; it notes what it was asked.
class ScriptedProbe : public cPluginProbe {
public:
    explicit ScriptedProbe(std::map<std::string, ProbeResult> verdicts,
                           std::vector<std::string>& asked)
        : verdicts_(std::move(verdicts)), asked_(asked) {}
    ProbeResult probe(const std::string& libraryPath) override {
        const std::string name = libraryPath.substr(libraryPath.rfind('/') + 1);
        asked_.push_back(name);
        auto verdict = verdicts_.find(name);
        return verdict == verdicts_.end() ? ProbeResult::Passed : verdict->second;
    }

private:
    std::map<std::string, ProbeResult> verdicts_;
    std::vector<std::string>& asked_;
};

TEST_F(Registry, LibrariesWhoseTrialBrokeAreSkippedWithABoxAndALine) {
    install("Alpha", testLibrary("consumer_a"));
    install("Beta", testLibrary("consumer_b"));
    folder.makeFolder("Plugins/Empty");
    std::ofstream(plugins() + "Empty/Empty.so") << "not a library";
    install("Sentrix", sentrixLibrary());
    std::vector<std::string> asked;
    cPluginRegistry registry;
    registry.setProbe(std::make_unique<ScriptedProbe>(
        std::map<std::string, ProbeResult>{{"Alpha.so", ProbeResult::Crashed},
                                           {"Beta.so", ProbeResult::Hung}},
        asked));
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    registry.loadPlugins(plugins());
    const std::string boxes = ::testing::internal::GetCapturedStderr();
    const std::string out = ::testing::internal::GetCapturedStdout();

    // Every library is tried once, in folder order, before it is loaded.
    EXPECT_EQ((std::vector<std::string>{"Alpha.so", "Beta.so", "Empty.so", "Sentrix.so"}), asked);
    EXPECT_NE(std::string::npos, boxes.find("PluginInit crashed: " + plugins() + "Alpha/Alpha.so"));
    EXPECT_NE(std::string::npos,
              boxes.find("PluginInit does not return: " + plugins() + "Beta/Beta.so"));
    EXPECT_NE(std::string::npos,
              out.find("PluginInit crashed, skipped: " + plugins() + "Alpha/Alpha.so\n"));
    EXPECT_NE(std::string::npos,
              out.find("PluginInit does not return, skipped: " + plugins() + "Beta/Beta.so\n"));
    // A library that passed its trial still reports its own problems.
    EXPECT_NE(std::string::npos,
              boxes.find("Error while load DLL: " + plugins() + "Empty/Empty.so"));
    // The skipped libraries were never loaded here; Sentrix was.
    EXPECT_FALSE(called("Alpha.so"));
    EXPECT_FALSE(called("Beta.so"));
    EXPECT_EQ(1, registry.libraryCount());
    EXPECT_EQ(1, registry.receiverCount());
    EXPECT_EQ(0, registry.consumerCountA());
    EXPECT_EQ(0, registry.consumerCountB());
}

// A stand-in for the program a cProcessProbe starts: a shell script.
struct TrialCase {
    const char* name;
    const char* script;
    ProbeResult expected;
};

// Test names and messages show the case by its name.
void PrintTo(const TrialCase& c, std::ostream* os) {
    *os << c.name;
}

class ProcessProbe : public ::testing::TestWithParam<TrialCase> {
protected:
    TempDir folder;
};

TEST_P(ProcessProbe, JudgesHowTheTrialEnded) {
    const TrialCase& c = GetParam();
    const std::string program = folder.file("trial.sh");
    std::ofstream(program) << "#!/bin/sh\n" << c.script << "\n";
    fs::permissions(program, fs::perms::owner_all);
    constexpr int kShortLimitMs = 300;
    cProcessProbe probe(program, kShortLimitMs);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c.expected, probe.probe("/some/plugin.so"));
    // A hanging trial is given up at its limit, not waited for.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, ProcessProbe,
    ::testing::Values(TrialCase{"Passed",
                                "test \"$1\" = --probe-plugin && test \"$2\" = /some/plugin.so",
                                ProbeResult::Passed},
                      TrialCase{"LibraryNotLoaded", "exit 3", ProbeResult::Passed},
                      TrialCase{"KilledBySignal", "kill -SEGV $$", ProbeResult::Crashed},
                      TrialCase{"OtherExitCode", "exit 1", ProbeResult::Crashed},
                      TrialCase{"NeverEnds", "exec sleep 30", ProbeResult::Hung}),
    [](const ::testing::TestParamInfo<TrialCase>& info) { return std::string(info.param.name); });

TEST(ProcessProbeStart, MissingProgramLoadsThePluginUntried) {
    cProcessProbe probe("/nonexistent/tevo");
    EXPECT_EQ(ProbeResult::Passed, probe.probe(sentrixLibrary()));
}

TEST_F(Registry, TrialInitsAndDeInitsTheLibrary) {
    install("Alpha", testLibrary("consumer_a"));
    EXPECT_EQ(kProbePassed, runPluginProbe(plugins() + "Alpha/Alpha.so"));
    EXPECT_EQ((std::vector<std::string>{"Alpha.so Init " + plugins() + "Alpha/Alpha.so",
                                        "Alpha.so DeInit"}),
              calls());
}

TEST_F(Registry, TrialOfAnUnloadableLibrarySaysSo) {
    install("Broken", testLibrary("no_init"));
    std::ofstream(plugins() + "junk.so") << "not a library";
    EXPECT_EQ(kProbeNotLoaded, runPluginProbe(plugins() + "Broken/Broken.so"));
    EXPECT_EQ(kProbeNotLoaded, runPluginProbe(plugins() + "junk.so"));
    EXPECT_EQ(kProbeNotLoaded, runPluginProbe(plugins() + "Missing/Missing.so"));
    EXPECT_TRUE(calls().empty());
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

// What talks on a port: nothing, a GPS receiver, a receiver of some other
// talker, or something that is no receiver at all.
enum class Line { Silent, Gps, Other, Noise };

// A line on a pty that sends a new sentence every 50 ms.
constexpr int kTalkerLineMs = 50;
constexpr int kSettleForTalkerMs = 4 * kTalkerLineMs;

class Talker {
public:
    explicit Talker(Line kind = Line::Gps) {
        if (kind == Line::Silent) return;
        thread_ = std::thread([this, kind] {
            for (int i = 0; !stop_; ++i) {
                char line[128];
                std::snprintf(line, sizeof(line),
                              "$GPRMC,1200%02d,A,4807.%03d,N,01131.000,E,022.4,084.4,230394,,",
                              i % 60, i % 1000);
                if (kind == Line::Other) std::memcpy(line + 1, "ZZ", 2);
                unsigned sum = 0;
                for (const char* c = line + 1; *c != 0; ++c) sum ^= static_cast<unsigned char>(*c);
                std::snprintf(line + std::strlen(line), 8, "*%02X\r\n", sum);
                if (kind == Line::Noise) std::memset(line, '~', std::strlen(line) - 2);
                pty.write(line);
                sleepMs(kTalkerLineMs);
            }
        });
    }
    ~Talker() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
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

// Detection reads each port once at each rate and offers the same sample to
// every plug-in, choosing as trying each plug-in over every port would.
struct ScanCase {
    const char* name;
    std::vector<std::string> plugins; // test libraries or "Sentrix", in load order
    std::map<int, Line> ports;
    std::string console;
    int judged;                        // samples each plug-in that recognises nothing is given
    std::vector<std::string> box = {}; // parts of the failure box's text
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class Scan : public Registry, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(Scan, ChoosesAsEachPluginInTurnOverEveryPortWould) {
    const ScanCase& c = GetParam();
    for (std::size_t i = 0; i < c.plugins.size(); ++i) {
        const std::string& library = c.plugins[i];
        install("P" + std::to_string(i),
                library == "Sentrix" ? sentrixLibrary() : testLibrary(library));
    }
    std::vector<std::unique_ptr<Talker>> talkers;
    for (const auto& [port, kind] : c.ports) {
        talkers.push_back(std::make_unique<Talker>(kind));
        ASSERT_TRUE(talkers.back()->pty.link(folder.path(), port));
    }
    cPluginRegistry registry; // outlives the reader
    registry.setSettleTime(kSettleForTalkerMs);
    registry.loadPlugins(plugins());
    cPosition reader;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    registry.detectConfiguredReceiver(reader);
    EXPECT_EQ(c.console, ::testing::internal::GetCapturedStdout());
    const std::string box = ::testing::internal::GetCapturedStderr();
    for (const std::string& part : c.box) EXPECT_NE(std::string::npos, box.find(part)) << box;
    // A plug-in says once how much it judges; one that recognises nothing
    // judges each sample once.
    for (std::size_t i = 0; i < c.plugins.size(); ++i) {
        if (c.plugins[i] != "fake_receiver") continue;
        const std::string name = "P" + std::to_string(i) + ".so ";
        int asked = 0, judged = 0;
        for (const std::string& call : calls()) {
            asked += call.rfind(name + "GetMinimumBytes", 0) == 0;
            judged += call.rfind(name + "DetectReceiver", 0) == 0;
        }
        EXPECT_EQ(1, asked) << name;
        EXPECT_EQ(c.judged, judged) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ports, Scan,
    ::testing::Values(
        ScanCase{"EveryPluginJudgesTheSameSampleOnce",
                 {"fake_receiver", "fake_receiver", "Sentrix"},
                 {{3, Line::Gps}},
                 "Detecting GPS... readed: 150\n COM3 at 57600 bps\n",
                 1},
        ScanCase{"SilentPortIsNotAskedAgain",
                 {"Sentrix"},
                 {{1, Line::Silent}, {3, Line::Gps}},
                 "Detecting GPS... readed: 0\n readed: 150\n COM3 at 57600 bps\n",
                 0},
        ScanCase{"PortThatAnswersUnrecognisedIsAskedAtEveryRate",
                 {"fake_receiver", "Sentrix"},
                 {{1, Line::Noise}, {3, Line::Gps}},
                 "Detecting GPS... readed: 150\n readed: 150\n readed: 150\n readed: 150\n"
                 " readed: 150\n COM3 at 57600 bps\n",
                 5},
        ScanCase{"FirstPluginWinsOnALaterPort",
                 {"picky_receiver", "Sentrix"},
                 {{2, Line::Gps}, {4, Line::Other}},
                 "Detecting GPS... readed: 150\n readed: 150\n COM4 at 57600 bps\n",
                 0},
        ScanCase{"NothingRecognised",
                 {"fake_receiver", "Sentrix"},
                 {{2, Line::Silent}, {5, Line::Noise}},
                 "Detecting GPS... readed: 0\n readed: 150\n readed: 150\n readed: 150\n"
                 " readed: 150\nnot Detected\n",
                 4,
                 {"GPS Device Not Detected\n", "COM2 (", "ports/COM2) at 57600 bps: silent\n",
                  "ports/COM5) at 57600, 38400, 9600 and 4800 bps: no sentence a receiver "
                  "plug-in reads\n",
                  "70 other ports: no device\n", "config.xml (<port>, <baudrate>;", "gpsd.xml"}}),
    [](const auto& info) { return std::string(info.param.name); });

// gpsd comes first: with a receiver it is the source, without one (or not
// running) detection goes on to the ports at once.
enum class Gpsd { NotRunning, NoReceiver, WithReceiver };

struct GpsdCase {
    const char* name;
    Gpsd gpsd;
    std::string console; // "PORT" stands for gpsd's port
    std::string box;
};

void PrintTo(const GpsdCase& c, std::ostream* os) {
    *os << c.name;
}

class GpsdFirst : public Registry, public ::testing::WithParamInterface<GpsdCase> {};

TEST_P(GpsdFirst, IsAskedBeforeThePorts) {
    if (!GpsdDaemon::installed()) GTEST_SKIP() << "gpsd is not installed";
    const GpsdCase& c = GetParam();
    install("Sentrix", sentrixLibrary());
    Talker receiver;
    GpsdDaemon gpsd(c.gpsd == Gpsd::WithReceiver ? receiver.pty.devicePath() : std::string());
    if (c.gpsd != Gpsd::NotRunning) {
        ASSERT_TRUE(gpsd.start(5000)) << gpsd.errors();
    }
    cPluginRegistry registry; // with the settle time of the program
    registry.setGpsd(GpsdPlace{true, "localhost", gpsd.port()});
    registry.loadPlugins(plugins());
    cPosition reader;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    registry.detectConfiguredReceiver(reader);
    const auto took = std::chrono::steady_clock::now() - start;
    std::string console = c.console;
    if (console.find("PORT") != std::string::npos)
        console.replace(console.find("PORT"), 4, std::to_string(gpsd.port()));
    EXPECT_EQ(console, ::testing::internal::GetCapturedStdout());
    const std::string box = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, box.find(c.box)) << box;
    if (c.gpsd != Gpsd::WithReceiver) {
        // Passed over without the sample's wait: it has nothing to give.
        EXPECT_LT(took, std::chrono::milliseconds(cPluginRegistry::kSettleMs / 2));
        return;
    }
    // The sentences reach the plug-in; gpsd's own reports do not.
    GpsData fix{};
    for (int i = 0; i < 100 && fix.fix == FixNone; ++i) {
        sleepMs(20);
        if (reader.api.PluginIsPositionUpdated()) registry.readGpsData(reader, fix);
    }
    EXPECT_NEAR(48.1, fix.latitude, 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    Daemons, GpsdFirst,
    ::testing::Values(GpsdCase{"NotRunning", Gpsd::NotRunning, "Detecting GPS...not Detected\n",
                               ": no answer\n"},
                      GpsdCase{"WithoutReceiver", Gpsd::NoReceiver,
                               "Detecting GPS... readed: 0\nnot Detected\n", ": no receiver\n"},
                      GpsdCase{"WithReceiver", Gpsd::WithReceiver,
                               "Detecting GPS... readed: 150\n gpsd at localhost:PORT\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
