// SPDX-License-Identifier: GPL-3.0-or-later
// The open ride log of the program: the table, its per-column summaries (built when a column
// is first drawn), the columns the map overlay counts, and the cursor that the viewer, its
// playback and the map pages share. The log room holds the program's; tests may make their own.
#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "logs/cell_count.h"
#include "logs/log_summary.h"
#include "logs/log_table.h"

namespace rq::logs {

class LogSession : public QObject {
  Q_OBJECT
 public:
  explicit LogSession(QObject* parent = nullptr);

  // Loads a log; on failure the open log stays and error names the line and column.
  bool open(const QString& path, QString& error);
  // Takes a table already read (tests, benchmarks).
  void adopt(LogTable table, const QString& path);

  bool isOpen() const { return table_ != nullptr; }
  const LogTable& table() const { return *table_; }
  const QString& path() const { return path_; }
  const MinMaxSummary& summary(std::size_t column) const;
  // The columns the map overlay counts; nullptr when the log has no engine speed.
  const CellInputs* cellInputs() const { return cells_ ? &*cells_ : nullptr; }

  double cursorTime() const { return cursorTime_; }
  std::size_t cursorRow() const;
  void setCursorTime(double t);
  void setCursorRow(std::size_t row);

  int language() const { return language_; }
  void setLanguage(int language);

 signals:
  void opened();
  void cursorMoved(double time);
  void languageChanged(int language);

 private:
  std::unique_ptr<LogTable> table_;
  mutable std::vector<std::optional<MinMaxSummary>> summaries_;
  std::optional<CellInputs> cells_;
  QString path_;
  double cursorTime_ = 0;
  int language_ = 0;
};

}  // namespace rq::logs
