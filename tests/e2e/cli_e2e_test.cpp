// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool against the unit simulator over a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "tests/e2e/child_process.h"

namespace rq::e2e {
namespace {


// A configuration that differs from the new one in every block.
ParameterImage UnitConfig(int variant) {
  ParameterImage c = NewConfiguration();
  c.setWord(kHardLimiter, 10500 + 100 * variant);        // block 1
  c.setByte(200, 30 + variant);               // block 2, advance map 1
  c.setByte(350, 25 + variant);               // block 3, advance map 2
  c.setByte(500, 90 + variant);               // block 4, servo map
  c.setByte(kTachoTestRpm, 77 + variant);               // block 5, test rpm
  SanitizeImage(c);
  return c;
}

ParameterImage ReadIgn(const std::string& path) {
  ParameterImage img = NewConfiguration();
  EXPECT_TRUE(ReadIgnText(ReadFile(path), img).validKey) << path;
  return img;
}


TEST(CliEndToEnd, ReadVerifyAndProgramLeaveUnitAndPcEqual) {
  ScratchDir dir;
  const ParameterImage unitCfg = UnitConfig(0), pcCfg = UnitConfig(1);
  WriteFile(dir.file("unit.ign"), WriteIgnText(unitCfg));
  WriteFile(dir.file("pc.ign"), WriteIgnText(pcCfg));
  UnitSim sim({"--image", dir.file("unit.ign"), "--seed", "1"});
  ASSERT_TRUE(sim.ok());

  RunResult r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", dir.file("read.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(ReadIgn(dir.file("read.ign")).sameConfig(unitCfg));
  EXPECT_EQ(ReadFile(dir.file("read.ign")), WriteIgnText(unitCfg));

  r = RunProgram(kCli, {"verify", "--port", sim.path(), dir.file("unit.ign")});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  r = RunProgram(kCli, {"verify", "--port", sim.path(), dir.file("pc.ign")});
  EXPECT_NE(r.exitCode, 0) << r.output;
  EXPECT_TRUE(Contains(r.output, "Verify error!")) << r.output;

  r = RunProgram(kCli, {"program", "--port", sim.path(), dir.file("pc.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // Success is the last status line, after the save.
  EXPECT_TRUE(r.output.ends_with("Program device:: OK\n")) << r.output;
  r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", dir.file("again.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(ReadIgn(dir.file("again.ign")).sameConfig(pcCfg));
  r = RunProgram(kCli, {"verify", "--port", sim.path(), dir.file("pc.ign")});
  EXPECT_EQ(r.exitCode, 0) << r.output;

  // The unit counted one programming and has finished saving.
  r = RunProgram(kCli, {"monitor", "--port", sim.path(), "--count", "3", "-o", dir.file("log.csv")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  std::istringstream csv(ReadFile(dir.file("log.csv")));
  std::string header, line;
  std::getline(csv, header);
  std::vector<std::string> names, values;
  std::stringstream hs(header);
  for (std::string cell; std::getline(hs, cell, ',');) names.push_back(cell);
  int rows = 0;
  while (std::getline(csv, line)) {
    ++rows;
    values.clear();
    std::stringstream ls(line);
    for (std::string cell; std::getline(ls, cell, ',');) values.push_back(cell);
    ASSERT_EQ(values.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == "program_count") {
        EXPECT_EQ(values[i], "1");
      } else if (names[i] == "saving_countdown") {
        EXPECT_EQ(values[i], "0");
      } else if (names[i] == "unit_image_version") {
        EXPECT_EQ(values[i], "79");
      }
    }
  }
  EXPECT_EQ(rows, 3);
}

// The demo's unit (app/main.cpp starts it so): what a read brings home verifies against it.
TEST(CliEndToEnd, DemoUnitReadThenVerifiedAgrees) {
  ScratchDir dir;
  UnitSim sim({"--gear-method", "2"});
  ASSERT_TRUE(sim.ok());
  RunResult r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", dir.file("read.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  r = RunProgram(kCli, {"verify", "--port", sim.path(), dir.file("read.ign")});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_FALSE(Contains(r.output, "Verify error!")) << r.output;
}

TEST(CliEndToEnd, EveryRequestNeedingAResendStillSucceeds) {
  ScratchDir dir;
  const ParameterImage unitCfg = UnitConfig(2), pcCfg = UnitConfig(3);
  WriteFile(dir.file("unit.ign"), WriteIgnText(unitCfg));
  WriteFile(dir.file("pc.ign"), WriteIgnText(pcCfg));
  UnitSim sim({"--image", dir.file("unit.ign"), "--drop-first", "--seed", "2"});
  ASSERT_TRUE(sim.ok());

  RunResult r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", dir.file("read.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(ReadIgn(dir.file("read.ign")).sameConfig(unitCfg));
  r = RunProgram(kCli, {"program", "--port", sim.path(), dir.file("pc.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", dir.file("again.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(ReadIgn(dir.file("again.ign")).sameConfig(pcCfg));
}

TEST(CliEndToEnd, UnitVanishingMidReadEndsInReadError) {
  ScratchDir dir;
  UnitSim sim({"--delay", "150", "--seed", "3"});
  ASSERT_TRUE(sim.ok());
  ChildProcess cli;
  ASSERT_TRUE(cli.start(kCli, {"read", "--port", sim.path(), "-o", dir.file("read.ign")}));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  sim.kill();
  const int rc = cli.wait(20000);
  EXPECT_NE(rc, 0) << cli.output();
  EXPECT_NE(rc, -1) << "the read did not end";
  EXPECT_TRUE(Contains(cli.output(), "Read error!")) << cli.output();
  EXPECT_TRUE(ReadFile(dir.file("read.ign")).empty()) << "a failed read must not write a file";
}

TEST(CliEndToEnd, AnotherImageVersionStopsTheRead) {
  ScratchDir dir;
  UnitSim sim({"--image-version", "80"});
  ASSERT_TRUE(sim.ok());
  RunResult r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", dir.file("read.ign")});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(Contains(r.output, "Unmatched version of PC and Ignition programs!  PC-79, IGN-80"))
      << r.output;
}

}  // namespace
}  // namespace rq::e2e
