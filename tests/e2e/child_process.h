// SPDX-License-Identifier: GPL-3.0-or-later
// Child processes for the end-to-end tests: the unit simulator on its pseudo-terminal and
// the command-line tool, each started from its built program.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace rq::e2e {

#ifdef RQ_CLI_PROGRAM
// The command-line tool of this build.
inline const std::string kCli = RQ_CLI_PROGRAM;
#endif

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program with args; its stdout and stderr go into one pipe read by wait().
  bool start(const std::string& program, const std::vector<std::string>& args);
  // Reads one line of output (without the line end) within timeoutMs.
  bool readLine(std::string& line, int timeoutMs);
  // Collects the output until the program ends; kills it after timeoutMs. Returns the exit
  // code, 128 + signal when it was killed by a signal, -1 on a time-out.
  int wait(int timeoutMs);
  void signal(int sig);
  bool running() const { return pid_ > 0; }
  const std::string& output() const { return output_; }

 private:
  bool drain(int timeoutMs);  // reads what is there; false at end of output
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
  std::string pending_;  // read but not yet returned by readLine
};

// The simulator with its terminal path, ended with SIGTERM when it goes out of scope.
class UnitSim {
 public:
  explicit UnitSim(const std::vector<std::string>& args = {});
  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  ChildProcess& process() { return proc_; }
  void kill();
  // Ends it with SIGTERM; returns the exit code.
  int stop();

 private:
  ChildProcess proc_;
  std::string path_;
};

// Runs a program to its end (at most timeoutMs) and returns the exit code with its output.
struct RunResult {
  int exitCode = -1;
  std::string output;
};
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
              int timeoutMs = 30000);

// A fresh folder for one test, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
std::string ReadFile(const std::string& path);

// How many rounds a long test runs: `usual` in the test suite, or the number in the
// environment variable `variable` for a long run (bench/long_sweeps.sh).
int SweepCount(const char* variable, int usual);
void WriteFile(const std::string& path, const std::string& text);

}  // namespace rq::e2e
