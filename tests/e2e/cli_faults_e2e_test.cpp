// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool against the unit simulator over a pseudo-terminal: a unit that dies
// while saving, ports that do not exist or are held by another program, time limits, the
// reasons behind an error status, the differences a verify finds, and info.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "link/serial_port.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "tests/e2e/child_process.h"

namespace rq::e2e {
namespace {

using Clock = std::chrono::steady_clock;


ParameterImage Config(int hardLimiter, int advanceCell) {
  ParameterImage c = NewConfiguration();
  c.setWord(kHardLimiter, static_cast<std::uint16_t>(hardLimiter));
  c.setByte(200, static_cast<std::uint8_t>(advanceCell));
  SanitizeImage(c);
  return c;
}

TEST(CliFaults, UnitDyingWhileSavingFailsTheProgramAtOnce) {
  ScratchDir dir;
  WriteFile(dir.file("pc.ign"), WriteIgnText(Config(10600, 31)));
  UnitSim sim({"--seed", "21"});
  ASSERT_TRUE(sim.ok());
  ChildProcess cli;
  ASSERT_TRUE(cli.start(kCli, {"program", "--port", sim.path(), dir.file("pc.ign")}));
  bool saving = false;
  const auto until = Clock::now() + std::chrono::seconds(15);
  std::string line;
  while (!saving && Clock::now() < until) {
    if (cli.readLine(line, 200)) saving = line.rfind("Saving:", 0) == 0;
  }
  ASSERT_TRUE(saving) << cli.output();
  sim.kill();
  const auto killedAt = Clock::now();
  const int rc = cli.wait(40000);
  const auto took = Clock::now() - killedAt;
  EXPECT_EQ(rc, 1) << cli.output();
  EXPECT_LT(took, std::chrono::seconds(4)) << "gave up only after the 30 s limit";
  EXPECT_TRUE(Contains(cli.output(), "No Connection")) << cli.output();
  EXPECT_TRUE(Contains(cli.output(), "finished saving")) << cli.output();
  // Success is told only once the save is confirmed.
  EXPECT_FALSE(Contains(cli.output(), "Program device:: OK")) << cli.output();
}

TEST(CliFaults, ComNamesOutsideTheMenuAreRefusedWithoutOpeningAnything) {
  ScratchDir dir;
  for (const char* name : {"COM0", "COM22", "com99", "COM123456789012"}) {
    SCOPED_TRACE(name);
    RunResult r = RunProgram(kCli, {"read", "--port", name, "-o", dir.file("x.ign")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(Contains(r.output, "no such port (COM1 to COM21)")) << r.output;
    EXPECT_FALSE(Contains(r.output, "cannot open")) << r.output;
  }
}

TEST(CliFaults, APortHeldByAnotherProgramIsNamedAsSuch) {
  ScratchDir dir;
  UnitSim sim({"--seed", "22"});
  ASSERT_TRUE(sim.ok());
  TermiosPort window;  // the other program, say the window
  const OpenResult opened = window.open(sim.path());
  ASSERT_TRUE(opened.ok()) << opened.message;
  RunResult r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", dir.file("x.ign")});
  EXPECT_EQ(r.exitCode, 3) << r.output;
  EXPECT_TRUE(Contains(r.output, "Com opening error!\nrq_vtmx4_cli: " + sim.path() +
                                     ": in use by another program\n"))
      << r.output;
  EXPECT_FALSE(Contains(ReadFile(dir.file("x.ign")), "TAVRENIX"));
}

// The reasons are the window's: a device path on its own, a Com name with the path it maps to.
TEST(CliFaults, AMissingDeviceIsNamedAsSuch) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.file("RQ_VTMX4_Kelvora"));
  WriteFile(dir.file("RQ_VTMX4_Kelvora/RQ_VTMX4_Kelvora_v79.ini"),
            "[PORTS]\nCOM3=" + dir.file("no-adapter") + "\n");
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old != nullptr ? old : "";
  setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  const struct {
    const char* port;
    std::string line;
  } cases[] = {
      {"/nonexistent/rq-tty", "/nonexistent/rq-tty: no such device (is the adapter plugged in?)"},
      {"com3",
       "COM3 = " + dir.file("no-adapter") + ": no such device (is the adapter plugged in?)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.port);
    RunResult r = RunProgram(kCli, {"info", "--port", c.port});
    EXPECT_EQ(r.exitCode, 3) << r.output;
    EXPECT_EQ(r.output, "rq_vtmx4_cli: Com opening error!\nrq_vtmx4_cli: " + c.line + "\n");
  }
  if (old != nullptr)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

// Root opens every device, so the refusal is seen by running the tool as the user nobody.
TEST(CliFaults, APortWithoutPermissionSaysWhichGroupToJoin) {
  UnitSim sim({"--seed", "29"});
  ASSERT_TRUE(sim.ok());
  ASSERT_EQ(::chmod(sim.path().c_str(), 0600), 0);
  std::string program = kCli;
  std::vector<std::string> args = {"info", "--port", sim.path()};
  if (::geteuid() == 0) {
    program = "/usr/bin/setpriv";
    const std::vector<std::string> asNobody = {"--reuid=65534", "--regid=65534", "--clear-groups"};
    std::vector<std::string> probe = asNobody;
    probe.insert(probe.end(), {"test", "-x", kCli});
    if (RunProgram(program, probe).exitCode != 0)
      GTEST_SKIP() << "root passes the check, and nobody cannot run the tool here";
    args.insert(args.begin(), kCli);
    args.insert(args.begin(), asNobody.begin(), asNobody.end());
  } else {
    ASSERT_EQ(::chmod(sim.path().c_str(), 0), 0);
  }
  RunResult r = RunProgram(program, args);
  EXPECT_EQ(r.exitCode, 3) << r.output;
  EXPECT_TRUE(Contains(r.output, sim.path() +
                                     ": permission denied: join the dialout group "
                                     "(sudo usermod -aG dialout $USER, then log in again)\n"))
      << r.output;
}

TEST(CliFaults, TimeoutIsCheckedAndTakenByEveryOnlineCommand) {
  ScratchDir dir;
  // 1e10 s cannot be held as a clock time: refused, not taken as "give up at once".
  for (const char* bad : {"-1", "abc", "inf", "", "1e10", "31536001"}) {
    SCOPED_TRACE(bad);
    RunResult r = RunProgram(kCli, {"monitor", "--port", dir.file("noport"), "--timeout", bad});
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_TRUE(Contains(r.output, "--timeout")) << r.output;
  }
  // A unit that answers slowly: the whole read is given up after the time asked for.
  UnitSim slow({"--delay", "150", "--seed", "23"});
  ASSERT_TRUE(slow.ok());
  const auto t0 = Clock::now();
  RunResult r =
      RunProgram(kCli, {"read", "--port", slow.path(), "-o", dir.file("x.ign"), "--timeout", "0.5"});
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_TRUE(Contains(r.output, "gave up after 0.5 s")) << r.output;
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(3));
  EXPECT_TRUE(ReadFile(dir.file("x.ign")).empty());
  // 0 means no limit; the monitor still ends after its count.
  UnitSim sim({"--seed", "24"});
  ASSERT_TRUE(sim.ok());
  r = RunProgram(kCli, {"monitor", "--port", sim.path(), "--count", "2", "--timeout", "0"});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  r = RunProgram(kCli, {"verify", "--port", sim.path(), "--timeout", "20", dir.file("none.ign")});
  EXPECT_EQ(r.exitCode, 1) << r.output;  // the file is missing; the option was taken
}

TEST(CliFaults, ErrorStatusIsFollowedByItsReason) {
  ScratchDir dir;
  const ParameterImage unitCfg = Config(10500, 30), pcCfg = Config(10600, 31);
  WriteFile(dir.file("unit.ign"), WriteIgnText(unitCfg));
  WriteFile(dir.file("pc.ign"), WriteIgnText(pcCfg));
  {
    UnitSim silent({"--silent"});
    ASSERT_TRUE(silent.ok());
    RunResult r = RunProgram(kCli, {"verify", "--port", silent.path(), dir.file("pc.ign")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.output, "Verify error!")) << r.output;
    EXPECT_TRUE(Contains(r.output, "stayed silent")) << r.output;
    r = RunProgram(kCli, {"read", "--port", silent.path(), "-o", dir.file("x.ign")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.output, "Read error!")) << r.output;
    EXPECT_TRUE(Contains(r.output, "stayed silent: no reply to 5 requests for block 0"))
        << r.output;
  }
  UnitSim sim({"--image", dir.file("unit.ign"), "--seed", "25"});
  ASSERT_TRUE(sim.ok());
  RunResult r = RunProgram(kCli, {"verify", "--port", sim.path(), dir.file("pc.ign")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Contains(r.output, "Verify error!")) << r.output;
  EXPECT_TRUE(Contains(r.output, "differs from the file")) << r.output;
  EXPECT_FALSE(Contains(r.output, "stayed silent")) << r.output;
  // The differences follow, file -> unit, in the form diff uses.
  EXPECT_TRUE(Contains(r.output, "Inputs  hard limiter  10600 -> 10500 rpm\n")) << r.output;
  EXPECT_TRUE(Contains(r.output, "Advance 1  advance map 1 cell 2 % / 3500 rpm  31 -> 30 deg\n"))
      << r.output;
}

TEST(CliFaults, InfoShowsTheUnitsIdentification) {
  UnitSim sim({"--name", "ABC", "--unit-version", "7", "--build-date", "2011-05-02 08:15",
               "--description", "Track firmware", "--seed", "26"});
  ASSERT_TRUE(sim.ok());
  RunResult r = RunProgram(kCli, {"info", "--port", sim.path()});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output,
            "unit            Track firmware\n"
            "name            ABC\n"
            "version         7\n"
            "description     Track firmware\n"
            "build date      2011-05-02\n"
            "build time      08:15\n"
            "image version   79\n"
            "programmings    0\n");
  r = RunProgram(kCli, {"info", "--json", "--port", sim.path()});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output,
            "{\"unit\":\"Track firmware\",\"name\":\"ABC\",\"version\":7,\"description\":"
            "\"Track firmware\",\"build_date\":\"2011-05-02\",\"build_time\":\"08:15\","
            "\"image_version\":79,\"program_count\":0}\n");
  // Without a description the window shows name and version.
  UnitSim plain({"--name", "XYZ", "--unit-version", "12", "--image-version", "80", "--seed", "27"});
  ASSERT_TRUE(plain.ok());
  r = RunProgram(kCli, {"info", "--port", plain.path()});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(Contains(r.output, "unit            XYZ12\n")) << r.output;
  EXPECT_TRUE(Contains(r.output, "image version   80\n")) << r.output;
}

// An adapter that holds replies for a latency timer above 1 ms is named, with how to lower
// it: a fake sysfs shows the simulator's terminal as such an adapter.
TEST(CliFaults, InfoNamesALatencyTimerAboveOneMillisecond) {
  UnitSim sim({"--seed", "30"});
  ASSERT_TRUE(sim.ok());
  ScratchDir dir;
  const std::string tty = std::filesystem::canonical(sim.path()).filename().string();
  const std::string timer = dir.file("sys/bus/usb-serial/devices/" + tty + "/latency_timer");
  std::filesystem::create_directories(std::filesystem::path(timer).parent_path());
  setenv("RQ_VTMX4_SYSFS", dir.file("sys").c_str(), 1);
  WriteFile(timer, "16\n");
  RunResult r = RunProgram(kCli, {"info", "--port", sim.path()});
  EXPECT_TRUE(Contains(r.output, "programmings    0\nlatency timer 16 ms: replies come up to 16 "
                                 "ms late; lower it to 1 ms as root: echo 1 > " + timer + "\n"))
      << r.output;
  r = RunProgram(kCli, {"info", "--json", "--port", sim.path()});
  EXPECT_TRUE(Contains(r.output, ",\"latency_timer_ms\":16,\"latency_note\":\"latency timer 16"))
      << r.output;
  WriteFile(timer, "1\n");
  r = RunProgram(kCli, {"info", "--port", sim.path()});
  unsetenv("RQ_VTMX4_SYSFS");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_FALSE(Contains(r.output, "latency")) << r.output;
}

TEST(CliFaults, OnlyRegularFilesOrNewNamesAreWritten) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  UnitSim sim({"--seed", "28"});
  ASSERT_TRUE(sim.ok());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"read", "--port", sim.path(), "-o", dir.file("fifo")},
        std::vector<std::string>{"monitor", "--port", sim.path(), "--count", "1", "-o",
                                 dir.file("fifo")},
        std::vector<std::string>{"new", "-o", dir.file("fifo")},
        std::vector<std::string>{"new", "-o", dir.path()}}) {
    SCOPED_TRACE(args.back());
    RunResult r = RunProgram(kCli, args, 10000);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_TRUE(Contains(r.output, "only a regular file, a new name or -")) << r.output;
  }
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  // "-" is standard output: the configuration as .ign text, the status lines elsewhere.
  RunResult r = RunProgram(kCli, {"read", "--port", sim.path(), "-o", "-"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(Contains(r.output, WriteIgnText(NewConfiguration()))) << r.output;
}

}  // namespace
}  // namespace rq::e2e
