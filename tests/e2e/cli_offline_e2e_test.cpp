// SPDX-License-Identifier: GPL-3.0-or-later
// The offline commands as a script uses them: exit codes, outputs that are not files, choice
// names, page order and JSON.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "tests/e2e/child_process.h"

namespace rq::e2e {
namespace {



RunResult Cli(const std::vector<std::string>& args) { return RunProgram(kCli, args, 20000); }

TEST(CliOffline, FailuresExitOneAndWrongUsageTwo) {
  ScratchDir dir;
  WriteFile(dir.file("good.ign"), WriteIgnText(NewConfiguration()));
  WriteFile(dir.file("garbage.ign"), "this is not a configuration");
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  // A device of its own (a copy of /dev/null's node), never a system one: a tool with the
  // fault replaces whatever it is given.
  const bool device = geteuid() == 0 &&
                      ::mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  struct Case {
    std::vector<std::string> args;
    int code;
  };
  const Case cases[] = {
      {{"show", dir.file("missing.ign")}, 1},
      {{"show", dir.file("garbage.ign")}, 1},
      {{"diff", dir.file("good.ign"), dir.file("missing.ign")}, 1},
      {{"convert", dir.file("missing.ign"), dir.file("out.ign")}, 1},
      {{"convert", dir.file("good.ign"), dir.file("no/such/folder/out.ign")}, 1},
      {{"convert", dir.file("good.ign"), dir.file("fifo")}, 1},
      // A FIFO with no writer (or a folder) is refused as an input, at once.
      {{"show", dir.file("fifo")}, 1},
      {{"diff", dir.file("good.ign"), dir.file("fifo")}, 1},
      {{"convert", dir.file("fifo"), dir.file("out.ign")}, 1},
      {{"show", dir.path()}, 1},
      {{"new", "-o", device ? dir.file("null") : dir.path()}, 1},
      {{"show"}, 2},
      {{"show", "a", "b"}, 2},
      {{"show", "--bogus", dir.file("good.ign")}, 2},
      {{"new", dir.file("x.ign")}, 2},
      {{"convert", dir.file("good.ign")}, 2},
      {{"diff", dir.file("good.ign")}, 2},
      {{"bogus"}, 2},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    const RunResult r = Cli(c.args);
    EXPECT_EQ(r.exitCode, c.code) << r.output;
    EXPECT_FALSE(r.output.empty());
  }
  // The FIFO and the device are still what they were.
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  if (device) {
    ASSERT_EQ(::stat(dir.file("null").c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
  }
  EXPECT_FALSE(Contains(ReadFile(dir.file("out.ign")), "TAVRENIX"));
}

// The log commands say what is wrong with what they were given, in its own words.
TEST(CliOffline, LogCommandsNameWhatIsWrong) {
  ScratchDir dir;
  const std::string ride = dir.file("ride.csv"), still = dir.file("still.csv");
  WriteFile(ride, "time,rpm,throttle_pct,second_map,gear\n0,5000,60,0,3\n0.3,5000,60,0,3\n");
  WriteFile(still, "time,rpm,throttle_pct,second_map,gear\n5,5000,60,0,3\n5,5000,60,0,3\n");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string line;
  } cases[] = {
      {{"ab", ride, "--gear", "99"}, 2, "--gear needs gears 1 to 6, separated by commas"},
      {{"ab", ride, "--gear", "0"}, 2, "--gear needs gears 1 to 6, separated by commas"},
      {{"cells", ride, "--map", "advance1", "--gear", "7"}, 2,
       "--gear needs gears 0 to 6, separated by commas"},
      {{"cells", ride, "--map", "advance1", "--min-rows", "99999999999"}, 2,
       "--min-rows needs a whole number from 1 to 2147483647"},
      {{"ab", still}, 1,
       still + ": the time stamps do not advance (every row has the same time)"},
      {{"cells", still, "--map", "advance1", "--steady"}, 1,
       still + ": the time stamps do not advance"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const RunResult r = Cli(c.args);
    EXPECT_EQ(r.exitCode, c.code) << r.output;
    EXPECT_TRUE(Contains(r.output, "rq_vtmx4_cli: " + c.line)) << r.output;
  }
  EXPECT_EQ(Cli({"cells", still, "--map", "advance1"}).exitCode, 0);  // no rates asked for
}

TEST(CliOffline, DashReadsTheConfigurationFromStandardInput) {
  ScratchDir dir;
  ParameterImage im = NewConfiguration();
  im.setByte(173, 12);  // retard 12
  WriteFile(dir.file("a.ign"), WriteIgnText(im));
  const RunResult piped =
      RunProgram("/bin/sh", {"-c", kCli + " show - < '" + dir.file("a.ign") + "'"}, 20000);
  EXPECT_EQ(piped.exitCode, 0) << piped.output;
  EXPECT_EQ(piped.output, Cli({"show", dir.file("a.ign")}).output);
  const RunResult none = RunProgram("/bin/sh", {"-c", kCli + " show - < /dev/null"}, 20000);
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_TRUE(Contains(none.output, "not a configuration file")) << none.output;
}

TEST(CliOffline, ShowNamesChoicesAndListsEachPagesScalarsBeforeItsMap) {
  ScratchDir dir;
  ParameterImage c = NewConfiguration();
  c.setByte(kServoMode, 2);   // servo controlled by TPS
  c.setByte(kLearnBand, 45);  // learning band 4.5 %
  WriteFile(dir.file("c.ign"), WriteIgnText(c));
  const RunResult r = Cli({"show", dir.file("c.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string& out = r.output;
  EXPECT_TRUE(Contains(out, "Inputs  input 1 function  Kill switch (1)\n")) << out;
  EXPECT_TRUE(Contains(out, "Inputs  input 2 function  Clutch master (3)\n"));
  EXPECT_TRUE(Contains(out, "Bike  motorbike type  Classic (1 lobe, 1 or 2 pick-up) (0)\n"));
  EXPECT_TRUE(Contains(out, "Servo  servo controlled by  TPS (2)\n"));
  EXPECT_TRUE(Contains(out, "Gear  learning band  4.5 %\n"));
  EXPECT_FALSE(Contains(out, "x0.1"));
  EXPECT_TRUE(Contains(out, "Inputs  hard limiter  11000 rpm\n"));
  // Each page's scalars come before its map, and the pages run in order.
  const auto pos = [&](const std::string& s) { return out.find(s); };
  EXPECT_LT(pos("Advance 1  base advance"), pos("Advance 1  advance map 1 (deg)"));
  EXPECT_LT(pos("Inputs  potentiometer range"), pos("Advance 1  base advance"));
  EXPECT_LT(pos("Advance 1  advance map 1 (deg)"), pos("Advance 2  advance map 2 (deg)"));
  EXPECT_LT(pos("Servo  servo enable"), pos("Servo  servo map (mV)"));
  EXPECT_LT(pos("Servo  servo map (mV)"), pos("Power out  output 1 mode"));
}

TEST(CliOffline, DiffNamesChoicesOnBothSides) {
  ScratchDir dir;
  ParameterImage a = NewConfiguration(), b = NewConfiguration();
  b.setByte(kInputFunction[0], 2);  // input 1: Blocking
  b.setByte(kLearnBand, 55);
  b.setByte(kServoPercent, 1);  // servo map in percent: its cells change unit
  WriteFile(dir.file("a.ign"), WriteIgnText(a));
  WriteFile(dir.file("b.ign"), WriteIgnText(b));
  const RunResult r = Cli({"diff", dir.file("a.ign"), dir.file("b.ign")});
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "Inputs  input 1 function  Kill switch (1) -> Blocking (2)\n"))
      << r.output;
  EXPECT_TRUE(Contains(r.output, "Gear  learning band  4.0 -> 5.5 %\n")) << r.output;
  EXPECT_TRUE(Contains(r.output, "Servo  servo map in percent  0 -> 1\n")) << r.output;
  EXPECT_TRUE(Contains(r.output, " mV -> ")) << r.output;  // a servo cell, mV on one side only
}

TEST(CliOffline, JsonGivesOneObjectPerParameter) {
  ScratchDir dir;
  ParameterImage a = NewConfiguration(), b = NewConfiguration();
  b.setWord(kHardLimiter, 11500);
  WriteFile(dir.file("a.ign"), WriteIgnText(a));
  WriteFile(dir.file("b.ign"), WriteIgnText(b));
  RunResult r = Cli({"show", "--json", dir.file("a.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string& out = r.output;
  ASSERT_TRUE(out.starts_with("[\n{")) << out.substr(0, 80);
  ASSERT_TRUE(out.ends_with("}\n]\n"));
  EXPECT_TRUE(Contains(out, "{\"page\":\"Inputs\",\"name\":\"input 1 function\",\"value\":1,"
                            "\"item\":\"Kill switch\",\"unit\":\"\",\"raw\":[1]},\n"));
  EXPECT_TRUE(Contains(out, "{\"page\":\"Inputs\",\"name\":\"hard limiter\",\"value\":11000,"
                            "\"unit\":\"rpm\",\"raw\":[248,42]},\n"));
  EXPECT_TRUE(Contains(out, "{\"page\":\"Gear\",\"name\":\"learning band\",\"value\":4.0,"
                            "\"unit\":\"%\",\"raw\":[40]},\n"));
  // One object per line: every scalar, 3 x 15 axis points, 3 x 150 cells, 4 x 12 grid bits.
  const auto objects = std::count(out.begin(), out.end(), '\n') - 2;
  EXPECT_GT(objects, 3 * 15 + 3 * 150 + 4 * 12);
  EXPECT_EQ(std::count(out.begin(), out.end(), '{'), objects);

  r = Cli({"diff", "--json", dir.file("a.ign"), dir.file("b.ign")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output,
            "[\n{\"page\":\"Inputs\",\"name\":\"hard limiter\",\"a\":{\"value\":11000,\"unit\":"
            "\"rpm\",\"raw\":[248,42]},\"b\":{\"value\":11500,\"unit\":\"rpm\",\"raw\":[236,44]}}"
            "\n]\n");
  r = Cli({"diff", "--json", dir.file("a.ign"), dir.file("a.ign")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "[]\n");
}

TEST(CliOffline, DashWritesToStandardOutput) {
  const RunResult r = Cli({"new", "-o", "-"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, WriteIgnText(NewConfiguration()));
}

}  // namespace
}  // namespace rq::e2e
