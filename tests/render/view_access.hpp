// The tests' hand on a view's state: a case sets up the view as it needs
// it, where the program would take many steps to get there.
#pragma once

#include "render/view/map_view.hpp"

namespace tevo {

struct MapViewAccess {
    static ViewState& state(MapView& v) { return v.state_; }
    static Camera& camera(MapView& v) { return *v.camera_; }
    static TransitionTable& transitions(MapView& v) { return v.transitions_; }
    static float wholeMapZoom(const MapView& v) { return v.wholeMapZoom(); }
};

} // namespace tevo
