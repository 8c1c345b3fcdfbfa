#include "map/map_stream.hpp"

#include "platform/regular_file.hpp"

#include <sys/stat.h>

namespace tevo {

bool MapStream::open(const std::string& path) {
    close();
    file_.reset(openRegularStream(path)); // never waits on a pipe or a device
    if (!file_) return false;
    struct stat st {};
    if (::fstat(::fileno(file_.get()), &st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        return false;
    }
    size_ = static_cast<uint64_t>(st.st_size);
    return true;
}

void MapStream::close() {
    file_.reset();
    size_ = 0;
}

bool MapStream::readAt(uint64_t offset, void* buf, std::size_t n) {
    if (!file_ || !fits(offset, n)) return false;
    if (n == 0) return true; // buf may be null then
    if (::fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return std::fread(buf, 1, n, file_.get()) == n;
}

} // namespace tevo
