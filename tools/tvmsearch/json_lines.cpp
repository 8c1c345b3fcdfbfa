#include "tools/tvmsearch/json_lines.hpp"

#include "platform/utf.hpp"
#include "search/text_fold.hpp"

namespace tevo::search {

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = utf::nextFromUtf8(utf8, at);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            utf::appendUtf8(out, c);
        }
    }
    return out + "\"";
}

void printHit(std::FILE* out, std::size_t rank, const NameHit& hit) {
    std::fprintf(out,
                 "{\"rank\":%zu,\"kind\":\"%s\",\"name\":%s,\"town\":%s,\"lon\":%.7f,\"lat\":%.7f,"
                 "\"distance_m\":%.0f,\"type\":\"0x%04x\",\"exact_words\":%u}\n",
                 rank, kindText(hit.kind), jsonString(hit.name).c_str(),
                 jsonString(hit.town).c_str(), hit.lon, hit.lat, hit.metres,
                 static_cast<unsigned>(hit.type), hit.exactWords);
}

} // namespace tevo::search
