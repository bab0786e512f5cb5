// SPDX-License-Identifier: GPL-3.0-or-later
#include "logs/log_session.h"

#include <algorithm>
#include <string>

namespace rq::logs {

LogSession::LogSession(QObject* parent) : QObject(parent) {}

bool LogSession::open(const QString& path, QString& error) {
  LoadResult r = LoadCsvFile(path.toStdString());
  if (!r.ok()) {
    error = QString::fromStdString(r.error.message);
    return false;
  }
  adopt(std::move(*r.table), path);
  return true;
}

void LogSession::adopt(LogTable table, const QString& path) {
  table_ = std::make_unique<LogTable>(std::move(table));
  summaries_.assign(table_->columns().size(), std::nullopt);
  std::string why;
  cells_ = ExtractCellInputs(*table_, why);
  path_ = path;
  cursorTime_ = table_->rows() > 0 ? table_->time(0) : 0;
  emit opened();
  emit cursorMoved(cursorTime_);
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
