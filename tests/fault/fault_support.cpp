#include "fault/fault_support.hpp"

#include "config/config_xml.hpp"

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tevo::test {

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kDummyVideo = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};

// Field `index` (1-based, as proc(5) counts) of /proc/PID/stat.
long statField(pid_t pid, int index) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int i = 3; fields >> field; ++i)
        if (i == index) return std::stol(field);
    return 0;
}

} // namespace

Navigator::Navigator(bool withReceiver) : withReceiver_(withReceiver) {
    // A demonstration track would replace the receiver.
    fs::remove(folder_.file("demo.plt"));
    cConfigXML settings;
    if (withReceiver) {
        settings.port = 3;
        settings.baudrate = 4800;
    }
    settings.write(folder_.file("config.xml"));
    if (!withReceiver) return;
    nmeasim_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        std::string(TEVO_BIN_DIR) + "/nmeasim", "--link", folder_.path(), "--port", "3"});
    nmeasim_->waitForOutput("COM3 -> ", kStartMs);
}

Navigator::~Navigator() {
    if (tevo_ && tevo_->running()) tevo_->signal(SIGKILL);
}

void Navigator::start(const XServer* x, const std::vector<std::string>& prefix) {
    std::vector<std::string> argv = prefix;
    argv.push_back(folder_.program());
    std::vector<std::string> env = kDummyVideo;
    if (x != nullptr) env = {"SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy", x->environment()};
    tevo_ = std::make_unique<ChildProcess>(argv, env);
}

bool Navigator::waitForLoop(int timeoutMs) {
    constexpr int kStepMs = 200;
    const char* marker = withReceiver_ ? kReceiverOpened : kNoReceiver;
    for (int waited = 0; waited < timeoutMs; waited += kStepMs) {
        if (tevo_->waitForOutput(marker, kStepMs)) return true;
        if (!tevo_->running()) return tevo_->waitForOutput(marker, 0);
    }
    return false;
}

bool Navigator::waitForLoopAnswering(const XServer& x, Window w, int timeoutMs) {
    constexpr int kStepMs = 500;
    for (int waited = 0; waited < timeoutMs; waited += kStepMs) {
        if (waitForLoop(kStepMs)) return true;
        if (!tevo_->running()) return false;
        // A box waits for its answer; the key does nothing elsewhere today.
        if (tevo_->errors().find("Error: ") != std::string::npos)
            xdotool(x, {"key", "--window", std::to_string(w), "Return"});
    }
    return false;
}

int Navigator::stop(int timeoutMs) {
    tevo_->signal(SIGTERM); // SDL turns it into a quit event
    return tevo_->wait(timeoutMs);
}

std::string Navigator::console() const {
    return tevo_ ? "stdout:\n" + tevo_->output() + "\nstderr:\n" + tevo_->errors() : "";
}

int xdotool(const XServer& x, const std::vector<std::string>& args, int timeoutMs) {
    std::vector<std::string> argv = {"/usr/bin/xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess tool(argv, {x.environment()});
    return tool.wait(timeoutMs);
}

long residentKb(pid_t pid) {
    constexpr int kRssPages = 24;
    return statField(pid, kRssPages) * (sysconf(_SC_PAGESIZE) / 1024);
}

double cpuMs(pid_t pid) {
    constexpr int kUserTime = 14, kSystemTime = 15;
    return (statField(pid, kUserTime) + statField(pid, kSystemTime)) * 1000.0 /
           sysconf(_SC_CLK_TCK);
}

void unlinkFolderEntry(const ProgramFolder& folder, const std::string& name) {
    const fs::path link = folder.file(name);
    if (!fs::is_symlink(link)) return;
    const fs::path target = fs::read_symlink(link);
    fs::remove(link);
    fs::create_directory(link);
    if (!fs::is_directory(target)) return;
    for (const auto& entry : fs::directory_iterator(target))
        fs::create_symlink(entry.path(), link / entry.path().filename());
}

} // namespace tevo::test
