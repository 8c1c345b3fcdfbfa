// The real program with nmeasim as its receiver: the configured port, the
// detection, no receiver at all, and a receiver that goes away.
#include "app/silent_line.hpp"
#include "config/config_xml.hpp"
#include "plugin-api/plugin_api.hpp"
#include "support/process.hpp"
#include "support/sanitizers.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

constexpr int kStartMs = 30000;
const std::vector<std::string> kHeadless = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};

// CPU time of a process in milliseconds, from /proc.
double cpuMs(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) ticks += std::stol(field); // utime, stime
    }
    return ticks * 1000.0 / sysconf(_SC_CLK_TCK);
}

class ReceiverEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // A demonstration track would replace the receiver.
        fs::remove(folder.file("demo.plt"));
        fs::create_directory(folder.file("ports"));
    }

    void configure(int32_t port, int32_t baudrate) {
        cConfigXML settings;
        settings.port = port;
        settings.baudrate = baudrate;
        ASSERT_TRUE(settings.write(folder.file("config.xml")));
    }

    void startReceiver() {
        nmeasim = std::make_unique<ChildProcess>(std::vector<std::string>{
            std::string(TEVO_BIN_DIR) + "/nmeasim", "--link", folder.path(), "--port", "3"});
        ASSERT_TRUE(nmeasim->waitForOutput("COM3 -> ", kStartMs)) << nmeasim->errors();
    }

    void startTevo() {
        tevo =
            std::make_unique<ChildProcess>(std::vector<std::string>{folder.program()}, kHeadless);
    }

    // Ends tevo the way a closed window does and reads back its settings.
    cConfigXML stopTevo() {
        tevo->signal(SIGTERM); // SDL turns it into a quit event
        EXPECT_EQ(0, tevo->wait(kStartMs)) << tevo->output() << tevo->errors();
        cConfigXML settings;
        settings.parse(folder.file("config.xml"));
        return settings;
    }

    ProgramFolder folder;
    std::unique_ptr<ChildProcess> nmeasim;
    std::unique_ptr<ChildProcess> tevo;
};

// The share of one core that tevo may use while idle. A loop that spins
// without its receiver takes all of it. The main loop's polling every
// millisecond costs a few per cent on a quick machine and about ten on a
// slow virtual one, where each wake-up costs more; under the sanitizers
// every pass of the loop costs several times more bookkeeping.
constexpr double kIdleCpuShare = test::kUnderSanitizers ? 0.40 : 0.25;

TEST_F(ReceiverEndToEnd, ConfiguredPortOpensAndSurvivesTheReceiverGoing) {
    configure(3, 4800);
    startReceiver();
    startTevo();
    ASSERT_TRUE(tevo->waitForOutput(" COM3 at 4800 bps\n", kStartMs)) << tevo->output();
    EXPECT_NE(std::string::npos, tevo->output().find("Open GPS..."));
    EXPECT_EQ(std::string::npos, tevo->output().find("Detecting GPS..."));

    // The receiver goes away: tevo runs on, idle.
    nmeasim->signal(SIGTERM);
    EXPECT_EQ(0, nmeasim->wait(kStartMs));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    double before = cpuMs(tevo->pid());
    auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(tevo->running());
    EXPECT_LT(cpuMs(tevo->pid()) - before, kIdleCpuShare * wallMs);

    cConfigXML settings = stopTevo();
    EXPECT_EQ(3, settings.port);
    EXPECT_EQ(4800, settings.baudrate);
}

TEST_F(ReceiverEndToEnd, SigtermEndsAStartUpWaitingOnASilentPortAtOneBit) {
    // One bit per second made the sample wait last most of an hour.
    SilentLine line;
    ASSERT_FALSE(line.path().empty());
    fs::create_symlink(line.path(), folder.file("ports/COM3"));
    configure(3, 1);
    startTevo();
    ASSERT_TRUE(tevo->waitForOutput("Open GPS...", kStartMs)) << tevo->output();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(tevo->running());
    auto start = std::chrono::steady_clock::now();
    tevo->signal(SIGTERM);
    EXPECT_EQ(0, tevo->wait(kStartMs)) << tevo->output() << tevo->errors();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // A normal end: no error box, the settings written back as they were.
    EXPECT_EQ(std::string::npos, tevo->errors().find("Can't open GPS")) << tevo->errors();
    cConfigXML settings;
    settings.parse(folder.file("config.xml"));
    EXPECT_EQ(3, settings.port);
    EXPECT_EQ(1, settings.baudrate);
}

TEST_F(ReceiverEndToEnd, SilentPortAtOneBitGivesUpWithinSeconds) {
    SilentLine line;
    ASSERT_FALSE(line.path().empty());
    fs::create_symlink(line.path(), folder.file("ports/COM3"));
    configure(3, 1);
    auto start = std::chrono::steady_clock::now();
    startTevo();
    // Two seconds for the receiver to settle, then two empty periods of two
    // seconds for each of the two receiver plug-ins.
    ASSERT_TRUE(tevo->waitForOutput("not Opened\n", 20000)) << tevo->output();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(16));
    EXPECT_NE(std::string::npos, tevo->output().find("Open GPS... readed: 0\n"));
    stopTevo();
}

TEST_F(ReceiverEndToEnd, DetectionFindsTheReceiverAndRemembersIt) {
    startReceiver();
    startTevo();
    ASSERT_TRUE(tevo->waitForOutput(" COM3 at 57600 bps\n", kStartMs)) << tevo->output();
    EXPECT_NE(std::string::npos, tevo->output().find("Detecting GPS..."));
    cConfigXML settings = stopTevo();
    EXPECT_EQ(3, settings.port);
    EXPECT_EQ(57600, settings.baudrate);
}

TEST_F(ReceiverEndToEnd, NoReceiverIsReportedAndForgotten) {
    configure(0, 0);
    startTevo();
    ASSERT_TRUE(tevo->waitForOutput("not Detected\n", kStartMs)) << tevo->output();
    EXPECT_NE(std::string::npos, tevo->errors().find("GPS Device Not Detected"));
    cConfigXML settings = stopTevo();
    EXPECT_EQ(0, settings.port);
    EXPECT_EQ(0, settings.baudrate);
}

// Every line nmeasim sends carries a correct checksum, and the plug-in reads
// the track's points out of them.
TEST(Nmeasim, SendsCheckedSentencesAlongTheTrack) {
    TempDir dir;
    writeFile(dir.file("t.plt"), "h1\nh2\nh3\nh4\nh5\nh6\n"
                                 "55.5,37.5,0,120,39000.0\n"
                                 "-33.25,-70.75,0,300,39000.00001157\n");
    ChildProcess sim({std::string(TEVO_BIN_DIR) + "/nmeasim", "--track", dir.file("t.plt"),
                      "--speed", "4", "--count", "4"});
    ASSERT_TRUE(sim.waitForOutput("\n", kStartMs));
    std::string device = sim.output().substr(0, sim.output().find('\n'));
    int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(fd, 0) << device;
    std::string received;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof(chunk))) > 0;) received.append(chunk, n);
    ::close(fd); // read ends with EIO when nmeasim has sent its cycles and gone
    EXPECT_EQ(0, sim.wait(kStartMs));

    std::istringstream lines(received);
    int rmc = 0, gga = 0, gsa = 0, gsv = 0;
    for (std::string line; std::getline(lines, line);) {
        ASSERT_GE(line.size(), 6u) << line;
        ASSERT_EQ('$', line[0]);
        ASSERT_EQ("\r", line.substr(line.size() - 1));
        std::size_t star = line.find('*');
        ASSERT_NE(std::string::npos, star) << line;
        unsigned sum = 0;
        for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
        EXPECT_EQ(sum, std::stoul(line.substr(star + 1, 2), nullptr, 16)) << line;
        rmc += line.rfind("$GPRMC", 0) == 0;
        gga += line.rfind("$GPGGA", 0) == 0;
        gsa += line.rfind("$GPGSA", 0) == 0;
        gsv += line.rfind("$GPGSV", 0) == 0;
    }
    EXPECT_EQ(4, rmc);
    EXPECT_EQ(4, gga);
    EXPECT_EQ(4, gsa);
    EXPECT_EQ(12, gsv);

    void* lib = dlopen((std::string(TEVO_DIST_DIR) + "/Plugins/Sentrix/Sentrix.so").c_str(),
                       RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, lib);
    auto init = reinterpret_cast<PluginInitFn>(dlsym(lib, "PluginInit"));
    auto push = reinterpret_cast<PluginPushDataFn>(dlsym(lib, "PluginPushData"));
    auto get = reinterpret_cast<PluginGetGPSDataFn>(dlsym(lib, "PluginGetGPSData"));
    auto deInit = reinterpret_cast<PluginDeInitFn>(dlsym(lib, "PluginDeInit"));
    init(u"Sentrix.so");
    std::size_t second = received.find("$GPRMC", 1);
    push(reinterpret_cast<const uint8_t*>(received.data()), static_cast<int32_t>(second));
    GpsData fix{};
    get(&fix);
    EXPECT_NEAR(55.5, fix.latitude, 1e-4);
    EXPECT_NEAR(37.5, fix.longitude, 1e-4);
    EXPECT_NEAR(120.0, fix.altitude, 1e-3);
    EXPECT_EQ(3, fix.fix);
    push(reinterpret_cast<const uint8_t*>(received.data() + second),
         static_cast<int32_t>(received.size() - second));
    get(&fix);
    EXPECT_NEAR(-33.25, fix.latitude, 1e-4); // the last cycle is the second point again
    EXPECT_NEAR(-70.75, fix.longitude, 1e-4);
    deInit();
    dlclose(lib);
}

} // namespace
} // namespace tevo::test
