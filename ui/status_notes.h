// SPDX-License-Identifier: GPL-3.0-or-later
// Notes on a status bar that fit it: a note longer than the room left of the bar's permanent
// widgets is cut with an ellipsis, and the whole text is the bar's tooltip while it shows;
// when the bar is resized the note shown is fitted again for the time it has left.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QStatusBar;

namespace rq {

class StatusNotes : public QObject {
 public:
  explicit StatusNotes(QStatusBar* bar);

  // `ms` milliseconds, 0: until the next note or hint.
  void show(const QString& text, int ms);
  // The text as it shows now, and the room it had.
  const QString& shown() const { return shown_; }
  int room() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fit();

  QStatusBar* bar_;
  QString text_, shown_;
  QElapsedTimer clock_;
  qint64 until_ = 0;  // clock time the note ends; 0: no end
};

}  // namespace rq
