// SPDX-License-Identifier: GPL-3.0-or-later
// The monitor CSV and the recorder: the row format is pinned, a recording reads back row for
// row, a killed recorder leaves every row written, and a failed write stops with the file named.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "logs/log_table.h"
#include "logs/recorder.h"
#include "protocol/channel_table.h"
#include "tests/e2e/child_process.h"

namespace rq::logs {
namespace {

MonitorSnapshot Sample(int k) {
  MonitorSnapshot s;
  s.rpm = static_cast<std::uint16_t>(1000 + k);
  s.throttle = 123;
  s.throttleMv = 1234;
  s.supplyMv = 13800;
  s.potCounts = 1023;
  s.potAdvanceRaw = 995;
  s.potStartLimiterRaw = 10000;
  s.potShiftLightRaw = 10100;
  s.potAccelThresholdRaw = 9990;
  s.speedRatio = 57;
  s.learnedRatio = {110, 80, 0, 0, 0, 0};
  s.programCount = 4;
  s.test[7] = 9;
  s.advance1Raw = 132;
  s.advance2Raw = 95;
  s.pickupSignal = {1, 0};
  s.input = {0, 1, 1};
  s.secondMap = 1;
  s.servoOk = 1;
  s.powerOut = {0, 0, 0, 1};
  s.gear = 3;
  s.version = 79;
  return s;
}

WallClock::time_point LocalTime(int year, int mon, int day, int h, int m, int sec, int ms) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = mon - 1;
  tm.tm_mday = day;
  tm.tm_hour = h;
  tm.tm_min = m;
  tm.tm_sec = sec;
  tm.tm_isdst = -1;
  return WallClock::from_time_t(std::mktime(&tm)) + std::chrono::milliseconds(ms);
}

TEST(MonitorCsv, HeaderAndRowKeepTheirFormat) {
  const std::string header = MonitorCsvHeader();
  EXPECT_EQ(header.substr(0, 60), "time,rpm,max_advance1_deg,max_advance2_deg,throttle_pct,thro");
  EXPECT_EQ(std::count(header.begin(), header.end(), ','), 63);
  EXPECT_EQ(MonitorCsvRow(Sample(0), LocalTime(2026, 5, 4, 17, 3, 21, 7)),
            "2026-05-04T17:03:21.007,1000,0,0,12.3,1.234,13.800,0.000,0.000,5.000,0,-0.5,0,100,"
            "-10,0,0.000,5.7,11.0,8.0,0.0,0.0,0.0,0.0,4,0,0,0,0,0,0,0,0,9,32,-5,0,0,0,0,1,0,0,0,"
            "0,0,0,1,0,0,0,0,0,1,1,0,0,0,0,1,3,0,0,79");
  EXPECT_EQ(RideLogFileName(LocalTime(2026, 5, 4, 7, 3, 1, 999)), "ride_2026-05-04_07-03-01.csv");
}

// A file size limit stands in for a full disk while it lives: a write beyond it fails (with
// SIGXFSZ ignored) instead of ending the program.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &prev_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    sigaction(SIGXFSZ, &prev_, nullptr);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  struct sigaction prev_ {};
};

class RecorderFiles : public ::testing::Test {
 protected:
  e2e::ScratchDir dir_;
};

TEST_F(RecorderFiles, RecordingReadsBackRowForRowAndNeverOverwrites) {
  const std::string folder = dir_.file("data/logs");
  const auto t0 = LocalTime(2026, 5, 4, 17, 3, 21, 0);
  Recorder rec;
  ASSERT_TRUE(rec.start(folder, t0)) << rec.error();
  EXPECT_EQ(rec.path(), folder + "/ride_2026-05-04_17-03-21.csv");
  for (int k = 0; k < 50; ++k)
    ASSERT_TRUE(rec.append(Sample(k), t0 + std::chrono::milliseconds(330 * k)));
  EXPECT_EQ(rec.rows(), 50u);
  EXPECT_NEAR(rec.seconds(t0 + std::chrono::seconds(20)), 20.0, 1e-9);
  rec.stop();
  EXPECT_FALSE(rec.recording());
  EXPECT_FALSE(rec.append(Sample(0), t0));

  const auto r = LoadCsvFile(rec.path());
  ASSERT_TRUE(r.ok()) << r.error.message;
  ASSERT_EQ(r.table->rows(), 50u);
  EXPECT_DOUBLE_EQ(r.table->time(49), 49 * 0.33);
  const int rpm = r.table->find("rpm");
  ASSERT_GE(rpm, 0);
  for (std::size_t i = 0; i < 50; ++i) EXPECT_EQ(r.table->column(rpm).raw(i), 1000 + int(i));
  // Every channel comes back under its key, kept as the unit's word or byte, with its value.
  ASSERT_EQ(r.table->columns().size(), Channels().size());
  for (const Channel& c : Channels()) {
    const int col = r.table->find(c.key);
    ASSERT_GE(col, 0) << c.key;
    EXPECT_TRUE(r.table->column(col).isRaw()) << c.key;
    for (std::size_t i = 0; i < 50; i += 7)
      EXPECT_NEAR(r.table->column(col).value(i), ChannelValue(c, Sample(int(i))), 1e-9) << c.key;
  }

  // A second recording in the same second gets a name of its own.
  Recorder again;
  ASSERT_TRUE(again.start(folder, t0));
  EXPECT_EQ(again.path(), folder + "/ride_2026-05-04_17-03-21_2.csv");
}

// A log without rows is one the viewer refuses: the file comes with the first row, and a
// recording that ends without one leaves nothing behind.
TEST_F(RecorderFiles, ARecordingWithoutRowsLeavesNoFile) {
  const std::string folder = dir_.file("logs");
  auto files = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      names.push_back(e.path().filename().string());
    return names;
  };
  const auto t0 = LocalTime(2026, 5, 4, 17, 3, 21, 0);
  for (int k = 0; k < 200; ++k) {
    Recorder quick;
    ASSERT_TRUE(quick.start(folder, t0)) << quick.error();
    EXPECT_TRUE(quick.recording());
    EXPECT_TRUE(files().empty()) << "a recording killed now would leave a header alone";
    if (k % 2 == 0) quick.stop();  // stopped, or ended with the recorder
  }
  EXPECT_TRUE(files().empty());

  Recorder rec;
  ASSERT_TRUE(rec.start(folder, t0));
  const std::string named = rec.path();
  EXPECT_EQ(named, folder + "/ride_2026-05-04_17-03-21.csv");
  ASSERT_TRUE(rec.append(Sample(0), t0));
  EXPECT_EQ(files(), std::vector<std::string>{"ride_2026-05-04_17-03-21.csv"});
  rec.stop();
  const auto r = LoadCsvFile(named);
  ASSERT_TRUE(r.ok()) << r.error.message;
  EXPECT_EQ(r.table->rows(), 1u);

  // A first row that cannot be written leaves no file either.
  Recorder full;
  bool started = false, appended = false;
  {
    const FileSizeLimit none(0);
    started = full.start(dir_.file("full"), t0);
    appended = full.append(Sample(0), t0);
  }
  EXPECT_TRUE(started) << full.error();
  EXPECT_FALSE(appended);
  EXPECT_FALSE(full.recording());
  EXPECT_EQ(full.error(), "cannot write " + full.path() + ": File too large");
  EXPECT_FALSE(std::filesystem::exists(full.path()));
}

TEST_F(RecorderFiles, KilledRecorderLeavesEveryRowWritten) {
  const std::string folder = dir_.file("logs");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    Recorder rec;
    if (!rec.start(folder)) _exit(1);
    for (int k = 0; k < 200; ++k) rec.append(Sample(k));
    if (write(ready[1], "x", 1) != 1) _exit(1);
    for (int k = 200;; ++k) {  // keeps recording until killed
      rec.append(Sample(k % 1000));
      usleep(1000);
    }
  }
  close(ready[1]);
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  usleep(20000);
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  close(ready[0]);
  ASSERT_TRUE(WIFSIGNALED(status));
  const auto files = std::vector<std::filesystem::path>(std::filesystem::directory_iterator(folder), {});
  ASSERT_EQ(files.size(), 1u);
  const auto r = LoadCsvFile(files[0].string());
  ASSERT_TRUE(r.ok()) << r.error.message;  // no row cut short
  EXPECT_GE(r.table->rows(), 200u);
  const int rpm = r.table->find("rpm");
  for (std::size_t i = 0; i < r.table->rows(); ++i)
    ASSERT_EQ(r.table->column(rpm).raw(i), 1000 + int(i % 1000));
}

TEST_F(RecorderFiles, UnwritableFolderAndFullDiskStopWithTheFileNamed) {
  Recorder rec;
  if (geteuid() != 0) {  // root writes anywhere
    const std::string locked = dir_.file("locked");
    ASSERT_EQ(mkdir(locked.c_str(), 0500), 0);
    EXPECT_FALSE(rec.start(locked));
    EXPECT_EQ(rec.error().rfind("cannot create " + locked + "/ride_", 0), 0u) << rec.error();
    EXPECT_NE(rec.error().find("Permission denied"), std::string::npos);
  }
  EXPECT_FALSE(rec.start(""));
  EXPECT_FALSE(rec.start("/dev/null/logs"));
  EXPECT_EQ(rec.error().rfind("cannot create /dev/null/logs", 0), 0u) << rec.error();

  // A file size limit stands in for a full disk: the write fails, the row is not half there.
  ASSERT_TRUE(rec.start(dir_.file("full")));
  bool failed = false;
  {
    const FileSizeLimit small(4096);
    for (int k = 0; k < 100 && !failed; ++k) failed = !rec.append(Sample(k));
  }
  EXPECT_TRUE(failed);
  EXPECT_FALSE(rec.recording());
  // The window's message says that the recording stopped; the reason does not repeat it.
  EXPECT_EQ(rec.error(), "cannot write " + rec.path() + ": File too large");
  const auto r = LoadCsvFile(rec.path());
  ASSERT_TRUE(r.ok()) << r.error.message;
  EXPECT_EQ(r.table->rows(), rec.rows());
}

}  // namespace
}  // namespace rq::logs
