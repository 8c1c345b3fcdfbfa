// A small streaming JSON writer: objects, arrays, numbers and UTF-8 strings,
// two-space indentation, short arrays of numbers kept on one line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tevo {

class JsonOut {
public:
    explicit JsonOut(std::FILE* out) : out_(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The next value inside an object.
    void key(std::string_view name);

    void integer(int64_t v);
    void number(double v); // 9 significant digits: reads back to the same float
    void boolean(bool v);
    void string(std::string_view utf8);
    void string(std::u16string_view wide);
    void null();
    // A whole array of numbers on one line.
    void numbers(const int64_t* v, std::size_t n);
    void floats(const float* v, std::size_t n);
    void floats(const double* v, std::size_t n);

private:
    void beforeValue();
    void newline();
    void raw(std::string_view s) { std::fwrite(s.data(), 1, s.size(), out_); }

    std::FILE* out_;
    std::vector<bool> first_; // per open container: nothing written in it yet
    bool afterKey_ = false;
};

// The text as a JSON string literal, quotes included.
std::string jsonString(std::string_view utf8);

} // namespace tevo
