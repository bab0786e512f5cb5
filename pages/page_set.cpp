// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/page_set.h"

#include <QApplication>
#include <QWidget>

#include "pages/controls.h"
#include "pages/map_pages.h"

namespace rq {

PageSet::PageSet(Workspace& workspace, WindowFace& window, QWidget* root,
                 const std::array<QWidget*, kPageCount>& pages)
    : ws_(workspace), root_(root), kit_(workspace, window) {
  ws_.setPageReadBack([this](ParameterImage& image) { readBack(ws_.page(), image); });
  connect(&ws_, &Workspace::imageChanged, this, [this] { show(ws_.page()); });
  // A change refused while a read runs: the controls show the configuration again.
  connect(&ws_, &Workspace::changeRefused, this, [this] { show(ws_.page()); });
  connect(&ws_, &Workspace::markLive, this, [this] { markLive(ws_.page()); });
  connect(&ws_, &Workspace::monitorAccepted, this, [this] { monitorAccepted(); });
  auto own = [this](std::unique_ptr<PageModule> m, std::initializer_list<int> indexes) {
    if (!m) return;
    for (int i : indexes) byPage_[static_cast<std::size_t>(i)] = m.get();
    owned_.push_back(std::move(m));
  };
  own(MakeBikePage(kit_, pages[kPageBike]), {kPageBike});
  own(MakeInputsPage(kit_, pages[kPageInputs]), {kPageInputs});
  own(MakeMapPages(kit_, pages[kPageAdvance1], pages[kPageAdvance2], pages[kPageServo]),
      {kPageAdvance1, kPageAdvance2, kPageServo});
  own(MakePowerOutPages(kit_, pages[kPagePowerOut1], pages[kPagePowerOut2]),
      {kPagePowerOut1, kPagePowerOut2});
  own(MakeGearRacePages(kit_, pages[kPageGear], pages[kPageRace]), {kPageGear, kPageRace});
  own(MakeTestsPage(kit_, pages[kPageTests]), {kPageTests});
}

PageSet::~PageSet() { ws_.setPageReadBack({}); }

void ConnectWindowFace(Workspace& workspace, WindowFace& window, QObject* context) {
  QObject::connect(&workspace, &Workspace::message, context,
                   [&window](const QString& text) { window.showMessage(text); });
  QObject::connect(&workspace, &Workspace::note, context,
                   [&window](const QString& text, int ms) { window.showNote(text, ms); });
}

void PageSet::indexControls() {
  byName_.clear();
  for (QWidget* w : root_->findChildren<QWidget*>())
    if (!w->objectName().isEmpty()) byName_.insert(w->objectName(), w);
}

MapPages& PageSet::maps() const { return *static_cast<MapPages*>(module(kPageAdvance1)); }

QWidget* PageSet::controlFor(const DifferingSlot& s) const {
  if (s.kind == SlotKind::Scalar) return kit_.controlOf(s.def);
  if (s.page < 0 || s.page >= kPageCount) return nullptr;
  const PageModule* m = module(s.page);
  return m != nullptr ? m->controlFor(s, ws_.page()) : nullptr;
}

void PageSet::show(int page) {
  refresh(page);
  applyRules(page);
  emit refreshed(page);
}

// The image the workspace shows is held by the gear system already (its consistency pass).
void PageSet::refresh(int page) {
  const PageKit::RefreshScope scope(kit_.workspace());
  if (page >= 0 && page < kPageCount)
    if (PageModule* m = module(page)) m->refresh(page);
}

void PageSet::readBack(int page, ParameterImage& image) {
  if (kit_.refreshing() || page < 0 || page >= kPageCount) return;
  if (PageModule* m = module(page)) m->readBack(page, image);
}

void PageSet::applyRules(int page) {
  RuleInputs in;
  in.image = &ws_.image();
  in.printing = ws_.printing();
  in.testMode = testMode_;
  in.pickupSignal = ws_.lastMonitor().anyPickupSignal();
  for (const RuleResult& r : EvaluatePageRules(page, in)) {
    QWidget* w = byName_.value(QString::fromStdString(r.control));
    if (w == nullptr) continue;
    if (r.property == RuleProperty::Visible) {
      SetShown(w, r.on);
    } else if (w->isEnabled() != r.on) {
      w->setEnabled(r.on);
    }
  }
  if (page >= 0 && page < kPageCount)
    if (PageModule* m = module(page)) m->applyRules(page);
}

void PageSet::markLive(int page) {
  if (page >= 0 && page < kPageCount)
    if (PageModule* m = module(page)) m->markLive(page);
}

void PageSet::showPage(int page) {
  for (const auto& m : owned_) m->pageShown(page);
}

void PageSet::monitorAccepted() {
  for (const auto& m : owned_) m->monitorAccepted();
}

void PageSet::languageChanged(int language) {
  for (const auto& m : owned_) m->languageChanged(language);
}

bool PageSet::commitFocusedEdit() {
  auto* edit = qobject_cast<SpinEdit*>(QApplication::focusWidget());
  if (edit == nullptr || kit_.refreshing()) return false;
  edit->takeTypedText();
  if (!edit->userChanged()) return false;
  kit_.commitEdit();
  return true;
}

void PageSet::discardFocusedEdit() {
  if (auto* edit = qobject_cast<SpinEdit*>(QApplication::focusWidget())) edit->discardTypedText();
}

}  // namespace rq

#include "moc_page_set.cpp"
