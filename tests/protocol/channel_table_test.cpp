// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/channel_table.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>
#include <string>

namespace rq {
namespace {

// The monitor log's columns as scripts that read earlier logs expect them.
constexpr const char* kHeader =
    "time,rpm,max_advance1_deg,max_advance2_deg,throttle_pct,throttle_sensor_v,supply_v,"
    "servo_measured_v,servo_desired_v,potentiometer_v,acceleration_rpm_s,pot_advance_corr_deg,"
    "pot_start_limiter_corr_rpm,pot_shift_light_corr_rpm,pot_accel_threshold_corr_rpm_s,"
    "speed_kmh,gear_sensor_v,rpm_speed_ratio,learned_ratio_gear1,learned_ratio_gear2,"
    "learned_ratio_gear3,learned_ratio_gear4,learned_ratio_gear5,learned_ratio_gear6,"
    "program_count,saving_countdown,test1,test2,test3,test4,test5,test6,test7,test8,"
    "advance1_deg,advance2_deg,pickup_check1,pickup_check2,pickup_check3,pickup_check4,"
    "pickup1_signal,pickup2_signal,start_limiter_activated,start_soft_limiter,start_limiter,"
    "soft_limiter,limiter,input1_active,input2_active,input3_active,motor_off,clutch_master,"
    "retard,second_map,servo_ok,throttle_sensor_fault,power_out1,power_out2,power_out3,"
    "power_out4,gear,programmed_data_error,base_advance,unit_image_version";

// Extremes of every kind of column: full-scale words, negative corrections, a flag byte of
// 255 and 2, inputs that report 0 while active.
MonitorSnapshot Busy() {
  MonitorSnapshot s;
  s.rpm = 65535;
  s.maxAdvance1 = 32;
  s.throttle = 1000;
  s.throttleMv = 4999;
  s.supplyMv = 13805;
  s.servoMeasuredMv = 1;
  s.servoDesiredMv = 65535;
  s.potCounts = 1023;
  s.acceleration = 12000;
  s.potAdvanceRaw = 995;
  s.potStartLimiterRaw = 9500;
  s.potShiftLightRaw = 10250;
  s.potAccelThresholdRaw = 0;
  s.speedKmh = 187;
  s.gearMv = 2501;
  s.speedRatio = 123;
  s.learnedRatio = {1, 10, 99, 1000, 0, 65535};
  s.programCount = 17;
  s.savingCountdown = 1500;
  s.test = {0, 1, 2, 3, 65535, 5, 6, 7};
  s.advance1Raw = 0;
  s.advance2Raw = 255;
  s.pickupCheck = {0, 1, 200, 255};
  s.pickupSignal = {1, 0};
  s.startLimiterActivated = 255;
  s.hardLimiter = 2;
  s.input = {0, 1, 255};
  s.motorOff = 1;
  s.servoOk = 1;
  s.powerOut = {0, 1, 0, 7};
  s.gear = 6;
  s.dataError = 1;
  s.version = 79;
  return s;
}

TEST(ChannelTable, MonitorLogIsUnchanged) {
  EXPECT_EQ(MonitorCsvHeader(), kHeader);
  EXPECT_EQ(MonitorCsvValues(Busy()),
            "65535,32,0,100.0,4.999,13.805,0.001,65.535,5.000,12000,-0.5,-500,250,-10000,187,"
            "2.501,12.3,0.1,1.0,9.9,100.0,0.0,6553.5,17,1500,0,1,2,3,65535,5,6,7,-100,155,0,1,"
            "200,255,1,0,1,0,0,0,1,1,0,0,1,0,0,0,1,0,0,1,0,1,6,1,0,79");
  EXPECT_EQ(MonitorCsvValues(MonitorSnapshot{}),
            "0,0,0,0.0,0.000,0.000,0.000,0.000,0.000,0,-100.0,-10000,-10000,-10000,0,0.000,0.0,"
            "0.0,0.0,0.0,0.0,0.0,0.0,0,0,0,0,0,0,0,0,0,0,-100,-100,0,0,0,0,0,0,0,0,0,0,0,1,1,1,0,"
            "0,0,0,0,0,0,0,0,0,0,0,0,0");
}

TEST(ChannelTable, DecimalPointWhateverTheLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old != nullptr ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
    GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string line = MonitorCsvValues(Busy());
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(line.substr(0, 24), "65535,32,0,100.0,4.999,1");
}

TEST(ChannelTable, KeysNamesAndLookup) {
  std::set<std::string_view> keys;
  for (const Channel& c : Channels()) {
    EXPECT_TRUE(keys.insert(c.key).second) << c.key;
    for (int lang = 0; lang < 4; ++lang) EXPECT_FALSE(ChannelName(c, lang).empty()) << c.key;
    EXPECT_NE(c.raw, nullptr) << c.key;
    EXPECT_GT(c.divisor, 0) << c.key;
  }
  EXPECT_EQ(Channels().size(), 63u);
  ASSERT_NE(FindChannel("supply_v"), nullptr);
  EXPECT_EQ(FindChannel("supply_v")->unit, "V");
  EXPECT_EQ(ChannelName(*FindChannel("supply_v"), 1), "Versorgungsspannung");
  EXPECT_EQ(ChannelName(*FindChannel("supply_v"), 9), "Supply voltage");
  EXPECT_EQ(FindChannel("time"), nullptr);
  EXPECT_EQ(FindChannel("Supply_v"), nullptr);
}

TEST(ChannelTable, RawNumberAndValueInUnits) {
  const MonitorSnapshot s = Busy();
  auto c = [](const char* key) { return *FindChannel(key); };
  EXPECT_EQ(ChannelRaw(c("supply_v"), s), 13805);
  EXPECT_DOUBLE_EQ(ChannelValue(c("supply_v"), s), 13.805);
  EXPECT_EQ(ChannelRaw(c("pot_advance_corr_deg"), s), 995);
  EXPECT_DOUBLE_EQ(ChannelValue(c("pot_advance_corr_deg"), s), -0.5);
  EXPECT_EQ(ChannelRaw(c("potentiometer_v"), s), 1023);
  EXPECT_EQ(ChannelInteger(c("potentiometer_v"), s), 5000);
  EXPECT_EQ(ChannelRaw(c("advance2_deg"), s), 255);
  EXPECT_DOUBLE_EQ(ChannelValue(c("advance2_deg"), s), 155.0);
  // Flags are 0 or 1 whatever byte the unit sent; an input is active while it reports 0.
  EXPECT_EQ(ChannelRaw(c("start_limiter_activated"), s), 255);
  EXPECT_DOUBLE_EQ(ChannelValue(c("start_limiter_activated"), s), 1.0);
  EXPECT_DOUBLE_EQ(ChannelValue(c("input1_active"), s), 1.0);
  EXPECT_DOUBLE_EQ(ChannelValue(c("input3_active"), s), 0.0);
  EXPECT_EQ(ChannelText(c("rpm_speed_ratio"), s), "12.3");
  EXPECT_EQ(ChannelText(c("unit_image_version"), s), "79");
}

}  // namespace
}  // namespace rq
