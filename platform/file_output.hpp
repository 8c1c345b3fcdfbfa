// Writing files without harm to what their names lead to.
//
// A file is written whole as a new file beside its name, made without a name
// where the file system allows (so that a process killed while writing
// leaves nothing behind) or else created exclusively under an unpredictable
// name; when complete it gets such a name, exclusively (so that no link
// planted beside it is followed, not even in a shared folder such as /tmp),
// and is renamed over the name: the name then holds the old file or the whole new one,
// never a part, and a link at the name is replaced, never written through.
// A name that leads to something other than a regular file (a device, a
// FIFO, a folder) is refused and left as it is.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tevo {

// Why `path` must not be written, or an empty text: it leads to something
// that exists and is not a regular file.
std::string outputProblem(const std::string& path);

class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile(); // removes a temporary file that was not committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file beside `path`. False with a message in
    // *error when `path` is refused (outputProblem) or nothing can be
    // created beside it.
    bool create(const std::string& path, std::string* error);
    // Where to write; null before create.
    std::FILE* stream() const { return file_; }
    const std::string& temporaryPath() const { return temp_; }
    // Flushes and syncs the file, gives it the mode of the file it replaces
    // (or the usual mode of a new file) and renames it over the name. On
    // failure the temporary file is removed and the name left as it was.
    bool commit(std::string* error);

private:
    void discard();
    bool nameIt();

    std::string path_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    bool nameless_ = false; // made with O_TMPFILE and not linked yet
};

// Writes `bytes` as the whole content of `path`. A regular file is written
// in place, so that it stays the same file (its hard links, owner and mode;
// other programs may share it), and only after room for the new content is
// secured, so that a full disk leaves it as it was. Any other name (none
// yet, a link) gets a new file through ReplacementFile. False with a message
// in *error when the file is left as it was or could not be written.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error);

// Copies the regular file `from` to `to` through ReplacementFile.
bool copyToReplacement(const std::string& from, const std::string& to, std::string* error);

} // namespace tevo
