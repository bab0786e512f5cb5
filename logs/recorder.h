// SPDX-License-Identifier: GPL-3.0-or-later
// Recording the live values to a ride log. Each row is handed to the system as it comes, so
// a program killed at any moment leaves every row written so far in the file. The file comes
// with the first row, so a recording without rows leaves none (a header alone is no log). A
// failed write (full disk, folder gone) stops the recording and keeps a message naming the
// file.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "protocol/monitor_reply.h"
#include "logs/monitor_csv.h"

namespace rq::logs {

// $XDG_DATA_HOME/RQ_VTMX4_Kelvora/logs, or $HOME/.local/share/RQ_VTMX4_Kelvora/logs; "" when
// neither is set.
std::string RideLogFolder();
// "ride_2026-05-04_17-03-21.csv" for a recording started at that local time.
std::string RideLogFileName(WallClock::time_point start);

class Recorder {
 public:
  Recorder() = default;
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;
  ~Recorder();

  // Creates the folder when needed and checks that a file can be made in it; path() is the
  // file's name, by the start time and never that of an existing file. False with error() set
  // when that fails.
  bool start(const std::string& folder, WallClock::time_point now = WallClock::now());
  // Appends one row; the first one creates the file (a numbered name when the name was taken
  // in the meantime) and writes the header row before it. False when the recording is not
  // running or the write failed; after a failure the recording has stopped, error() names the
  // file and the reason ("cannot write PATH: reason"), and a file without rows is removed.
  bool append(const MonitorSnapshot& s, WallClock::time_point now = WallClock::now());
  // Closes the file; the path stays known for opening the log afterwards.
  void stop();

  bool recording() const { return recording_; }
  const std::string& path() const { return path_; }
  std::size_t rows() const { return rows_; }
  // Seconds since start() (until stop() while stopped).
  double seconds(WallClock::time_point now = WallClock::now()) const;
  const std::string& error() const { return error_; }

 private:
  bool create();
  bool writeAll(const std::string& text);
  void markStopped();
  bool recording_ = false;
  int fd_ = -1;
  std::string folder_;
  std::string path_;
  std::string error_;
  std::size_t rows_ = 0;
  WallClock::time_point started_{};
  WallClock::time_point stopped_{};
};

}  // namespace rq::logs
