// Lets go of a container's memory. `v = {}` does not: for a vector it is the
// assignment of an empty initializer list, which keeps the capacity.
#pragma once

namespace tevo::tvmc {

template <typename Container> void release(Container& c) {
    Container().swap(c);
}

} // namespace tevo::tvmc
