// libosmium inflates every block of a .osm.pbf file through zlib's
// uncompress(), and a plain read spends a third of its time in it. tvmc
// defines uncompress() itself, on libdeflate, which inflates the same
// streams in about half the time: a definition in the program takes the
// place of the shared library's for every call the program makes. Results
// and error codes are zlib's: the output may be shorter than the room given,
// a damaged or incomplete stream is Z_DATA_ERROR and too little room is
// Z_BUF_ERROR.
#include <libdeflate.h>
#include <zlib.h>

#include <memory>

namespace {

struct FreeDecompressor {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// One for each of the decoder's threads, made on its first block.
libdeflate_decompressor* decompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, FreeDecompressor> own{
        libdeflate_alloc_decompressor()};
    return own.get();
}

} // namespace

int uncompress(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen) {
    libdeflate_decompressor* d = decompressor();
    if (!d) return Z_MEM_ERROR;
    std::size_t written = 0;
    switch (libdeflate_zlib_decompress(d, source, sourceLen, dest, *destLen, &written)) {
    case LIBDEFLATE_SUCCESS:
        *destLen = written;
        return Z_OK;
    case LIBDEFLATE_INSUFFICIENT_SPACE:
        return Z_BUF_ERROR;
    default:
        return Z_DATA_ERROR;
    }
}
