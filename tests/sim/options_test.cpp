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

TEST(SimStartConfiguration, IsAFixedPointOfTheConsistencyPassAndTheGearCoupling) {
  // Files the tool would change on their way to the unit: the ratio gear system with input 3
  // on a function of its own, and an rpm axis out of order.
  ParameterImage uncoupled = NewConfiguration();
  uncoupled.setByte(kGearSystem, 2);
  uncoupled.setByte(kInputFunction[2], 1);
  uncoupled.setWord(kAdvance1Axis[3], 100);
  const std::string ign = ::testing::TempDir() + "rq_sim_start.ign";
  const std::string state = ::testing::TempDir() + "rq_sim_start.ini";
  std::ofstream(ign, std::ios::binary) << WriteIgnText(uncoupled);
  std::ofstream(state, std::ios::binary) << WriteStateText(uncoupled, AllFlags{});
  // The demo's arguments (app/main.cpp), every gear method, and both kinds of file.
  const std::vector<std::vector<std::string>> cases = {
      {}, {"--gear-method", "0"}, {"--gear-method", "1"}, {"--gear-method", "2"},
      {"--gear-method", "3"}, {"--image", ign}, {"--image", state, "--gear-method", "3"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.empty() ? "" : args.back());
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
  std::remove(ign.c_str());
  std::remove(state.c_str());
}

}  // namespace
}  // namespace rq::sim
