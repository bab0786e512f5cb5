// SPDX-License-Identifier: GPL-3.0-or-later
// The Gear page (gear detection, speedometer) and the Race page (clutch master, corrections
// per gear), with the marking of the live gear on both.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/page_set.h"

namespace rq {
namespace {

const char* const kRowNames[6] = {"0-1 ", "2", "3", "4", "5", "6"};

std::string Name(const char* prefix, int k) { return prefix + std::to_string(k); }

// The label PageKit::row put in the first column of grid row `r`.
QLabel* RowLabel(QGridLayout* grid, int r) {
  QLayoutItem* item = grid->itemAtPosition(r, 0);
  return item != nullptr ? qobject_cast<QLabel*>(item->widget()) : nullptr;
}

// Lime background for the live gear, the normal colour otherwise.
void Mark(QWidget* w, bool on) {
  if (w == nullptr || w->property("rqLive").toBool() == on) return;
  w->setProperty("rqLive", on);
  if (on) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, QColor(0, 255, 0));
    pal.setColor(QPalette::Window, QColor(0, 255, 0));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
  } else {
    w->setPalette(QPalette());
    w->setAutoFillBackground(false);
  }
}

void Bold(QPushButton* b, bool on) {
  if (b->font().bold() == on) return;
  QFont f = b->font();
  f.setBold(on);
  b->setFont(f);
}

class GearRacePages : public PageModule {
 public:
  GearRacePages(PageKit& k, QWidget* gear, QWidget* race) : kit_(k) {
    buildGear(gear);
    buildRace(race);
  }

  void refresh(int page) override {
    (page == kPageGear ? gear_ : race_).refresh(kit_.image());
  }
  void readBack(int page, ParameterImage& image) override {
    (page == kPageGear ? gear_ : race_).readBack(image);
  }

  void markLive(int page) override {
    const int gear = kit_.workspace().lastMonitor().gear;
    // Nothing is marked without a unit, nor for a gear value outside 0..6.
    const int g = kit_.workspace().connected() && gear >= 0 && gear <= 6 ? gear : -1;
    if (page == kPageGear) markGear(g);
    if (page == kPageRace) markRace(g);
  }

 private:
  void buildGear(QWidget* page) {
    QWidget* top = PageKit::content(page, "GearContent");
    auto* outer = new QHBoxLayout(top);
    auto* col1 = new QVBoxLayout;
    outer->addLayout(col1);
    RadioGroup* system =
        kit_.radio("RadioGroupGearSystem", "Determining of gear", 1, top, gear_,
                   [this](int item) { RadioGroupGearSystemClick(item); });
    col1->addWidget(system);
    auto* count = new QGridLayout;
    kit_.row(count, 0, "LabelPocetGear", "Number of gears", "UpDownPocetGear", top, gear_);
    count->setColumnStretch(3, 1);
    col1->addLayout(count);
    QLabel* mv = PageKit::label("LabelMonGearNapeti", QString(), top);
    QLabel* ratio = PageKit::label("LabelMonPomerRpmSpeed", QString(), top);
    col1->addWidget(mv);
    col1->addWidget(ratio);

    QGroupBox* speed = PageKit::group("GroupBoxPulsuProSpeed", "Setting of speedometer", top);
    auto* sv = new QVBoxLayout(speed);
    sv->addWidget(kit_.radio("RadioGroupSpeedMode", QString(), 1, speed, gear_,
                             [this](int item) { RadioGroupSpeedModeClick(item); }));
    auto* sg = new QGridLayout;
    kit_.row(sg, 0, nullptr, QString(), "UpDownPulsuProSpeed", speed, gear_);
    sg->setColumnStretch(3, 1);
    sv->addLayout(sg);
    col1->addWidget(speed);
    col1->addStretch();

    // Teaching buttons, one per gear, beside the voltage and ratio columns.
    auto* col2 = new QVBoxLayout;
    outer->addLayout(col2);
    QGroupBox* volts = PageKit::group("GroupBoxNapetiProGear", "Voltage of gears", top);
    auto* vg = new QGridLayout(volts);
    for (int k = 0; k <= 6; ++k) {
      const std::string label = Name("LabelGear", k);
      const std::string upDown = Name("UpDownGearNapeti", k);
      const auto p = kit_.row(vg, k, label.c_str(), QString("%1 [mV]").arg(k), upDown.c_str(),
                              volts, gear_);
      voltEdits_[static_cast<std::size_t>(k)] = p.edit;
      voltLabels_[static_cast<std::size_t>(k)] = RowLabel(vg, k);
    }
    col2->addWidget(volts);
    QGroupBox* ratios = PageKit::group("GroupBoxRpmSpeedProGear", "Ration Rpm/Speed", top);
    auto* rg = new QGridLayout(ratios);
    rg->addWidget(PageKit::label("LabelPomerRpmSpeedHeader", "Rpm/Speed x 10", ratios), 0, 1, 1, 2);
    for (int k = 1; k <= 6; ++k) {
      const std::string label = Name("LabelPomerRpmSpeed", k);
      const std::string upDown = Name("UpDownPomerRpmSpeed", k);
      const auto p = kit_.row(rg, k, label.c_str(), QString::number(k), upDown.c_str(), ratios,
                              gear_);
      ratioEdits_[static_cast<std::size_t>(k)] = p.edit;
      ratioLabels_[static_cast<std::size_t>(k)] = RowLabel(rg, k);
    }
    col2->addWidget(ratios);
    col2->addStretch();

    // Level with the rows of the voltage column beside them.
    auto* col3 = new QVBoxLayout;
    outer->addLayout(col3);
    col3->setSpacing(8);
    col3->addSpacing(27);
    for (int k = 0; k <= 6; ++k) {
      auto* b = new QPushButton(QString("<- Gear %1").arg(k), top);
      b->setObjectName(QString::fromStdString(Name("ButtonGear", k)));
      QObject::connect(b, &QPushButton::clicked, b, [this, k] { ButtonGearClick(k); });
      buttons_[static_cast<std::size_t>(k)] = b;
      col3->addWidget(b);
    }
    col3->addStretch();

    QGroupBox* autoBox = PageKit::group("GroupBoxMonAutoGear", "Automatic from ratio rpm speed", top);
    auto* ag = new QGridLayout(autoBox);
    kit_.row(ag, 0, "LabelGearAutoTime", "Min Time [s]", "UpDownGearAutoTime", autoBox, gear_);
    kit_.row(ag, 1, "LabelGearAutoRpm", "Min Rpm", "UpDownGearAutoRpm", autoBox, gear_);
    kit_.row(ag, 2, "LabelGearAutoTps", "Min TPS [%]", "UpDownGearAutoTps", autoBox, gear_);
    kit_.row(ag, 3, "LabelGearAutoBand", "Zone [0.1%]", "UpDownGearAutoBand", autoBox, gear_);
    for (int k = 1; k <= 6; ++k) {
      QLabel* gl = PageKit::label(Name("LabelMonGearAuto", k).c_str(), QString("%1:").arg(k),
                                  autoBox);
      QLabel* rl = PageKit::label(Name("LabelMonPomerRpmSpeedAuto", k).c_str(), QString(),
                                  autoBox);
      rl->setMinimumWidth(60);
      ag->addWidget(gl, 3 + k, 0);
      ag->addWidget(rl, 3 + k, 1, 1, 2);
      autoGear_[static_cast<std::size_t>(k)] = gl;
      autoRatio_[static_cast<std::size_t>(k)] = rl;
    }
    auto* col4 = new QVBoxLayout;
    outer->addLayout(col4);
    col4->addWidget(autoBox);
    col4->addStretch();
    outer->addStretch();
  }

  void buildRace(QWidget* page) {
    QWidget* top = PageKit::content(page, "RaceContent");
    auto* rows = new QVBoxLayout(top);
    auto* col1 = new QHBoxLayout;
    rows->addLayout(col1);
    auto* outer = new QHBoxLayout;
    rows->addLayout(outer);
    col1->addWidget(kit_.radio("RadioGroupClutchMode", "Clutch mode", 1, top, race_,
                               [this](int item) { RadioGroupClutchModeClick(item); }));
    QGroupBox* clutch = PageKit::group("GroupBoxClutch", "Clutch master", top);
    auto* cg = new QGridLayout(clutch);
    kit_.row(cg, 0, "LabelClutchPause1", "Clutch master delay #1 [ms]", "UpDownClutchPause1",
             clutch, race_);
    kit_.row(cg, 1, "LabelClutchPause2", "Clutch master delay #2 [ms]", "UpDownClutchPause2",
             clutch, race_);
    kit_.row(cg, 2, "LabelClutchMinRpm", "Min Rpm for Clutch", "UpDownClutchMinRpm", clutch,
             race_);
    kit_.row(cg, 3, "LabelClutchAdv", "Clutch advance [°]", "UpDownClutchAdv", clutch, race_);
    col1->addWidget(clutch);
    col1->addStretch();

    QGroupBox* times = PageKit::group("GroupBoxClutchTime", "Setting according gear", top);
    auto* tg = new QGridLayout(times);
    tg->addWidget(PageKit::label("LabelClutchTime", "Clutch master time [ms]", times), 0, 0, 1, 3);
    for (int r = 0; r < 6; ++r) {
      const auto p = kit_.row(tg, r + 1, Name("LabelRaceGear", r + 1).c_str(), kRowNames[r],
                              Name("UpDownClutchTime", r + 1).c_str(), times, race_);
      rowEdits_[static_cast<std::size_t>(r)].push_back(p.edit);
      raceGear_[static_cast<std::size_t>(r)] = RowLabel(tg, r + 1);
    }
    tg->setRowStretch(7, 1);
    outer->addWidget(times);

    QGroupBox* kor = PageKit::group("GroupBoxGearKor", "Correction according gear", top);
    auto* kg = new QGridLayout(kor);
    const char* heads[7][2] = {{"LabelGearKorAdv", "Advance  [°]"},
                               {"LabelGearKorLimiter", "Limiter [rpm]"},
                               {"LabelGearKorServo", "Servo [rpn]"},
                               {"LabelGearKorPOut1", "Pout1 [rpm]"},
                               {"LabelGearKorPOut2", "Pout2 [rpm]"},
                               {"LabelGearKorPOut3", "Pout3 [rpm]"},
                               {"LabelGearKorPOut4", "Pout4 [rpm]"}};
    for (int c = 0; c < 7; ++c)
      kg->addWidget(PageKit::label(heads[c][0], heads[c][1], kor), 0, 1 + 2 * c, 1, 2);
    for (int r = 0; r < 6; ++r) {
      const std::string row = std::to_string(r + 1);
      QLabel* l = PageKit::label(Name("LabelGearKor", r + 1).c_str(), kRowNames[r], kor);
      kg->addWidget(l, r + 1, 0);
      gearKor_[static_cast<std::size_t>(r)] = l;
      std::vector<std::string> names = {"UpDownGearKorAdv" + row, "UpDownGearKorLimiter" + row,
                                        "UpDownGearKorServo" + row};
      for (int j = 1; j <= 4; ++j) names.push_back("UpDownGearKorPOut" + std::to_string(j) + "_" + row);
      for (std::size_t c = 0; c < names.size(); ++c) {
        const auto p = kit_.spin(names[c].c_str(), kor, race_);
        kg->addWidget(p.edit, r + 1, 1 + 2 * int(c));
        kg->addWidget(p.upDown, r + 1, 2 + 2 * int(c));
        rowEdits_[static_cast<std::size_t>(r)].push_back(p.edit);
      }
    }
    kg->setRowStretch(7, 1);
    outer->addWidget(kor);
    outer->addStretch();
  }

  // Mode selectors: one change each (the gear system takes over its input in the pass).
  void RadioGroupGearSystemClick(int item) {
    kit_.change([item](ParameterImage& im) { im.setByte(kGearSystem, item); });
  }

  void RadioGroupSpeedModeClick(int item) {
    kit_.change([item](ParameterImage& im) { im.setByte(kSpeedMode, item); });
  }

  void RadioGroupClutchModeClick(int item) {
    kit_.change([item](ParameterImage& im) { im.setByte(kClutchMode, item); });
  }

  // "<- Gear k": the live gear sensor voltage (voltage system) or speed ratio (ratio system)
  // becomes gear k's value. Only with a unit connected and a value the field can hold.
  void ButtonGearClick(int k) {
    if (!kit_.workspace().connected()) return;
    const int gearMv = kit_.workspace().lastMonitor().gearMv;
    const int speedRatio = kit_.workspace().lastMonitor().speedRatio;
    const int system = kit_.image()[kGearSystem];
    if (system == 1) {
      if (gearMv < 0 || gearMv > 5000) return;
      kit_.change([k, gearMv](ParameterImage& im) { im.setWord(kGearVoltage[k], gearMv); });
    } else if (system == 2 && k >= 1) {
      if (speedRatio < 1 || speedRatio > 32000) return;
      kit_.change([k, speedRatio](ParameterImage& im) { im.setWord(kGearRatio[k - 1], speedRatio); });
    }
  }

  void markGear(int g) {
    const int system = kit_.image()[kGearSystem];
    for (std::size_t k = 0; k <= 6; ++k) {
      const bool volt = int(k) == g && system == 1;
      Mark(voltEdits_[k], volt);
      Mark(voltLabels_[k], volt);
      if (k >= 1) {
        const bool ratio = int(k) == g && system == 2;
        Mark(ratioEdits_[k], ratio);
        Mark(ratioLabels_[k], ratio);
        const bool automatic = int(k) == g && system == 3;
        Mark(autoGear_[k], automatic);
        Mark(autoRatio_[k], automatic);
      }
      Bold(buttons_[k], int(k) == g && (system == 1 || (k >= 1 && system == 2)));
    }
  }

  void markRace(int g) {
    // Neutral and first gear share row 0 (its labels stay unmarked in neutral); gears 2..6
    // mark their row; anything else marks none.
    const int row = g == 0 ? 0 : (g >= 1 && g <= 6 ? g - 1 : -1);
    for (std::size_t r = 0; r < 6; ++r) {
      for (SpinEdit* e : rowEdits_[r]) Mark(e, int(r) == row);
      Mark(gearKor_[r], int(r) + 1 == g);
      Mark(raceGear_[r], int(r) + 1 == g);
    }
  }

  PageKit& kit_;
  Bindings gear_, race_;
  std::array<SpinEdit*, 7> voltEdits_{}, ratioEdits_{};
  std::array<QLabel*, 7> voltLabels_{}, ratioLabels_{}, autoGear_{}, autoRatio_{};
  std::array<QPushButton*, 7> buttons_{};
  std::array<std::vector<SpinEdit*>, 6> rowEdits_{};
  std::array<QLabel*, 6> gearKor_{}, raceGear_{};
};

}  // namespace

std::unique_ptr<PageModule> MakeGearRacePages(PageKit& kit, QWidget* gear, QWidget* race) {
  return std::make_unique<GearRacePages>(kit, gear, race);
}

}  // namespace rq
