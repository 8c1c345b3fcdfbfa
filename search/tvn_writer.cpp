#include "search/tvn_writer.hpp"

#include "search/text_fold.hpp"
#include "search/tvn_format.hpp"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <span>
#include <string_view>
#include <tuple>
#include <unordered_map>

namespace tevo::search {

namespace {

using namespace tvn;

std::string cutName(std::string text) {
    if (text.size() <= kMaxNameBytes) return text;
    std::size_t n = kMaxNameBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    text.resize(n);
    return text;
}

// Every folded word once; numbered first as met, then in byte order.
class WordDictionary {
public:
    uint32_t add(std::string word) {
        const auto [at, added] =
            ids_.try_emplace(std::move(word), static_cast<uint32_t>(ids_.size()));
        if (added) texts_.push_back(&at->first);
        return at->second;
    }
    // Numbers the words in byte order; returns the new number of each word
    // by its first number.
    std::vector<uint32_t> sortWords() {
        std::vector<uint32_t> order(texts_.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [this](uint32_t a, uint32_t b) { return *texts_[a] < *texts_[b]; });
        std::vector<uint32_t> renumber(order.size());
        for (uint32_t i = 0; i < order.size(); ++i) renumber[order[i]] = i;
        sorted_.clear();
        for (uint32_t first : order) sorted_.push_back(texts_[first]);
        return renumber;
    }
    const std::vector<const std::string*>& sorted() const { return sorted_; }
    std::size_t size() const { return texts_.size(); }

private:
    std::unordered_map<std::string, uint32_t> ids_;
    std::vector<const std::string*> texts_, sorted_;
};

// The distinct word numbers of a text, as first numbered.
std::vector<uint32_t> wordsOf(const std::string& text, WordDictionary& dictionary) {
    std::vector<uint32_t> ids;
    for (std::string& w : foldWords(std::string_view(text)))
        ids.push_back(dictionary.add(std::move(w)));
    return ids;
}

// Word numbers renumbered, sorted, once each, delta-coded after their count.
void putWords(std::string& out, std::span<const uint32_t> first,
              const std::vector<uint32_t>& renumber) {
    std::vector<uint32_t> ids;
    ids.reserve(first.size());
    for (uint32_t id : first) ids.push_back(renumber[id]);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    putVarint(out, static_cast<uint32_t>(ids.size()));
    uint32_t previous = 0;
    for (uint32_t id : ids) {
        putVarint(out, id - previous);
        previous = id;
    }
}

void putName(std::string& out, const std::string& name) {
    out += static_cast<char>(name.size());
    out += name;
}

struct Sections {
    std::array<std::string, kSectionCount> bytes;
    uint32_t entries = 0, words = 0, towns = 0;
    int32_t bounds[4] = {0, 0, 0, 0};
};

// What the entries hold once folded: their names' words, the towns. The
// words of entry i are nameWords[wordsFirst[i]] up to wordsFirst[i + 1]: at
// a million entries a list of its own each would cost 50 MB.
struct Prepared {
    WordDictionary dictionary;
    std::vector<NameEntry> entries;
    std::vector<uint32_t> nameWords; // first numbers
    std::vector<uint32_t> wordsFirst{0};
    std::vector<std::string> towns; // sorted, once each
    std::vector<std::vector<uint32_t>> townWords;
    std::vector<uint32_t> renumber; // first word number to stored number
    std::vector<uint32_t> order;    // entries in stored order

    std::span<const uint32_t> wordsOfEntry(uint32_t entry) const {
        return std::span(nameWords).subspan(wordsFirst[entry],
                                            wordsFirst[entry + 1] - wordsFirst[entry]);
    }
};

// Names and towns cut, folded and numbered; wordless names left out. The
// entries are kept in place, so that they are never held twice.
void prepare(std::vector<NameEntry>&& entries, Prepared& p) {
    std::size_t kept = 0;
    for (NameEntry& e : entries) {
        e.name = cutName(std::move(e.name));
        e.town = cutName(std::move(e.town));
        const std::vector<uint32_t> ids = wordsOf(e.name, p.dictionary);
        if (ids.empty()) continue;
        p.nameWords.insert(p.nameWords.end(), ids.begin(), ids.end());
        p.wordsFirst.push_back(static_cast<uint32_t>(p.nameWords.size()));
        if (!e.town.empty()) p.towns.push_back(e.town);
        if (&entries[kept] != &e) entries[kept] = std::move(e);
        ++kept;
    }
    entries.resize(kept);
    p.entries = std::move(entries);
    std::sort(p.towns.begin(), p.towns.end());
    p.towns.erase(std::unique(p.towns.begin(), p.towns.end()), p.towns.end());
    for (const std::string& t : p.towns) p.townWords.push_back(wordsOf(t, p.dictionary));
    p.renumber = p.dictionary.sortWords();
    p.order.resize(p.entries.size());
    std::iota(p.order.begin(), p.order.end(), 0);
    auto key = [&p](uint32_t i) {
        const NameEntry& e = p.entries[i];
        return std::tie(e.kind, e.name, e.town, e.x, e.y, e.type);
    };
    std::sort(p.order.begin(), p.order.end(),
              [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
}

void widenBounds(int32_t bounds[4], const NameEntry& e, bool first) {
    if (first) {
        bounds[0] = bounds[2] = e.x;
        bounds[1] = bounds[3] = e.y;
    }
    bounds[0] = std::min(bounds[0], e.x);
    bounds[1] = std::min(bounds[1], e.y);
    bounds[2] = std::max(bounds[2], e.x);
    bounds[3] = std::max(bounds[3], e.y);
}

// The entry records in stored order; each entry's number goes to the
// postings of its words.
void encodeEntries(const Prepared& p, Sections& s, std::vector<std::vector<uint32_t>>& postings) {
    std::string& records = s.bytes[kEntryRecords];
    for (uint32_t n = 0; n < p.order.size(); ++n) {
        const NameEntry& e = p.entries[p.order[n]];
        widenBounds(s.bounds, e, n == 0);
        putU32(s.bytes[kEntryOffsets], static_cast<uint32_t>(records.size()));
        records += static_cast<char>(e.kind);
        putU16(records, e.type);
        putU32(records, static_cast<uint32_t>(e.x));
        putU32(records, static_cast<uint32_t>(e.y));
        const auto town = std::lower_bound(p.towns.begin(), p.towns.end(), e.town);
        putVarint(records, e.town.empty() ? 0 : static_cast<uint32_t>(town - p.towns.begin()) + 1);
        putName(records, e.name);
        putWords(records, p.wordsOfEntry(p.order[n]), p.renumber);
        for (uint32_t first : p.wordsOfEntry(p.order[n])) {
            std::vector<uint32_t>& list = postings[p.renumber[first]];
            if (list.empty() || list.back() != n) list.push_back(n);
        }
    }
    putU32(s.bytes[kEntryOffsets], static_cast<uint32_t>(records.size()));
}

void encodeWords(const Prepared& p, const std::vector<std::vector<uint32_t>>& postings,
                 Sections& s) {
    std::string& table = s.bytes[kWordTable];
    for (std::size_t w = 0; w <= postings.size(); ++w) {
        putU32(table, static_cast<uint32_t>(s.bytes[kWordTexts].size()));
        putU32(table, static_cast<uint32_t>(s.bytes[kPostings].size()));
        if (w == postings.size()) break;
        s.bytes[kWordTexts] += *p.dictionary.sorted()[w];
        uint32_t previous = 0;
        for (uint32_t entry : postings[w]) {
            putVarint(s.bytes[kPostings], entry - previous);
            previous = entry;
        }
    }
}

void encodeTowns(const Prepared& p, Sections& s) {
    for (std::size_t t = 0; t < p.towns.size(); ++t) {
        putU32(s.bytes[kTownOffsets], static_cast<uint32_t>(s.bytes[kTownRecords].size()));
        putName(s.bytes[kTownRecords], p.towns[t]);
        putWords(s.bytes[kTownRecords], p.townWords[t], p.renumber);
    }
    putU32(s.bytes[kTownOffsets], static_cast<uint32_t>(s.bytes[kTownRecords].size()));
}

bool fits(const Sections& s) {
    uint64_t total = kHeaderSize;
    for (const std::string& b : s.bytes) total += b.size();
    return total <= std::numeric_limits<uint32_t>::max();
}

// Each section is let go once copied, so that the file is not held twice.
std::string assemble(Sections& s) {
    uint64_t total = kHeaderSize;
    for (const std::string& b : s.bytes) total += b.size();
    std::string out(kMagic.begin(), kMagic.end());
    out.reserve(total);
    putU16(out, kVersion);
    putU16(out, static_cast<uint16_t>(kHeaderSize));
    putU32(out, s.entries);
    putU32(out, s.words);
    putU32(out, s.towns);
    for (int32_t b : s.bounds) putU32(out, static_cast<uint32_t>(b));
    uint32_t at = kHeaderSize;
    for (const std::string& b : s.bytes) {
        putU32(out, at);
        putU32(out, static_cast<uint32_t>(b.size()));
        at += static_cast<uint32_t>(b.size());
    }
    out.resize(kHeaderSize, '\0');
    for (std::string& b : s.bytes) {
        out += b;
        std::string().swap(b);
    }
    return out;
}

} // namespace

std::string encodeNameIndex(std::vector<NameEntry> entries) {
    Prepared p;
    prepare(std::move(entries), p);
    Sections s;
    s.entries = static_cast<uint32_t>(p.order.size());
    s.words = static_cast<uint32_t>(p.dictionary.size());
    s.towns = static_cast<uint32_t>(p.towns.size());
    std::vector<std::vector<uint32_t>> postings(p.dictionary.size());
    encodeEntries(p, s, postings);
    encodeWords(p, postings, s);
    encodeTowns(p, s);
    return fits(s) ? assemble(s) : std::string();
}

} // namespace tevo::search
