// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/recorder.h"
#include "model/settings_location.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace rq::logs {

namespace fs = std::filesystem;

std::string RideLogFolder() {
  const std::string data = DataFolderPath();
  return data.empty() ? data : data + "/logs";
}

std::string RideLogFileName(WallClock::time_point start) {
  const std::time_t t = WallClock::to_time_t(start);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[48];
  std::strftime(buf, sizeof buf, "ride_%Y-%m-%d_%H-%M-%S.csv", &tm);
  return buf;
}

Recorder::~Recorder() { stop(); }

namespace {

// The name for a recording started at `start`: numbered when another recording of the same
// second has it; "" when even the 999th is taken.
std::string FreeName(const std::string& folder, WallClock::time_point start, int from = 1) {
  const std::string name = RideLogFileName(start);
  for (int n = from; n <= 999; ++n) {
    const std::string path =
        folder + "/" +
        (n == 1 ? name : name.substr(0, name.size() - 4) + "_" + std::to_string(n) + ".csv");
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) return path;
  }
  return {};
}

}  // namespace

bool Recorder::start(const std::string& folder, WallClock::time_point now) {
  stop();
  error_.clear();
  path_.clear();
  rows_ = 0;
  if (folder.empty()) {
    error_ = "no folder for ride logs (neither XDG_DATA_HOME nor HOME is set)";
    return false;
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    error_ = "cannot create " + folder + ": " + ec.message();
    return false;
  }
  // Two recordings started within one second get numbered names; nothing is overwritten.
  path_ = FreeName(folder, now);
  if (path_.empty()) {
    error_ = "cannot create " + folder + "/" + RideLogFileName(now) + ": " + std::strerror(EEXIST);
    return false;
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    error_ = "cannot create " + path_ + ": " + std::strerror(errno);
    return false;
  }
  folder_ = folder;
  started_ = now;
  recording_ = true;
  return true;
}

// The file, at the first row: named as start() said, or numbered on when that was taken since.
bool Recorder::create() {
  for (int n = 2;; ++n) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ >= 0 || errno != EEXIST || n > 999) break;
    const std::string next = FreeName(folder_, started_, n);
    if (next.empty()) break;
    path_ = next;
  }
  if (fd_ >= 0) return true;
  error_ = "cannot create " + path_ + ": " + std::strerror(errno);
  markStopped();
  return false;
}

bool Recorder::append(const MonitorSnapshot& s, WallClock::time_point now) {
  if (!recording_) return false;
  std::string text = MonitorCsvRow(s, now) + '\n';
  if (fd_ < 0) {
    if (!create()) return false;
    text = MonitorCsvHeader() + '\n' + text;
  }
  if (!writeAll(text)) return false;
  ++rows_;
  return true;
}

void Recorder::stop() {
  if (!recording_) return;
  if (fd_ >= 0 && ::close(fd_) != 0 && error_.empty())
    error_ = "cannot write " + path_ + ": " + std::strerror(errno);
  fd_ = -1;
  markStopped();
}

void Recorder::markStopped() {
  recording_ = false;
  stopped_ = WallClock::now();
}

double Recorder::seconds(WallClock::time_point now) const {
  if (started_ == WallClock::time_point{}) return 0.0;
  const auto end = recording() ? now : stopped_;
  return std::chrono::duration<double>(end - started_).count();
}

// The row goes to the system at once (no buffer of our own), so it survives the program.
bool Recorder::writeAll(const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : ENOSPC;
      error_ = "cannot write " + path_ + ": " + std::strerror(err);
      if (rows_ == 0) {
        // The first row with its header: a file without rows is no log at all.
        ::unlink(path_.c_str());
      } else if (done > 0) {
        // A row cut short would read back as a ragged row: take it off again.
        const off_t end = ::lseek(fd_, 0, SEEK_CUR);
        if (end >= static_cast<off_t>(done)) {
          [[maybe_unused]] const int ignored = ::ftruncate(fd_, end - static_cast<off_t>(done));
        }
      }
      ::close(fd_);
      fd_ = -1;
      markStopped();
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace rq::logs
