// SPDX-License-Identifier: GPL-3.0-or-later
// The offline command-line tool and safe file writes, run as a user would run them.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/defaults.h"
#include "model/file_io.h"
#include "model/ign_file.h"
#include "model/state_file.h"

namespace fs = std::filesystem;

namespace rq {
namespace {

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/rq_cli_XXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  // Runs the tool; returns its exit code and captures stdout and stderr.
  int run(const std::string& args) {
    const std::string cmd = std::string(RQ_CLI) + " " + args + " >" + path("out.txt") + " 2>" +
                            path("err.txt");
    const int status = std::system(cmd.c_str());
    out_ = slurp(path("out.txt"));
    err_ = slurp(path("err.txt"));
    return WEXITSTATUS(status);
  }
  static std::string slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  static void spit(const std::string& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
  }

  std::string dir_, out_, err_;
};

TEST_F(CliTest, NewConvertShowDiff) {
  ASSERT_EQ(run("new -o " + path("a.ign")), 0) << err_;
  EXPECT_EQ(slurp(path("a.ign")), WriteIgnText(NewConfiguration()));

  // .ign -> state -> .ign is lossless, and the state file has zero flags.
  ASSERT_EQ(run("convert " + path("a.ign") + " " + path("a.state")), 0) << err_;
  ASSERT_EQ(run("convert " + path("a.state") + " " + path("b.ign")), 0) << err_;
  EXPECT_EQ(slurp(path("a.ign")), slurp(path("b.ign")));
  const std::string state = slurp(path("a.state"));
  std::string zeroFlags;
  for (int i = 0; i < 11; ++i) zeroFlags += "    0 ";
  EXPECT_EQ(state.substr(state.size() - zeroFlags.size()), zeroFlags);

  // Files from other systems may carry the extension in capitals.
  fs::copy_file(path("a.ign"), path("A.IGN"));
  ASSERT_EQ(run("diff " + path("a.ign") + " " + path("A.IGN")), 0) << err_;

  ASSERT_EQ(run("show " + path("a.ign")), 0);
  EXPECT_NE(out_.find("Inputs  hard limiter  11000 rpm\n"), std::string::npos);
  EXPECT_NE(out_.find("advance map 1"), std::string::npos);

  EXPECT_EQ(run("diff " + path("a.ign") + " " + path("b.ign")), 0);
  EXPECT_TRUE(out_.empty());
  spit(path("c.ign"), "TAVRENIX_KEY 79 LIMITER 5800 6000 0 10800 11500 ADVANCE1 9");
  EXPECT_EQ(run("diff " + path("a.ign") + " " + path("c.ign")), 1);
  EXPECT_NE(out_.find("Inputs  hard limiter  11000 -> 11500 rpm\n"), std::string::npos);
  EXPECT_NE(out_.find("advance map 1 cell 0 % / 2000 rpm  8 -> 9 deg"), std::string::npos);
  EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 2);
}

// diff compares what both files give: a partial file never differs in what it leaves out.
TEST_F(CliTest, DiffWithAPartialFileComparesWhatItGives) {
  ParameterImage pc = NewConfiguration();
  pc.setWord(kHardLimiter, 10500);
  pc.setByte(kRetard, 6);
  spit(path("pc.ign"), WriteIgnText(pc));
  const struct {
    std::string partial;
    int exit;
    std::string out;
  } cases[] = {
      {"RETARD 4 0", 1, "Inputs  retard  6 -> 4"},
      {"RETARD 6 0", 0, ""},
      {"BIKE 0", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.partial);
    spit(path("part.ign"), "TAVRENIX_KEY 79 " + c.partial);
    EXPECT_EQ(run("diff " + path("pc.ign") + " " + path("part.ign")), c.exit) << err_;
    EXPECT_EQ(out_.substr(0, c.out.size()), c.out);
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), c.exit);
    // Either way round.
    EXPECT_EQ(run("diff " + path("part.ign") + " " + path("pc.ign")), c.exit) << err_;
  }
}

TEST_F(CliTest, ReadingFromAStateFileKeepsItsFlags) {
  ParameterImage im = NewConfiguration();
  AllFlags flags{1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
  spit(path("s.ini"), WriteStateText(im, flags));
  ASSERT_EQ(run("convert " + path("s.ini") + " " + path("t.ini")), 0) << err_;
  EXPECT_EQ(slurp(path("s.ini")), slurp(path("t.ini")));
}

TEST_F(CliTest, ErrorsAreOneLineAndLeaveNoOutput) {
  EXPECT_NE(run("show " + path("missing.ign")), 0);
  EXPECT_NE(err_.find("missing.ign"), std::string::npos);
  EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 1);

  spit(path("v78.ign"), "\r\nTAVRENIX_KEY      78 \r\nRETARD 1 1");
  EXPECT_NE(run("convert " + path("v78.ign") + " " + path("o.ign")), 0);
  EXPECT_NE(err_.find("Unmatched version of *.ign file!"), std::string::npos);
  EXPECT_FALSE(fs::exists(path("o.ign")));

  spit(path("nokey.ign"), "RETARD 1 1");
  EXPECT_NE(run("convert " + path("nokey.ign") + " " + path("o.ign")), 0);
  EXPECT_EQ(err_.find("Unmatched"), std::string::npos);
  EXPECT_FALSE(fs::exists(path("o.ign")));

  if (geteuid() != 0) {  // root writes anywhere, so a read-only folder proves nothing
    fs::create_directory(path("ro"));
    fs::permissions(path("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_NE(run("new -o " + path("ro/x.ign")), 0);
    EXPECT_FALSE(err_.empty());
  }
  EXPECT_NE(run("new -o " + path("no/such/dir/x.ign")), 0);
  EXPECT_NE(err_.find("cannot write"), std::string::npos);
  // A "state file" without a single number is not taken for a configuration.
  spit(path("empty.ini"), "hello");
  EXPECT_NE(run("convert " + path("empty.ini") + " " + path("o.ign")), 0);
  EXPECT_NE(err_.find("no configuration values"), std::string::npos);
  EXPECT_FALSE(fs::exists(path("o.ign")));
  EXPECT_EQ(run("bogus"), 2);
}

TEST_F(CliTest, AtomicWriteReplacesOrKeepsTheOldFile) {
  std::string error;
  spit(path("f.ign"), "old");
  ASSERT_TRUE(WriteFileAtomic(path("f.ign"), "new content", error)) << error;
  EXPECT_EQ(slurp(path("f.ign")), "new content");

  // A file kept as a symlink stays one; the file it points to gets the new content.
  fs::create_symlink(path("f.ign"), path("link.ign"));
  ASSERT_TRUE(WriteFileAtomic(path("link.ign"), "through the link", error)) << error;
  EXPECT_TRUE(fs::is_symlink(path("link.ign")));
  EXPECT_EQ(slurp(path("f.ign")), "through the link");
  fs::remove(path("link.ign"));
  ASSERT_TRUE(WriteFileAtomic(path("f.ign"), "new content", error)) << error;

  // A full disk, played by a file size limit in a child process: the write fails, says so,
  // and the old file stays whole.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1000, 1000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string e;
    const bool ok = WriteFileAtomic(path("f.ign"), std::string(5980, 'x'), e);
    _exit(!ok && e.find("cannot write") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "full disk taken for success";
  EXPECT_EQ(slurp(path("f.ign")), "new content");

  // A target that cannot be replaced (a folder) is reported too.
  fs::create_directory(path("d.ign"));
  EXPECT_FALSE(WriteFileAtomic(path("d.ign"), "x", error));
  EXPECT_FALSE(error.empty());
  // No temporary files are left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
  // Reading a directory or a missing file reports an error instead of an empty text.
  EXPECT_FALSE(ReadWholeFile(path("d.ign"), error).has_value());
  EXPECT_FALSE(ReadWholeFile(path("none"), error).has_value());
}

// A 100 MB hostile file: read whole, parsed in one pass, nothing outside the image touched.
TEST_F(CliTest, HugeHostileFile) {
  std::string text = "TAVRENIX_KEY 79\n";
  const std::string chunk = "POWER_OUT4 -99999999999999999999 GEAR_CORR_POUT - 7 x ";
  text.reserve(16u << 20);
  while (text.size() < (16u << 20)) text += chunk;
  spit(path("huge.ign"), text);
  text.clear();
  text.shrink_to_fit();
  EXPECT_EQ(run("convert " + path("huge.ign") + " " + path("h.ign")), 0) << err_;
  EXPECT_EQ(fs::file_size(path("h.ign")), 5980u);
}

}  // namespace
}  // namespace rq
