// A strict JSON syntax check for the output of tvminfo.
#pragma once

#include <cctype>
#include <cstring>
#include <string_view>

namespace tevo::test {

class JsonCheck {
public:
    // True when the whole text is one JSON value (surrounding white space allowed).
    static bool valid(std::string_view text) {
        JsonCheck c(text);
        return c.value(0) && (c.skip(), c.at_ == text.size());
    }

private:
    static constexpr int kMaxDepth = 64;
    explicit JsonCheck(std::string_view t) : t_(t) {}

    void skip() {
        while (at_ < t_.size() && std::strchr(" \t\r\n", t_[at_]) && t_[at_]) ++at_;
    }
    bool eat(char c) {
        skip();
        if (at_ < t_.size() && t_[at_] == c) return ++at_, true;
        return false;
    }
    bool word(std::string_view w) {
        if (t_.substr(at_, w.size()) != w) return false;
        at_ += w.size();
        return true;
    }
    bool digits() {
        const std::size_t from = at_;
        while (at_ < t_.size() && t_[at_] >= '0' && t_[at_] <= '9') ++at_;
        return at_ > from;
    }
    bool number() {
        if (at_ < t_.size() && t_[at_] == '-') ++at_;
        if (!digits()) return false;
        if (at_ < t_.size() && t_[at_] == '.' && (++at_, !digits())) return false;
        if (at_ < t_.size() && (t_[at_] == 'e' || t_[at_] == 'E')) {
            ++at_;
            if (at_ < t_.size() && (t_[at_] == '+' || t_[at_] == '-')) ++at_;
            if (!digits()) return false;
        }
        return true;
    }
    bool string() {
        if (!eat('"')) return false;
        while (at_ < t_.size()) {
            const unsigned char c = static_cast<unsigned char>(t_[at_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') continue;
            if (at_ >= t_.size()) return false;
            const char e = t_[at_++];
            if (e == 'u') {
                for (int i = 0; i < 4; ++i, ++at_)
                    if (at_ >= t_.size() || !std::isxdigit(static_cast<unsigned char>(t_[at_])))
                        return false;
            } else if (!std::strchr("\"\\/bfnrt", e) || !e) {
                return false;
            }
        }
        return false;
    }
    template <typename Item> bool list(char close, Item item) {
        if (eat(close)) return true;
        do {
            if (!item()) return false;
        } while (eat(','));
        return eat(close);
    }
    bool value(int depth) {
        if (depth > kMaxDepth) return false;
        skip();
        if (at_ >= t_.size()) return false;
        const char c = t_[at_];
        if (c == '{') {
            ++at_;
            return list('}', [&] { return string() && eat(':') && value(depth + 1); });
        }
        if (c == '[') {
            ++at_;
            return list(']', [&] { return value(depth + 1); });
        }
        if (c == '"') return string();
        if (c == 't') return word("true");
        if (c == 'f') return word("false");
        if (c == 'n') return word("null");
        return number();
    }

    std::string_view t_;
    std::size_t at_ = 0;
};

} // namespace tevo::test
