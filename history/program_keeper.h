// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps every configuration the window programmed into the unit, once its verify ended equal,
// in the program history (model/program_history), with the file it came from and the unit's
// programming count. The unit counts a programming when it has taken the last block, so the
// count it reported before is one behind: the record is written again with the count of the
// first monitor reply after the save. A failure to keep it is said on the status line.
#pragma once

#include <QObject>

#include <string>

#include "model/program_history.h"

namespace rq {

class WindowFace;
class Workspace;

class ProgramKeeper : public QObject {
  Q_OBJECT

 public:
  // `keep` false: nothing is kept (the demo unit is not a bike).
  ProgramKeeper(Workspace& workspace, WindowFace& window, bool keep);

  bool keeps() const { return keep_; }

 private:
  void keep();

  Workspace& ws_;
  WindowFace& window_;
  bool keep_;
  // The file kept last, while its record waits for the unit's count.
  std::string waiting_;
  ProgramRecord record_;
};

}  // namespace rq
