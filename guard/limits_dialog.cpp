// SPDX-License-Identifier: GPL-3.0-or-later
// The Limits dialog.
#include "guard/limits_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "guard/guard_texts.h"
#include "limits/limit_texts.h"
#include "model/ini_file.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"

namespace rq {
namespace {
constexpr GuardText kFieldColumns[kLimitFieldCount] = {GtColumnMin, GtColumnMax, GtColumnStep,
                                                       GtColumnChange};

}  // namespace

LimitsDialog::LimitsDialog(const Limits& limits, int language, QWidget* parent)
    : QDialog(parent), limits_(limits), language_(language) {
  setObjectName("FormLimits");
  setWindowTitle(FromStd(GuardTextOf(GtLimitsTitle, language)));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto label = [this](const QString& name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  grid->addWidget(label("LabelLimitsPage", FromStd(UnitTextOf(UtColumnPage, language))), 0, 0);
  for (int f = 0; f < kLimitFieldCount; ++f)
    grid->addWidget(label(QString("LabelLimitsColumn%1").arg(f), FromStd(GuardTextOf(kFieldColumns[f], language))),
                    0, f + 1);
  for (int i = 0; i < kLimitPageCount; ++i) {
    const int page = kLimitPages[i];
    grid->addWidget(label(QString("LabelLimitsPage%1").arg(i), FromStd(LimitPageName(page, language))),
                    i + 1, 0);
    const PageLimits& p = limits.pages[std::size_t(i)];
    const std::optional<double> values[kLimitFieldCount] = {p.min, p.max, p.step, p.change};
    for (int f = 0; f < kLimitFieldCount; ++f) {
      auto* e = new QLineEdit(this);
      e->setObjectName(QString::fromStdString("Edit" + LimitKey(page, f)));
      e->setText(values[f] ? FromStd(LimitNumberText(*values[f])) : QString());
      e->setMaximumWidth(110);
      grid->addWidget(e, i + 1, f + 1);
      fields_[std::size_t(i * kLimitFieldCount + f)] = e;
    }
    grid->addWidget(label(QString("LabelLimitsUnit%1").arg(i),
                          FromStd(GuardTextOf(page == kPageServo ? GtUnitMillivolts : GtUnitDegrees, language))),
                    i + 1, kLimitFieldCount + 1);
  }
  layout->addLayout(grid);
  QLabel* note = label("LabelLimitsNote", FromStd(GuardTextOf(GtLimitsNote, language)));
  note->setWordWrap(true);
  layout->addWidget(note);
  problems_ = label("LabelLimitsProblems", QString());
  problems_->setWordWrap(true);
  problems_->setStyleSheet("color: #b00000");
  problems_->hide();
  layout->addWidget(problems_);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(FromStd(GuardTextOf(GtOk, language)), this);
  ok->setObjectName("ButtonLimitsOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton(FromStd(GuardTextOf(GtCancel, language)), this);
  cancel->setObjectName("ButtonLimitsCancel");
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &LimitsDialog::take);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // The note wraps at the width of the fields rather than widening the dialog.
  note->setMinimumWidth(grid->sizeHint().width());
  note->setMaximumWidth(grid->sizeHint().width());
}

void LimitsDialog::take() {
  // The fields as a [LIMITS] section: one reading for the file and the dialog.
  IniFile section;
  for (int i = 0; i < kLimitPageCount; ++i)
    for (int f = 0; f < kLimitFieldCount; ++f)
      section.setValue(kLimitsSection, LimitKey(kLimitPages[i], f),
                       field(i, f)->text().toUtf8().toStdString());
  const LoadedLimits loaded = LoadLimits(section);
  for (QLineEdit* e : fields_) e->setStyleSheet(QString());
  if (!loaded.problems.empty()) {
    QStringList lines;
    for (const LimitsProblem& problem : loaded.problems) {
      lines << FromStd(LimitsProblemText(problem, language_));
      for (int i = 0; i < kLimitPageCount; ++i)
        for (int f = 0; f < kLimitFieldCount; ++f)
          if (LimitKey(kLimitPages[i], f) == problem.key) field(i, f)->setStyleSheet("background: #ffd0d0");
    }
    problems_->setText(FromStd(GuardTextOf(GtLimitsInvalid, language_)).arg(lines.join("\n")));
    problems_->show();
    return;
  }
  limits_ = loaded.limits;
  accept();
}

}  // namespace rq

#include "moc_limits_dialog.cpp"
