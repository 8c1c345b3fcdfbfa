#include "tools/tvminfo/json_out.hpp"

#include "platform/text.hpp"

#include <cinttypes>
#include <cmath>

namespace tevo {

namespace {

constexpr int kIndent = 2;
constexpr char kHex[] = "0123456789abcdef";

std::string formatFloat(double v) {
    if (!std::isfinite(v)) return "null"; // JSON has no NaN or infinity
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

} // namespace

std::string jsonString(std::string_view utf8) {
    std::string s = "\"";
    for (char c : utf8) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (u < 0x20) {
            s += "\\u00";
            s += kHex[u >> 4];
            s += kHex[u & 15];
        } else {
            s += c;
        }
    }
    return s + '"';
}

void JsonOut::newline() {
    raw("\n");
    for (std::size_t i = 0; i < first_.size() * kIndent; ++i) raw(" ");
}

void JsonOut::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (first_.empty()) return;
    if (!first_.back()) raw(",");
    first_.back() = false;
    newline();
}

void JsonOut::key(std::string_view name) {
    beforeValue();
    raw(jsonString(name));
    raw(": ");
    afterKey_ = true;
}

void JsonOut::beginObject() {
    beforeValue();
    raw("{");
    first_.push_back(true);
}

void JsonOut::endObject() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) newline();
    raw("}");
    if (first_.empty()) raw("\n");
}

void JsonOut::beginArray() {
    beforeValue();
    raw("[");
    first_.push_back(true);
}

void JsonOut::endArray() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) newline();
    raw("]");
}

void JsonOut::integer(int64_t v) {
    beforeValue();
    char buf[24];
    std::snprintf(buf, sizeof buf, "%" PRId64, v);
    raw(buf);
}

void JsonOut::number(double v) {
    beforeValue();
    raw(formatFloat(v));
}

void JsonOut::boolean(bool v) {
    beforeValue();
    raw(v ? "true" : "false");
}

void JsonOut::string(std::string_view utf8) {
    beforeValue();
    raw(jsonString(utf8));
}

void JsonOut::string(std::u16string_view wide) {
    string(std::string_view(toNarrowUnlimited(wide)));
}

void JsonOut::null() {
    beforeValue();
    raw("null");
}

void JsonOut::numbers(const int64_t* v, std::size_t n) {
    beforeValue();
    raw("[");
    char buf[24];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i ? ", %" PRId64 : "%" PRId64, v[i]);
        raw(buf);
    }
    raw("]");
}

void JsonOut::floats(const float* v, std::size_t n) {
    std::vector<double> wide(v, v + n);
    floats(wide.data(), n);
}

void JsonOut::floats(const double* v, std::size_t n) {
    beforeValue();
    raw("[");
    for (std::size_t i = 0; i < n; ++i) {
        if (i) raw(", ");
        raw(formatFloat(v[i]));
    }
    raw("]");
}

} // namespace tevo
