// SPDX-License-Identifier: GPL-3.0-or-later
// The Inputs page: throttle sensor calibration, the three switch inputs, limiters, retard,
// the switch into the second advance map and the potentiometer.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/page_set.h"

namespace rq {
namespace {

class InputsPage : public BoundPage {
 public:
  InputsPage(PageKit& k, QWidget* page) {
    kit = &k;
    QWidget* top = PageKit::content(page, "InputsContent");
    auto* outer = new QHBoxLayout(top);
    auto* col1 = new QVBoxLayout;
    auto* col2 = new QVBoxLayout;
    auto* col3 = new QVBoxLayout;
    outer->addLayout(col1);
    outer->addLayout(col2);
    outer->addLayout(col3);

    // Throttle sensor with the two calibration buttons.
    QGroupBox* tps = PageKit::group("GroupBoxTps", "TPS", top);
    auto* tg = new QGridLayout(tps);
    k.row(tg, 0, "LabelTps0", "0%  [mV]", "UpDownTps0", tps, bindings);
    k.row(tg, 1, "LabelTps100", "100%  [mv]", "UpDownTps100", tps, bindings);
    for (int i = 0; i < 2; ++i) {
      auto* b = new QPushButton(i == 0 ? "<- TPS 0 %" : "<- TPS 100 %", tps);
      b->setObjectName(i == 0 ? "BitBtnTps0" : "BitBtnTps100");
      tg->addWidget(b, i, 3);
      QObject::connect(b, &QPushButton::clicked, b, [this, i] { TakeThrottle(i == 0 ? kTps0 : kTps100); });
    }
    col2->addWidget(tps);

    for (int i = 1; i <= 3; ++i) {
      const std::string name = "RadioGroupInput" + std::to_string(i);
      const ByteField field = kInputFunction[i - 1];
      RadioGroup* g = k.radio(name.c_str(), QString("Input %1").arg(i), 2, top, bindings,
                              [this, field](int item) { InputModeClick(field, item); });
      col1->addWidget(g);
    }
    col1->addStretch();

    QGroupBox* act = PageKit::group("GroupBoxActivation", "Activation by Switch on", top);
    auto* av = new QVBoxLayout(act);
    for (int i = 1; i <= 3; ++i) {
      const std::string name = "CheckBoxInvInput" + std::to_string(i);
      av->addWidget(k.check(name.c_str(), QString("Inverse polarity of input %1").arg(i), act,
                            bindings));
    }
    col2->addWidget(act);

    QGroupBox* lim = PageKit::group("GroupBoxLimiter", "Limiter", top);
    auto* lg = new QGridLayout(lim);
    k.row(lg, 0, "LabelStartSoftLimiter", "Start soft limiter [rpm]", "UpDownStartSoftLimiter",
          lim, bindings);
    k.row(lg, 1, "LabelStartHardLimiter", "Start limiter [rpm]", "UpDownStartHardLimiter", lim,
          bindings);
    k.row(lg, 2, "LabelStartLimiterPause", "Start limiter on delay [s]",
          "UpDownStartLimiterPause", lim, bindings);
    k.row(lg, 3, "LabelSoftLimiter", "Soft limiter  [rpm]", "UpDownSoftLimiter", lim, bindings);
    k.row(lg, 4, "LabelHardLimiter", "Hard limiter  [rpm]", "UpDownHardLimiter", lim, bindings);
    col2->addWidget(lim);

    QGroupBox* ret = PageKit::group("GroupBoxRetard", "Retard", top);
    auto* rg = new QGridLayout(ret);
    k.row(rg, 0, "LabelRetard", "Retard [°]", "UpDownRetard", ret, bindings);
    k.row(rg, 1, "LabelRetardPocetOff", "Number clutch master on for retard off",
          "UpDownRetardPocetOff", ret, bindings);
    col3->addWidget(ret);
    col2->addStretch();

    QGroupBox* map2 = PageKit::group("GroupBoxMapa2Switch", "Switching into 2nd advance chart", top);
    auto* mg = new QGridLayout(map2);
    k.row(mg, 0, "LabelMapa2Akcel", "Acceleration threshold [rpm/s]", "UpDownMapa2Akcel", map2,
          bindings);
    col3->addWidget(map2);

    QGroupBox* pot = PageKit::group("GroupBoxPoti", "Potenciometer", top);
    auto* pv = new QVBoxLayout(pot);
    potMode_ = k.radio("RadioGroupModePotencMode", "Control of", 1, pot, bindings,
                       [this](int item) { PotencModeClick(item); });
    pv->addWidget(potMode_);
    auto* pg = new QGridLayout;
    potRange_ = k.row(pg, 0, "LabelPotencRozsah", "Range - + ", "UpDownPotencRozsah", pot,
                      bindings).edit;
    pv->addLayout(pg);
    col3->addWidget(pot);
    col3->addStretch();
  }

  void refresh(int page) override {
    // The range limits follow the mode before the range value is shown.
    SetPotencRange(kit->image()[kPotMode]);
    BoundPage::refresh(page);
  }

  // Increment and maximum of the potentiometer range by mode; "Off" leaves them.
  void SetPotencRange(int mode) {
    switch (mode) {
      case 1: potRange_->setSingleStep(1); potRange_->setMaximum(60); break;
      case 2:
      case 3: potRange_->setSingleStep(50); potRange_->setMaximum(10000); break;
      case 4: potRange_->setSingleStep(100); potRange_->setMaximum(10000); break;
      default: break;
    }
  }

 private:
  // Input function chosen: one change (the rules follow it).
  void InputModeClick(ByteField field, int item) {
    kit->change([field, item](ParameterImage& im) { im.setByte(field, item); });
  }

  // Potentiometer mode chosen: stored with the mode's preset range as one change; the refresh
  // sets the range limits before it shows the range.
  void PotencModeClick(int mode) {
    static constexpr int kPreset[5] = {0, 5, 1000, 1000, 2000};
    kit->change([mode](ParameterImage& im) {
      im.setByte(kPotMode, mode);
      if (mode >= 0 && mode < 5) im.setWord(kPotRange, kPreset[mode]);
    });
  }

  // "<- TPS 0 %" / "<- TPS 100 %": the live sensor voltage, to the nearest 10 mV.
  void TakeThrottle(WordField word) {
    if (!kit->workspace().connected()) return;
    const int mv = kit->workspace().lastMonitor().throttleMv;
    if (mv < 200 || mv > 4950) return;
    kit->change([word, mv](ParameterImage& im) { im.setWord(word, (mv + 5) / 10 * 10); });
  }

  RadioGroup* potMode_ = nullptr;
  SpinEdit* potRange_ = nullptr;
};

}  // namespace

std::unique_ptr<PageModule> MakeInputsPage(PageKit& kit, QWidget* page) {
  return std::make_unique<InputsPage>(kit, page);
}

}  // namespace rq
