// SPDX-License-Identifier: GPL-3.0-or-later
// The Limits dialog.
#include "guard/limits_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "guard/guard_texts.h"
#include "limits/limit_check.h"
#include "limits/limit_texts.h"
#include "model/ini_file.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"

namespace rq {
namespace {

constexpr GuardText kFieldColumns[kLimitFieldCount] = {GtColumnMin, GtColumnMax, GtColumnStep,
                                                       GtColumnChange};
constexpr int kUnitColumn = kLimitFieldCount + 1;

// The key a field stands for.
std::string FieldKey(int page, int field) {
  if (field == LimitsDialog::kUpToField) return LimitUpToKey(page);
  if (field == LimitsDialog::kExemptField) return LimitExemptKey(page);
  return LimitKey(page, field);
}

bool SameKey(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

LimitsDialog::LimitsDialog(const Limits& limits, const ParameterImage& image, int language,
                           QWidget* parent, const std::vector<LimitsProblem>& unread)
    : QDialog(parent), limits_(limits), image_(image), language_(language) {
  setObjectName("FormLimits");
  setWindowTitle(FromStd(GuardTextOf(GtLimitsTitle, language)));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto label = [this](const QString& name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  auto text = [language](GuardText id) { return FromStd(GuardTextOf(id, language)); };
  grid->addWidget(label("LabelLimitsPage", FromStd(UnitTextOf(UtColumnPage, language))), 0, 0);
  for (int f = 0; f < kLimitFieldCount; ++f)
    grid->addWidget(label(QString("LabelLimitsColumn%1").arg(f), text(kFieldColumns[f])), 0, f + 1);
  grid->addWidget(label("LabelLimitsColumnUpTo", text(GtColumnUpTo)), 0, kUnitColumn + 1);
  grid->addWidget(label("LabelLimitsColumnExempt", text(GtColumnExempt)), 0, kUnitColumn + 2);
  for (int i = 0; i < kLimitPageCount; ++i) {
    const int page = kLimitPages[i];
    grid->addWidget(label(QString("LabelLimitsPage%1").arg(i), FromStd(LimitPageName(page, language))),
                    i + 1, 0);
    const PageLimits& p = limits.pages[std::size_t(i)];
    const std::optional<double> values[kLimitFieldCount] = {p.min, p.max, p.step, p.change};
    for (int f = 0; f < kFields; ++f) {
      auto* e = new QLineEdit(this);
      e->setObjectName(QString::fromStdString("Edit" + FieldKey(page, f)));
      if (f < kLimitFieldCount) {
        e->setText(values[f] ? FromStd(LimitNumberText(*values[f])) : QString());
        e->setMaximumWidth(110);
        grid->addWidget(e, i + 1, f + 1);
      } else if (f == kUpToField) {
        e->setText(p.upToRpm ? QString::number(*p.upToRpm) : QString());
        // Empty: where the map itself shows its cut.
        const std::optional<int> automatic = LimitsUpToRpm(image, page, PageLimits{});
        e->setPlaceholderText(automatic ? text(GtUpToAuto).arg(*automatic) : text(GtUpToAll));
        e->setMaximumWidth(110);
        grid->addWidget(e, i + 1, kUnitColumn + 1);
      } else {
        e->setText(FromStd(CellSetText(p.exempt)));
        e->setMinimumWidth(150);
        grid->addWidget(e, i + 1, kUnitColumn + 2);
      }
      fields_[std::size_t(i * kFields + f)] = e;
    }
    grid->addWidget(label(QString("LabelLimitsUnit%1").arg(i),
                          text(page == kPageServo ? GtUnitMillivolts : GtUnitDegrees)),
                    i + 1, kUnitColumn);
  }
  layout->addLayout(grid);
  QLabel* note = label("LabelLimitsNote", text(GtLimitsNote));
  note->setWordWrap(true);
  layout->addWidget(note);
  problems_ = label("LabelLimitsProblems", QString());
  problems_->setWordWrap(true);
  problems_->setStyleSheet("color: #b00000");
  problems_->hide();
  layout->addWidget(problems_);
  auto* buttons = new QHBoxLayout;
  suggest_ = new QPushButton(text(GtSuggest), this);
  suggest_->setObjectName("ButtonLimitsSuggest");
  suggest_->setToolTip(text(GtSuggestHint));
  suggest_->setAutoDefault(false);
  auto* ok = new QPushButton(text(GtOk), this);
  ok->setObjectName("ButtonLimitsOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton(text(GtCancel), this);
  cancel->setObjectName("ButtonLimitsCancel");
  buttons->addWidget(suggest_);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(suggest_, &QPushButton::clicked, this, &LimitsDialog::suggest);
  connect(ok, &QPushButton::clicked, this, &LimitsDialog::take);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // The note and the problems wrap at the width of the fields rather than widening the
  // dialog; at a fixed width their height is known, and the dialog grows with them.
  for (QLabel* l : {note, problems_}) l->setFixedWidth(grid->sizeHint().width());

  // What the settings file holds but could not be read stands in its field, marked.
  for (const LimitsProblem& problem : unread)
    for (int i = 0; i < kLimitPageCount; ++i)
      for (int f = 0; f < kFields; ++f)
        if (SameKey(FieldKey(kLimitPages[i], f), problem.key)) field(i, f)->setText(FromStd(problem.value));
  if (!unread.empty()) showProblems(unread);
}

LoadedLimits LimitsDialog::typed() const {
  // The fields as a [LIMITS] section: one reading for the file and the dialog.
  IniFile section;
  for (int i = 0; i < kLimitPageCount; ++i)
    for (int f = 0; f < kFields; ++f)
      section.setValue(kLimitsSection, FieldKey(kLimitPages[i], f), field(i, f)->text().toUtf8().toStdString());
  return LoadLimits(section);
}

void LimitsDialog::showProblems(const std::vector<LimitsProblem>& problems) {
  for (QLineEdit* e : fields_) e->setStyleSheet(QString());
  if (problems.empty()) {
    problems_->hide();
    adjustSize();
    return;
  }
  QStringList lines;
  for (const LimitsProblem& problem : problems) {
    // The dialog's own lines name the key, not a line of a file.
    LimitsProblem here = problem;
    here.line = 0;
    lines << FromStd(LimitsProblemText(here, language_));
    for (int i = 0; i < kLimitPageCount; ++i)
      for (int f = 0; f < kFields; ++f)
        if (SameKey(FieldKey(kLimitPages[i], f), problem.key)) field(i, f)->setStyleSheet("background: #ffd0d0");
  }
  problems_->setText(FromStd(GuardTextOf(GtLimitsInvalid, language_)).arg(lines.join("\n")));
  problems_->show();
  // Every line of them shows, and the fields keep their width.
  layout()->activate();
  adjustSize();
}

void LimitsDialog::take() {
  const LoadedLimits loaded = typed();
  if (!loaded.problems.empty()) {
    showProblems(loaded.problems);
    return;
  }
  limits_ = loaded.limits;
  accept();
}

void LimitsDialog::suggest() {
  const LoadedLimits now = typed();
  for (int i = 0; i < kLimitPageCount; ++i) {
    const int page = kLimitPages[i];
    const PageLimits& current = now.limits.pages[std::size_t(i)];
    const PageLimits s = SuggestLimits(image_, page, current);
    if (CheckedCells(image_, page, current).none()) continue;  // nothing to take them from
    const std::optional<double> values[] = {s.min, s.max, s.step};
    for (int f = 0; f < 3; ++f) field(i, f)->setText(FromStd(LimitNumberText(*values[f])));
  }
}

}  // namespace rq

#include "moc_limits_dialog.cpp"
