#include "search/name_query.hpp"

#include "map/map_units.hpp"
#include "plugin-api/geodesy.hpp"
#include "search/text_fold.hpp"

#include <algorithm>
#include <cmath>

namespace tevo::search {

namespace {

double lonOf(int32_t x) {
    const double lon = mapUnitsToDegrees(x);
    return lon > 180.0 ? lon - 360.0 : lon;
}

bool better(const auto& a, const auto& b) {
    if (a.exact != b.exact) return a.exact > b.exact;
    if (a.kind != b.kind) return a.kind < b.kind;
    if (a.distance2 != b.distance2) return a.distance2 < b.distance2;
    return a.entry < b.entry;
}

} // namespace

cNameQuery::cNameQuery(const cNameIndex& index) : index_(index), seen_(index.entryCount(), 0) {
    const int32_t* b = index.bounds();
    setOrigin(lonOf(static_cast<int32_t>((int64_t{b[0]} + b[2]) / 2)),
              mapUnitsToDegrees((b[1] + static_cast<double>(b[3])) / 2));
}

void cNameQuery::setOrigin(double lon, double lat) {
    originLon_ = lon;
    originLat_ = lat;
    originX_ = static_cast<int32_t>(std::lround(degreesToMapUnits(lon < 0 ? lon + 360.0 : lon)));
    originY_ = static_cast<int32_t>(std::lround(degreesToMapUnits(lat)));
    xScale_ = std::cos(geo::radians(lat));
}

const std::vector<NameHit>& cNameQuery::search(std::string_view typed) {
    return run(foldWords(typed));
}

const std::vector<NameHit>& cNameQuery::search(std::u16string_view typed) {
    return run(foldWords(typed));
}

const std::vector<NameHit>& cNameQuery::run(std::vector<std::string> words) {
    if (words.size() > kMaxQueryWords) words.resize(kMaxQueryWords);
    const bool narrowing = narrows(words);
    lastWords_ = words;
    typed_.clear();
    for (std::string& w : words) {
        const WordRange range = index_.wordsWithPrefix(w);
        typed_.push_back({std::move(w), range});
    }
    const bool hopeless =
        typed_.empty() || std::any_of(typed_.begin(), typed_.end(),
                                      [](const TypedWord& t) { return t.range.empty(); });
    if (hopeless)
        matches_.clear();
    else if (narrowing)
        rematch();
    else
        walkPostings();
    collectHits();
    return hits_;
}

// True when the words are the previous search's with its last word
// lengthened: every match of the new words matched the old ones.
bool cNameQuery::narrows(const std::vector<std::string>& words) const {
    if (words.empty() || words.size() != lastWords_.size()) return false;
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        if (words[i] != lastWords_[i]) return false;
    return words.back().starts_with(lastWords_.back());
}

// The entries that may match: those with a name word in the range of the
// typed word of the fewest postings, when no town has a word in that range
// (it must then be found in the name); else those with a name word in the
// range of any typed word. Each is looked at once.
void cNameQuery::walkPostings() {
    matches_.clear();
    // The index may have been opened again since; its entries decide.
    if (seen_.size() != index_.entryCount()) seen_.assign(index_.entryCount(), walk_);
    if (++walk_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        walk_ = 1;
    }
    const TypedWord* fewest = &*std::min_element(
        typed_.begin(), typed_.end(), [this](const TypedWord& a, const TypedWord& b) {
            return index_.postingBytes(a.range) < index_.postingBytes(b.range);
        });
    const bool townsToo = index_.townsHaveWordIn(fewest->range);
    Match m{};
    for (const TypedWord& t : typed_) {
        if (!townsToo && &t != fewest) continue;
        index_.forEachPosting(t.range, [&](uint32_t entry) {
            if (seen_[entry] == walk_) return;
            seen_[entry] = walk_;
            if (evaluate(entry, m)) matches_.push_back(m);
        });
    }
}

void cNameQuery::rematch() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < matches_.size(); ++i)
        if (evaluate(matches_[i].entry, matches_[kept])) ++kept;
    matches_.resize(kept);
}

// Whether every typed word can take a different word of the entry's name
// or town and at least one begins a word of the name; the ranking keys
// when they can.
bool cNameQuery::evaluate(uint32_t entry, Match& match) {
    index_.entry(entry, record_);
    matching_.setWords(record_.words, record_.wordCount, nullptr, 0);
    bool inName = false;
    uint32_t exact = 0;
    for (std::size_t i = 0; i < typed_.size(); ++i) {
        matching_.setTyped(i, typed_[i].range);
        inName = inName || matching_.inName(i);
        exact += std::binary_search(record_.words, record_.words + record_.wordCount,
                                    typed_[i].range.exact);
    }
    if (!inName) return false;
    // One typed word that begins a name word has its word; more may need
    // the town's words too.
    if (typed_.size() > 1 && !matching_.possible(typed_.size())) {
        if (record_.town == 0) return false;
        index_.town(record_.town - 1, town_);
        matching_.setWords(record_.words, record_.wordCount, town_.words, town_.wordCount);
        for (std::size_t i = 0; i < typed_.size(); ++i) matching_.setTyped(i, typed_[i].range);
        if (!matching_.possible(typed_.size())) return false;
    }
    match = {entry, exact, static_cast<uint32_t>(record_.kind), distance2(record_.x, record_.y)};
    return true;
}

double cNameQuery::distance2(int32_t x, int32_t y) const {
    double dx = std::fabs(static_cast<double>(x) - originX_);
    dx = std::min(dx, static_cast<double>(kMapUnitsPerCircle) - dx) * xScale_;
    const double dy = static_cast<double>(y) - originY_;
    return dx * dx + dy * dy;
}

void cNameQuery::collectHits() {
    const std::size_t n = std::min(limit_, matches_.size());
    std::partial_sort(matches_.begin(), matches_.begin() + static_cast<std::ptrdiff_t>(n),
                      matches_.end(), [](const Match& a, const Match& b) { return better(a, b); });
    hits_.clear();
    for (std::size_t i = 0; i < n; ++i) {
        const Match& m = matches_[i];
        index_.entry(m.entry, record_);
        NameHit h;
        h.kind = record_.kind;
        h.type = record_.type;
        h.name = record_.name;
        if (record_.town > 0) {
            index_.town(record_.town - 1, town_);
            h.town = town_.name;
        }
        h.x = record_.x;
        h.y = record_.y;
        h.lon = lonOf(record_.x);
        h.lat = mapUnitsToDegrees(record_.y);
        h.metres = geo::distanceMetres(originLon_, originLat_, h.lon, h.lat);
        h.exactWords = m.exact;
        h.entry = m.entry;
        hits_.push_back(std::move(h));
    }
}

} // namespace tevo::search
