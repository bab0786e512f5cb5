// SPDX-License-Identifier: GPL-3.0-or-later
// The power-output pages: outputs 1 to 3 on the first page, output 4 on the second. Each
// output has its mode selector and its setting group: three rpm thresholds, the hysteresis,
// two throttle thresholds and the twelve on/off boxes that are the bits of its grid bytes.
#include <QFrame>
#include <QLabel>

#include "pages/controls.h"
#include "pages/page_set.h"
#include "pages/power_model.h"
#include "ui/text_table.h"

namespace rq {

namespace {

constexpr int kPageHeight = 410;  // the page area below the tabs

QFrame* Bevel(const QString& name, bool vertical, QWidget* parent) {
  auto* f = new QFrame(parent);
  f->setObjectName(name);
  f->setFrameShape(vertical ? QFrame::VLine : QFrame::HLine);
  f->setFrameShadow(QFrame::Sunken);
  f->lower();
  return f;
}

class PowerOutPages : public PageModule {
 public:
  PowerOutPages(PageKit& kit, QWidget* first, QWidget* second) : kit_(kit) {
    const int third = kPageHeight / 3;
    for (int i = 0; i < kPowerOutputs; ++i) build(i, i < 3 ? first : second, third * (i < 3 ? i : 0), third);
    languageChanged(kit_.workspace().language());
  }

  void languageChanged(int language) override {
    const QString hint = QString::fromUtf8(UiMessage(language, UiText::PowerBoxHint));
    for (int i = 0; i < kPowerOutputs; ++i)
      for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 4; ++j)
          out_[std::size_t(i)].box[std::size_t(k)][std::size_t(j)]->setStatusTip(
              hint.arg(i + 1).arg(k + 1).arg(j + 1));
  }

  QWidget* controlFor(const DifferingSlot& s, int) const override {
    if (s.kind != SlotKind::GridBit || s.output < 0 || s.output >= kPowerOutputs || s.row < 0 ||
        s.row >= 3 || s.column < 0 || s.column >= 4)
      return nullptr;
    return out_[std::size_t(s.output)].box[std::size_t(s.row)][std::size_t(s.column)];
  }

  void refresh(int) override {
    const ParameterImage& im = kit_.image();
    bindings_.refresh(im);
    for (int i = 0; i < kPowerOutputs; ++i) {
      Output& o = out_[std::size_t(i)];
      // The pilot-light and power-jet modes show their fixed pattern.
      const PowerGrid* forced = ForcedPowerGrid(im[kPowerMode[i]]);
      for (int k = 0; k < 3; ++k) {
        const int row = im[kPowerGrid.at(i, k)];
        for (int j = 0; j < 4; ++j)
          o.box[std::size_t(k)][std::size_t(j)]->showValue(
              forced != nullptr ? (*forced)[std::size_t(k)][std::size_t(j)] : ((row >> j) & 1) != 0);
      }
    }
  }

  void readBack(int, ParameterImage& im) override {
    bindings_.readBack(im);
    // Every row byte is rebuilt from its four boxes, so the pattern a mode forces on them is
    // stored as well.
    for (int i = 0; i < kPowerOutputs; ++i)
      for (int k = 0; k < 3; ++k) {
        std::array<bool, 4> row{};
        for (int j = 0; j < 4; ++j)
          row[std::size_t(j)] = out_[std::size_t(i)].box[std::size_t(k)][std::size_t(j)]->isChecked();
        im.setByte(kPowerGrid.at(i, k), PowerRowByte(row));
      }
  }

  void applyRules(int) override {
    for (int i = 0; i < kPowerOutputs; ++i) {
      const Output& o = out_[std::size_t(i)];
      const PowerOutLayout l = PowerOutLayoutOf(kit_.image()[kPowerMode[i]]);
      SetShown(o.group, l.group);
      // The setting group stands 5 pixels right of its mode group, which grows to its title in
      // some languages.
      const int left = o.mode->x() + o.mode->width() + 5;
      if (o.group->x() != left) o.group->move(left, o.group->y());
      for (std::size_t k = 0; k < 3; ++k) {
        SetShown(o.rpm[k].edit, l.rpm[k]);
        SetShown(o.rpm[k].upDown, l.rpm[k]);
        SetShown(o.rpmBevel[k], l.rpm[k]);
      }
      SetShown(o.tpsLabel, l.tpsLabel);
      for (std::size_t k = 0; k < 2; ++k) {
        SetShown(o.tps[k].edit, l.tps[k]);
        SetShown(o.tps[k].upDown, l.tps[k]);
        SetShown(o.tpsBevel[k], l.tps[k]);
      }
      for (std::size_t k = 0; k < 3; ++k)
        for (std::size_t j = 0; j < 4; ++j) {
          SetShown(o.box[k][j], l.box[k][j]);
          if (o.box[k][j]->isEnabled() != l.boxesEnabled) o.box[k][j]->setEnabled(l.boxesEnabled);
        }
    }
  }

 private:
  struct Output {
    QGroupBox* group = nullptr;
    RadioGroup* mode = nullptr;
    std::array<PageKit::SpinPair, 3> rpm{};
    PageKit::SpinPair hyst{};
    std::array<PageKit::SpinPair, 2> tps{};
    std::array<std::array<CheckEdit*, 4>, 3> box{};
    std::array<QFrame*, 3> rpmBevel{};
    std::array<QFrame*, 2> tpsBevel{};
    QLabel* tpsLabel = nullptr;
  };

  void build(int i, QWidget* page, int top, int height) {
    Output& o = out_[std::size_t(i)];
    const QString n = QString::number(i + 1);
    const std::string ns = std::to_string(i + 1);
    o.mode = kit_.radio(("RadioGroupPOut" + ns).c_str(), "Mode power out " + n, 1, page,
                        bindings_, [this, i](int item) { RadioGroupPOutClick(i, item); });
    o.mode->setGeometry(3, top, 150, height - 2);
    o.group = new QGroupBox("Setting power out " + n, page);
    o.group->setObjectName("GroupBoxPOutMap" + n);
    o.group->setGeometry(3 + 150 + 5, top, 650, height - 2);
    QWidget* g = o.group;

    PageKit::label(("LabelPOutRpm" + ns).c_str(), "Rpm", g)->move(94, 20);
    o.tpsLabel = PageKit::label(("LabelPOutTps" + ns).c_str(), "Tps", g);
    o.tpsLabel->move(30, 34);
    auto place = [](const PageKit::SpinPair& p, int x, int y) {
      p.edit->move(x, y);
      p.upDown->move(x + p.edit->width(), y);
    };
    for (int k = 0; k < 3; ++k) {
      o.rpm[std::size_t(k)] =
          kit_.spin(("UpDownPOutRpm" + ns + "_" + std::to_string(k + 1)).c_str(), g, bindings_);
      // Centred over the gap between box columns k and k + 1, where its bevel runs.
      const PageKit::SpinPair& p = o.rpm[std::size_t(k)];
      place(p, 165 + 100 * k + 20 + 2 - (p.edit->width() + 16) / 2, 18);
    }
    o.hyst = kit_.spin(("UpDownPOutHyst" + ns).c_str(), g, bindings_);
    place(o.hyst, 565, 18);
    PageKit::label(("LabelPOutHyst" + ns).c_str(), "Hysterese", g)->move(565 - 60, 21);
    for (int k = 0; k < 2; ++k) {
      o.tps[std::size_t(k)] =
          kit_.spin(("UpDownPOutTps" + ns + "_" + std::to_string(k + 1)).c_str(), g, bindings_);
      place(o.tps[std::size_t(k)], 33, 61 + 28 * k);
    }
    for (int k = 0; k < 3; ++k)
      for (int j = 0; j < 4; ++j) {
        auto* b = new CheckEdit(QString(), g);
        b->setObjectName(QString("CheckBoxPOut%1_%2_%3").arg(i + 1).arg(k + 1).arg(j + 1));
        b->setGeometry(130 + 100 * j, 49 + 28 * k, 20, 20);
        b->onCommit = [this] { kit_.commitEdit(); };
        o.box[std::size_t(k)][std::size_t(j)] = b;
      }
    for (int k = 0; k < 3; ++k) {
      QFrame* f = Bevel(QString("BevelPOutRpm%1_%2").arg(i + 1).arg(k + 1), true, g);
      f->setGeometry(165 + 100 * k + 20, 61 - 14, 4, 80);
      o.rpmBevel[std::size_t(k)] = f;
    }
    for (int k = 0; k < 2; ++k) {
      QFrame* f = Bevel(QString("BevelPOutTps%1_%2").arg(i + 1).arg(k + 1), false, g);
      f->setGeometry(94, 61 + 28 * k + 10, 380, 4);
      o.tpsBevel[std::size_t(k)] = f;
    }
  }

  // A mode chosen: stored with its presets and pattern as one change (the monitor's output
  // texts follow the mode byte).
  void RadioGroupPOutClick(int output, int mode) {
    kit_.change([output, mode](ParameterImage& im) { ApplyPowerOutMode(im, output, mode); });
  }

  PageKit& kit_;
  Bindings bindings_;
  std::array<Output, kPowerOutputs> out_{};
};

}  // namespace

std::unique_ptr<PageModule> MakePowerOutPages(PageKit& kit, QWidget* first, QWidget* second) {
  return std::make_unique<PowerOutPages>(kit, first, second);
}

}  // namespace rq
