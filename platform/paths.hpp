// Where the program's files are.
#pragma once

#include <string>

namespace tevo {

// The program folder from the first command-line argument: everything up to
// and including its last '/'. Without a '/' the folder of /proc/self/exe.
// The result always ends with '/' (or is empty when nothing is known).
std::string programFolderFrom(const char* argv0);

// The path of the running program itself; empty when it cannot be read.
std::string executablePath();

// Joins the program folder and a file name (no length limit).
std::string joinPath(const std::string& folder, const std::string& name);

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);

} // namespace tevo
