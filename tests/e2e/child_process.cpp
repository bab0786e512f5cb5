// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/e2e/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace rq::e2e {

namespace {
using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
}  // namespace

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) close(out_);
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 2);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return false;
  }
  pid_ = pid;
  out_ = fds[0];
  return true;
}

bool ChildProcess::drain(int timeoutMs) {
  if (out_ < 0) return false;
  pollfd p{out_, POLLIN, 0};
  int r = poll(&p, 1, timeoutMs);
  if (r <= 0) return true;
  char buf[4096];
  ssize_t n = read(out_, buf, sizeof buf);
  if (n > 0) {
    output_.append(buf, static_cast<std::size_t>(n));
    pending_.append(buf, static_cast<std::size_t>(n));
    return true;
  }
  if (n < 0 && errno == EINTR) return true;
  close(out_);
  out_ = -1;
  return false;
}

bool ChildProcess::readLine(std::string& line, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto nl = pending_.find('\n');
    if (nl != std::string::npos) {
      line = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      return true;
    }
    int left = MsLeft(deadline);
    if (left == 0 || !drain(left)) return false;
  }
}

int ChildProcess::wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (out_ >= 0 && MsLeft(deadline) > 0) drain(MsLeft(deadline));
  int status = 0;
  for (;;) {
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) break;
    if (MsLeft(deadline) == 0) {
      ::kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      return -1;
    }
    usleep(2000);
  }
  pid_ = -1;
  while (out_ >= 0 && drain(50)) {
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

void ChildProcess::signal(int sig) {
  if (pid_ > 0) ::kill(pid_, sig);
}

UnitSim::UnitSim(const std::vector<std::string>& args) {
  if (!proc_.start(RQ_SIM_PROGRAM, args)) return;
  std::string line;
  if (proc_.readLine(line, 5000) && line.rfind("/dev/", 0) == 0) path_ = line;
}

void UnitSim::kill() {
  proc_.signal(SIGKILL);
  proc_.wait(5000);
}

int UnitSim::stop() {
  proc_.signal(SIGTERM);
  return proc_.wait(5000);
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutMs) {
  ChildProcess p;
  RunResult r;
  if (!p.start(program, args)) return r;
  r.exitCode = p.wait(timeoutMs);
  r.output = p.output();
  return r;
}

ScratchDir::ScratchDir() {
  std::string tmpl = "/tmp/rq_e2e_XXXXXX";
  if (const char* t = std::getenv("TMPDIR"); t != nullptr && *t != '\0')
    tmpl = std::string(t) + "/rq_e2e_XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) != nullptr) path_ = buf.data();
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

int SweepCount(const char* variable, int usual) {
  const char* value = std::getenv(variable);
  const int n = value != nullptr ? std::atoi(value) : 0;
  return n > 0 ? n : usual;
}

}  // namespace rq::e2e
