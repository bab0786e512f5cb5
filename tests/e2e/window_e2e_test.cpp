// SPDX-License-Identifier: GPL-3.0-or-later
// The window program itself: its --help, and close signals that arrive while start-up still
// shows its message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "logs/log_table.h"
#include "tests/e2e/child_process.h"

namespace rq::e2e {
namespace {

const std::string kWindow = RQ_WINDOW_PROGRAM;


// The window runs offscreen with its own settings folder.
class WindowProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
    folder_ = dir_.file("RQ_VTMX4_Kelvora");
  }
  ScratchDir dir_;
  std::string folder_;
};

TEST_F(WindowProgram, HelpPrintsTheOptionsWithoutOpeningTheWindow) {
  const RunResult r = RunProgram(kWindow, {"--help"}, 10000);
  EXPECT_EQ(r.exitCode, 0) << r.output;
  for (const char* part : {"usage: rq_vtmx4", "--demo", "--screenshot", "ENGLISH", "CESKY"})
    EXPECT_TRUE(Contains(r.output, part)) << part << "\n" << r.output;
  EXPECT_TRUE(ReadFile(folder_ + "/RQ_VTMX4_Kelvora_v79.ini").empty());  // no window, no files
}

// With no adapter plugged in, start-up shows "Com opening error!" and waits for the user. A
// close signal then must end the program as File > Exit does: both files written, status 0.
TEST_F(WindowProgram, CloseSignalWhileTheStartUpBoxIsOpenClosesLikeExit) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(sig);
    ASSERT_EQ(std::system(("mkdir -p " + folder_).c_str()), 0);
    WriteFile(folder_ + "/RQ_VTMX4_Kelvora_v79.ini",
              "[BASIC]\nComPort=1\n[PORTS]\nCOM1=/nonexistent/rq-tty\n");
    std::remove((folder_ + "/_RQ_VTMX4_Kelvora_v79.ini").c_str());
    ChildProcess window;
    ASSERT_TRUE(window.start(kWindow, {}));
    std::this_thread::sleep_for(std::chrono::seconds(2));  // the box is open by now
    window.signal(sig);
    EXPECT_EQ(window.wait(20000), 0) << window.output();
    EXPECT_FALSE(ReadFile(folder_ + "/_RQ_VTMX4_Kelvora_v79.ini").empty()) << "nothing saved";
    const std::string settings = ReadFile(folder_ + "/RQ_VTMX4_Kelvora_v79.ini");
    EXPECT_TRUE(Contains(settings, "COM1=/nonexistent/rq-tty")) << settings;
    EXPECT_TRUE(Contains(settings, "Width=")) << settings;
  }
}

// Starts the window on a port that opens (the simulator's), so that start-up itself shows no
// box, with `args`; waits until the window has been painted.
class WindowWithUnit : public WindowProgram {
 protected:
  void start(const std::vector<std::string>& args) {
    ASSERT_TRUE(sim_.ok());
    ASSERT_EQ(std::system(("mkdir -p " + folder_).c_str()), 0);
    WriteFile(folder_ + "/RQ_VTMX4_Kelvora_v79.ini",
              "[BASIC]\nComPort=1\nLanguage=0\n[PORTS]\nCOM1=" + sim_.path() + "\n");
    setenv("RQ_VTMX4_ANNOUNCE_SHOWN", "1", 1);
    ASSERT_TRUE(window_.start(kWindow, args));
    unsetenv("RQ_VTMX4_ANNOUNCE_SHOWN");
    std::string line;
    bool shown = false;
    while (!shown && window_.readLine(line, 20000)) shown = Contains(line, "window-shown");
    ASSERT_TRUE(shown) << window_.output();
  }
  std::string settings() const { return ReadFile(folder_ + "/RQ_VTMX4_Kelvora_v79.ini"); }
  std::string state() const { return ReadFile(folder_ + "/_RQ_VTMX4_Kelvora_v79.ini"); }

  UnitSim sim_{{"--engine", "off"}};
  ChildProcess window_;
};

// A file named on the command line that exists but does not load keeps its box; a close
// signal while the box is open ends the program like File > Exit.
TEST_F(WindowWithUnit, CloseSignalWhileTheBoxOfACommandLineFileIsOpenEndsTheProgram) {
  const std::string file = dir_.file("old.ign");
  WriteFile(file, "TAVRENIX_KEY 78\r\nRETARD 10 2\r\n");
  start({file});
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the box is open by now
  window_.signal(SIGTERM);
  EXPECT_EQ(window_.wait(20000), 0) << window_.output();
  EXPECT_TRUE(Contains(window_.output(), "old.ign not loaded")) << window_.output();
  EXPECT_FALSE(state().empty()) << "no state file";
  EXPECT_TRUE(Contains(settings(), "Width=")) << settings();
  EXPECT_FALSE(Contains(settings(), "old.ign")) << settings();
}

// An argument that is neither a language word nor an existing file changes nothing and opens
// no box: a line on stderr says so.
TEST_F(WindowWithUnit, AnArgumentThatIsNoLanguageAndNoFileChangesNothing) {
  start({"deutsch"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  window_.signal(SIGTERM);
  EXPECT_EQ(window_.wait(20000), 0) << window_.output();
  EXPECT_TRUE(Contains(window_.output(), "deutsch: neither a language nor an existing file"))
      << window_.output();
  EXPECT_TRUE(Contains(settings(), "Language=0")) << settings();
  EXPECT_FALSE(Contains(settings(), "deutsch")) << settings();
}

// Wall-clock time as the log writes it (local time), in milliseconds, read as if it were UTC:
// the way the log reader turns a written stamp into a number.
std::int64_t LocalMsNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return static_cast<std::int64_t>(timegm(&tm)) * 1000 + ms;
}

// The recording's file in the logs folder, once it holds at least `lines` lines.
std::string WaitForLog(const std::string& folder, int lines, int timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < until) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
      const std::string text = ReadFile(entry.path().string());
      if (std::count(text.begin(), text.end(), '\n') >= lines) return entry.path().string();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return {};
}

// A recording started with the window and ended by SIGKILL: the file loads whole, and its
// last row is less than a second older than the kill. Nothing is held back in a buffer.
TEST_F(WindowWithUnit, ARecordingKilledWithSigkillReadsBackUpToTheLastSecond) {
  setenv("XDG_DATA_HOME", dir_.path().c_str(), 1);
  start({"--record"});
  unsetenv("XDG_DATA_HOME");
  const std::string log = WaitForLog(dir_.file("RQ_VTMX4_Kelvora/logs"), 6, 20000);
  ASSERT_FALSE(log.empty()) << window_.output();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const std::int64_t killedMs = LocalMsNow();
  window_.signal(SIGKILL);
  EXPECT_EQ(window_.wait(20000), 128 + SIGKILL);

  const std::string text = ReadFile(log);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n') << "a half row at the end";
  const logs::LoadResult loaded = logs::LoadCsvFile(log);
  ASSERT_TRUE(loaded.ok()) << loaded.error.message;
  const logs::LogTable& table = *loaded.table;
  ASSERT_GE(table.rows(), 8u);
  ASSERT_TRUE(table.startMs().has_value());
  const auto lastMs = *table.startMs() + static_cast<std::int64_t>(table.time().back() * 1000);
  EXPECT_GT(lastMs, killedMs - 1000) << "the last row is older than a second";
  EXPECT_LE(lastMs, killedMs + 50);
  EXPECT_GE(table.find("rpm"), 0);
}

}  // namespace
}  // namespace rq::e2e
