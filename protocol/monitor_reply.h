// SPDX-License-Identifier: GPL-3.0-or-later
// The monitor reply (command 0xB0): the unit's live state. Word k is the little-endian 16-bit
// value at frame offsets 2k, 2k+1; flag bytes are off when 0 and on otherwise. The layout is
// written once, in monitor_reply.cpp; everything else reads and writes the snapshot by name.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/frame.h"

namespace rq {

struct MonitorSnapshot {
  // Words, raw as the unit sends them.
  std::uint16_t rpm = 0;                   // word 2, rpm
  std::uint16_t maxAdvance1 = 0;           // word 3, degree
  std::uint16_t maxAdvance2 = 0;           // word 4, degree
  std::uint16_t throttle = 0;              // word 5, tenths of a percent 0..1000
  std::uint16_t throttleMv = 0;            // word 6, mV
  std::uint16_t supplyMv = 0;              // word 7, mV
  std::uint16_t servoMeasuredMv = 0;       // word 8, mV
  std::uint16_t servoDesiredMv = 0;        // word 9, mV
  std::uint16_t potCounts = 0;             // word 10, converter counts 0..1023 for 0..5000 mV
  std::uint16_t acceleration = 0;          // word 11, rpm/s
  std::uint16_t potAdvanceRaw = 0;         // word 12, tenths of a degree + 1000
  std::uint16_t potStartLimiterRaw = 0;    // word 13, rpm + 10000
  std::uint16_t potShiftLightRaw = 0;      // word 14, rpm + 10000
  std::uint16_t potAccelThresholdRaw = 0;  // word 15, rpm/s + 10000
  std::uint16_t speedKmh = 0;              // word 16, km/h
  std::uint16_t gearMv = 0;                // word 17, mV
  std::uint16_t speedRatio = 0;            // word 18, engine speed / road speed x 10
  std::array<std::uint16_t, 6> learnedRatio{};  // words 19..24, gears 1..6, ratio x 10
  std::uint16_t programCount = 0;          // word 25
  std::uint16_t savingCountdown = 0;       // word 26, 1500 at the start of a save, 0 = none
  std::array<std::uint16_t, 8> test{};     // words 27..34, diagnostic Test1..Test8

  // Bytes.
  std::uint8_t advance1Raw = 0;            // 100, degree + 100
  std::uint8_t advance2Raw = 0;            // 101, degree + 100
  std::array<std::uint8_t, 4> pickupCheck{};  // 102..105
  std::array<std::uint8_t, 2> pickupSignal{};  // 106, 107: pick-up 1, 2 has a signal
  std::uint8_t startLimiterActivated = 0;  // 108
  std::uint8_t startSoftLimiter = 0;       // 109
  std::uint8_t startHardLimiter = 0;       // 110
  std::uint8_t softLimiter = 0;            // 111
  std::uint8_t hardLimiter = 0;            // 112
  std::array<std::uint8_t, 3> input{};     // 113..115, 0 = input active
  std::uint8_t motorOff = 0;               // 116, ignition blocked
  std::uint8_t clutchMaster = 0;           // 117
  std::uint8_t retard = 0;                 // 118
  std::uint8_t secondMap = 0;              // 119, 2nd advance map in use
  std::uint8_t servoOk = 0;                // 120, 0 = servo fault
  std::uint8_t throttleFault = 0;          // 121
  std::array<std::uint8_t, 4> powerOut{};  // 122..125, output switched on
  std::uint8_t gear = 0;                   // 126, 0..6
  std::uint8_t dataError = 0;              // 127, programmed data error
  std::uint8_t baseAdvance = 0;            // 128, running on base advance
  std::uint8_t version = 0;                // 150, the unit's image version

  // Values in plain units.
  int advance1Deg() const { return advance1Raw - 100; }
  int advance2Deg() const { return advance2Raw - 100; }
  int potAdvanceTenths() const { return potAdvanceRaw - 1000; }
  int potStartLimiterRpm() const { return potStartLimiterRaw - 10000; }
  int potShiftLightRpm() const { return potShiftLightRaw - 10000; }
  int potAccelThreshold() const { return potAccelThresholdRaw - 10000; }
  int potMv() const { return potCounts * 5000 / 1023; }
  bool anyPickupSignal() const { return pickupSignal[0] != 0 || pickupSignal[1] != 0; }
  // Inputs report 0 while active.
  bool inputActive(std::size_t i) const { return input[i] == 0; }

  bool operator==(const MonitorSnapshot&) const = default;
};

// Decodes a monitor reply. Nothing is returned unless byte 0 is 0xB0 and the check byte holds.
std::optional<MonitorSnapshot> DecodeMonitor(std::span<const std::uint8_t> frame);

// Reads the fields from a frame as it lies in a buffer, without looking at the command or the
// check byte; missing bytes count as zero.
MonitorSnapshot MonitorFields(std::span<const std::uint8_t> frame);

// The monitor reply carrying `s`: command 0xB0, every field at its offset, the unused bytes
// zero, the check byte set.
FrameBytes EncodeMonitor(const MonitorSnapshot& s);

}  // namespace rq
