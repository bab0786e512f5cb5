// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a ride log on a worker thread, so that the window stays responsive and closable while
// a long log loads: the bytes read so far are reported about ten times a second, a read can be
// cancelled at any time (it stops after the piece it is reading, 1 MB at most), and the result
// comes back on the window's thread. Dropping the loader cancels the read and waits for it.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "logs/log_table.h"

namespace rq::logs {

class LogLoader : public QObject {
  Q_OBJECT
 public:
  explicit LogLoader(QObject* parent = nullptr);
  ~LogLoader() override;

  // Starts reading `path`; false (and nothing started) while another read runs.
  bool start(const QString& path);
  // Asks the read to stop; finished() follows with a cancelled result.
  void cancel();
  bool busy() const { return busy_; }
  const QString& path() const { return path_; }
  // Bytes read so far and the file's size (0 before the first piece).
  std::uint64_t done() const { return done_.load(); }
  std::uint64_t total() const { return total_.load(); }

  // How the worker reads (tests slow it down through it); LoadCsvFile by default.
  std::function<LoadResult(const std::string& path, const LoadOptions& options)> read;

 signals:
  void progress(qint64 done, qint64 total);
  // The read ended: `result` holds the table, the error or the cancellation. Valid during the
  // call only.
  void finished(const QString& path, rq::logs::LoadResult* result);

 private:
  void join();

  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::atomic<std::uint64_t> done_{0}, total_{0};
  QTimer poll_;
  QString path_;
  bool busy_ = false;
};

}  // namespace rq::logs
