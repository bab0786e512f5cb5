// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/monitor_csv.h"

#include <cstdio>
#include <ctime>
#include <sstream>

namespace rq::logs {

namespace {

std::string Tenths(int v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%.1f", v / 10.0);
  return buf;
}

std::string Volts(int mv) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%.3f", mv / 1000.0);
  return buf;
}

}  // namespace

std::string MonitorCsvTimestamp(WallClock::time_point when) {
  const std::time_t t = WallClock::to_time_t(when);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
  char out[48];
  std::snprintf(out, sizeof out, "%s.%03d", buf, static_cast<int>(ms));
  return out;
}

std::string MonitorCsvHeader() {
  std::string h =
      "time,rpm,max_advance1_deg,max_advance2_deg,throttle_pct,throttle_sensor_v,supply_v,"
      "servo_measured_v,servo_desired_v,potentiometer_v,acceleration_rpm_s,"
      "pot_advance_corr_deg,pot_start_limiter_corr_rpm,pot_shift_light_corr_rpm,"
      "pot_accel_threshold_corr_rpm_s,speed_kmh,gear_sensor_v,rpm_speed_ratio";
  for (int g = 1; g <= 6; ++g) h += ",learned_ratio_gear" + std::to_string(g);
  h += ",program_count,saving_countdown";
  for (int i = 1; i <= 8; ++i) h += ",test" + std::to_string(i);
  h += ",advance1_deg,advance2_deg";
  for (int i = 1; i <= 4; ++i) h += ",pickup_check" + std::to_string(i);
  h += ",pickup1_signal,pickup2_signal,start_limiter_activated,start_soft_limiter,"
       "start_limiter,soft_limiter,limiter,input1_active,input2_active,input3_active,"
       "motor_off,clutch_master,retard,second_map,servo_ok,throttle_sensor_fault";
  for (int i = 1; i <= 4; ++i) h += ",power_out" + std::to_string(i);
  h += ",gear,programmed_data_error,base_advance,unit_image_version";
  return h;
}

std::string MonitorCsvRow(const MonitorSnapshot& s, WallClock::time_point when) {
  std::ostringstream o;
  auto flag = [](std::uint8_t b) { return b != 0 ? 1 : 0; };
  o << MonitorCsvTimestamp(when) << ',' << s.rpm << ',' << s.maxAdvance1 << ','
    << s.maxAdvance2 << ',' << Tenths(s.throttle) << ',' << Volts(s.throttleMv) << ','
    << Volts(s.supplyMv) << ',' << Volts(s.servoMeasuredMv) << ',' << Volts(s.servoDesiredMv)
    << ',' << Volts(s.potMv()) << ',' << s.acceleration << ',' << Tenths(s.potAdvanceTenths())
    << ',' << s.potStartLimiterRpm() << ',' << s.potShiftLightRpm() << ','
    << s.potAccelThreshold() << ',' << s.speedKmh << ',' << Volts(s.gearMv) << ','
    << Tenths(s.speedRatio);
  for (auto r : s.learnedRatio) o << ',' << Tenths(r);
  o << ',' << s.programCount << ',' << s.savingCountdown;
  for (auto t : s.test) o << ',' << t;
  o << ',' << s.advance1Deg() << ',' << s.advance2Deg();
  for (auto c : s.pickupCheck) o << ',' << static_cast<int>(c);
  o << ',' << flag(s.pickupSignal[0]) << ',' << flag(s.pickupSignal[1]) << ','
    << flag(s.startLimiterActivated) << ',' << flag(s.startSoftLimiter) << ','
    << flag(s.startHardLimiter) << ',' << flag(s.softLimiter) << ',' << flag(s.hardLimiter);
  for (auto in : s.input) o << ',' << (in == 0 ? 1 : 0);  // 0 on the line means active
  o << ',' << flag(s.motorOff) << ',' << flag(s.clutchMaster) << ',' << flag(s.retard) << ','
    << flag(s.secondMap) << ',' << flag(s.servoOk) << ',' << flag(s.throttleFault);
  for (auto p : s.powerOut) o << ',' << flag(p);
  o << ',' << static_cast<int>(s.gear) << ',' << flag(s.dataError) << ','
    << flag(s.baseAdvance) << ',' << static_cast<int>(s.version);
  return o.str();
}

}  // namespace rq::logs
