// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps every configuration the window programmed into the unit, once its verify ended equal,
// in the program history (model/program_history), with the file it came from and the unit's
// programming count. A failure to keep it is said on the status line, not in a box.
#pragma once

#include <QObject>

namespace rq {

class WindowFace;
class Workspace;

class ProgramKeeper : public QObject {
  Q_OBJECT

 public:
  // `keep` false: nothing is kept (the demo unit is not a bike).
  ProgramKeeper(Workspace& workspace, WindowFace& window, bool keep);

  // Keeps the configuration just programmed and verified.
  void keep();

 private:
  Workspace& ws_;
  WindowFace& window_;
  bool keep_;
};

}  // namespace rq
