// printf-style formatting of wide text. Numbers go through snprintf with the
// same flags, width and precision; texts are padded here by UTF-16 units.
#include "platform/text.hpp"

#include <cstdio>
#include <string>

namespace tevo {

namespace {

struct Directive {
    std::string flags;
    int width = -1;
    int precision = -1;
    char conversion = 0;
};

// Reads "flags width .precision conversion" after a '%'; `i` ends past it.
Directive readDirective(std::u16string_view f, std::size_t& i) {
    Directive s;
    while (i < f.size() &&
           (f[i] == '-' || f[i] == '+' || f[i] == ' ' || f[i] == '0' || f[i] == '#'))
        s.flags += static_cast<char>(f[i++]);
    auto number = [&](int& out) {
        if (i < f.size() && f[i] >= '0' && f[i] <= '9') {
            out = 0;
            while (i < f.size() && f[i] >= '0' && f[i] <= '9' && out < 10000)
                out = out * 10 + (f[i++] - '0');
        }
    };
    number(s.width);
    if (i < f.size() && f[i] == '.') {
        ++i;
        s.precision = 0;
        number(s.precision);
    }
    while (i < f.size() && (f[i] == 'l' || f[i] == 'h' || f[i] == 'z')) ++i; // length: ignored
    if (i < f.size()) s.conversion = static_cast<char>(f[i++]);
    return s;
}

std::string numberFormat(const Directive& s, const char* length, char conversion) {
    // Built with append: GCC 12 warns falsely (-Wrestrict) on operator+ chains at -O3.
    std::string fmt("%");
    fmt.append(s.flags);
    if (s.width >= 0) fmt.append(std::to_string(s.width));
    if (s.precision >= 0) {
        fmt.push_back('.');
        fmt.append(std::to_string(s.precision));
    }
    fmt.append(length);
    fmt.push_back(conversion);
    return fmt;
}

std::u16string formatNumber(const Directive& s, const WideArg& a) {
    char buffer[512];
    const bool isFloat = s.conversion == 'f' || s.conversion == 'e' || s.conversion == 'g' ||
                         s.conversion == 'F' || s.conversion == 'E' || s.conversion == 'G';
    if (isFloat) {
        const double v = a.kind == WideArg::Kind::Float ? a.f : static_cast<double>(a.i);
        std::snprintf(buffer, sizeof buffer, numberFormat(s, "", s.conversion).c_str(), v);
    } else {
        const long long v = a.kind == WideArg::Kind::Float ? static_cast<long long>(a.f) : a.i;
        std::snprintf(buffer, sizeof buffer, numberFormat(s, "ll", s.conversion).c_str(), v);
    }
    return toWide(buffer);
}

std::u16string formatText(const Directive& s, const WideArg& a) {
    std::u16string text;
    if (a.kind == WideArg::Kind::Wide)
        text = a.w;
    else if (a.kind == WideArg::Kind::Narrow)
        text = toWide(a.n);
    else if (s.conversion == 'c' || s.conversion == 'C')
        text = std::u16string(1, static_cast<char16_t>(a.i));
    if (s.precision >= 0 && text.size() > static_cast<std::size_t>(s.precision))
        text = cutWide(text, static_cast<std::size_t>(s.precision));
    if (s.width > 0 && text.size() < static_cast<std::size_t>(s.width)) {
        const std::u16string pad(static_cast<std::size_t>(s.width) - text.size(), u' ');
        if (s.flags.find('-') != std::string::npos)
            text.append(pad);
        else
            text.insert(0, pad);
    }
    return text;
}

} // namespace

std::u16string formatWideArgs(std::u16string_view format, const WideArg* args, std::size_t count) {
    std::u16string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] != u'%') {
            out += format[i++];
            continue;
        }
        ++i;
        if (i < format.size() && format[i] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        const Directive s = readDirective(format, i);
        if (next >= count) continue; // a missing argument formats as nothing
        const WideArg& a = args[next++];
        switch (s.conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
        case 'o':
        case 'f':
        case 'e':
        case 'g':
        case 'F':
        case 'E':
        case 'G':
            out += formatNumber(s, a);
            break;
        case 's':
        case 'S':
        case 'c':
        case 'C':
            out += formatText(s, a);
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace tevo
