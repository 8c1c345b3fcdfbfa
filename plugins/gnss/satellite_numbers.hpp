// Satellite numbers of every system in one byte without collisions.
//
// Each system sends its own numbers, and some receivers send extended ones
// (Galileo 301-336, BeiDou 401-463, ...). The table's numbers are:
//
//   1-32 GPS, 33-64 SBAS, 65-96 GLONASS, 101-136 Galileo,
//   141-203 BeiDou, 211-220 QZSS, 231-244 NavIC.
//
// A number that fits no range of its talker is dropped.
#pragma once

#include "plugins/gnss/sentence.hpp"

#include <cstdint>

namespace tevo::gnss {

// The table number of satellite `number` as sent by `talker`; 0 when it fits
// no range.
uint8_t tableNumber(Talker talker, int32_t number);

// The system a table number belongs to (Gps for GPS and SBAS); Mixed for 0
// and for numbers between the ranges.
Talker systemOf(uint8_t tableNumber);

// The system of an NMEA system id (1 GPS ... 6 NavIC); none for others.
std::optional<Talker> systemOfId(int32_t id);

} // namespace tevo::gnss
