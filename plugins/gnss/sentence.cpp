#include "plugins/gnss/sentence.hpp"

namespace tevo::gnss {

namespace {

constexpr std::size_t kTalkerLetters = 2;
constexpr std::size_t kTypeLetters = 3;
constexpr std::size_t kChecksumDigits = 2;
// The first letter of a proprietary sentence's address.
constexpr char kProprietary = 'P';

struct TalkerName {
    std::string_view letters;
    Talker talker;
};

constexpr TalkerName kTalkers[] = {
    {"GP", Talker::Gps},     {"GN", Talker::Mixed},  {"GL", Talker::Glonass},
    {"GA", Talker::Galileo}, {"GB", Talker::BeiDou}, {"BD", Talker::BeiDou},
    {"GQ", Talker::Qzss},    {"GI", Talker::Navic},
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

// The sentence's body between '$' and '*', checked against its checksum.
std::optional<std::string_view> checkedBody(std::string_view line) {
    std::size_t dollar = line.rfind('$');
    if (dollar == std::string_view::npos) return std::nullopt;
    std::string_view sentence = line.substr(dollar + 1);
    std::size_t star = sentence.find('*');
    if (star == std::string_view::npos) return sentence;
    std::string_view body = sentence.substr(0, star);
    std::string_view tail = sentence.substr(star + 1);
    while (!tail.empty() && isBlank(tail.back())) tail.remove_suffix(1);
    if (tail.size() != kChecksumDigits) return std::nullopt;
    int high = hexValue(tail[0]), low = hexValue(tail[1]);
    if (high < 0 || low < 0) return std::nullopt;
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    if (sum != unsigned(high * 16 + low)) return std::nullopt;
    return body;
}

} // namespace

std::optional<Talker> talkerOf(std::string_view letters) {
    for (const TalkerName& name : kTalkers) {
        if (name.letters == letters) return name.talker;
    }
    const bool twoLetters = letters.size() == kTalkerLetters && isUpper(letters[0]) &&
                            isUpper(letters[1]) && letters[0] != kProprietary;
    if (twoLetters) return Talker::Other;
    return std::nullopt;
}

std::optional<Sentence> splitSentence(std::string_view line) {
    std::optional<std::string_view> body = checkedBody(line);
    if (!body) return std::nullopt;
    std::size_t comma = body->find(',');
    std::string_view address = body->substr(0, comma);
    if (address.size() != kTalkerLetters + kTypeLetters) return std::nullopt;
    std::optional<Talker> talker = talkerOf(address.substr(0, kTalkerLetters));
    std::string_view type = address.substr(kTalkerLetters);
    if (!talker) return std::nullopt;
    for (char c : type) {
        if (!isUpper(c)) return std::nullopt;
    }
    Sentence sentence;
    sentence.talker = *talker;
    sentence.type = type;
    if (comma == std::string_view::npos) return sentence;
    std::string_view rest = body->substr(comma + 1);
    while (sentence.count < kMaxFields) {
        std::size_t next = rest.find(',');
        sentence.fields[sentence.count++] = rest.substr(0, next);
        if (next == std::string_view::npos) break;
        rest.remove_prefix(next + 1);
    }
    return sentence;
}

} // namespace tevo::gnss
