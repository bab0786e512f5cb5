// SPDX-License-Identifier: GPL-3.0-or-later
// File › History…: the configurations kept by every programming (the window's and the command
// line's), newest first, with where they came from, their file name and the unit's
// programming count. Open loads one as File › Open does (one undo step); Compare shows it
// against the PC in the comparison view.
#pragma once

#include <QObject>

#include <string>
#include <vector>

#include "model/program_history.h"

class QDialog;
class QLabel;
class QPushButton;
class QTableWidget;

namespace rq {

class CompareView;
class WindowFace;
class Workspace;

class HistoryView : public QObject {
  Q_OBJECT

 public:
  // Puts File › History… after the File menu's own items; Compare goes to `compare`.
  // `keptHere` false: this run's programmings are not kept (the demo), and the view says so.
  HistoryView(Workspace& workspace, WindowFace& window, CompareView& compare, bool keptHere = true);
  ~HistoryView() override;

  // The menu item: lists the history folder afresh and shows the view.
  void MenuHistoryClick();
  // The entry of `row` opened as File › Open opens a file, or compared with the PC.
  void open(int row);
  void compare(int row);

  QDialog* view() const { return view_; }
  // The line above the list: why it is empty, or that the history cannot be read.
  QLabel* note() const { return note_; }
  QTableWidget* table() const { return table_; }
  const std::vector<HistoryEntry>& entries() const { return entries_; }

 signals:
  // Open: load the file as File › Open loads the file chosen.
  void openFile(const QString& path);

 private:
  void ensureView();
  void fill();
  int selectedRow() const;

  Workspace& ws_;
  WindowFace& window_;
  CompareView& compareView_;
  bool keptHere_;
  std::vector<HistoryEntry> entries_;
  std::string error_;  // why the history folder could not be read
  QDialog* view_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* note_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* compare_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace rq
