#include "plugins/trackrec/program_folder.hpp"

namespace tevo::trackrec {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char16_t kByteEscape = 0xDC00;

bool isHigh(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLow(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string toUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        if (isHigh(u) && i + 1 < text.size() && isLow(text[i + 1])) {
            append(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (u >= kByteEscape + 0x80 && u <= kByteEscape + 0xFF) {
            out += static_cast<char>(u - kByteEscape); // a byte of the path that is no UTF-8
        } else if (isHigh(u) || isLow(u)) {
            append(out, kReplacement);
        } else {
            append(out, u);
        }
    }
    return out;
}

std::string programFolderOf(std::string_view libraryPath) {
    // Drop the file name, the plug-in's folder and Plugins/.
    std::string_view folder = libraryPath;
    for (int level = 0; level < 3; ++level) {
        std::size_t slash = folder.rfind('/');
        if (slash == std::string_view::npos) return {};
        folder = folder.substr(0, slash);
    }
    return std::string(folder) + "/";
}

} // namespace tevo::trackrec
