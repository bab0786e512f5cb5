// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration the simulator starts with: whatever its options, it is one the tool's
// consistency pass and gear coupling leave as it is, so a read followed by a verify agrees.
#include "sim/options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/parameter_table.h"
#include "model/state_file.h"

namespace rq::sim {
namespace {

// A configuration the tool would change on its way to the unit: the ratio gear system with
// input 3 left on its own function, and an rpm axis out of order.
ParameterImage UncoupledConfig() {
  ParameterImage c = NewConfiguration();
  c.setByte(kGearSystem, 2);
  c.setByte(kInputFunction[2], 1);
  c.setWord(kAdvance1Axis[3], 100);
  return c;
}

class SimStartConfiguration : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string base = ::testing::TempDir() + "rq_sim_options_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ign_ = base + ".ign";
    state_ = base + ".ini";
    std::ofstream(ign_, std::ios::binary) << WriteIgnText(UncoupledConfig());
    std::ofstream(state_, std::ios::binary) << WriteStateText(UncoupledConfig(), AllFlags{});
  }
  void TearDown() override {
    std::remove(ign_.c_str());
    std::remove(state_.c_str());
  }
  std::string ign_, state_;
};

TEST_F(SimStartConfiguration, IsAFixedPointOfTheConsistencyPassAndTheGearCoupling) {
  // The demo's arguments (app/main.cpp), every gear method, and the configuration files.
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--gear-method", "0"},
      {"--gear-method", "1"},
      {"--gear-method", "2"},
      {"--gear-method", "3"},
      {"--image", ign_},
      {"--image", state_},
      {"--image", ign_, "--gear-method", "1"},
      {"--image", state_, "--gear-method", "3"},
  };
  for (const auto& args : cases) {
    std::string trace;
    for (const std::string& a : args) trace += a + " ";
    SCOPED_TRACE(trace);
    SimOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions(args, o, error)) << error;
    ParameterImage cfg;
    ASSERT_TRUE(StartConfiguration(o, cfg, error)) << error;
    ParameterImage passed = cfg;
    SanitizeImage(passed);
    EXPECT_FALSE(ApplyGearCoupling(passed));
    EXPECT_TRUE(passed.sameConfig(cfg));
    if (o.gearMethod) {
      EXPECT_EQ(cfg[kGearSystem], *o.gearMethod);
    }
  }
}

}  // namespace
}  // namespace rq::sim
