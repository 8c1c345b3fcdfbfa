// A reader of the second pass opened while the first one runs. A .osm.pbf
// file holds its nodes first, and a reader of ways has to inflate every
// block of them before it finds a way: at the start of the second pass that
// was a wait with nothing else to do (a tenth of a second for every ten
// million objects). Opened early, the reader decodes up to its first way
// on threads of its own, in the time the first pass leaves the processor
// idle, and holds that buffer until the second pass asks for it.
#pragma once

#include <osmium/io/any_input.hpp>
#include <osmium/thread/pool.hpp>

#include <exception>
#include <memory>
#include <string>
#include <thread>

namespace tevo::tvmc {

class ReadAhead {
public:
    ReadAhead(const std::string& path, osmium::osm_entity_bits::type kinds);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Waits for the look-ahead and rethrows what the reader threw. The
    // reader goes on from the buffer that `first` answers (an empty one at
    // the end of the input).
    osmium::io::Reader& reader();
    osmium::memory::Buffer first();

private:
    void wait();

    osmium::thread::Pool pool_; // the reader's decoders, apart from the first pass's
    std::unique_ptr<osmium::io::Reader> reader_;
    osmium::memory::Buffer first_;
    std::exception_ptr failure_;
    std::thread thread_;
};

} // namespace tevo::tvmc
