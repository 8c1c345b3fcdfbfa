#include "json_check.hpp"
#include "map/tvm_writer.hpp"
#include "map_test_util.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tevo {
namespace {

using namespace test;

struct ToolRun {
    int exitCode = -1; // -1: killed by a signal or timed out
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A running tvminfo whose output goes to files of its own.
struct ToolProcess {
    pid_t pid = -1;
    std::string outPath, errPath;
};

// Starts tvminfo. Sanitizer reports get exit codes of their own so that they
// are never mistaken for tvminfo's 1.
ToolProcess startTvminfo(const std::vector<std::string>& args, const std::string& tag,
                         bool checkLeaks) {
    ToolProcess proc{-1, tempPath("tvminfo-" + tag + ".out"), tempPath("tvminfo-" + tag + ".err")};
    const std::string bin = std::string(TEVO_BIN_DIR) + "/tvminfo";
    std::vector<std::string> argStore = {bin};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e) {
        const std::string_view v(*e);
        if (!v.starts_with("ASAN_OPTIONS=") && !v.starts_with("UBSAN_OPTIONS="))
            envStore.push_back(*e);
    }
    const char* asan = std::getenv("ASAN_OPTIONS");
    const char* ubsan = std::getenv("UBSAN_OPTIONS");
    envStore.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":exitcode=77" +
                       (checkLeaks ? "" : ":detect_leaks=0"));
    envStore.push_back(std::string("UBSAN_OPTIONS=") + (ubsan ? ubsan : "") +
                       ":halt_on_error=1:exitcode=78");
    std::vector<char*> envp;
    for (auto& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, proc.outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, proc.errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&proc.pid, bin.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        proc.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return proc;
}

// Waits for it, killing it after a time limit.
ToolRun finish(const ToolProcess& proc) {
    ToolRun run;
    if (proc.pid < 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (waitpid(proc.pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(proc.pid, SIGKILL);
            waitpid(proc.pid, &status, 0);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = slurp(proc.outPath);
    run.err = slurp(proc.errPath);
    return run;
}

ToolRun tvminfo(const std::vector<std::string>& args) {
    return finish(startTvminfo(args, "single", true));
}

// Two levels, three index blocks in mixed order, names that need escaping.
std::vector<TvmIndexBlock> sampleMap() {
    TvmIndexBlock a = degreeCells({{37, 55}, {38, 55}, {37, 56}});
    a.blocks[0].pois[0].name = u"Caf\u00e9 \"Q\"\\\n\x01\x1f \U0001F600";
    a.blocks[1].polylines.push_back(
        {3, {{0, 0}, {10, 5}, {20, 0}}, u"\u0422\u0432\u0435\u0440\u0441\u043a\u0430\u044f"});
    a.blocks[1].polygons.push_back({108, {{0, 0}, {1, 0}, {1, 1}}, u"Hall"});
    a.blocks[2].polygons.push_back({0x4B, {{5, 5}, {6, 5}, {6, 6}, {5, 6}}, u""});
    TvmIndexBlock b{1, 900, {poiCell(150, 222, 1440, 0.25), poiCell(149, 222, 1440, 0.25)}};
    TvmIndexBlock c = degreeCells({{36, 54}});
    return {a, b, c};
}

TEST(Tvminfo, PrintsTheWholeMapAsJson) {
    const std::string path = tempPath("sample.tvm");
    std::string error;
    ASSERT_TRUE(writeTvm(path, u"Sample \"map\"", sampleMap(), &error)) << error;
    const ToolRun all = tvminfo({"--all", path});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_TRUE(JsonCheck::valid(all.out)) << all.out;
    EXPECT_NE(all.out.find(R"("name": "Sample \"map\"")"), std::string::npos);
    EXPECT_NE(all.out.find("\"name\": \"Caf\u00e9 \\\"Q\\\"\\\\\\u000a\\u0001\\u001f \U0001F600\""),
              std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find("\u0422\u0432\u0435\u0440\u0441\u043a\u0430\u044f"), std::string::npos);
    EXPECT_NE(all.out.find("\"cellSeconds\": 900"), std::string::npos);
    EXPECT_NE(all.out.find("\"upperPolygons\": [\n"), std::string::npos);
    EXPECT_LT(all.out.find("\"cellSeconds\": 900"), all.out.find("\"cellSeconds\": 3600"));
    // Every block once with --all; without it only the start cell's.
    auto count = [](const std::string& s, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(all.out, "\"pois\": "), 6u);
    const ToolRun start = tvminfo({path});
    ASSERT_EQ(start.exitCode, 0) << start.err;
    EXPECT_TRUE(JsonCheck::valid(start.out));
    EXPECT_EQ(count(start.out, "\"pois\": "), 1u);
    EXPECT_NE(start.out.find("\"startRect\": [36, 54, 37, 55]"), std::string::npos) << start.out;
}

TEST(Tvminfo, FailuresExitWithOne) {
    const ToolRun usage = tvminfo({});
    EXPECT_EQ(usage.exitCode, 1);
    const ToolRun missing = tvminfo({"/nonexistent/map.tvm"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(JsonCheck::valid(missing.out));
    EXPECT_NE(missing.err.find("did not open"), std::string::npos);
}

// Damage of four kinds: a few random bytes, a 32-bit field set to something
// large, a cut, one flipped bit after the header.
std::vector<uint8_t> damaged(std::vector<uint8_t> bytes, int kind, std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> anywhere(0, bytes.size() - 1);
    if (kind == 0) {
        for (int i = 0; i < 4; ++i) bytes[anywhere(rng)] = static_cast<uint8_t>(rng());
    } else if (kind == 1) {
        const std::size_t at = anywhere(rng) & ~std::size_t{3};
        const uint32_t values[] = {0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x10000,
                                   static_cast<uint32_t>(rng())};
        const uint32_t v = values[rng() % 5];
        for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    } else if (kind == 2) {
        bytes.resize(anywhere(rng));
    } else {
        std::uniform_int_distribution<std::size_t> after(456, bytes.size() - 1);
        bytes[after(rng)] ^= static_cast<uint8_t>(1u << (rng() % 8));
    }
    return bytes;
}

// Damaged copies: tvminfo never crashes or hangs: it reads the map, or shows
// the message and exits with 1, or lists the damaged cell as missing.
TEST(Tvminfo, SurvivesDamagedMaps) {
    const std::vector<uint8_t> good = encodeTvm(u"m", sampleMap());
    ASSERT_FALSE(good.empty());
    constexpr int kCopies = 100;
    // A few at a time: most of each run is process start-up.
    constexpr int kAtOnce = 4;
    std::mt19937 rng(20240601);
    std::vector<std::string> paths;
    for (int copy = 0; copy < kCopies; ++copy) {
        std::vector<uint8_t> bytes = damaged(good, copy % 4, rng);
        paths.push_back(tempPath("damaged" + std::to_string(copy) + ".tvm"));
        ASSERT_TRUE(writeBytes(paths.back(), bytes));
    }
    int failed = 0;
    for (int first = 0; first < kCopies; first += kAtOnce) {
        std::vector<ToolProcess> running;
        for (int copy = first; copy < std::min(kCopies, first + kAtOnce); ++copy)
            // Leaks are checked by the single runs; here they would only slow
            // the sanitizer build down.
            running.push_back(startTvminfo({"--all", paths[copy]}, std::to_string(copy), false));
        for (std::size_t k = 0; k < running.size(); ++k) {
            const int copy = first + static_cast<int>(k);
            const ToolRun run = finish(running[k]);
            ASSERT_TRUE(run.exitCode == 0 || run.exitCode == 1)
                << "copy " << copy << " exit " << run.exitCode << "\n"
                << run.err;
            EXPECT_TRUE(JsonCheck::valid(run.out)) << "copy " << copy;
            if (run.exitCode != 1) continue;
            ++failed;
            const bool explained =
                !run.err.empty() || run.out.find("\"missing\": [\n") != std::string::npos;
            EXPECT_TRUE(explained) << "copy " << copy;
        }
    }
    EXPECT_GT(failed, 10);
}

} // namespace
} // namespace tevo
