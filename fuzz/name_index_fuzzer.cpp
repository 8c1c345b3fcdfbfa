// The name index over arbitrary contents: opened and checked as the
// navigator opens it, then searched from an origin the input picks for
// prefixes of its own names, typed key by key, and of its words. Every key's
// hits, narrowed from the key before, must equal those of the same text
// searched anew; a difference traps.
#include "fuzz/fuzz_support.hpp"

#include "search/name_query.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr uint32_t kNamesTyped = 4;
constexpr uint32_t kWordsSearched = 8;

bool sameHits(const std::vector<tevo::search::NameHit>& a,
              const std::vector<tevo::search::NameHit>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.entry == y.entry && x.name == y.name && x.town == y.town;
    });
}

int64_t typeKeyByKey(const tevo::search::cNameIndex& index, std::string_view text, double lon,
                     double lat) {
    tevo::search::cNameQuery typing(index), anew(index);
    typing.setOrigin(lon, lat);
    anew.setOrigin(lon, lat);
    int64_t sum = 0;
    for (std::size_t n = 1; n <= text.size(); ++n) {
        const std::string_view typed = text.substr(0, n);
        const auto& hits = typing.search(typed);
        anew.search(std::string_view());
        if (!sameHits(hits, anew.search(typed))) __builtin_trap();
        for (const auto& h : hits) sum += static_cast<int64_t>(h.metres) + h.type + h.x;
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const tevo::fuzz::ScratchFile file(".tvn");
    if (!file.write(data, size)) return 0;
    tevo::search::cNameIndex index;
    if (!index.open(file.path(), nullptr)) return 0;
    const uint64_t h = tevo::fuzz::hashOf(data, size);
    const double lon = static_cast<double>(h % 36000) / 100.0 - 180.0;
    const double lat = static_cast<double>((h >> 16) % 9000) / 100.0;
    int64_t sum = 0;
    tevo::search::NameRecord record;
    for (uint32_t n = 0; n < std::min(index.entryCount(), kNamesTyped); ++n) {
        index.entry(n, record);
        sum += typeKeyByKey(index, record.name, lon, lat);
    }
    tevo::search::cNameQuery query(index);
    query.setOrigin(lon, lat);
    for (uint32_t w = 0; w < std::min(index.wordCount(), kWordsSearched); ++w) {
        const std::string word(index.word(w));
        sum += static_cast<int64_t>(query.search(std::string_view(word)).size());
        sum += static_cast<int64_t>(query.search(word.substr(0, 1) + " " + word).size());
    }
    tevo::fuzz::keep(sum);
    return 0;
}
