// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV reader: separators, time columns, raw storage of channel columns, and a clear
// message naming line and column for every kind of bad input.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "logs/log_summary.h"
#include "logs/log_table.h"
#include "tests/e2e/child_process.h"

namespace rq::logs {
namespace {

// A few channel-like codecs, so that the tests do not depend on the channel table's contents.
std::optional<ColumnCodec> TestCodecs(std::string_view h) {
  if (h == "rpm") return ColumnCodec{Storage::Word, 1.0, 0.0};
  if (h == "throttle_pct") return ColumnCodec{Storage::Word, 0.1, 0.0};
  if (h == "advance1_deg") return ColumnCodec{Storage::Byte, 1.0, -100.0};
  if (h == "supply_v") return ColumnCodec{Storage::Word, 0.001, 0.0};
  return std::nullopt;
}

LoadResult Parse(std::string_view text) {
  LoadOptions o;
  o.codecFor = TestCodecs;
  return ParseCsvText(text, o);
}

TEST(LogTable, OurOwnLogKeepsChannelsRawAndTimesFromTheStamps) {
  const auto r = Parse(
      "time,rpm,throttle_pct,advance1_deg,supply_v,extra\n"
      "2026-05-04T23:59:59.750,1200,12.3,-4,13.812,0.5\n"
      "2026-05-05T00:00:00.083,1250,100.0,38,0.000,-1e3\n");
  ASSERT_TRUE(r.ok()) << r.error.message;
  const LogTable& t = *r.table;
  ASSERT_EQ(t.rows(), 2u);
  EXPECT_EQ(t.timeColumn(), "time");
  EXPECT_DOUBLE_EQ(t.time(1), 0.333);  // across midnight and the date
  ASSERT_EQ(t.columns().size(), 5u);
  const LogColumn& thr = t.column(static_cast<std::size_t>(t.find("throttle_pct")));
  EXPECT_TRUE(thr.isRaw());
  EXPECT_EQ(thr.words(), (std::vector<std::uint16_t>{123, 1000}));
  EXPECT_NEAR(thr.value(0), 12.3, 1e-9);
  const LogColumn& adv = t.column(static_cast<std::size_t>(t.find("advance1_deg")));
  EXPECT_EQ(adv.bytes(), (std::vector<std::uint8_t>{96, 138}));
  EXPECT_EQ(adv.value(0), -4.0);
  EXPECT_EQ(t.column(static_cast<std::size_t>(t.find("supply_v"))).raw(0), 13812);
  const LogColumn& extra = t.column(static_cast<std::size_t>(t.find("extra")));
  EXPECT_FALSE(extra.isRaw());
  EXPECT_EQ(extra.value(1), -1000.0);
}

TEST(LogTable, ChannelValueItsWordsCannotHoldTurnsTheColumnToFloatsLosingNothing) {
  const auto r = Parse("time,rpm,throttle_pct\n0,100,1.5\n1,70000,1.25\n2,-3,2\n");
  ASSERT_TRUE(r.ok()) << r.error.message;
  const LogColumn& rpm = r.table->column(0);
  EXPECT_FALSE(rpm.isRaw());
  EXPECT_EQ(rpm.value(0), 100.0);
  EXPECT_EQ(rpm.value(1), 70000.0);
  EXPECT_EQ(rpm.value(2), -3.0);
  EXPECT_FALSE(r.table->column(1).isRaw());  // 1.25 is finer than tenths
  EXPECT_FLOAT_EQ(static_cast<float>(r.table->column(1).value(1)), 1.25f);
}

TEST(LogTable, OtherToolsLogs) {
  // Semicolons with decimal commas, quoted headers, CR LF, a byte order mark, no last line end.
  auto r = Parse("\xEF\xBB\xBF\"Time (s)\";\"Engine speed\";\"AFR\"\r\n0,0;1000;14,7\r\n0,5;1100;14,1");
  ASSERT_TRUE(r.ok()) << r.error.message;
  EXPECT_EQ(r.table->timeColumn(), "Time (s)");
  EXPECT_DOUBLE_EQ(r.table->time(1), 0.5);
  EXPECT_NEAR(r.table->column(1).value(1), 14.1, 1e-6);
  // Tabs, milliseconds, a time column not in front, times not starting at 0.
  r = Parse("rpm\tTime_ms\n900\t5000\n950\t5250\n\n");
  ASSERT_TRUE(r.ok()) << r.error.message;
  EXPECT_DOUBLE_EQ(r.table->time(1), 0.25);
  EXPECT_EQ(r.table->column(0).raw(1), 950);
  // No time column: the row number stands for the time.
  r = Parse("a,b\n1,2\n3,4\n5,6\n");
  ASSERT_TRUE(r.ok()) << r.error.message;
  EXPECT_TRUE(r.table->timeColumn().empty());
  EXPECT_EQ(r.table->time(2), 2.0);
  EXPECT_EQ(r.table->rowAtOrBefore(1.5), 1u);
  EXPECT_EQ(r.table->rowAtOrBefore(-1), 0u);
  EXPECT_EQ(r.table->rowAtOrBefore(9), 2u);
  // Time of day only, running over midnight.
  r = Parse("timestamp,x\n23:59:59.5,1\n00:00:00.25,2\n");
  ASSERT_TRUE(r.ok()) << r.error.message;
  EXPECT_DOUBLE_EQ(r.table->time(1), 0.75);
}

struct BadCase {
  const char* text;
  const char* message;
  std::size_t length;  // the text holds NUL bytes

  template <std::size_t N>
  BadCase(const char (&t)[N], const char* m) : text(t), message(m), length(N - 1) {}
};

TEST(LogTable, BadInputNamesLineAndColumnAndLoadsNothing) {
  const BadCase cases[] = {
      {"", "the file is empty"},
      {"\n\r\n  \n", "the file is empty"},
      {"time,rpm\n", "the file has a header row but no data rows"},
      {"time,rpm\n0,1\n1,2,3\n", "line 3: the row has 3 fields, the header row 2"},
      {"time,rpm\n0,1\n1\n", "line 3: the row has 1 fields, the header row 2"},
      {"time,rpm\n0,1\n1,fast\n", "line 3, column 2 (rpm): \"fast\" is not a number"},
      {"time,rpm\n0,1\n1,\n", "line 3, column 2 (rpm): the field is empty"},
      {"time,rpm\n0,1\n1,1e999\n", "line 3, column 2 (rpm): \"1e999\" is not a number"},
      {"time,rpm\n0,1\n2,1\n1.5,1\n", "line 4, column 1 (time): the time goes backwards (1.500 s after 2.000 s from the first row)"},
      {"rpm,time\n1,2026-05-04T10:00:01.000\n1,2026-05-04T10:00:00.999\n",
       "line 3, column 2 (time): the time goes backwards (-0.001 s after 0.000 s from the first row)"},
      {"rpm,time\n1,2026-05-04T10:00:01.000\n1,12.5\n",
       "line 3, column 2 (time): \"12.5\" is not a date and time like the rows before"},
      {"time,rpm\nnoon,1\n", "line 2, column 1 (time): \"noon\" is not a time"},
      {"time,\"rpm\n0,1\n", "line 1: a quote in the header row is not closed"},
      {"time,rpm\n0,\"1\n", "line 2: a quote is not closed"},
      // Values beyond what a column can hold, and times beyond a sane bound.
      {"time,rpm\n0,1\n1,1e308\n", "line 3, column 2 (rpm): \"1e308\" does not fit the column (beyond ±3.4e38)"},
      {"time,x\n0,-4e38\n", "line 2, column 2 (x): \"-4e38\" does not fit the column (beyond ±3.4e38)"},
      {"time,rpm\n1e308,1\n", "line 2, column 1 (time): \"1e308\" is beyond ±1e12 s"},
      {"time,rpm\n0,1\n-2e12,1\n", "line 3, column 1 (time): \"-2e12\" is beyond ±1e12 s"},
      {"time_ms,rpm\n0,1\n2e15,1\n", "line 3, column 1 (time_ms): \"2e15\" is beyond ±1e12 s"},
      // UTF-16, with a byte order mark or without one, either byte order.
      {"\xFF\xFEt\0i\0m\0e\0,\0x\0\n\0", "the file is UTF-16 text (little-endian); only UTF-8 is read: save it as UTF-8"},
      {"\xFE\xFF\0t\0i\0m\0e\0\n", "the file is UTF-16 text (big-endian); only UTF-8 is read: save it as UTF-8"},
      {"t\0i\0m\0e\0,\0x\0\r\0\n\0", "the file is UTF-16 text (little-endian); only UTF-8 is read: save it as UTF-8"},
      {"\0t\0i\0m\0e\0,\0x\0\r\0\n", "the file is UTF-16 text (big-endian); only UTF-8 is read: save it as UTF-8"},
  };
  for (const BadCase& c : cases) {
    const auto r = Parse(std::string_view(c.text, c.length));
    EXPECT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.error.message, c.message) << c.text;
  }
  const auto r = Parse("time,rpm\n0,1\n1,x\n");
  EXPECT_EQ(r.error.line, 3u);
  EXPECT_EQ(r.error.column, 2u);
}

class LogFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/rq_logs_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string dir_;
};

TEST_F(LogFiles, FileReadInPiecesEqualsTextAndOversizeOrMissingFilesAreRefused) {
  // More than one read buffer, with a line crossing each boundary.
  std::string text = "time,rpm,throttle_pct,note\n";
  for (int i = 0; i < 60000; ++i)
    text += std::to_string(i) + ".25," + std::to_string(i % 9000) + "," +
            std::to_string(i % 1000 / 10) + "." + std::to_string(i % 10) + ",0.125\n";
  const std::string path = dir_ + "/big.csv";
  std::ofstream(path, std::ios::binary) << text;
  LoadOptions o;
  o.codecFor = TestCodecs;
  const auto fromFile = LoadCsvFile(path, o);
  const auto fromText = ParseCsvText(text, o);
  ASSERT_TRUE(fromFile.ok()) << fromFile.error.message;
  ASSERT_EQ(fromFile.table->rows(), 60000u);
  EXPECT_EQ(fromFile.table->time(), fromText.table->time());
  EXPECT_EQ(fromFile.table->column(0).words(), fromText.table->column(0).words());
  EXPECT_EQ(fromFile.table->column(1).words(), fromText.table->column(1).words());
  EXPECT_EQ(fromFile.table->column(1).raw(59999), 999);

  // A 2 GB file (sparse, so the test writes nothing) is refused before any reading.
  const std::string huge = dir_ + "/huge.csv";
  const int fd = ::open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);
  ::close(fd);
  const auto refused = LoadCsvFile(huge);
  EXPECT_FALSE(refused.ok());
  EXPECT_EQ(refused.error.message, "the log is 2.0 GB; logs above 1.0 GB are not read");

  EXPECT_EQ(LoadCsvFile(dir_ + "/none.csv").error.message, "cannot open the file: No such file or directory");
  EXPECT_EQ(LoadCsvFile(dir_).error.message,
            "cannot read the file: it is a folder; only a regular file can be read");
}

// A FIFO would block the open and the read, a device never end: anything but a regular file is
// refused before it is opened, by the reader and so by `rq_vtmx4_cli cells`.
TEST_F(LogFiles, OnlyARegularFileIsOpened) {
  const std::string fifo = dir_ + "/f.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    const char* kind;
  } cases[] = {{fifo, "a FIFO"}, {dir_, "a folder"}, {"/dev/zero", "a device"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto r = e2e::RunProgram(RQ_CLI, {"cells", c.path, "--map", "advance1"}, 5000);
    EXPECT_EQ(r.exitCode, 1) << "-1: it hung";
    EXPECT_EQ(r.output, "rq_vtmx4_cli: " + c.path + ": cannot read the file: it is " + c.kind +
                            "; only a regular file can be read\n");
  }
}

// A line has at most 1 MB: a file without line breaks is refused after its first megabyte,
// not read whole.
TEST_F(LogFiles, ALineLongerThanAMegabyteIsRefusedByItsNumber) {
  const std::string longLine(kMaxLineBytes + 1, '7');
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {longLine, "line 1: the line is longer than 1 MB; lines that long are not read"},
      {"time,rpm\n0,1\n" + longLine + "\n1,2\n", "line 3: the line is longer than 1 MB; lines that long are not read"},
      // Exactly 1 MB (the value padded with blanks), at the end of the file.
      {"time,rpm\n0,1\n1,2" + std::string(kMaxLineBytes - 3, ' '), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string path = dir_ + "/long.csv";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    const auto fromFile = LoadCsvFile(path);
    const auto fromText = ParseCsvText(c.text);
    if (*c.message == '\0') {
      EXPECT_TRUE(fromFile.ok()) << fromFile.error.message;
      EXPECT_TRUE(fromText.ok()) << fromText.error.message;
    } else {
      EXPECT_EQ(fromFile.error.message, c.message);
      EXPECT_EQ(fromText.error.message, c.message);
    }
  }
}

// The window loads on a worker thread: the reader reports its progress between pieces and
// stops when told to.
TEST_F(LogFiles, ProgressIsReportedAndTheLoadCanBeCancelled) {
  std::string text = "time,rpm\n";
  for (int i = 0; i < 400000; ++i) text += std::to_string(i) + "," + std::to_string(i % 9000) + "\n";
  const std::string path = dir_ + "/ride.csv";
  std::ofstream(path, std::ios::binary) << text;
  std::vector<std::uint64_t> done;
  LoadOptions o;
  o.progress = [&](std::uint64_t bytes, std::uint64_t total) {
    EXPECT_EQ(total, text.size());
    done.push_back(bytes);
    return true;
  };
  const auto whole = LoadCsvFile(path, o);
  ASSERT_TRUE(whole.ok()) << whole.error.message;
  EXPECT_EQ(whole.table->rows(), 400000u);
  ASSERT_GE(done.size(), 3u);  // several pieces
  EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
  EXPECT_EQ(done.back(), text.size());

  int calls = 0;
  o.progress = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
  const auto stopped = LoadCsvFile(path, o);
  EXPECT_FALSE(stopped.ok());
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(stopped.error.message, "the load was cancelled");
}

TEST(LogSummary, RangeMinMaxEqualsAPlainScanForAnyRange) {
  std::string text = "v,time\n";
  std::mt19937 rng(7);
  for (int i = 0; i < 1000; ++i) text += std::to_string(int(rng() % 2001) - 1000) + "," + std::to_string(i) + "\n";
  const auto r = Parse(text);
  ASSERT_TRUE(r.ok());
  const LogColumn& c = r.table->column(0);
  const MinMaxSummary s = BuildMinMaxSummary(c);
  EXPECT_EQ(s.bins.size(), 16u);  // 15 whole bins of 64 and one of 40
  for (int k = 0; k < 300; ++k) {
    std::size_t a = rng() % 1001, b = rng() % 1001;
    if (a > b) std::swap(a, b);
    if (a == b) continue;
    double lo = c.value(a), hi = lo;
    for (std::size_t i = a; i < b; ++i) {
      lo = std::min(lo, c.value(i));
      hi = std::max(hi, c.value(i));
    }
    const MinMaxBin m = RangeMinMax(c, s, a, b);
    ASSERT_EQ(m.min, lo) << a << ".." << b;
    ASSERT_EQ(m.max, hi) << a << ".." << b;
  }
}

}  // namespace
}  // namespace rq::logs
