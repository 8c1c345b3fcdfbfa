// The exports of a plug-in library, declared once so that every plug-in's
// definitions are checked against the signatures the host looks up.
#pragma once

#include "plugin-api/plugin_api.hpp"

TEVO_PLUGIN_EXPORT int32_t PluginInit(const char16_t* path);
TEVO_PLUGIN_EXPORT int32_t PluginGetDetails();
TEVO_PLUGIN_EXPORT int32_t PluginDeInit();

// Receiver plug-ins.
TEVO_PLUGIN_EXPORT int32_t PluginGetDesc(char16_t* out);
TEVO_PLUGIN_EXPORT int32_t PluginGetMinimumBytes();
TEVO_PLUGIN_EXPORT bool PluginDetectReceiver(const uint8_t* data, uint32_t length);
TEVO_PLUGIN_EXPORT int32_t PluginPushData(const uint8_t* data, int32_t length);
TEVO_PLUGIN_EXPORT bool PluginIsPositionUpdated();
TEVO_PLUGIN_EXPORT tevo::GpsData* PluginGetGPSData(tevo::GpsData* out);
TEVO_PLUGIN_EXPORT bool PluginSatellitesUpDated();
TEVO_PLUGIN_EXPORT int32_t PluginGetSSI(tevo::SatelliteInfo* out, int32_t* count);
TEVO_PLUGIN_EXPORT int32_t PluginPause();
TEVO_PLUGIN_EXPORT int32_t PluginRun();
TEVO_PLUGIN_EXPORT int32_t PluginStop();

// Position consumers.
TEVO_PLUGIN_EXPORT int32_t PluginSetGPSData(tevo::GpsData record);
