// SPDX-License-Identifier: GPL-3.0-or-later
// The Bike page: motorbike type, pick-up synchronisation, tachometer output, read protection.
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "model/defaults.h"
#include "pages/page_set.h"
#include "ui/qt_text.h"

namespace rq {
namespace {

void KeepRoomWhenHidden(QWidget* w) {
  QSizePolicy p = w->sizePolicy();
  p.setRetainSizeWhenHidden(true);
  w->setSizePolicy(p);
}

// The column headers over the channel groups. The boxes sit in each group's own grid (a group
// hides its boxes with it), the headers above the groups, so they cannot share one grid:
// instead every headed column of the groups is made at least as wide as its header, and each
// header is kept centred over its column in the first group. Every group has the same columns, so a header stands over the column of
// every group. Headers follow their column when it moves and their text when the language
// changes.
class ColumnHeads : public QWidget {
 public:
  explicit ColumnHeads(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }
  // A group and its grid; the first one added places the headers.
  void addGrid(QWidget* group, QGridLayout* grid) {
    grids_.push_back({group, grid});
    // A column moving inside the group moves its widgets; the group itself moves and grows.
    group->installEventFilter(this);
    for (QWidget* w : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      w->installEventFilter(this);
  }
  // `head` (a child of this strip) over `column` of every grid; with `widen` the column is at
  // least as wide as the header.
  void addHead(QLabel* head, int column, bool widen) {
    heads_.push_back({head, column, widen});
    fit();
  }
  QSize sizeHint() const override { return {0, height_}; }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  bool event(QEvent* e) override {
    switch (e->type()) {
      case QEvent::LayoutRequest:  // a header's text changed
      case QEvent::Show:
      case QEvent::FontChange:
      case QEvent::StyleChange:
        fit();
        break;
      case QEvent::Move:
      case QEvent::Resize:
        place();
        break;
      default:
        break;
    }
    return QWidget::event(e);
  }
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Move || e->type() == QEvent::Resize) place();
    return QObject::eventFilter(watched, e);
  }

 private:
  struct Head {
    QLabel* label;
    int column;
    bool widen;
  };
  struct Grid {
    QWidget* group;
    QGridLayout* grid;
  };

  void fit() {
    int h = 0;
    for (const Head& head : heads_) {
      head.label->adjustSize();
      h = std::max(h, head.label->height());
      if (!head.widen) continue;
      for (const Grid& g : grids_)
        if (g.grid->columnMinimumWidth(head.column) != head.label->width())
          g.grid->setColumnMinimumWidth(head.column, head.label->width());
    }
    if (h != height_) {
      height_ = h;
      updateGeometry();
    }
    place();
  }

  void place() {
    if (grids_.empty()) return;
    const Grid& first = grids_.front();
    for (const Head& head : heads_) {
      const QRect cell = first.grid->cellRect(0, head.column);
      if (!cell.isValid()) continue;
      const QPoint centre =
          mapFrom(parentWidget(), first.group->mapTo(parentWidget(), cell.center()));
      const QPoint at(centre.x() - head.label->width() / 2, height_ - head.label->height());
      if (head.label->pos() != at) head.label->move(at);
    }
  }

  std::vector<Head> heads_;
  std::vector<Grid> grids_;
  int height_ = 0;
};

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
    bike_ = k.combo("ComboBoxBike", top, bindings);
    typeRow->addWidget(bike_);
    typeRow->addStretch();
    left->addLayout(typeRow);

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
    synchro_ = k.combo("ComboBoxSynchro", special, bindings);
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
    auto* nasobek = k.combo("ComboBoxNasobekPalcu", special, bindings);
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

    // The two channels: lobe, its second edge, the second pick-up. The headers stand above
    // the channel groups and follow the columns of the groups' grids.
    auto* channels = new QVBoxLayout;
    body->addLayout(channels);
    auto* heads = new ColumnHeads(special);
    channels->addWidget(heads);
    for (int ch = 1; ch <= 2; ++ch) {
      const std::string boxName = "GroupBoxPalec" + std::to_string(ch);
      QGroupBox* box = PageKit::group(boxName.c_str(), QString("Channel %1").arg(ch), special);
      auto* g = new QGridLayout(box);
      const std::string c = std::to_string(ch);
      for (int r = 0; r < 2; ++r) {
        const std::string kind = r == 0 ? "Zac" : "End";
        const std::string labelName = "LabelPalec" + c + kind;
        const std::string upDown = "UpDownPalec" + c + kind;
        const PageKit::SpinPair p =
            k.row(g, r, labelName.c_str(), r == 0 ? "Maximum advance" : "Start advance",
                  upDown.c_str(), box, bindings);
        const std::string h2 = "CheckBoxPalec" + c + kind + "H2";
        const std::string p2 = "CheckBoxPalec" + c + kind + "P2";
        CheckEdit* secondPickup = k.check(p2.c_str(), QString(), box, bindings);
        g->addWidget(k.check(h2.c_str(), QString(), box, bindings), r, 3, Qt::AlignCenter);
        g->addWidget(secondPickup, r, 4, Qt::AlignCenter);
        // What the page rules hide keeps its room, so the columns stay where their headers are.
        KeepRoomWhenHidden(p.upDown);
        KeepRoomWhenHidden(secondPickup);
      }
      heads->addGrid(box, g);
      channels->addWidget(box);
    }
    heads->addHead(PageKit::label("LabelLobe", "Lobe", heads), 1, false);
    heads->addHead(PageKit::label("LabelHrana2", "2nd Edge", heads), 3, true);
    heads->addHead(PageKit::label("LabelSnimac2", "2nd Pick-up", heads), 4, true);
    channels->addStretch();
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
    // Its red follows the stored byte.
    noReading_->onCommit = [this] {
      if (!kit->refreshing()) kit->workspace().takeShownPage();
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
    SetRedBackground(noReading_, kit->image()[kReadProtection] != 0);
    const IdentificationTexts id = DecodeIdentification(kit->image());
    const std::string* texts[3] = {&id.nameVersion, &id.date, &id.time};
    for (std::size_t i = 0; i < 3; ++i) {
      const QString t = QString::fromStdString(*texts[i]);
      if (verze_[i]->text() != t) verze_[i]->setText(t);
    }
  }

 private:
  // The motorbike type or the synchronisation method was chosen: both stored, the defaults
  // asked for unless the type is special, then the preset of the type: one change.
  void ComboBoxBikeChange() {
    if (kit->refreshing()) return;
    Workspace& ws = kit->workspace();
    ws.chooseBikeType(bike_->index() >= 0 ? BikeItemToType(bike_->index()) : -1, synchro_->index(),
                      ws.page(), [this, &ws] {
                        return kit->window().askQuestion(FromStd(ws.texts().text(TxtAskDefaults))) ==
                               QMessageBox::Yes;
                      });
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
