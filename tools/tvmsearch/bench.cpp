#include "tools/tvmsearch/bench.hpp"

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
    for (std::size_t k = 0; k < chars && at < text.size(); ++k) nextCodePoint(text, at);
    return std::string(text.substr(0, at));
}

std::size_t charsOf(std::string_view text) {
    std::size_t at = 0, n = 0;
    for (; at < text.size(); ++n) nextCodePoint(text, at);
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

struct Round {
    Spread fresh, typed;
    double scan = 0;
    std::size_t keys = 0, hits = 0;
};

Round runRound(const cNameIndex& index, const std::vector<std::string>& prefixes,
               const std::vector<std::string>& names) {
    Round round;
    cNameQuery query(index);
    std::vector<double> times;
    for (const std::string& p : prefixes) {
        query.search(std::string_view()); // no narrowing from the prefix before
        const auto t = Clock::now();
        round.hits += query.search(std::string_view(p)).size();
        times.push_back(msSince(t));
    }
    round.fresh = spreadOf(std::move(times));
    times.clear();
    for (std::size_t i = 0; i < names.size(); i += kTypedShare) {
        query.search(std::string_view());
        for (std::size_t k = 1; k <= charsOf(names[i]); ++k) {
            const std::string typed = headOf(names[i], k);
            const auto t = Clock::now();
            query.search(std::string_view(typed));
            times.push_back(msSince(t));
        }
    }
    round.keys = times.size();
    round.typed = spreadOf(std::move(times));
    times.clear();
    for (std::size_t i = 0; i < prefixes.size() && i < kScanPrefixes; ++i) {
        const auto t = Clock::now();
        volatile std::size_t found = plainScan(index, prefixes[i]);
        (void)found;
        times.push_back(msSince(t));
    }
    round.scan = medianOf(std::move(times));
    return round;
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
    std::vector<Round> rounds;
    for (std::size_t r = 0; r < options.rounds; ++r) {
        rounds.push_back(runRound(index, prefixes, names));
        const Round& x = rounds.back();
        std::printf(
            "round %zu: %zu prefixes anew: median %.4f ms, 90%% %.4f ms, max %.3f ms; "
            "%zu keys typed: median %.4f ms, 90%% %.4f ms, max %.3f ms; plain scan %.3f ms\n",
            r + 1, prefixes.size(), x.fresh.median, x.fresh.p90, x.fresh.max, x.keys,
            x.typed.median, x.typed.p90, x.typed.max, x.scan);
    }
    auto median = [&rounds](auto field) {
        std::vector<double> v;
        for (const Round& r : rounds) v.push_back(field(r));
        return medianOf(v);
    };
    const double fresh = median([](const Round& r) { return r.fresh.median; });
    const double scan = median([](const Round& r) { return r.scan; });
    std::printf("median of %zu rounds: a prefix anew %.4f ms (90%% %.4f, max %.3f), a typed key "
                "%.4f ms (90%% %.4f, max %.3f); plain scan %.3f ms, %.0f times the index's time\n",
                rounds.size(), fresh, median([](const Round& r) { return r.fresh.p90; }),
                median([](const Round& r) { return r.fresh.max; }),
                median([](const Round& r) { return r.typed.median; }),
                median([](const Round& r) { return r.typed.p90; }),
                median([](const Round& r) { return r.typed.max; }), scan,
                fresh > 0 ? scan / fresh : 0.0);
    return 0;
}

} // namespace tevo::search
