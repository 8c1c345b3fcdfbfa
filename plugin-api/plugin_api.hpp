// The boundary between tevo and its plug-ins: the records that cross it byte
// for byte, the exported functions and the host's table of a receiver's
// functions. tevo and every plug-in are built against this one header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevo {

// The current fix, 40 bytes. All zero means nothing is known.
struct GpsData {
    float longitude; // degrees, east positive
    float latitude;  // degrees, north positive
    float altitude;  // metres, as the receiver reports it
    float speed;     // km/h
    float pdop;      // dilutions of precision; 0 when not reported
    float hdop;
    float vdop;
    uint8_t fix; // FixStatus
    uint8_t day; // UTC date
    uint8_t month;
    uint8_t padding0;
    int32_t year; // full year
    uint8_t hour; // UTC time, whole seconds
    uint8_t minute;
    uint8_t second;
    uint8_t padding1;
};

// Values of GpsData::fix.
enum FixStatus : uint8_t { FixNone = 0, FixUnknown = 1, Fix2D = 2, Fix3D = 3 };

// One satellite in view, 20 bytes. Padding content is not defined.
struct SatelliteInfo {
    uint8_t prn;
    uint8_t padding0[3];
    int32_t elevation; // degrees above the horizon
    int32_t azimuth;   // degrees from true north
    int32_t snr;       // dB; 0 when not tracked
    uint8_t used;      // 1 when used in the current fix
    uint8_t padding1[3];
};

// The satellite table always crosses the boundary as this many records.
inline constexpr int32_t kSatelliteSlots = 24;

// The ranges of a satellite's numbers, NMEA 0183's (degrees, dB). A value a
// receiver sends outside them is noise: a plug-in passes 0, "not known".
inline constexpr int32_t kLowestElevation = -90;
inline constexpr int32_t kZenithElevation = 90;
inline constexpr int32_t kLastAzimuth = 359;
inline constexpr int32_t kStrongestSnr = 99;

inline constexpr int32_t withinOr0(int32_t value, int32_t lowest, int32_t highest) {
    return value >= lowest && value <= highest ? value : 0;
}

static_assert(sizeof(float) == 4 && sizeof(bool) == 1,
              "the boundary needs 32-bit floats, 1-byte bools");
static_assert(sizeof(GpsData) == 40);
static_assert(offsetof(GpsData, longitude) == 0);
static_assert(offsetof(GpsData, latitude) == 4);
static_assert(offsetof(GpsData, altitude) == 8);
static_assert(offsetof(GpsData, speed) == 12);
static_assert(offsetof(GpsData, pdop) == 16);
static_assert(offsetof(GpsData, hdop) == 20);
static_assert(offsetof(GpsData, vdop) == 24);
static_assert(offsetof(GpsData, fix) == 28);
static_assert(offsetof(GpsData, day) == 29);
static_assert(offsetof(GpsData, month) == 30);
static_assert(offsetof(GpsData, padding0) == 31);
static_assert(offsetof(GpsData, year) == 32);
static_assert(offsetof(GpsData, hour) == 36);
static_assert(offsetof(GpsData, minute) == 37);
static_assert(offsetof(GpsData, second) == 38);
static_assert(offsetof(GpsData, padding1) == 39);
static_assert(sizeof(SatelliteInfo) == 20);
static_assert(offsetof(SatelliteInfo, prn) == 0);
static_assert(offsetof(SatelliteInfo, elevation) == 4);
static_assert(offsetof(SatelliteInfo, azimuth) == 8);
static_assert(offsetof(SatelliteInfo, snr) == 12);
static_assert(offsetof(SatelliteInfo, used) == 16);
static_assert(sizeof(SatelliteInfo) * kSatelliteSlots == 480);

// What PluginGetDetails answers; it decides what the host binds.
enum PluginKind : int32_t {
    Receiver = 1,  // the seven PluginApi functions
    ConsumerA = 4, // PluginSetGPSData, called first
    ConsumerB = 8, // PluginSetGPSData, called second
};

extern "C" {

// Signatures of the exports. Plain C functions with undecorated names.
// PluginInit gets the library's own path as UTF-16; a byte of the path that
// is not part of valid UTF-8 (a folder named in Latin-1) comes as the
// unpaired low surrogate U+DC00 + byte, so the path's bytes can be recovered.
using PluginInitFn = int32_t (*)(const char16_t* path);
using PluginGetDetailsFn = int32_t (*)();
using PluginGetDescFn = int32_t (*)(char16_t* out);
using PluginGetMinimumBytesFn = int32_t (*)();
using PluginDetectReceiverFn = bool (*)(const uint8_t* data, uint32_t length);
using PluginPushDataFn = int32_t (*)(const uint8_t* data, int32_t length);
using PluginIsPositionUpdatedFn = bool (*)();
using PluginGetGPSDataFn = GpsData* (*)(GpsData* out);
using PluginSatellitesUpDatedFn = bool (*)();
using PluginGetSSIFn = int32_t (*)(SatelliteInfo* out, int32_t* count);
using PluginControlFn = int32_t (*)(); // PluginPause, PluginRun, PluginStop
using PluginDeInitFn = int32_t (*)();
using PluginSetGPSDataFn = int32_t (*)(GpsData record);

} // extern "C"

// The host's table of one receiver plug-in's functions, in this order.
struct PluginApi {
    PluginGetMinimumBytesFn PluginGetMinimumBytes = nullptr;
    PluginDetectReceiverFn PluginDetectReceiver = nullptr;
    PluginPushDataFn PluginPushData = nullptr;
    PluginIsPositionUpdatedFn PluginIsPositionUpdated = nullptr;
    PluginGetGPSDataFn PluginGetGPSData = nullptr;
    PluginSatellitesUpDatedFn PluginSatellitesUpDated = nullptr;
    PluginGetSSIFn PluginGetSSI = nullptr;
};

// Names under which the host looks the exports up.
inline constexpr const char* kPluginInitName = "PluginInit";
inline constexpr const char* kPluginGetDetailsName = "PluginGetDetails";
inline constexpr const char* kPluginDeInitName = "PluginDeInit";
inline constexpr const char* kPluginSetGPSDataName = "PluginSetGPSData";
inline constexpr const char* kReceiverExportNames[7] = {
    "PluginGetMinimumBytes", "PluginDetectReceiver",    "PluginPushData", "PluginIsPositionUpdated",
    "PluginGetGPSData",      "PluginSatellitesUpDated", "PluginGetSSI"};

// Room for the path a plug-in keeps, terminator included.
inline constexpr std::size_t kPluginPathUnits = 255;

} // namespace tevo

// Exports as a plug-in defines them. Plug-ins build with hidden visibility and
// mark each export with TEVO_PLUGIN_EXPORT.
#define TEVO_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
