#include "gps/plugin_probe.hpp"

#include "platform/clock.hpp"
#include "platform/regular_file.hpp"
#include "platform/text.hpp"
#include "plugin-api/plugin_api.hpp"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <utility>
#include <vector>

extern char** environ;

namespace tevo {

namespace {

// How often the host looks whether the trial has ended; a healthy plug-in
// ends within a few of these.
constexpr int kPollMs = 1;

// Starts `program kProbeArgument path` with default signal handling and no
// blocked signals, whatever the caller's threads have set. -1 on failure.
pid_t spawnTrial(const std::string& program, const std::string& path) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                               const_cast<char*>(kProbeArgument), const_cast<char*>(path.c_str()),
                               nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attributes);
    return pid;
}

ProbeResult judge(int status) {
    if (WIFEXITED(status)) {
        const int code = WEXITSTATUS(status);
        // A sanitizer's handler turns the plug-in's signal into some other code.
        return code == kProbePassed || code == kProbeNotLoaded ? ProbeResult::Passed
                                                               : ProbeResult::Crashed;
    }
    return ProbeResult::Crashed;
}

} // namespace

cProcessProbe::cProcessProbe(std::string program, int timeLimitMs)
    : program_(std::move(program)), timeLimitMs_(timeLimitMs) {}

ProbeResult cProcessProbe::probe(const std::string& libraryPath) {
    const pid_t pid = spawnTrial(program_, libraryPath);
    // Without a trial the plug-in is loaded as it always was.
    if (pid < 0) return ProbeResult::Passed;
    const uint32_t start = ticks();
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) return judge(status);
        if (ended < 0) return ProbeResult::Passed; // reaped elsewhere: nothing to judge
        if (ticks() - start >= static_cast<uint32_t>(timeLimitMs_)) break;
        sleepMs(kPollMs);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return ProbeResult::Hung;
}

int runPluginProbe(const std::string& libraryPath) {
    // Quietly: when the library does not load, the real load says so. A
    // pipe in its place would hold the trial until its time is up.
    if (!isRegularFile(libraryPath)) return kProbeNotLoaded;
    void* handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return kProbeNotLoaded;
    auto init = reinterpret_cast<PluginInitFn>(dlsym(handle, kPluginInitName));
    if (init == nullptr) {
        dlclose(handle);
        return kProbeNotLoaded;
    }
    const std::u16string widePath = toWidePath(libraryPath);
    init(widePath.c_str());
    if (auto deInit = reinterpret_cast<PluginDeInitFn>(dlsym(handle, kPluginDeInitName))) deInit();
    dlclose(handle);
    return kProbePassed;
}

} // namespace tevo
