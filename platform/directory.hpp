// Directory listing in a stable order.
#pragma once

#include <string>
#include <vector>

namespace tevo {

struct DirEntry {
    std::string name; // the entry's name, without the folder
    bool isDirectory = false;
};

// The entries of a folder, "." and ".." excluded, sorted by name in byte
// order. An unreadable or missing folder gives an empty list.
std::vector<DirEntry> listDirectory(const std::string& folder);

} // namespace tevo
