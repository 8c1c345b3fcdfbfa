// A search over the name index as the user types: each call takes the whole
// text typed so far and answers with the best entries.
//
// Every word typed must begin a word of the entry's name or of its town,
// each a different one, and at least one word of the name: "rue fontaine"
// finds "Rue de la Fontaine", "hauptstr bindlach" the Hauptstraße of
// Bindlach. Words compare folded (text_fold.hpp). The entries are ranked by
// the number of typed words that equal a word of the name, then by kind
// (places, streets, areas, POIs), then by distance from the origin, then in
// the index's order (by name).
#pragma once

#include "search/name_index.hpp"
#include "search/word_matching.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tevo::search {

struct NameHit {
    NameKind kind = NameKind::Poi;
    uint16_t type = 0;       // the map object type (docs/map-types.md)
    std::string name;        // UTF-8
    std::string town;        // UTF-8; empty when the index knows none
    int32_t x = 0, y = 0;    // map units
    double lon = 0, lat = 0; // degrees, west of Greenwich negative
    double metres = 0;       // from the origin
    uint32_t exactWords = 0; // typed words equal to a word of the name
    uint32_t entry = 0;      // the entry's number in the index
};

// Typed words beyond this many are not looked at.
inline constexpr std::size_t kMaxQueryWords = WordMatching::kMaxTyped;
inline constexpr std::size_t kDefaultHitLimit = 20;

class cNameQuery {
public:
    // The index stays open and in place while the query lives.
    explicit cNameQuery(const cNameIndex& index);

    // Where distances are measured from, in degrees: the vehicle, or the
    // view's centre without a fix. By default the middle of the index.
    void setOrigin(double lon, double lat);
    // How many of the best entries a search keeps.
    void setLimit(std::size_t limit) { limit_ = limit; }

    // Searches for the text typed so far (UTF-8 or UTF-16) and returns the
    // best entries, best first; no words typed give none. When the text
    // only lengthens the last word of the previous search, only that
    // search's matches are looked at again.
    const std::vector<NameHit>& search(std::string_view typed);
    const std::vector<NameHit>& search(std::u16string_view typed);

    const std::vector<NameHit>& hits() const { return hits_; }
    // How many entries matched the last search (hits() holds the best).
    std::size_t matchCount() const { return matches_.size(); }

private:
    struct Match {
        uint32_t entry;
        uint32_t exact; // typed words equal to a name word
        uint32_t kind;
        double distance2; // squared, in map units scaled to the ground
    };
    struct TypedWord {
        std::string folded;
        WordRange range;
    };

    const std::vector<NameHit>& run(std::vector<std::string> words);
    bool narrows(const std::vector<std::string>& words) const;
    void walkPostings();
    void rematch();
    bool evaluate(uint32_t entry, Match& match);
    double distance2(int32_t x, int32_t y) const;
    void collectHits();

    const cNameIndex& index_;
    int32_t originX_ = 0, originY_ = 0;
    double originLon_ = 0, originLat_ = 0, xScale_ = 1;
    std::size_t limit_ = kDefaultHitLimit;
    std::vector<TypedWord> typed_;       // the last search's words
    std::vector<std::string> lastWords_; // as typed, in order
    std::vector<Match> matches_;
    std::vector<NameHit> hits_;
    std::vector<uint32_t> seen_; // per entry: the walk that last met it
    uint32_t walk_ = 0;
    NameRecord record_;
    TownRecord town_;
    WordMatching matching_;
};

} // namespace tevo::search
