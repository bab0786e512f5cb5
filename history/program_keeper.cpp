// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/program_keeper.h"

#include <cstdio>

#include "model/program_history.h"
#include "ui/qt_text.h"
#include "ui/text_table.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {

ProgramKeeper::ProgramKeeper(Workspace& workspace, WindowFace& window, bool keep)
    : QObject(window.dialogParent()), ws_(workspace), window_(window), keep_(keep) {
  connect(&ws_, &Workspace::operationEnded, this, [this](Operation op, Outcome outcome) {
    if (op == Operation::Program && outcome == Outcome::Ok) this->keep();
  });
}

void ProgramKeeper::keep() {
  if (!keep_) return;
  ProgramRecord record;
  record.from = kFromWindow;
  record.fileName = ws_.fileName().toUtf8().toStdString();
  record.programCount = ws_.lastMonitor().programCount;
  // What the programming sent: the PC may have changed while it ran.
  const ParameterImage& programmed = ws_.exchange().programmed();
  record.unit = DecodeIdentification(programmed).nameVersion;
  std::string error;
  const std::string kept = KeepProgram(programmed, record, error);
  if (!kept.empty()) return;
  // Not worth a message box after every programming; the status bar says it.
  std::fprintf(stderr, "rq_vtmx4: Program history not kept: %s\n", error.c_str());
  const int lang = ws_.language();
  window_.showNote(FromStd(UiMessage(lang, UiText::HistoryNotKept))
                       .arg(FromStd(LocalizedFileReason(lang, error))),
                   15000);
}

}  // namespace rq

#include "moc_program_keeper.cpp"
