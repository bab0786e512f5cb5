// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/program_keeper.h"

#include <cstdio>

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
  connect(&ws_, &Workspace::monitorAccepted, this, [this](const MonitorSnapshot& s) {
    if (waiting_.empty() || s.savingCountdown != 0) return;
    record_.programCount = s.programCount;
    std::string error;
    WriteProgramRecord(waiting_, record_, error);  // the configuration itself is kept already
    waiting_.clear();
  });
  connect(&ws_, &Workspace::connectionLost, this, [this] { waiting_.clear(); });
}

void ProgramKeeper::keep() {
  if (!keep_) return;
  record_ = ProgramRecord{};
  record_.from = kFromWindow;
  record_.fileName = ws_.fileName().toUtf8().toStdString();
  // What the programming sent: the PC may have changed while it ran.
  const ParameterImage& programmed = ws_.exchange().programmed();
  record_.unit = DecodeIdentification(programmed).nameVersion;  // the count follows
  std::string error;
  waiting_ = KeepProgram(programmed, record_, error);
  if (!waiting_.empty()) return;
  // Not worth a message box after every programming; the status bar says it.
  std::fprintf(stderr, "rq_vtmx4: Program history not kept: %s\n", error.c_str());
  const int lang = ws_.language();
  window_.showNote(FromStd(UiMessage(lang, UiText::HistoryNotKept))
                       .arg(FromStd(LocalizedFileReason(lang, error))),
                   15000);
}

}  // namespace rq

#include "moc_program_keeper.cpp"
