// SPDX-License-Identifier: GPL-3.0-or-later
// The program history folder and its listing by the command-line tool, and the comparison of
// two configurations that the window and `rq_vtmx4_cli diff` share.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/config_file.h"
#include "model/configuration_diff.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/program_history.h"

namespace fs = std::filesystem;

namespace rq {
namespace {

std::string Slurp(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/rq_history_XXXXXX";
    dir_ = mkdtemp(tmpl);
    folder_ = dir_ + "/RQ_VTMX4_Kelvora/history";
  }
  void TearDown() override {
    ::chmod(folder_.c_str(), 0755);  // a test may have closed it
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static std::time_t At(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
  }
  std::string keep(const ParameterImage& image, std::time_t when, int limit = kProgramHistoryLimit) {
    std::string error;
    const std::string path = KeepProgrammedConfiguration(folder_, image, when, error, limit);
    EXPECT_FALSE(path.empty()) << error;
    return path;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const HistoryEntry& e : ListProgramHistory(folder_))
      out.push_back(fs::path(e.path).filename().string());
    return out;
  }

  std::string dir_, folder_;
};

TEST_F(HistoryTest, KeepsTheProgrammedBytesNamedByLocalTimeNewestFirst) {
  ParameterImage a = NewConfiguration();
  ParameterImage b = a;
  b.setByte(200, 40);
  EXPECT_TRUE(ListProgramHistory(folder_).empty());  // no folder yet: empty history
  const std::string first = keep(a, At(2024, 3, 9, 8, 5, 1));
  EXPECT_EQ(first, folder_ + "/2024-03-09_08-05-01.ign");
  EXPECT_EQ(Slurp(first), WriteIgnText(a));
  EXPECT_EQ(Slurp(first).size(), 5980u);
  keep(b, At(2024, 3, 10, 17, 0, 0));
  // Several programmings within one second, up to a two-digit counter.
  for (int i = 0; i < 10; ++i) keep(b, At(2024, 3, 9, 8, 5, 1));
  std::ofstream(folder_ + "/notes.txt") << "mine";
  std::ofstream(folder_ + "/2024-03-09_08-05-01_x.ign") << "not ours";
  const std::vector<std::string> n = names();
  ASSERT_EQ(n.size(), 12u);
  EXPECT_EQ(n[0], "2024-03-10_17-00-00.ign");
  EXPECT_EQ(n[1], "2024-03-09_08-05-01_11.ign");
  EXPECT_EQ(n[2], "2024-03-09_08-05-01_10.ign");
  EXPECT_EQ(n[3], "2024-03-09_08-05-01_9.ign");
  EXPECT_EQ(n[11], "2024-03-09_08-05-01.ign");
  EXPECT_EQ(ListProgramHistory(folder_)[0].when, "2024-03-10 17:00:00");

  // Read back, a history file is the configuration that was programmed.
  ParameterImage back = NewConfiguration();
  ASSERT_TRUE(ReadIgnText(Slurp(folder_ + "/2024-03-10_17-00-00.ign"), back).validKey);
  EXPECT_TRUE(back.sameConfig(b));
}

TEST_F(HistoryTest, DropsTheOldestBeyondTheLimitButNeverOtherFilesOrTheNewOne) {
  const ParameterImage a = NewConfiguration();
  for (int i = 0; i < 6; ++i) keep(a, At(2024, 5, 1, 10, 0, i), 5);
  std::ofstream(folder_ + "/readme.txt") << "kept";
  std::vector<std::string> n = names();
  ASSERT_EQ(n.size(), 5u);
  EXPECT_EQ(n.back(), "2024-05-01_10-00-01.ign");  // 10-00-00 went
  // The clock was set back: the new file is the oldest by name but stays.
  keep(a, At(2023, 1, 1, 0, 0, 0), 5);
  n = names();
  ASSERT_EQ(n.size(), 5u);
  EXPECT_EQ(n.back(), "2023-01-01_00-00-00.ign");
  EXPECT_TRUE(fs::exists(folder_ + "/readme.txt"));

  // 500 is the window's limit: with 500 kept, the next programming drops the oldest.
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  const std::string text = WriteIgnText(a);
  char name[32];
  for (int i = 0; i < 500; ++i) {
    std::snprintf(name, sizeof name, "2025-01-01_00-%02d-%02d.ign", i / 60, i % 60);
    std::ofstream(folder_ + "/" + name) << text;
  }
  keep(a, At(2025, 1, 1, 9, 0, 0));
  n = names();
  EXPECT_EQ(n.size(), 500u);
  EXPECT_EQ(n.front(), "2025-01-01_09-00-00.ign");
  EXPECT_EQ(n.back(), "2025-01-01_00-00-01.ign");
}

TEST_F(HistoryTest, AFolderThatCannotBeMadeIsReported) {
  std::ofstream(dir_ + "/blocked") << "a file where the folder should be";
  std::string error;
  EXPECT_TRUE(KeepProgrammedConfiguration(dir_ + "/blocked/history", NewConfiguration(),
                                          At(2024, 1, 1, 0, 0, 0), error)
                  .empty());
  EXPECT_NE(error.find("blocked"), std::string::npos);
}

// A history that cannot be read is not an empty one: the listing says why.
TEST_F(HistoryTest, AnUnreadableFolderIsAnErrorAndAMissingOneAnEmptyHistory) {
  fs::create_directories(dir_ + "/empty");
  std::ofstream(dir_ + "/file") << "a file where the folder should be";
  const struct {
    std::string folder;
    bool ok;
  } cases[] = {
      {dir_ + "/missing", true},
      {dir_ + "/empty", true},
      {dir_ + "/file", false},
      {dir_ + "/file/history", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const ProgramHistoryListing listing = ReadProgramHistory(c.folder);
    EXPECT_EQ(listing.ok(), c.ok) << listing.error;
    EXPECT_TRUE(listing.entries.empty());
    if (!c.ok) {
      EXPECT_EQ(listing.error, "cannot read " + c.folder + ": Not a directory");
    }
  }
}

TEST_F(HistoryTest, CommandLineSaysWhyTheHistoryCannotBeRead) {
  fs::create_directories(dir_ + "/data");
  std::ofstream(dir_ + "/data/RQ_VTMX4_Kelvora") << "a file where the folder should be";
  const std::string out = dir_ + "/out.txt";
  const std::string cmd = "XDG_DATA_HOME=" + dir_ + "/data " + RQ_CLI + " history >" + out + " 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 1);
  EXPECT_EQ(Slurp(out), "rq_vtmx4_cli: the program history cannot be read: cannot read " + dir_ +
                            "/data/RQ_VTMX4_Kelvora/history: Not a directory\n");

  // A folder closed to the user: root reads it anyway, so the tool runs as nobody then.
  fs::remove(dir_ + "/data/RQ_VTMX4_Kelvora");
  folder_ = dir_ + "/data/RQ_VTMX4_Kelvora/history";
  keep(NewConfiguration(), At(2024, 2, 1, 9, 0, 0));
  ASSERT_EQ(::chmod(folder_.c_str(), 0), 0);
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  std::string asUser;
  if (::geteuid() == 0) {
    asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    if (std::system((asUser + "test -x " + RQ_CLI).c_str()) != 0)
      GTEST_SKIP() << "root reads every folder, and nobody cannot run the tool here";
  }
  const std::string run =
      "XDG_DATA_HOME=" + dir_ + "/data " + asUser + RQ_CLI + " history >" + out + " 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(run.c_str())), 1);
  EXPECT_EQ(Slurp(out), "rq_vtmx4_cli: the program history cannot be read: cannot read " + folder_ +
                            ": Permission denied\n");
}

TEST_F(HistoryTest, CommandLineListsNewestFirstFromTheDataFolder) {
  folder_ = dir_ + "/data/RQ_VTMX4_Kelvora/history";
  keep(NewConfiguration(), At(2024, 2, 1, 9, 0, 0));
  keep(NewConfiguration(), At(2024, 2, 3, 9, 0, 0));
  const std::string out = dir_ + "/out.txt";
  const std::string cmd = "XDG_DATA_HOME=" + dir_ + "/data " + RQ_CLI + " history >" + out;
  const int status = std::system(cmd.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Slurp(out), "2024-02-03 09:00:00  " + folder_ + "/2024-02-03_09-00-00.ign\n" +
                            "2024-02-01 09:00:00  " + folder_ + "/2024-02-01_09-00-00.ign\n");
  EXPECT_EQ(WEXITSTATUS(std::system((std::string(RQ_CLI) + " history extra 2>/dev/null").c_str())),
            2);
}

// Where a programming came from is kept beside its file, listed with it, and goes with it.
TEST_F(HistoryTest, RecordTravelsWithItsFileAndIntoTheListing) {
  ProgramRecord r;
  r.from = kFromCommandLine;
  r.fileName = "/bikes/rsv\nmille.ign";  // a line break cannot split the record
  r.programCount = 41;
  r.unit = "RQ 4.12";
  std::string error;
  const std::string first =
      KeepProgrammedConfiguration(folder_, NewConfiguration(), At(2024, 6, 1, 8, 0, 0), error, 2, r);
  ASSERT_FALSE(first.empty()) << error;
  keep(NewConfiguration(), At(2024, 6, 2, 8, 0, 0), 2);  // kept without a record
  auto list = ListProgramHistory(folder_);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_TRUE(list[0].record.from.empty());
  EXPECT_EQ(list[0].record.programCount, -1);
  EXPECT_EQ(FormatHistoryEntry(list[0]), list[0].when + "  " + list[0].path);
  EXPECT_EQ(list[1].record.from, kFromCommandLine);
  EXPECT_EQ(list[1].record.fileName, "/bikes/rsv mille.ign");
  EXPECT_EQ(list[1].record.programCount, 41);
  EXPECT_EQ(list[1].record.unit, "RQ 4.12");
  EXPECT_EQ(FormatHistoryEntry(list[1]), "2024-06-01 08:00:00  " + first +
                                             "  from command line, file /bikes/rsv mille.ign, programmings 41");
  // The oldest goes with its record; no record is left without its file.
  keep(NewConfiguration(), At(2024, 6, 3, 8, 0, 0), 2);
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(first.substr(0, first.size() - 4) + ".info"));
  // A damaged record leaves the count unknown.
  std::ofstream(first.substr(0, first.size() - 4) + ".info") << "programmings=12x\nfrom=window\n";
  EXPECT_EQ(ReadProgramRecord(first).programCount, -1);
  EXPECT_EQ(ReadProgramRecord(first).from, "window");
}

// The window's difference view and `rq_vtmx4_cli diff` print the same lines.
TEST_F(HistoryTest, ComparisonMatchesTheCommandLineDiff) {
  ParameterImage a = NewConfiguration();
  ParameterImage b = a;
  b.setWord(kStartSoftLimiter, 5000);                                      // a limiter
  b.setByte(181 + 15 * 3 + 4, 30);                         // an advance cell
  b.setWord(8, 2300);                                      // an advance axis point
  b.setByte(485, 101);                                     // a servo cell
  b.setByte(kPowerGrid.at(0, 0), static_cast<std::uint8_t>(b[kPowerGrid.at(0, 0)] ^ 4));  // a power-output grid bit
  b.setByte(kInputFunction[0], 2);                                       // a choice: by item name
  b.setByte(kLearnBand, 55);                                      // tenths of a percent
  SanitizeImage(b);  // the tool loads files through the consistency pass
  std::ofstream(dir_ + "/a.ign", std::ios::binary) << WriteIgnText(a);
  std::ofstream(dir_ + "/b.ign", std::ios::binary) << WriteIgnText(b);
  const std::string out = dir_ + "/diff.txt";
  std::system((std::string(RQ_CLI) + " diff " + dir_ + "/a.ign " + dir_ + "/b.ign >" + out).c_str());
  const std::vector<ConfigDifference> d = CompareConfigurations(a, b);
  EXPECT_GE(d.size(), 5u);
  EXPECT_EQ(FormatConfigDifferences(d), Slurp(out));
  EXPECT_NE(Slurp(out).find("input 1 function  Kill switch (1) -> Blocking (2)"), std::string::npos);
  EXPECT_NE(Slurp(out).find("4.0 -> 5.5 %"), std::string::npos);
  EXPECT_TRUE(CompareConfigurations(a, a).empty());
}

// A partial file is compared by what it gives: the rest is not the file's to differ in.
TEST_F(HistoryTest, APartialFileIsComparedByWhatItGivesAlone) {
  ParameterImage pc = NewConfiguration();
  pc.setWord(kHardLimiter, 10500);
  pc.setByte(kBikeType, 3);
  pc.setByte(kAdvance1Cells.at(2, 3), 30);
  pc.setByte(kRetard, 6);
  SanitizeImage(pc);
  const struct {
    std::string text;
    bool ign;
    std::size_t differences;
  } cases[] = {
      {"TAVRENIX_KEY 79 RETARD 4 1", true, 2},   // retard and clutch count differ from the PC
      {"TAVRENIX_KEY 79 RETARD 6", true, 0},     // the retard the PC has
      {"TAVRENIX_KEY 79 BIKE 3", true, 0},
      {"TAVRENIX_KEY 79 BIKE 4", true, 1},
      {"10 42", false, 1},                       // a state file gives its first bytes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    LoadedConfiguration file;
    std::string error;
    ASSERT_TRUE(LoadConfigurationText(c.text, c.ign, "file", file, error)) << error;
    EXPECT_EQ(CompareConfigurations(pc, file.image, &file.given).size(), c.differences);
    // Opened on top of the PC, as File › Open does: the same differences without a record.
    LoadedConfiguration opened;
    ASSERT_TRUE(LoadConfigurationText(c.text, c.ign, "file", opened, error, &pc)) << error;
    EXPECT_EQ(CompareConfigurations(pc, opened.image).size(), c.differences);
  }
}

}  // namespace
}  // namespace rq
