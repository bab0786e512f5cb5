// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_session.h"

#include <QTimer>

#include <algorithm>
#include <string>

namespace rq::logs {

LogSession::LogSession(QObject* parent) : QObject(parent), followTimer_(new QTimer(this)) {
  followTimer_->setInterval(500);
  connect(followTimer_, &QTimer::timeout, this, [this] { follow(); });
}

bool LogSession::open(const QString& path, QString& error) {
  LoadOptions options;
  options.keepTail = true;
  LoadResult r = LoadCsvFile(path.toStdString(), options);
  if (!r.ok()) {
    error = QString::fromStdString(r.error.message);
    return false;
  }
  adopt(std::move(*r.table), path, r.tail);
  return true;
}

void LogSession::adopt(LogTable table, const QString& path, std::shared_ptr<LogTail> tail) {
  table_ = std::make_shared<LogTable>(std::move(table));
  tail_ = std::move(tail);
  if (tail_) followTimer_->start();
  else followTimer_->stop();
  summaries_.assign(table_->columns().size(), std::nullopt);
  std::string why;
  cells_ = ExtractCellInputs(*table_, why);
  path_ = path;
  cursorTime_ = table_->rows() > 0 ? table_->time(0) : 0;
  emit opened();
  emit cursorMoved(cursorTime_);
}

std::size_t LogSession::follow() {
  if (!tail_ || !table_) return 0;
  const std::size_t before = table_->rows();
  std::string error;
  if (table_.use_count() > 1) table_ = std::make_shared<LogTable>(*table_);  // a worker reads it
  const std::size_t added = tail_->poll(*table_, error);
  if (added > 0) {
    // A column may have changed how it keeps its values: every summary is made again.
    summaries_.assign(table_->columns().size(), std::nullopt);
    std::string why;
    cells_ = ExtractCellInputs(*table_, why);
    emit grown(before);
  }
  if (!error.empty()) {
    tail_.reset();
    followTimer_->stop();
    emit followStopped(QString::fromStdString(error));
  }
  return added;
}

const MinMaxSummary& LogSession::summary(std::size_t column) const {
  std::optional<MinMaxSummary>& s = summaries_[column];
  if (!s) s = BuildMinMaxSummary(table_->column(column));
  return *s;
}

std::size_t LogSession::cursorRow() const {
  return isOpen() && table_->rows() > 0 ? table_->rowAtOrBefore(cursorTime_) : 0;
}

void LogSession::setCursorTime(double t) {
  if (!isOpen() || table_->rows() == 0) return;
  t = std::clamp(t, table_->time().front(), table_->time().back());
  if (t == cursorTime_) return;
  cursorTime_ = t;
  emit cursorMoved(t);
}

void LogSession::setCursorRow(std::size_t row) {
  if (!isOpen() || row >= table_->rows()) return;
  setCursorTime(table_->time(row));
}

void LogSession::setLanguage(int language) {
  if (language == language_) return;
  language_ = language;
  emit languageChanged(language);
}

}  // namespace rq::logs

#include "moc_log_session.cpp"
