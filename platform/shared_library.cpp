#include "platform/shared_library.hpp"

#include "platform/paths.hpp"
#include "platform/regular_file.hpp"

#include <cstdio>
#include <dlfcn.h>

namespace tevo {

bool SharedLibrary::open(const std::string& path) {
    close();
    // dlopen would wait on a pipe for a writer, for ever.
    if (fileExists(path) && !isRegularFile(path)) {
        std::fprintf(stderr, "%s is not a regular file\n", path.c_str());
        return false;
    }
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        std::fprintf(stderr, "%s\n", reason ? reason : path.c_str());
    }
    return handle_ != nullptr;
}

void SharedLibrary::close() {
    if (handle_ == nullptr) return;
    dlclose(handle_);
    handle_ = nullptr;
}

void* SharedLibrary::symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    return dlsym(handle_, name);
}

} // namespace tevo
