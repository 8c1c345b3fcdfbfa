// A shared library loaded by path, its exports looked up by name.
#pragma once

#include <string>

namespace tevo {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary() { close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads with every symbol resolved now and kept local. False on failure
    // (the loader's reason is printed on standard error).
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }

    // The export's address, null when there is none.
    void* symbol(const char* name) const;

    template <typename Function> Function function(const char* name) const {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    void* handle_ = nullptr;
};

} // namespace tevo
