#include "tools/tvmsearch/bench.hpp"

#include "platform/utf.hpp"
#include "search/name_query.hpp"
#include "search/text_fold.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace tevo::search {

namespace {

constexpr std::size_t kMaxPrefixChars = 8;
constexpr std::size_t kTypedShare = 10;   // one name in ten is typed key by key
constexpr std::size_t kScanPrefixes = 50; // the plain scan is slow: fewer prefixes

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The first `chars` characters of a UTF-8 text.
std::string headOf(std::string_view text, std::size_t chars) {
    std::size_t at = 0;
    for (std::size_t k = 0; k < chars && at < text.size(); ++k) utf::nextFromUtf8(text, at);
    return std::string(text.substr(0, at));
}

std::size_t charsOf(std::string_view text) {
    std::size_t at = 0, n = 0;
    for (; at < text.size(); ++n) utf::nextFromUtf8(text, at);
    return n;
}

struct Spread {
    double median = 0, p90 = 0, max = 0;
};

Spread spreadOf(std::vector<double> v) {
    if (v.empty()) return {};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 9 / 10], v.back()};
}

double medianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::vector<std::string> namesOf(const cNameIndex& index, std::size_t count) {
    std::vector<std::string> names;
    NameRecord r;
    for (std::size_t i = 0; i < count && index.entryCount() > 0; ++i) {
        index.entry(static_cast<uint32_t>(i * index.entryCount() / count), r);
        names.emplace_back(r.name);
    }
    return names;
}

// The reference: every name folded and compared, as without an index.
std::size_t plainScan(const cNameIndex& index, const std::string& typed) {
    const std::vector<std::string> words = foldWords(std::string_view(typed));
    std::size_t found = 0;
    NameRecord r;
    for (uint32_t n = 0; n < index.entryCount(); ++n) {
        index.entry(n, r);
        const std::vector<std::string> nameWords = foldWords(r.name);
        found += std::all_of(words.begin(), words.end(), [&](const std::string& w) {
            return std::any_of(nameWords.begin(), nameWords.end(),
                               [&](const std::string& v) { return v.starts_with(w); });
        });
    }
    return found;
}

// Milliseconds of each keystroke in each round.
struct Timings {
    std::vector<std::vector<double>> keys;
    void add(std::size_t key, double ms) {
        if (keys.size() <= key) keys.resize(key + 1);
        keys[key].push_back(ms);
    }
    // Each keystroke's median over the rounds, spread over the keystrokes:
    // a keystroke that the machine's other work delayed in one round does
    // not count as slow.
    Spread spread() const {
        std::vector<double> medians;
        for (const std::vector<double>& k : keys) medians.push_back(medianOf(k));
        return spreadOf(std::move(medians));
    }
};

struct Figures {
    Timings fresh, typed, scan;
};

template <typename F> void timeKey(Timings& timings, std::size_t key, F&& search) {
    const auto t = Clock::now();
    search();
    timings.add(key, msSince(t));
}

void runRound(const cNameIndex& index, const std::vector<std::string>& prefixes,
              const std::vector<std::string>& names, Figures& figures) {
    cNameQuery query(index);
    for (std::size_t i = 0; i < prefixes.size(); ++i) {
        query.search(std::string_view()); // no narrowing from the prefix before
        timeKey(figures.fresh, i, [&] { query.search(std::string_view(prefixes[i])); });
    }
    std::size_t key = 0;
    for (std::size_t i = 0; i < names.size(); i += kTypedShare) {
        query.search(std::string_view());
        for (std::size_t k = 1; k <= charsOf(names[i]); ++k) {
            const std::string typed = headOf(names[i], k);
            timeKey(figures.typed, key++, [&] { query.search(std::string_view(typed)); });
        }
    }
    for (std::size_t i = 0; i < prefixes.size() && i < kScanPrefixes; ++i) {
        volatile std::size_t found = 0;
        timeKey(figures.scan, i, [&] { found = plainScan(index, prefixes[i]); });
    }
}

uint64_t sizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

void printSize(const cNameIndex& index, const std::string& indexPath) {
    std::printf("index %s: %u entries, %u words, %u towns, %llu bytes", indexPath.c_str(),
                index.entryCount(), index.wordCount(), index.townCount(),
                static_cast<unsigned long long>(index.fileSize()));
    std::string mapPath = indexPath;
    if (mapPath.ends_with(".tvn")) mapPath.replace(mapPath.size() - 4, 4, ".tvm");
    if (const uint64_t map = sizeOf(mapPath); map > 0 && mapPath != indexPath)
        std::printf(" = %.1f %% of %s (%llu bytes)",
                    100.0 * static_cast<double>(index.fileSize()) / static_cast<double>(map),
                    mapPath.c_str(), static_cast<unsigned long long>(map));
    std::printf("\n");
}

} // namespace

int runBench(const cNameIndex& index, const std::string& indexPath, const BenchOptions& options) {
    printSize(index, indexPath);
    const std::vector<std::string> names = namesOf(index, options.prefixes);
    std::vector<std::string> prefixes;
    for (std::size_t i = 0; i < names.size(); ++i)
        prefixes.push_back(headOf(names[i], 1 + i % std::min(kMaxPrefixChars, charsOf(names[i]))));
    Figures figures;
    for (std::size_t r = 0; r < options.rounds; ++r) runRound(index, prefixes, names, figures);
    const Spread fresh = figures.fresh.spread(), typed = figures.typed.spread();
    const Spread scan = figures.scan.spread();
    std::printf("%zu prefixes searched anew: median %.4f ms, 90%% %.4f ms, slowest %.3f ms\n",
                prefixes.size(), fresh.median, fresh.p90, fresh.max);
    std::printf("%zu keys typed: median %.4f ms, 90%% %.4f ms, slowest %.3f ms\n",
                figures.typed.keys.size(), typed.median, typed.p90, typed.max);
    std::printf("plain scan of every name (reference, %zu prefixes): median %.3f ms, %.0f times "
                "the index's median\n",
                figures.scan.keys.size(), scan.median,
                fresh.median > 0 ? scan.median / fresh.median : 0.0);
    std::printf("(each keystroke's median over %zu rounds)\n", options.rounds);
    return 0;
}

} // namespace tevo::search
