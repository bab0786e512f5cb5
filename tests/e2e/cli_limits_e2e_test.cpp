// SPDX-License-Identifier: GPL-3.0-or-later
// The map limits on the command line: check's lines, JSON and exit codes, limits from the
// settings file or a named file, and program refusing a file that breaks one before it opens
// the port (the simulator's configuration stays as it was) unless --force.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "tests/e2e/child_process.h"

namespace rq::e2e {
namespace {

// An environment variable set for the children of one test, put back at its end.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The new configuration with advance map 1's cell at 60 % / column 9 set to `degrees`.
ParameterImage WithCell(int degrees) {
  ParameterImage c = NewConfiguration();
  c.setByte(kAdvance1Cells.at(7, 9), degrees);
  SanitizeImage(c);
  return c;
}

std::string MaxLine(const ParameterImage& c, int degrees, const std::string& max) {
  return "Advance 1  row 60 %  col " + std::to_string(c[kAdvance1Axis[9]]) + " rpm  " +
         std::to_string(degrees) + " > max " + max + "\n";
}

RunResult LimitsCli(const std::vector<std::string>& args) { return RunProgram(kCli, args, 20000); }

TEST(CliLimits, CheckListsViolationsAndExitsOneWhenThereIsAny) {
  ScratchDir dir;
  const ScopedEnv config("XDG_CONFIG_HOME", dir.path());  // no settings file
  const ParameterImage c = WithCell(45);
  WriteFile(dir.file("c.ign"), WriteIgnText(c));
  WriteFile(dir.file("unit.ign"), WriteIgnText(NewConfiguration()));
  WriteFile(dir.file("max40.ini"), "[LIMITS]\nAdvance1Max=40\n");
  WriteFile(dir.file("max45.ini"), "[LIMITS]\nAdvance1Max=45\nAdvance2Max=\n");
  WriteFile(dir.file("empty.ini"), "[LIMITS]\nAdvance1Max=\n");
  WriteFile(dir.file("bad.ini"), "[LIMITS]\nAdvance1Max=4o\n");
  WriteFile(dir.file("keys.ini"), "[LIMITS]\nAdvance1Maks=38\nAdvance1Max=40\nadvance1max=50\n");
  WriteFile(dir.file("change.ini"), "[LIMITS]\nAdvance1Change=5\n");
  WriteFile(dir.file("other.ini"), "[BASIC]\nLanguage=1\n");
  struct Case {
    std::vector<std::string> args;
    int code;
    std::vector<std::string> said;  // parts of the output
  };
  const Case cases[] = {
      {{"check", dir.file("c.ign")}, 0, {"no limits set"}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("max40.ini")}, 1, {MaxLine(c, 45, "40")}},
      {{"check", "--limits", dir.file("max45.ini"), dir.file("c.ign")}, 0, {"keeps every limit"}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("empty.ini")}, 0, {"no limits set"}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("bad.ini")},
       1,
       {"bad.ini: [LIMITS] line 2: Advance1Max=4o is not a number", "none that can be read"}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("keys.ini")},
       1,
       {"keys.ini: [LIMITS] line 2: Advance1Maks is no key of the limits",
        "keys.ini: [LIMITS] line 4: advance1max is given again; the first value, 40, counts",
        MaxLine(c, 45, "40")}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("change.ini")},
       0,
       {"change limits are not checked"}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("change.ini"), "--unit", dir.file("unit.ign")},
       1,
       {"45 vs unit 35: change 10 > max 5"}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("other.ini")}, 1, {"has no [LIMITS] section"}},
      {{"check", dir.file("c.ign"), "--limits", dir.file("missing.ini")}, 1, {"cannot open"}},
      {{"check", dir.file("missing.ign"), "--limits", dir.file("max40.ini")}, 1, {"cannot open"}},
      {{"check"}, 2, {"usage: check"}},
      {{"check", dir.file("c.ign"), "--limits"}, 2, {"--limits needs a file"}},
      {{"check", dir.file("c.ign"), "--bogus"}, 2, {"unknown option --bogus"}},
      {{"check", dir.file("c.ign"), dir.file("c.ign")}, 2, {"unexpected argument"}},
  };
  for (const Case& k : cases) {
    std::string joined;
    for (const auto& a : k.args) joined += a + " ";
    SCOPED_TRACE(joined);
    const RunResult r = LimitsCli(k.args);
    EXPECT_EQ(r.exitCode, k.code) << r.output;
    for (const std::string& s : k.said) EXPECT_TRUE(Contains(r.output, s)) << r.output;
  }
}

TEST(CliLimits, CheckTakesTheSettingsFileAndPrintsJson) {
  ScratchDir dir;
  const ScopedEnv config("XDG_CONFIG_HOME", dir.path());
  std::filesystem::create_directories(dir.file("RQ_VTMX4_Kelvora"));
  WriteFile(dir.file("RQ_VTMX4_Kelvora/RQ_VTMX4_Kelvora_v79.ini"),
            "[BASIC]\nLanguage=0\n[LIMITS]\nAdvance1Max=38.5\n");
  const ParameterImage c = WithCell(45);
  WriteFile(dir.file("c.ign"), WriteIgnText(c));
  const RunResult text = LimitsCli({"check", dir.file("c.ign")});
  EXPECT_EQ(text.exitCode, 1) << text.output;
  EXPECT_EQ(text.output, MaxLine(c, 45, "38.5"));

  const RunResult json = LimitsCli({"check", "--json", dir.file("c.ign")});
  EXPECT_EQ(json.exitCode, 1) << json.output;
  const std::string rpm = std::to_string(c[kAdvance1Axis[9]]);
  EXPECT_TRUE(Contains(json.output,
                       "[\n{\"page\":\"Advance 1\",\"row\":7,\"throttle_pct\":60,\"column\":9,\"rpm\":" +
                           rpm +
                           ",\"value\":45,\"unit\":\"deg\",\"kind\":\"max\",\"limit\":38.5,"
                           "\"text\":\"Advance 1  row 60 %  col " + rpm +
                           " rpm  45 > max 38.5\"}\n]\n"))
      << json.output;

  // A settings file that is there but cannot be read is no "no limits".
  std::filesystem::remove(dir.file("RQ_VTMX4_Kelvora/RQ_VTMX4_Kelvora_v79.ini"));
  std::filesystem::create_directories(dir.file("RQ_VTMX4_Kelvora/RQ_VTMX4_Kelvora_v79.ini"));
  const RunResult unreadable = LimitsCli({"check", dir.file("c.ign")});
  EXPECT_EQ(unreadable.exitCode, 1) << unreadable.output;
  EXPECT_TRUE(Contains(unreadable.output, "cannot read")) << unreadable.output;
}

TEST(CliLimits, ProgramRefusesABrokenLimitAndSendsNothingUnlessForced) {
  ScratchDir dir;
  const ScopedEnv config("XDG_CONFIG_HOME", dir.path());
  const ScopedEnv data("XDG_DATA_HOME", dir.path());  // the program history of this test
  const ParameterImage unitCfg = NewConfiguration(), pcCfg = WithCell(45);
  WriteFile(dir.file("unit.ign"), WriteIgnText(unitCfg));
  WriteFile(dir.file("pc.ign"), WriteIgnText(pcCfg));
  WriteFile(dir.file("limits.ini"), "[LIMITS]\nAdvance1Max=40\nAdvance1Change=1\n");

  // Refused before any port is opened: a port that does not exist is never reached.
  RunResult r = LimitsCli({"program", "--port", dir.file("no-such-port"), "--limits",
                     dir.file("limits.ini"), dir.file("pc.ign")});
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "breaks 1 limit; nothing was sent")) << r.output;
  EXPECT_TRUE(Contains(r.output, MaxLine(pcCfg, 45, "40"))) << r.output;
  EXPECT_TRUE(Contains(r.output, "change limits are not checked")) << r.output;
  EXPECT_FALSE(Contains(r.output, "Com opening error")) << r.output;

  UnitSim sim({"--image", dir.file("unit.ign"), "--seed", "4"});
  ASSERT_TRUE(sim.ok());
  r = LimitsCli({"program", "--port", sim.path(), "--limits", dir.file("limits.ini"), dir.file("pc.ign")});
  EXPECT_EQ(r.exitCode, 1) << r.output;
  // A limit that cannot be read is no "no limit": nothing is sent either.
  WriteFile(dir.file("unreadable.ini"), "[LIMITS]\nAdvance1Max=38 ; my bike\n");
  r = LimitsCli({"program", "--port", sim.path(), "--limits", dir.file("unreadable.ini"), dir.file("pc.ign")});
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "line 2: Advance1Max=38 ; my bike is not a number")) << r.output;
  EXPECT_TRUE(Contains(r.output, "nothing was sent")) << r.output;
  r = LimitsCli({"read", "--port", sim.path(), "-o", dir.file("after-refusal.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  ParameterImage read = NewConfiguration();
  ReadIgnText(ReadFile(dir.file("after-refusal.ign")), read);
  EXPECT_TRUE(read.sameConfig(unitCfg));

  r = LimitsCli({"program", "--port", sim.path(), "--limits", dir.file("limits.ini"), "--force",
           dir.file("pc.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(Contains(r.output, "programming it anyway (--force)")) << r.output;
  EXPECT_TRUE(r.output.ends_with("Program device:: OK\n")) << r.output;
  r = LimitsCli({"read", "--port", sim.path(), "-o", dir.file("after-force.ign")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  ReadIgnText(ReadFile(dir.file("after-force.ign")), read);
  EXPECT_TRUE(read.sameConfig(pcCfg));

  // Without --limits the settings file's section decides.
  std::filesystem::create_directories(dir.file("RQ_VTMX4_Kelvora"));
  WriteFile(dir.file("RQ_VTMX4_Kelvora/RQ_VTMX4_Kelvora_v79.ini"), "[LIMITS]\nAdvance1Max=34\n");
  r = LimitsCli({"program", "--port", sim.path(), dir.file("unit.ign")});
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "nothing was sent")) << r.output;
}

}  // namespace
}  // namespace rq::e2e
