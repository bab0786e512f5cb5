// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison view: the PC's configuration against the unit's or a file's, the values that
// differ in user units grouped by page, both values side by side. Each row can take the other
// side's value into the PC, or all rows at once; every take is one undo step through the
// workspace's change (so "Programming after change" applies). Neither the unit nor
// the file is changed.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include "model/configuration_diff.h"
#include "model/parameter_image.h"

class QDialog;
class QLabel;
class QPushButton;
class QTableWidget;

namespace rq {

class WindowFace;
class Workspace;

class CompareView : public QObject {
  Q_OBJECT

 public:
  // Puts File › Compare with file… after the File menu's own items.
  CompareView(Workspace& workspace, WindowFace& window);
  ~CompareView() override;

  // Against the unit's configuration; `ok` false: the unit could not be read.
  void showUnit(const ParameterImage& unit, bool ok);
  // Against a configuration file; notes go above the table (identification, version).
  void showFile(const QString& path, const QStringList& notes = {});
  // File › Compare with file…: asks for the file, then showFile.
  void MenuCompareFileClick();

  // Takes the other side's value of row `row` into the PC, or every row: one undo step each.
  void take(int row);
  void takeAll();
  // The PC changed (edit, undo, read, take): the list follows while it shows.
  void pcChanged();

  // The view (created on first use) and its parts; for tests.
  QDialog* view() const { return view_; }
  QTableWidget* table() const { return table_; }
  QLabel* summary() const { return summary_; }
  QLabel* header() const { return header_; }
  const std::vector<ConfigDifference>& differences() const { return diff_; }
  bool showsUnit() const { return againstUnit_; }

  // The file dialog; tests replace it. Returns "" when cancelled.
  std::function<QString()> openDialog;
  // The name the file dialog starts with (the last configuration file); unset: none.
  std::function<QString()> startName;

 private:
  void ensureView();
  void fill();
  QString fileNote(const QString& path) const;
  void present();

  Workspace& ws_;
  WindowFace& window_;
  ParameterImage other_;
  std::optional<ImageByteSet> given_;  // a file's: the bytes it gave
  bool againstUnit_ = true;
  bool compared_ = false;
  QString title_;
  QStringList notes_;
  std::vector<ConfigDifference> diff_;
  QDialog* view_ = nullptr;
  QLabel* header_ = nullptr;
  QLabel* summary_ = nullptr;
  QTableWidget* table_ = nullptr;
  QPushButton* takeAll_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace rq
