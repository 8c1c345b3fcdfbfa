// Nodes whose coordinates libosmium's XML parser would misread. Its parser
// multiplies the digits out by the exponent in 64-bit integers, so a text
// such as lat="1e308" overflows (quietly, to 0: a node on the equator)
// instead of being refused. The raw text is checked here before the parse.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace tevo::tvmc {

// Whether a coordinate text (without quotes) has an exponent whose value is
// not a finite number within `limit` degrees either way.
bool misreadCoordinate(std::string_view text, double limit);

// Collects the ids of <node> elements with such a lat or lon, from XML text
// fed in pieces of any size.
class CoordinateScan {
public:
    void feed(std::string_view chunk);
    const std::unordered_set<int64_t>& misread() const { return misread_; }

private:
    void checkNodeTag(std::string_view tag);

    std::string carry_; // the text after the last complete tag
    std::unordered_set<int64_t> misread_;
};

// Scans an XML input (plain, gzip or bzip2) and returns the misread node ids;
// other formats (PBF stores integers) give none. Throws what libosmium
// throws on an unreadable file.
std::unordered_set<int64_t> scanMisreadNodes(const std::string& path);

} // namespace tevo::tvmc
