// The navigator started as the trial process of the plug-in host: it tries
// one plug-in's start and ends, before anything of the navigator runs.
#pragma once

#include "gps/plugin_probe.hpp"

#include <memory>
#include <optional>

namespace tevo {

// The trial's exit code when argv asks for a trial, otherwise nothing.
// Called first thing in main.
std::optional<int> runProbeIfAsked(int argc, char** argv);

// The probe the navigator tries its plug-ins with: this program again. Null
// (plug-ins load untried) when runProbeIfAsked was never called.
std::unique_ptr<cPluginProbe> makePluginProbe();

} // namespace tevo
