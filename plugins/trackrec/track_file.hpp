// One track file opened for appending. Each line goes out in one write and is
// synced at once, so a power cut loses at most the line being written; a line
// that a cut or a full disk left torn is cut off when the file is opened
// again or at once, so the file always ends with a whole line.
#pragma once

#include <string>
#include <string_view>

namespace tevo::trackrec {

class TrackFile {
public:
    TrackFile() = default;
    ~TrackFile();
    TrackFile(const TrackFile&) = delete;
    TrackFile& operator=(const TrackFile&) = delete;

    // Opens or creates `path`. A new file (or one whose header was torn)
    // gets `header`; a torn last line is removed. False with errno set when
    // the file cannot be opened or written.
    bool open(const std::string& path, std::string_view header);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

    // Appends one whole line or nothing. False with errno set on failure.
    bool append(std::string_view line);

private:
    bool repair(std::string_view header);

    int fd_ = -1;
    std::string path_;
};

} // namespace tevo::trackrec
