// SPDX-License-Identifier: GPL-3.0-or-later
// Guard rails before the unit is programmed, in the window. The map limits of the workspace
// ([LIMITS] of the settings file, set in Tools › Limits...) are checked on every change of the
// configuration, of what the unit holds and of the limits: broken ones are marked on the map
// pages and counted on the status line. While one stands, or while a value of [LIMITS] cannot
// be read, programming after change is held (the workspace asks the guard), and the Program
// command asks first (the workspace asks that too), No being its default: with "Show changes before programming" on, after
// the list of what it changes in the unit. The map's context menu exempts cells from the
// limits. The guard never changes a cell and never stops a programming that is under way.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

#include "limits/limit_check.h"

class QAction;
class QDialog;
class QLabel;

namespace rq {

class LimitMarks;
class MapPages;
class WindowFace;
class Workspace;

// The settings of the guard besides [LIMITS]: [PROGRAMMING] ShowChanges=0|1.
inline constexpr const char* kProgrammingSection = "PROGRAMMING";
inline constexpr const char* kShowChangesKey = "ShowChanges";

class LimitGuard : public QObject {
  Q_OBJECT

 public:
  // Puts Tools › Limits... and Ignition › Show changes before programming after the menus'
  // own items, its marks onto `maps` and its hold into the workspace.
  LimitGuard(Workspace& workspace, WindowFace& window, MapPages& maps);
  ~LimitGuard() override;

  // Reads [LIMITS] and [PROGRAMMING] from the settings file as the window read it at start
  // (call once the window has loaded it); problems of [LIMITS] are said in one message.
  void readSettings();

  // Checks the configuration now: the marks, the status label and, when the violations
  // changed, a note on the status line.
  void recheck();
  const std::vector<Violation>& violations() const { return violations_; }

  // Before the Program command sends: true to program. With the option on, the list of
  // changes first; then, while a limit is broken or a value of [LIMITS] cannot be read, the
  // question whether to program anyway (the violations worst first; No is the default).
  bool confirmProgram();
  // The values of the settings file's [LIMITS] that could not be read (until the dialog's OK).
  const std::vector<LimitsProblem>& unreadable() const { return unreadable_; }

  // The map's context menu: exempts the selected cells of the map shown from its limits, or
  // checks them again when all of them are exempt; written to the settings file.
  void toggleExempt();
  QAction* exemptAction() const { return exemptAction_; }

  // Tools › Limits...: the dialog; OK sets the workspace's limits and writes [LIMITS].
  void MenuLimitsClick();
  // The option "Show changes before programming", written to the settings file when set.
  bool showChanges() const { return showChanges_; }
  void setShowChanges(bool on);

  // Why programming after change is held now; empty when nothing holds it.
  QString holdReason() const;
  // "2 on Advance 1, 1 on Servo": the count of broken limits per page, in page order, the
  // pages named as their tabs in the caption table.
  QString summary(const std::vector<Violation>& violations) const;

  LimitMarks& marks() { return *marks_; }
  QAction* limitsAction() const { return limitsAction_; }
  // The label at the right of the status bar that counts broken limits while any stand (a
  // note is replaced by the next hint; the label stays).
  QLabel* statusLabel() const { return label_; }
  QAction* showChangesAction() const { return showChangesAction_; }
  // Runs a modal dialog and returns its result; empty: exec(). Tests answer instead.
  std::function<int(QDialog&)> runDialog;

 signals:
  // Every change of the violations (all map pages): the map view shows the same marks.
  void violationsChanged(const std::vector<rq::Violation>& violations);

 private:
  std::vector<Violation> check() const;
  int execDialog(QDialog& dialog);
  void applyLanguage();
  void showLabel();
  void setLimits(const Limits& limits);

  Workspace& ws_;
  WindowFace& window_;
  MapPages& maps_;
  LimitMarks* marks_ = nullptr;
  QAction* limitsAction_ = nullptr;
  QAction* showChangesAction_ = nullptr;
  QAction* exemptAction_ = nullptr;
  QLabel* label_ = nullptr;
  std::vector<LimitsProblem> unreadable_;
  std::vector<Violation> violations_;
  bool showChanges_ = false;
};

}  // namespace rq
