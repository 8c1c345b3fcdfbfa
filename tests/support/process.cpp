#include "support/process.hpp"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

extern char** environ;

namespace tevo::test {

namespace fs = std::filesystem;

namespace {

std::string uniqueName(const std::string& stem) {
    static int counter = 0;
    return (fs::temp_directory_path() /
            (stem + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter)))
        .string();
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& env, const std::string& workDir) {
    outPath_ = uniqueName("tevo-out");
    errPath_ = uniqueName("tevo-err");
    std::vector<std::string> environment;
    // The extra variables replace inherited ones of the same name.
    auto nameOf = [](const std::string& e) { return e.substr(0, e.find('=')); };
    for (char** e = environ; *e; ++e) {
        bool replaced = false;
        for (const auto& extra : env) replaced = replaced || nameOf(extra) == nameOf(*e);
        if (!replaced) environment.emplace_back(*e);
    }
    for (const auto& e : env) environment.push_back(e);
    std::vector<char*> args, envs;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : environment) envs.push_back(const_cast<char*>(e.c_str()));
    envs.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envs.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    fs::remove(outPath_, ec);
    fs::remove(errPath_, ec);
}

int ChildProcess::wait(int timeoutMs) {
    if (pid_ <= 0) return -1;
    for (int waited = 0; !ended_; waited += 10) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            ended_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (waited >= timeoutMs) return -1;
        sleepMs(10);
    }
    return status_;
}

bool ChildProcess::running() {
    return pid_ > 0 && wait(0) == -1;
}

void ChildProcess::signal(int sig) {
    if (pid_ > 0 && !ended_) ::kill(pid_, sig);
}

std::string ChildProcess::output() const {
    return readFile(outPath_);
}
std::string ChildProcess::errors() const {
    return readFile(errPath_);
}

bool ChildProcess::waitForOutput(const std::string& text, int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        if (output().find(text) != std::string::npos) return true;
        sleepMs(20);
    }
    return false;
}

ProgramFolder::ProgramFolder(bool withData) {
    const fs::path dist = TEVO_DIST_DIR;
    fs::create_symlink(dist / "tevo", fs::path(dir_.path()) / "tevo");
    // An empty ports/ folder: no port exists, so detection ends at once
    // instead of probing the machine's own serial devices; and no gpsd, so
    // that one running on the machine is never taken for the test's receiver.
    fs::create_directory(fs::path(dir_.path()) / "ports");
    writeFile(dir_.file("gpsd.xml"), kNoGpsd);
    if (!withData) return;
    for (const auto& entry : fs::directory_iterator(dist)) {
        const std::string name = entry.path().filename().string();
        if (name == "tevo" || name == "config.xml" || name == "demo.plt" || name == "gpsd.xml")
            continue;
        if (name == "screen.xml")
            fs::copy_file(entry.path(), fs::path(dir_.path()) / name);
        else if (name == "Tracks")
            // A folder of its own: a recording plug-in writes into it.
            fs::copy(entry.path(), fs::path(dir_.path()) / name, fs::copy_options::recursive);
        else
            fs::create_symlink(entry.path(), fs::path(dir_.path()) / name);
    }
}

void ProgramFolder::addDemoTrack() {
    const fs::path dist = TEVO_DIST_DIR;
    fs::copy_file(dist / "demo.plt", fs::path(dir_.path()) / "demo.plt");
}

} // namespace tevo::test
