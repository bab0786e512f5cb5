// SPDX-License-Identifier: GPL-3.0-or-later
// The Bike page: motorbike type, pick-up synchronisation, tachometer output, read protection.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "model/defaults.h"
#include "pages/page_set.h"

namespace rq {
namespace {

class BikePage : public BoundPage {
 public:
  BikePage(PageKit& k, QWidget* page) {
    kit = &k;
    QWidget* top = PageKit::content(page, "BikeContent", 380);
    auto* outer = new QHBoxLayout(top);
    auto* left = new QVBoxLayout;
    outer->addLayout(left);

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(PageKit::label("LabelBike", "Motorbike type", top));
    bike_ = k.combo("ComboBoxBike",
                    {"Classic (1 lobe, 1 or 2 pick-up) ",
                     "Standard  (2 lobe  per revol., 1 or 2 pick-up) ",
                     "Standard  (3 lobe  per revol., 1 pick-up) ",
                     "Standard  (1 lobe 2  rev. (CMPS), 1 or 2 pick-up) ", "Honda NSR 250 MC18 -",
                     "Special setting"},
                    top, bindings);
    typeRow->addWidget(bike_);
    typeRow->addStretch();
    left->addLayout(typeRow);
    Binding& bikeRow = bindings.back();
    bikeRow.byteToItem = &BikeTypeToItem;
    bikeRow.itemToByte = &BikeItemToType;

    auto* pickups = new QHBoxLayout;
    pickups->addWidget(
        k.check("CheckBoxInvPickup1", "Inverse polarity of pick-up 1", top, bindings));
    pickups->addWidget(
        k.check("CheckBoxInvPickup2", "Inverse polarity of pick-up 2", top, bindings));
    pickups->addStretch();
    left->addLayout(pickups);

    QGroupBox* special = PageKit::group(
        "GroupBoxSpecial", "Specification of synchronization - Caution - For experienced user only!",
        top);
    auto* sv = new QVBoxLayout(special);
    auto* synchroRow = new QHBoxLayout;
    synchroRow->addWidget(PageKit::label("LabelSynchro", "Synchronization method", special));
    synchro_ = k.combo("ComboBoxSynchro",
                       {"1 lobe, 1 or 2 pick-up", "Short gap between lobes (inserted lobe)",
                        "Wide lobe", "Long gap between lobes (missing lobe)",
                        "2 pick-ups, missing lobe", "2 Short gaps between lobes (inserted lobe)",
                        "Honda NSR 250 MC18 -"},
                       special, bindings);
    synchroRow->addWidget(synchro_);
    synchroRow->addStretch();
    sv->addLayout(synchroRow);
    auto* body = new QHBoxLayout;
    sv->addLayout(body);
    auto* sg = new QGridLayout;
    body->addLayout(sg);
    k.row(sg, 0, "LabelPocPalcu", "Number of lobe at rotor", "UpDownPocPalcu", special, bindings);
    k.row(sg, 1, "LabelPocKanalu", "Number of outputs (coils)", "UpDownPocKanalu", special,
          bindings);
    auto* nasobek = k.combo("ComboBoxNasobekPalcu",
                            {"1 ignition per 2 revolutions (camshaft)", "1 ignition per revolution",
                             "2 ignitions per revolution", "3 ignitions per revolution"},
                            special, bindings);
    sg->addWidget(nasobek, 2, 0, 1, 5);
    k.row(sg, 3, "LabelPocSynchro", "Revolutions without ignition", "UpDownPocSynchro", special,
          bindings);
    // Compensation: two values under one label, shown in developer test mode only.
    sg->addWidget(PageKit::label("LabelKompenz", "Compensation ", special), 4, 0);
    for (int i = 1; i <= 2; ++i) {
      const std::string name = "UpDownKompenz" + std::to_string(i);
      const auto p = k.spin(name.c_str(), special, bindings);
      sg->addWidget(p.edit, 4, 1 + 2 * (i - 1));
      sg->addWidget(p.upDown, 4, 2 + 2 * (i - 1));
    }
    sg->setRowStretch(5, 1);

    // The two channels: lobe, its second edge, the second pick-up.
    auto* channels = new QGridLayout;
    body->addLayout(channels);
    channels->addWidget(PageKit::label("LabelLobe", "Lobe", special), 0, 1, 1, 2);
    channels->addWidget(PageKit::label("LabelHrana2", "2nd Edge", special), 0, 3);
    channels->addWidget(PageKit::label("LabelSnimac2", "2nd Pick-up", special), 0, 4);
    for (int ch = 1; ch <= 2; ++ch) {
      const std::string boxName = "GroupBoxPalec" + std::to_string(ch);
      QGroupBox* box = PageKit::group(boxName.c_str(), QString("Channel %1").arg(ch), special);
      auto* g = new QGridLayout(box);
      const std::string c = std::to_string(ch);
      for (int r = 0; r < 2; ++r) {
        const std::string kind = r == 0 ? "Zac" : "End";
        const std::string labelName = "LabelPalec" + c + kind;
        const std::string upDown = "UpDownPalec" + c + kind;
        k.row(g, r, labelName.c_str(), r == 0 ? "Maximum advance" : "Start advance",
              upDown.c_str(), box, bindings);
        const std::string h2 = "CheckBoxPalec" + c + kind + "H2";
        const std::string p2 = "CheckBoxPalec" + c + kind + "P2";
        g->addWidget(k.check(h2.c_str(), QString(), box, bindings), r, 3, Qt::AlignCenter);
        g->addWidget(k.check(p2.c_str(), QString(), box, bindings), r, 4, Qt::AlignCenter);
      }
      channels->addWidget(box, ch, 0, 1, 5);
    }
    channels->setRowStretch(3, 1);
    left->addWidget(special);
    left->addStretch();

    auto* right = new QVBoxLayout;
    outer->addLayout(right);
    QGroupBox* tacho = PageKit::group("GroupBoxRpm", "Tachometer output", top);
    auto* tg = new QGridLayout(tacho);
    k.row(tg, 0, "LabelRpmPulsu", "Pulses per revolution", "UpDownRpmPulsu", tacho, bindings);
    k.row(tg, 1, "LabelRpmKorekce", "Correction [%]", "UpDownRpmKorekce", tacho, bindings);
    right->addWidget(tacho);
    noReading_ = k.check("CheckBoxZakazCteni", "No Reading", top, bindings);
    // No handler of its own: a click stores the page and nothing else, so it takes no undo
    // step and never starts a programming; the next save, verify or programming carries it.
    noReading_->onCommit = [this] {
      if (kit->refreshing()) return;
      if (kit->host().editsLocked()) {
        kit->host().RefreshPages();
        return;
      }
      if (kit->readBackPage) kit->readBackPage();
      applyRules(kPageBike);  // its red follows the stored byte
    };
    right->addWidget(noReading_);
    right->addSpacing(12);
    for (int i = 1; i <= 3; ++i) {
      QLabel* l = PageKit::label(QString("LabelVerze%1").arg(i).toLatin1().constData(), QString(),
                                 top);
      verze_[static_cast<std::size_t>(i - 1)] = l;
      right->addWidget(l);
    }
    right->addSpacing(12);
    QLabel* count = PageKit::label("LabelPocetProgramovani", QString(), top);
    QFont f = count->font();
    f.setPixelSize(13);
    count->setFont(f);
    right->addWidget(count);
    right->addStretch();

    // The type and the synchronisation method go through the motorbike-type change.
    bike_->onChosen = [this](int) { ComboBoxBikeChange(); };
    synchro_->onChosen = [this](int) { ComboBoxBikeChange(); };
  }

  void applyRules(int) override {
    // Read protection is red while it is set.
    const bool protect = kit->image().byte(kReadProtectionByte) != 0;
    if (noReading_->autoFillBackground() != protect) {
      QPalette pal;
      if (protect) pal.setColor(QPalette::Window, QColor(255, 0, 0));
      noReading_->setPalette(pal);
      noReading_->setAutoFillBackground(protect);
    }
    const IdentificationTexts id = DecodeIdentification(kit->image());
    const std::string* texts[3] = {&id.nameVersion, &id.date, &id.time};
    for (std::size_t i = 0; i < 3; ++i) {
      const QString t = QString::fromStdString(*texts[i]);
      if (verze_[i]->text() != t) verze_[i]->setText(t);
    }
  }

 private:
  // The motorbike type or the synchronisation method was chosen: store both, ask for the
  // defaults unless the type is special, then the preset of the type.
  void ComboBoxBikeChange() {
    if (kit->refreshing()) return;
    ParameterImage& image = kit->image();
    if (bike_->index() >= 0) image.setByte(kBikeTypeByte, BikeItemToType(bike_->index()));
    if (synchro_->index() >= 0) image.setByte(146, synchro_->index());
    kit->typeJustChanged = true;
    if (image.byte(kBikeTypeByte) != kBikeSpecial) kit->host().MenuNewClick();
    ApplyPreset(image);
    kit->host().RefreshPages();
    kit->host().AfterChange();
  }

  ComboEdit* bike_ = nullptr;
  CheckEdit* noReading_ = nullptr;
  ComboEdit* synchro_ = nullptr;
  std::array<QLabel*, 3> verze_{};
};

}  // namespace

std::unique_ptr<PageModule> MakeBikePage(PageKit& kit, QWidget* page) {
  return std::make_unique<BikePage>(kit, page);
}

}  // namespace rq
