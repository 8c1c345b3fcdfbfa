#include "config/xml.hpp"

#include "platform/regular_file.hpp"
#include "platform/text.hpp"

#include <expat.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <memory>
#include <vector>

static_assert(sizeof(XML_Char) == sizeof(char16_t), "Expat must be the UTF-16 build");

namespace tevo {

namespace {

// Every configuration file is read as UTF-8, whatever its declaration says.
constexpr XML_Char kEncodingUtf8[] = {'U', 'T', 'F', '-', '8', 0};
constexpr int kExitNoParser = -1;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct ParserFree {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;
using ParserHandle = std::unique_ptr<XML_ParserStruct, ParserFree>;

const char16_t* wide(const XML_Char* text) {
    return reinterpret_cast<const char16_t*>(text);
}

bool isXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

void reportParseError(const std::string& path, XML_Parser parser) {
    std::printf("%s\n", path.c_str());
    const auto line = static_cast<unsigned>(XML_GetCurrentLineNumber(parser));
    const XML_LChar* message = XML_ErrorString(XML_GetErrorCode(parser));
    printWide(stdout, formatWide(u"Parse error at line %u: %s\n", line, message));
    std::fflush(stdout);
}

} // namespace

// The parser's handlers: text is collected, and delivered before each tag.
struct XmlEvents {
    static void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** attributes) {
        cXML* reader = static_cast<cXML*>(user);
        reader->deliverText();
        reader->startElement(wide(name), reinterpret_cast<const char16_t**>(attributes));
    }

    static void XMLCALL onEnd(void* user, const XML_Char* name) {
        cXML* reader = static_cast<cXML*>(user);
        reader->deliverText();
        reader->endElement(wide(name));
    }

    static void XMLCALL onText(void* user, const XML_Char* text, int length) {
        if (length > 0)
            static_cast<cXML*>(user)->collectText(
                std::u16string_view(wide(text), static_cast<std::size_t>(length)));
    }
};

void cXML::collectText(std::u16string_view text) {
    // Leading white space is never kept; the rest up to one unit more than
    // is delivered, so that the cut keeps surrogate pairs whole.
    if (text_.empty()) {
        std::size_t first = 0;
        while (first < text.size() && isXmlSpace(text[first])) ++first;
        text.remove_prefix(first);
    }
    const std::size_t room = kPieceUnits + 1 - std::min(text_.size(), kPieceUnits + 1);
    text_.append(text.substr(0, room));
}

void cXML::deliverText() {
    std::u16string_view text = cutWide(text_, kPieceUnits);
    while (!text.empty() && isXmlSpace(text.back())) text.remove_suffix(1);
    if (!text.empty()) characterData(text.data(), static_cast<int>(text.size()));
    text_.clear();
}

bool cXML::parse(const std::string& path) {
    // 1. Open; a missing file is no error worth a message, and a name that
    //    leads to a pipe or a device is not waited on.
    broken_ = false;
    text_.clear();
    path_ = path;
    FileHandle file(openRegularStream(path));
    if (!file) return false;

    // 2. The parser, always reading UTF-8.
    ParserHandle parser(XML_ParserCreate(kEncodingUtf8));
    if (!parser) {
        std::fputs("Couldn't allocate memory for parser\n", stderr);
        file.reset();
        std::exit(kExitNoParser);
    }

    // 3. Handlers call back into this object.
    XML_SetUserData(parser.get(), this);
    XML_SetElementHandler(parser.get(), XmlEvents::onStart, XmlEvents::onEnd);
    XML_SetCharacterDataHandler(parser.get(), XmlEvents::onText);

    // 4. Feed the file chunk by chunk, up to kMaxFileBytes: the parser keeps
    //    a whole tag in memory, and one endless tag must not cost gigabytes.
    std::vector<char> buffer(kReadChunk);
    for (std::size_t total = 0;;) {
        const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if ((total += count) > kMaxFileBytes) {
            std::printf("%s is larger than %zu bytes; it is not read further\n", path.c_str(),
                        kMaxFileBytes);
            std::fflush(stdout);
            broken_ = true;
            return false;
        }
        if (std::ferror(file.get())) {
            std::fputs("Read error\n", stderr);
            broken_ = true;
            return false;
        }
        const bool final = std::feof(file.get()) != 0;
        if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(count), final) ==
            XML_STATUS_ERROR) {
            reportParseError(path, parser.get());
            broken_ = true;
            return false;
        }
        if (final) return true;
    }
}

void cXML::startElement(const char16_t*, const char16_t**) {}
void cXML::endElement(const char16_t*) {}
void cXML::characterData(const char16_t*, int) {}

std::u16string_view cXML::piece(const char16_t* text, int length) {
    if (text == nullptr || length <= 0) return {};
    return cutWide(std::u16string_view(text, static_cast<std::size_t>(length)), kPieceUnits);
}

int32_t cXML::checked(const char* element, int32_t value, int32_t lowest, int32_t highest,
                      int32_t fallback) const {
    if (value >= lowest && value <= highest) return value;
    std::printf("%s: %s %d is outside %d to %d; %d is used\n", path_.c_str(), element, value,
                lowest, highest, fallback);
    std::fflush(stdout);
    return fallback;
}

float cXML::checked(const char* element, float value, float lowest, float highest,
                    float fallback) const {
    if (value >= lowest && value <= highest) return value;
    std::printf("%s: %s %g is outside %g to %g; %g is used\n", path_.c_str(), element,
                static_cast<double>(value), static_cast<double>(lowest),
                static_cast<double>(highest), static_cast<double>(fallback));
    std::fflush(stdout);
    return fallback;
}

namespace {

bool isSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Splits at the first ',', CR or LF; the separator belongs to neither half.
std::pair<std::u16string_view, std::u16string_view> splitPair(std::u16string_view text) {
    const std::size_t at = text.find_first_of(u",\r\n");
    if (at == std::u16string_view::npos) return {text, {}};
    return {text.substr(0, at), text.substr(at + 1)};
}

locale_t classicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

} // namespace

int32_t parseInt(std::u16string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    // Accumulate as a negative number so INT32_MIN fits; saturate on overflow.
    int64_t value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = std::max<int64_t>(value * 10 - (text[at] - u'0'), int64_t{INT32_MIN} - 1);
    }
    if (!negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

float parseFloat(std::u16string_view text) {
    const std::string narrow = toNarrow(text);
    locale_t locale = classicLocale();
    const double value =
        locale ? strtod_l(narrow.c_str(), nullptr, locale) : std::strtod(narrow.c_str(), nullptr);
    // Infinities, NaN and values beyond float range would poison every
    // computation downstream; they read as "not a number", which is 0.
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX)) return 0.0f;
    return static_cast<float>(value);
}

std::array<int32_t, 2> parseIntPair(std::u16string_view text) {
    const auto [first, second] = splitPair(text);
    return {parseInt(first), parseInt(second)};
}

std::array<int32_t, 4> parseIntQuad(std::u16string_view text) {
    const auto [first, second] = splitPair(text);
    return {parseInt(first), parseInt(second), 0, 0};
}

std::array<float, 2> parseFloatPair(std::u16string_view text) {
    const auto [first, second] = splitPair(text);
    return {parseFloat(first), parseFloat(second)};
}

} // namespace tevo
