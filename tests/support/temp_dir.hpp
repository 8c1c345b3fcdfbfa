// A private folder for a test's files, and reading and writing whole files.
#pragma once

#include <string>
#include <string_view>

namespace tevo::test {

// A fresh folder under the system's temporary folder, removed with its
// contents by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; } // without a trailing '/'
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes `bytes` exactly as given to the file `name` and returns its path.
    std::string write(const std::string& name, std::string_view bytes) const;
    // Creates the folder `relative` and its parents.
    void makeFolder(const std::string& relative) const;

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);

} // namespace tevo::test
