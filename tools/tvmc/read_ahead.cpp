#include "tools/tvmc/read_ahead.hpp"

namespace tevo::tvmc {

ReadAhead::ReadAhead(const std::string& path, osmium::osm_entity_bits::type kinds)
    : thread_([this, path, kinds] {
          try {
              reader_ = std::make_unique<osmium::io::Reader>(osmium::io::File{path}, kinds,
                                                             osmium::io::read_meta::no, pool_);
              first_ = reader_->read();
          } catch (...) {
              failure_ = std::current_exception();
          }
      }) {}

// A first pass that failed leaves the look-ahead to end on its own: it
// stops at the first buffer it finds.
ReadAhead::~ReadAhead() {
    wait();
}

void ReadAhead::wait() {
    if (thread_.joinable()) thread_.join();
}

osmium::io::Reader& ReadAhead::reader() {
    wait();
    if (failure_) std::rethrow_exception(failure_);
    return *reader_;
}

osmium::memory::Buffer ReadAhead::first() {
    reader();
    return std::move(first_);
}

} // namespace tevo::tvmc
