#include "tools/tvmrender/png_writer.hpp"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tevo {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColourTypeRgb = 2;
constexpr uint8_t kNoFilter = 0;

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void chunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    put32(out, static_cast<uint32_t>(crc));
}

uint32_t pixelAt(const SDL_Surface* s, int x, int y) {
    const uint8_t* p =
        static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    switch (s->format->BytesPerPixel) {
    case 1:
        return *p;
    case 2:
        return *reinterpret_cast<const uint16_t*>(p);
    case 3:
        return p[0] | (p[1] << 8) | (p[2] << 16);
    default:
        return *reinterpret_cast<const uint32_t*>(p);
    }
}

} // namespace

bool writePng(SDL_Surface* surface, const std::string& path) {
    if (!surface || surface->w <= 0 || surface->h <= 0) return false;
    const int w = surface->w, h = surface->h;
    // Rows of RGB, each after its filter byte.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(h) * (3 * static_cast<size_t>(w) + 1));
    if (SDL_LockSurface(surface) != 0) return false;
    for (int y = 0; y < h; ++y) {
        raw.push_back(kNoFilter);
        for (int x = 0; x < w; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(pixelAt(surface, x, y), surface->format, &r, &g, &b);
            raw.insert(raw.end(), {r, g, b});
        }
    }
    SDL_UnlockSurface(surface);
    std::vector<uint8_t> packed(compressBound(static_cast<uLong>(raw.size())));
    uLongf packedSize = static_cast<uLongf>(packed.size());
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<uint8_t> file(kSignature, kSignature + sizeof kSignature);
    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(w));
    put32(header, static_cast<uint32_t>(h));
    header.insert(header.end(), {kBitDepth, kColourTypeRgb, 0, 0, 0});
    chunk(file, "IHDR", header);
    chunk(file, "IDAT", packed);
    chunk(file, "IEND", {});

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace tevo
