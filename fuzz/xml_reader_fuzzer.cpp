// One XML reader over arbitrary file contents. The reader class and its header
// come from the build (TEVO_XML_READER, TEVO_XML_HEADER), so every reader of
// config/ is fuzzed by this one source.
#include "fuzz/fuzz_support.hpp"

#include TEVO_XML_HEADER

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using Reader = tevo::TEVO_XML_READER;

// After a parse, whatever the reader offers its callers is used once, so that
// values it kept from a broken file are read back too.
template <typename R> void useResults(const R& reader) {
    if constexpr (requires { reader.render(); }) {
        const std::string text = reader.render();
        (void)text;
    }
    if constexpr (requires { reader.entries(); }) {
        for (const auto& entry : reader.entries())
            if constexpr (requires { reader.lookup(entry.name); }) (void)reader.lookup(entry.name);
    }
    if constexpr (requires { reader.maxPriority(); }) (void)reader.maxPriority();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const tevo::fuzz::ScratchFile file(".xml");
    if (!file.write(data, size)) return 0;
    Reader reader;
    reader.parse(file.path());
    useResults(reader);
    return 0;
}
