// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitsync/unit_sync.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

#include "compare/compare_view.h"
#include "compare/verify_differences.h"
#include "pages/page_set.h"
#include "ui/print_pages.h"
#include "ui/qt_text.h"
#include "ui/unit_texts.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

namespace rq {
namespace {

// A small triangle in a control's top left corner: dark with a white edge, so that it reads on
// the value colours, the lime live cell and the trail alike.
class DifferenceMark : public QWidget {
 public:
  static constexpr int kSize = 7;
  explicit DifferenceMark(QWidget* control) : QWidget(control) {
    setObjectName("DifferenceMark");
    setProperty(kNotPrinted, true);  // paper shows the page as described
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

UnitSync::UnitSync(Workspace& workspace, WindowFace& window, const PageSet& pages,
                   CompareView& compare, VerifyDifferences& unitRead)
    : QObject(window.dialogParent()),
      ws_(workspace),
      pages_(pages),
      compare_(compare),
      unitRead_(unitRead) {
  label_ = new UnitStateLabel(nullptr);
  label_->setObjectName("LabelUnitState");
  label_->setCursor(Qt::PointingHandCursor);
  window.addStatusWidget(label_);
  connect(label_, &UnitStateLabel::clicked, this, [this] { LabelUnitStateClick(); });
  connect(&ws_, &Workspace::unitChanged, this, [this] { refresh(); });
  connect(&pages_, &PageSet::refreshed, this, [this] { refresh(); });
  connect(&ws_, &Workspace::languageChanged, this, [this] { showState(); });
  showState();
}

UnitSync::~UnitSync() = default;

const UnitRecord& UnitSync::record() const { return ws_.unit(); }

void UnitSync::refresh() {
  slots_ = ws_.differences();
  showState();
  updateMarks();
}

void UnitSync::showState() {
  if (label_ == nullptr) return;
  const int state = int(ws_.unit().state());
  const int count = differenceCount();
  if (state == shownState_ && count == shownCount_ && ws_.language() == shownLanguage_) return;
  shownState_ = state;
  shownCount_ = count;
  shownLanguage_ = ws_.language();
  const int lang = ws_.language();
  QString text;
  QString colour;
  switch (ws_.unit().state()) {
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
  if (ws_.unit().state() == UnitRecord::State::Known) {
    compare_.showUnit(ws_.unit().unit(), true);
    return;
  }
  // Nothing known of the unit: read it into a copy, as Differences to unit does.
  unitRead_.ButtonVerifyDiffClick();
}

void UnitSync::updateMarks() {
  std::vector<QWidget*> wanted;
  wanted.reserve(slots_.size());
  for (const DifferingSlot& s : slots_)
    if (QWidget* w = pages_.controlFor(s)) wanted.push_back(w);
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
