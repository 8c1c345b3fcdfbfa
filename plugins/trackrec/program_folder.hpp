// Where the program folder is: the plug-in's own library path, as the host
// hands it to PluginInit, is <folder>/Plugins/<name>/<name>.so.
#pragma once

#include <string>
#include <string_view>

namespace tevo::trackrec {

// The host's UTF-16 path to its bytes: U+DC80 to U+DCFF alone are the bytes
// 0x80 to 0xFF that were no UTF-8 (plugin_api.hpp); any other unpaired
// surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// The program folder of a plug-in library path, ending in '/'; empty when the
// path has too few folders.
std::string programFolderOf(std::string_view libraryPath);

} // namespace tevo::trackrec
