// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitsync/unit_sync.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStatusBar>

#include <algorithm>

#include "app/form_hlav.h"
#include "app/verify_differences.h"
#include "compare/compare_view.h"
#include "pages/controls.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"

namespace rq {
namespace {

// A small triangle in a control's top left corner: dark with a white edge, so that it reads on
// the value colours, the lime live cell and the trail alike.
class DifferenceMark : public QWidget {
 public:
  static constexpr int kSize = 7;
  explicit DifferenceMark(QWidget* control) : QWidget(control) {
    setObjectName("DifferenceMark");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, kSize, kSize);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QPolygon corner({QPoint(0, 0), QPoint(kSize - 1, 0), QPoint(0, kSize - 1)});
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(128, 0, 128));  // purple: no heat colour, not the live lime
    p.drawPolygon(corner);
  }
};

}  // namespace

void UnitStateLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
  QLabel::mousePressEvent(event);
}

UnitSync::UnitSync(FormHlav& form) : QObject(&form), form_(form) {
  compare_ = std::make_unique<CompareView>(form_);
  if (auto* bar = form_.findChild<QStatusBar*>("StatusBar1")) {
    label_ = new UnitStateLabel(bar);
    label_->setObjectName("LabelUnitState");
    label_->setCursor(Qt::PointingHandCursor);
    bar->addPermanentWidget(label_);
    connect(label_, &UnitStateLabel::clicked, this, [this] { LabelUnitStateClick(); });
  }
  showState();
}

UnitSync::~UnitSync() = default;

void UnitSync::exchangeViewChanged() {
  const DeviceExchange& x = form_.exchange();
  if (tracker_.observe(x.state().op, x.view(), form_.image())) imageChanged();
}

void UnitSync::readStored() {
  tracker_.readStored(form_.image());
  imageChanged();
}

void UnitSync::programVerified() {
  tracker_.programVerified(form_.image());
  imageChanged();
}

void UnitSync::unitRead(const ParameterImage& unit) {
  tracker_.unitRead(unit);
  imageChanged();
}

void UnitSync::imageChanged() {
  if (record_.state() == UnitRecord::State::Known)
    slots_ = DifferingSlots(form_.image(), record_.unit());
  else
    slots_.clear();
  showState();
  updateMarks();
  compare_->pcChanged();
}

void UnitSync::showState() {
  if (label_ == nullptr) return;
  const int state = int(record_.state());
  const int count = differenceCount();
  if (state == shownState_ && count == shownCount_ && form_.language() == shownLanguage_) return;
  shownState_ = state;
  shownCount_ = count;
  shownLanguage_ = form_.language();
  const int lang = form_.language();
  QString text;
  QString colour;
  switch (record_.state()) {
    case UnitRecord::State::NotRead: text = FromStd(UnitTextOf(UtNotRead, lang)); break;
    case UnitRecord::State::Unknown:
      text = FromStd(UnitTextOf(UtUnknown, lang));
      colour = "#b00000";
      break;
    case UnitRecord::State::Known:
      if (count == 0) {
        text = FromStd(UnitTextOf(UtEqual, lang));
        colour = "#006000";
      } else {
        text = count == 1 ? FromStd(UnitTextOf(UtDifferOne, lang))
                          : FromStd(UnitTextOf(UtDifferMany, lang)).arg(count);
        colour = "#800080";
      }
      break;
  }
  label_->setText(text);
  label_->setStyleSheet(colour.isEmpty() ? QString() : "color: " + colour);
  const QString hint = FromStd(UnitTextOf(UtStateHint, lang));
  label_->setToolTip(hint);
  label_->setStatusTip(hint);
}

void UnitSync::LabelUnitStateClick() {
  if (record_.state() == UnitRecord::State::Known) {
    compare_->showUnit(record_.unit(), true);
    return;
  }
  // Nothing known of the unit: read it into a copy, as Differences to unit does.
  form_.verifyDifferences().ButtonVerifyDiffClick();
}

QWidget* UnitSync::named(const QString& name) {
  if (byName_.isEmpty())
    for (QWidget* w : form_.findChildren<QWidget*>())
      if (!w->objectName().isEmpty() && !byName_.contains(w->objectName()))
        byName_.insert(w->objectName(), w);
  return byName_.value(name);
}

QWidget* UnitSync::controlOf(const DifferingSlot& s) {
  switch (s.kind) {
    case SlotKind::Scalar: {
      QWidget* w = named(QString::fromLatin1(s.def->control));
      if (auto* updown = qobject_cast<UpDown*>(w)) return updown->edit();
      return w;
    }
    case SlotKind::GridBit:
      return named(QString("CheckBoxPOut%1_%2_%3").arg(s.output + 1).arg(s.row + 1).arg(s.column + 1));
    case SlotKind::AxisPoint:
      // The three map pages share one grid: only the map shown is marked.
      return s.page == form_.currentPage() ? named(QString("EditMapRpm%1").arg(s.column)) : nullptr;
    case SlotKind::Cell:
      return s.page == form_.currentPage() ? named(QString("EditMap%1_%2").arg(s.row).arg(s.column))
                                           : nullptr;
  }
  return nullptr;
}

void UnitSync::updateMarks() {
  std::vector<QWidget*> wanted;
  wanted.reserve(slots_.size());
  for (const DifferingSlot& s : slots_)
    if (QWidget* w = controlOf(s)) wanted.push_back(w);
  std::sort(wanted.begin(), wanted.end());
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
  if (wanted == shown_) return;
  // Only the marks that change are touched.
  std::vector<QWidget*> gone, added;
  std::set_difference(shown_.begin(), shown_.end(), wanted.begin(), wanted.end(),
                      std::back_inserter(gone));
  std::set_difference(wanted.begin(), wanted.end(), shown_.begin(), shown_.end(),
                      std::back_inserter(added));
  for (QWidget* w : gone)
    if (QWidget* m = marks_.value(w)) m->hide();
  for (QWidget* w : added) {
    QWidget*& m = marks_[w];
    if (m == nullptr) m = new DifferenceMark(w);
    m->raise();
    m->show();
  }
  shown_ = std::move(wanted);
}

bool UnitSync::marked(const QWidget* control) const {
  return std::binary_search(shown_.begin(), shown_.end(), const_cast<QWidget*>(control));
}

int UnitSync::markCount() const { return int(shown_.size()); }

}  // namespace rq

#include "moc_unit_sync.cpp"
