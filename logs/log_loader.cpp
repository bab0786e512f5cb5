// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_loader.h"

#include <memory>
#include <utility>

namespace rq::logs {

LogLoader::LogLoader(QObject* parent) : QObject(parent) {
  read = [](const std::string& path, const LoadOptions& options) {
    return LoadCsvFile(path, options);
  };
  poll_.setInterval(100);
  connect(&poll_, &QTimer::timeout, this,
          [this] { emit progress(qint64(done_.load()), qint64(total_.load())); });
}

LogLoader::~LogLoader() {
  cancel_ = true;
  join();
}

void LogLoader::join() {
  if (worker_.joinable()) worker_.join();
}

bool LogLoader::start(const QString& path) {
  if (busy_) return false;
  join();
  busy_ = true;
  path_ = path;
  cancel_ = false;
  done_ = 0;
  total_ = 0;
  LoadOptions options;
  options.keepTail = true;  // a log still being written goes on growing in the viewer
  options.progress = [this](std::uint64_t done, std::uint64_t total) {
    done_ = done;
    total_ = total;
    return !cancel_.load();
  };
  auto reader = read;
  worker_ = std::thread([this, reader, file = path.toStdString(), options] {
    auto result = std::make_shared<LoadResult>(reader(file, options));
    // Back on the window's thread; dropped with the loader if it goes first.
    QMetaObject::invokeMethod(
        this,
        [this, result] {
          join();
          busy_ = false;
          poll_.stop();
          emit progress(qint64(done_.load()), qint64(total_.load()));
          emit finished(path_, result.get());
        },
        Qt::QueuedConnection);
  });
  poll_.start();
  emit progress(0, 0);
  return true;
}

void LogLoader::cancel() { cancel_ = true; }

}  // namespace rq::logs

#include "moc_log_loader.cpp"
