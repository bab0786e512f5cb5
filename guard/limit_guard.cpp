// SPDX-License-Identifier: GPL-3.0-or-later
// The guard rails in the window: the check after every change, its marks and status line, the
// hold of programming after change, the question before Program and the Limits dialog.
#include "guard/limit_guard.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>

#include <algorithm>

#include "guard/guard_texts.h"
#include "guard/limit_marks.h"
#include "guard/limits_dialog.h"
#include "guard/program_changes.h"
#include "limits/limit_texts.h"
#include "model/ini_file.h"
#include "model/map_model.h"
#include "pages/map_grid.h"
#include "pages/map_pages.h"
#include "ui/qt_text.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {
namespace {

// The question before Program lists this many violations at most; a message box taller than
// the screen hides its buttons.
constexpr int kAskLines = 20;

QString Gt(GuardText id, int language) { return FromStd(GuardTextOf(id, language)); }

}  // namespace

LimitGuard::LimitGuard(Workspace& workspace, WindowFace& window, MapPages& maps)
    : QObject(window.dialogParent()), ws_(workspace), window_(window), maps_(maps) {
  marks_ = new LimitMarks(this);
  maps_.addOverlay(marks_);

  auto* separator = new QAction(this);
  separator->setSeparator(true);
  window_.addMenuAction(WindowFace::Menu::Tools, separator);
  limitsAction_ = new QAction(this);
  limitsAction_->setObjectName("MenuLimits");
  window_.addMenuAction(WindowFace::Menu::Tools, limitsAction_);
  connect(limitsAction_, &QAction::triggered, this, [this] { MenuLimitsClick(); });

  auto* programSeparator = new QAction(this);
  programSeparator->setSeparator(true);
  window_.addMenuAction(WindowFace::Menu::Device, programSeparator);
  showChangesAction_ = new QAction(this);
  showChangesAction_->setObjectName("MenuShowChanges");
  showChangesAction_->setCheckable(true);
  window_.addMenuAction(WindowFace::Menu::Device, showChangesAction_);
  connect(showChangesAction_, &QAction::toggled, this, [this](bool on) { setShowChanges(on); });

  exemptAction_ = new QAction(this);
  exemptAction_->setObjectName("MenuMapExempt");
  exemptAction_->setCheckable(true);
  maps_.addContextAction(exemptAction_);
  connect(exemptAction_, &QAction::triggered, this, [this] { toggleExempt(); });
  // Ticked while every selected cell is exempt; only on a map page.
  connect(maps_.contextMenu(), &QMenu::aboutToShow, this, [this] {
    const int page = window_.currentPage();
    const PageLimits* p = ws_.limits().of(page);
    exemptAction_->setEnabled(p != nullptr);
    bool all = p != nullptr;
    const CellRect sel = maps_.grid().selection();
    for (int r = sel.top(); all && r <= sel.bottom(); ++r)
      for (int c = sel.left(); all && c <= sel.right(); ++c) all = p->exempt.test(CellIndex(r, c));
    exemptAction_->setChecked(all);
  });

  label_ = new QLabel;
  label_->setObjectName("LabelLimits");
  // White on dark red: readable on a light desktop and a dark one alike.
  label_->setStyleSheet("color: white; background-color: #b00000; padding: 0px 3px;");
  label_->hide();
  window_.addStatusWidget(label_);

  connect(&ws_, &Workspace::imageChanged, this, [this] { recheck(); });
  connect(&ws_, &Workspace::unitChanged, this, [this] { recheck(); });
  connect(&ws_, &Workspace::limitsChanged, this, [this] { recheck(); });
  connect(&ws_, &Workspace::languageChanged, this, [this] { applyLanguage(); });
  ws_.setProgramHold([this] { return holdReason(); });
  ws_.setProgramConfirm([this] { return confirmProgram(); });
  applyLanguage();
}

LimitGuard::~LimitGuard() {
  ws_.setProgramHold({});
  ws_.setProgramConfirm({});
  maps_.removeOverlay(marks_);
}

void LimitGuard::applyLanguage() {
  const int lang = ws_.language();
  limitsAction_->setText(Gt(GtMenuLimits, lang));
  showChangesAction_->setText(Gt(GtMenuShowChanges, lang));
  exemptAction_->setText(Gt(GtMenuExempt, lang));
  exemptAction_->setStatusTip(Gt(GtMenuExemptHint, lang));
  showLabel();
}

void LimitGuard::showLabel() {
  label_->setVisible(!violations_.empty());
  if (violations_.empty()) return;
  label_->setText(Gt(GtStatusBroken, ws_.language()).arg(summary(violations_)));
  label_->setToolTip(label_->text());
  label_->setMinimumWidth(label_->sizeHint().width());  // the status bar's message gives way
}

void LimitGuard::readSettings() {
  const IniFile& ini = window_.settings();
  const LoadedLimits loaded = LoadLimits(ini);
  unreadable_ = loaded.unreadable();
  ws_.setLimits(loaded.limits);
  showChanges_ = ini.intValue(kProgrammingSection, kShowChangesKey, 0) != 0;
  {
    const QSignalBlocker quiet(showChangesAction_);
    showChangesAction_->setChecked(showChanges_);
  }
  recheck();
  if (loaded.problems.empty()) return;
  QStringList lines;
  for (const LimitsProblem& problem : loaded.problems)
    lines << FromStd(LimitsProblemText(problem, ws_.language()));
  QString message = Gt(GtSettingsProblems, ws_.language()).arg(lines.join("\n"));
  if (!unreadable_.empty()) message += "\n\n" + Gt(GtSettingsUnreadable, ws_.language());
  window_.showMessage(message);
}

std::vector<Violation> LimitGuard::check() const {
  if (!ws_.limits().any()) return {};
  return CheckLimits(ws_.image(), ws_.limits(), KnownUnitImage(ws_.unit()));
}

void LimitGuard::recheck() {
  std::vector<Violation> now = check();
  if (now == violations_) return;
  const bool had = !violations_.empty();
  violations_ = std::move(now);
  marks_->show(violations_);
  showLabel();
  const int lang = ws_.language();
  if (!violations_.empty())
    window_.showNote(Gt(GtStatusBroken, lang).arg(summary(violations_)), 0);
  else if (had)
    window_.showNote(Gt(GtStatusClear, lang), 5000);
  emit violationsChanged(violations_);
}

QString LimitGuard::summary(const std::vector<Violation>& violations) const {
  QStringList parts;
  for (const int page : kLimitPages) {
    const auto n = std::count_if(violations.begin(), violations.end(),
                                 [page](const Violation& v) { return v.page == page; });
    if (n > 0)
      parts << Gt(GtPageCount, ws_.language()).arg(qsizetype(n)).arg(FromStd(LimitPageName(page, ws_.language())));
  }
  return parts.join(", ");
}

QString LimitGuard::holdReason() const {
  if (!unreadable_.empty()) return Gt(GtHeldUnreadable, ws_.language());
  const std::vector<Violation> now = check();
  if (now.empty()) return {};
  return Gt(GtHeld, ws_.language()).arg(summary(now));
}

bool LimitGuard::confirmProgram() {
  const int lang = ws_.language();
  // What will be sent comes first; then whether to send it past a guard rail.
  if (showChanges_) {
    ProgramChangesDialog changes(ws_.image(), KnownUnitImage(ws_.unit()), lang, window_.dialogParent());
    if (execDialog(changes) != QDialog::Accepted) return false;
  }
  std::vector<Violation> now = check();
  if (now.empty() && unreadable_.empty()) return true;
  QStringList parts;
  if (!now.empty()) {
    SortWorstFirst(now);
    QStringList lines;
    for (std::size_t i = 0; i < now.size() && i < std::size_t(kAskLines); ++i)
      lines << FromStd(ViolationText(now[i], ws_.image(), lang));
    if (now.size() > std::size_t(kAskLines))
      lines << Gt(GtMoreLines, lang).arg(qsizetype(now.size()) - kAskLines);
    parts << Gt(GtAskBroken, lang).arg(summary(now), lines.join("\n"));
  }
  if (!unreadable_.empty()) {
    QStringList lines;
    for (const LimitsProblem& problem : unreadable_) lines << FromStd(LimitsProblemText(problem, lang));
    parts << Gt(GtAskUnreadable, lang).arg(lines.join("\n"));
  }
  parts << Gt(GtAskAnyway, lang);
  // Enter answers No: a tuner who read none of it sends nothing.
  return window_.askQuestion(parts.join("\n\n"), false, true) == QMessageBox::Yes;
}

void LimitGuard::MenuLimitsClick() {
  window_.commitPendingEdit();
  LimitsDialog dialog(ws_.limits(), ws_.image(), ws_.language(), window_.dialogParent(), unreadable_);
  if (execDialog(dialog) != QDialog::Accepted) return;
  unreadable_.clear();
  setLimits(dialog.limits());
  recheck();
}

void LimitGuard::setLimits(const Limits& limits) {
  ws_.setLimits(limits);
  window_.writeSettings([&limits](IniFile& ini) { StoreLimits(ini, limits); });
}

void LimitGuard::toggleExempt() {
  window_.commitPendingEdit();
  const int page = window_.currentPage();
  Limits limits = ws_.limits();
  PageLimits* p = limits.of(page);
  if (p == nullptr) return;
  const MapMode mode = MapModeOf(ws_.image(), page);
  const CellRect sel = maps_.grid().selection();
  std::vector<std::size_t> cells;
  bool all = true;
  for (int r = sel.top(); r <= sel.bottom(); ++r)
    for (int c = sel.left(); c <= sel.right(); ++c)
      if (CellVisible(mode, r, c)) {
        cells.push_back(CellIndex(r, c));
        all = all && p->exempt.test(CellIndex(r, c));
      }
  if (cells.empty()) return;
  for (const std::size_t i : cells) p->exempt.set(i, !all);
  setLimits(limits);
  const int lang = ws_.language();
  window_.showNote(Gt(all ? GtChecked : GtExempted, lang)
                       .arg(FromStd(LimitPageName(page, lang)))
                       .arg(qsizetype(cells.size())),
                   6000);
}

void LimitGuard::setShowChanges(bool on) {
  if (showChangesAction_->isChecked() != on) {
    const QSignalBlocker quiet(showChangesAction_);
    showChangesAction_->setChecked(on);
  }
  if (on == showChanges_) return;
  showChanges_ = on;
  window_.writeSettings([on](IniFile& ini) { ini.setInt(kProgrammingSection, kShowChangesKey, on); });
}

int LimitGuard::execDialog(QDialog& dialog) {
  return runDialog ? runDialog(dialog) : dialog.exec();
}

}  // namespace rq

#include "moc_limit_guard.cpp"
