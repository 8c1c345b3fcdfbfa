#include "platform/directory.hpp"

#include "platform/paths.hpp"

#include <dirent.h>

#include <algorithm>
#include <memory>

namespace tevo {

std::vector<DirEntry> listDirectory(const std::string& folder) {
    std::vector<DirEntry> entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            ::closedir);
    if (!dir) return entries;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        bool directory = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK)
            directory = isDirectory(joinPath(folder, name));
        entries.push_back({name, directory});
    }
    // Byte order, so plug-ins and tracks load in the same order on every run.
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
}

} // namespace tevo
