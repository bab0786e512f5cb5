// SPDX-License-Identifier: GPL-3.0-or-later
// The window program itself: its --help, and close signals that arrive while start-up still
// shows its message boxes.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include "tests/e2e/child_process.h"

namespace rq::e2e {
namespace {

const std::string kWindow = RQ_WINDOW_PROGRAM;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

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

}  // namespace
}  // namespace rq::e2e
