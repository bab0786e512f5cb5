// SPDX-License-Identifier: GPL-3.0-or-later
// The open ride log of the program: the table, its per-column summaries (built when a column
// is first drawn), the columns the map overlay counts, and the cursor that the viewer, its
// playback and the map pages share. The log room holds the program's; tests may make their own.
#pragma once

#include <QObject>
#include <QString>

class QTimer;

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

  // Loads a log; on failure the open log stays and error names the line and column. The rows
  // written to it later come in as they are written.
  bool open(const QString& path, QString& error);
  // Takes a table already read; with the tail of its load, the rows written to the file
  // afterwards are read twice a second and added (grown()), as `tail -f` shows them.
  void adopt(LogTable table, const QString& path, std::shared_ptr<LogTail> tail = {});
  // Reads the rows written since the last look at once; how many came.
  std::size_t follow();
  bool following() const { return tail_ != nullptr; }

  bool isOpen() const { return table_ != nullptr; }
  const LogTable& table() const { return *table_; }
  // The open table, shared: a reader on another thread keeps it while a new log opens.
  std::shared_ptr<const LogTable> sharedTable() const { return table_; }
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
  // Rows were added at the end of the log, the first of them `firstNew`.
  void grown(std::size_t firstNew);
  // New rows are not followed any more (why: the file was replaced, a line could not be read).
  void followStopped(const QString& why);
  void cursorMoved(double time);
  void languageChanged(int language);

 private:
  // Shared with a worker that reads it (sharedTable()); copied before rows are added while
  // it is shared, so that the worker's copy never changes under it.
  std::shared_ptr<LogTable> table_;
  std::shared_ptr<LogTail> tail_;
  QTimer* followTimer_ = nullptr;
  mutable std::vector<std::optional<MinMaxSummary>> summaries_;
  std::optional<CellInputs> cells_;
  QString path_;
  double cursorTime_ = 0;
  int language_ = 0;
};

}  // namespace rq::logs
