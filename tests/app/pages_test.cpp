// SPDX-License-Identifier: GPL-3.0-or-later
// The editing pages of Bike, Inputs, Gear, Race and Tests driven the way a user drives them:
// typing plus Enter, the arrow keys, clicks. Every parameter row must reach exactly the bytes the
// table says, and nothing a refresh does may be taken for an edit.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "model/defaults.h"
#include "pages/controls.h"
#include "pages/page_set.h"
#include "caption_check.h"
#include "support.h"
#include "ui/text_table.h"

namespace rq::test {
namespace {

constexpr int kStaticPages[] = {kPageBike, kPageInputs, kPageGear, kPageRace, kPageTests};

bool IsStaticPage(int page) {
  for (int p : kStaticPages)
    if (p == page) return true;
  return false;
}

QString EditName(const ParameterDef& d) {
  const QString name = QString::fromLatin1(d.control);
  return d.kind == ControlKind::UpDown ? "Edit" + name.mid(6) : name;
}

// The configuration bytes that differ, "offset: a/b ...", empty when equal.
std::string Diff(const ParameterImage& a, const ParameterImage& b) {
  std::string out;
  for (int i = 0; i < kConfigSize; ++i)
    if (a.byte(i) != b.byte(i))
      out += std::to_string(i) + ": " + std::to_string(a.byte(i)) + "/" +
             std::to_string(b.byte(i)) + " ";
  return out;
}

// What the window must hold after a user stores `shown` into `def`: the value, then the
// consistency pass and the gear coupling, nothing else.
ParameterImage Expected(const ParameterImage& before, const ParameterDef& def, long shown) {
  ParameterImage e = before;
  StoreShown(e, def, shown);
  SanitizeImage(e);
  ApplyGearCoupling(e);
  return e;
}

// Settings of the modes under which each control of the page is enabled and visible. Every
// row is tested under the first setup that shows it.
using ModeSetup = void (*)(ParameterImage&);
const ModeSetup kSetups[] = {
    [](ParameterImage& im) {  // special bike, two channels, all inputs in use
      im.setByte(kBikeType, 1);
      im.setByte(kSyncMethod, 1);
      im.setByte(kOutputs, 2);
      im.setByte(kInputFunction[0], 3);
      im.setByte(kInputFunction[1], 4);
      im.setByte(kInputFunction[2], 5);
      im.setByte(kGearSystem, 0);
    },
    [](ParameterImage& im) {  // special bike with two pick-ups
      im.setByte(kBikeType, 1);
      im.setByte(kSyncMethod, 4);
      im.setByte(kOutputs, 2);
    },
    [](ParameterImage& im) {  // gear by voltage, six gears, clutch master on input 1
      im.setByte(kGearSystem, 1);
      im.setByte(kGearCount, 6);
      im.setByte(kInputFunction[0], 3);
    },
    [](ParameterImage& im) {  // gear by ratio
      im.setByte(kGearSystem, 2);
      im.setByte(kGearCount, 6);
      im.setByte(kInputFunction[0], 3);
    },
    [](ParameterImage& im) {  // automatic gear learning
      im.setByte(kGearSystem, 3);
      im.setByte(kGearCount, 6);
      im.setByte(kInputFunction[0], 3);
    },
};

class PagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cfg_.writeMarker("DIAG_UNLOCK");  // developer test mode shows every field
    w_ = std::make_unique<Window>();
    form().show();
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  }
  FormHlavPeer& form() { return *w_->form; }
  void showPage(int page) {
    form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(page);
    ASSERT_EQ(form().currentPage(), page);
  }
  void load(const ParameterImage& image) {
    form().image() = image;
    form().RefreshPages();
  }
  template <typename T>
  T* find(const QString& name) {
    return form().findChild<T*>(name);
  }

  // Types the value into the field and presses Enter.
  void type(SpinEdit* edit, long value) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::number(value));
    QTest::keyClick(edit, Qt::Key_Return);
  }

  TempConfig cfg_;
  std::unique_ptr<Window> w_;
};

TEST_F(PagesTest, EveryControlHasItsRowAndEveryRowItsControl) {
  std::set<QString> bound;
  for (const ParameterDef& d : ScalarParameters()) {
    if (!IsStaticPage(d.page)) continue;
    const QString name = EditName(d);
    bound.insert(name);
    EXPECT_NE(find<QWidget>(name), nullptr) << "no control for row " << d.name;
    if (d.kind == ControlKind::UpDown) {
      EXPECT_NE(find<UpDown>(d.control), nullptr) << d.control;
    }
  }
  const QTabWidget* tabs = find<QTabWidget>("PageControl1");
  for (int page : kStaticPages) {
    QWidget* p = tabs->widget(page);
    for (QWidget* w : p->findChildren<QWidget*>()) {
      const bool editing = qobject_cast<SpinEdit*>(w) || qobject_cast<CheckEdit*>(w) ||
                           qobject_cast<ComboEdit*>(w) || qobject_cast<RadioGroup*>(w);
      if (editing) {
        EXPECT_TRUE(bound.count(w->objectName())) << "unbound " << w->objectName().toStdString();
      }
    }
  }
}

TEST_F(PagesTest, EveryParameterThroughTypingEnterAndArrowsGivesTheTableBytes) {
  std::set<std::string> tested;
  for (ModeSetup setup : kSetups) {
    for (int page : kStaticPages) {
      ParameterImage base = NewConfiguration();
      setup(base);
      SanitizeImage(base);
      ApplyGearCoupling(base);
      showPage(page);
      for (const ParameterDef& d : ScalarParameters()) {
        if (d.page != page || d.kind != ControlKind::UpDown || tested.count(d.control)) continue;
        auto* edit = find<SpinEdit>(EditName(d));
        ASSERT_NE(edit, nullptr) << d.control;
        load(base);
        if (!edit->isVisible() || !edit->isEnabled()) continue;
        tested.insert(d.control);
        const long mid = d.min + (d.max - d.min) / 2 / d.increment * d.increment;
        for (long v : {long(d.min), long(d.max), mid}) {
          load(base);
          const ParameterImage before = form().image();
          type(edit, v);
          EXPECT_EQ(Diff(form().image(), Expected(before, d, v)), "")
              << d.control << " typed " << v;
        }
        // The arrows step by the increment from the minimum and back.
        load(base);
        type(edit, d.min);
        const ParameterImage atMin = form().image();
        const long up = std::min<long>(d.max, edit->value() + d.increment);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Up);
        EXPECT_EQ(Diff(form().image(), Expected(atMin, d, up)), "")
            << d.control << " up";
      }
    }
  }
  for (const ParameterDef& d : ScalarParameters())
    if (IsStaticPage(d.page) && d.kind == ControlKind::UpDown) {
      EXPECT_TRUE(tested.count(d.control)) << d.control << " never shown and enabled";
    }
}

TEST_F(PagesTest, ChecksAndChoicesStoreTheirByteOnTheUsersClick) {
  std::set<std::string> tested;
  for (ModeSetup setup : kSetups) {
    for (int page : kStaticPages) {
      ParameterImage base = NewConfiguration();
      setup(base);
      SanitizeImage(base);
      showPage(page);
      for (const ParameterDef& d : ScalarParameters()) {
        if (d.page != page || d.kind == ControlKind::UpDown || tested.count(d.control)) continue;
        load(base);
        QWidget* w = find<QWidget>(d.control);
        ASSERT_NE(w, nullptr) << d.control;
        if (!w->isVisible() || !w->isEnabled()) continue;
        tested.insert(d.control);
        if (auto* check = qobject_cast<CheckEdit*>(w)) {
          const bool was = check->isChecked();
          QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
          EXPECT_EQ(form().image().byte(d.imageOffset()), was ? 0 : 1) << d.control;
        } else if (auto* radio = qobject_cast<RadioGroup*>(w)) {
          for (int i = radio->count() - 1; i >= 0; --i) {
            if (!radio->button(i)->isEnabled()) continue;
            QTest::mouseClick(radio->button(i), Qt::LeftButton, {}, QPoint(6, 6));
            // The gear system may take an input over; the item chosen is what is stored.
            EXPECT_EQ(form().image().byte(d.imageOffset()), i) << d.control;
          }
        } else if (auto* combo = qobject_cast<ComboEdit*>(w)) {
          if (std::string_view(d.control) == "ComboBoxBike") continue;  // own test below
          for (int i = combo->count() - 1; i >= 0; --i) {
            if (!combo->isEnabled()) break;
            combo->setCurrentIndex(i);
            emit combo->activated(i);
            EXPECT_EQ(form().image().byte(d.imageOffset()) == i || std::string_view(d.control) == "ComboBoxSynchro", true)
                << d.control << " item " << i;
          }
        }
      }
    }
  }
  for (const ParameterDef& d : ScalarParameters())
    if (IsStaticPage(d.page) && d.kind != ControlKind::UpDown) {
      EXPECT_TRUE(tested.count(d.control)) << d.control << " never shown and enabled";
    }
}

TEST_F(PagesTest, MotorbikeTypeItemsMapToTypesBothWays) {
  int asked = 0;
  // Answer No to the defaults question: only the preset applies.
  w_->form.reset();
  FormHlavOptions o;
  o.askQuestion = [&](const QString&) {
    ++asked;
    return int(QMessageBox::No);
  };
  o.messageBox = [](const QString&) {};
  o.settingsFolder = cfg_.folder();
  w_->form = std::make_unique<FormHlavPeer>(std::move(o));
  showPage(kPageBike);
  auto* bike = find<ComboEdit>("ComboBoxBike");
  const int types[6] = {0, 2, 3, 4, 5, 1};
  for (int item = 0; item < 6; ++item) {
    asked = 0;
    bike->setCurrentIndex(item);
    emit bike->activated(item);
    EXPECT_EQ(form().image()[kBikeType], types[item]);
    EXPECT_EQ(asked, types[item] == 1 ? 0 : 1) << "item " << item;
    form().RefreshPages();
    EXPECT_EQ(bike->currentIndex(), item) << "refresh shows type " << types[item];
  }
  // A type byte no item stands for shows no selection and is kept.
  ParameterImage im = form().image();
  im.setByte(kBikeType, 9);
  load(im);
  EXPECT_EQ(bike->currentIndex(), -1);
  type(find<SpinEdit>("EditRpmPulsu"), 3);
  EXPECT_EQ(form().image()[kBikeType], 9);
  EXPECT_EQ(form().image()[kTachoPulses], 3);
}

TEST_F(PagesTest, ExtremeBytesRefreshEveryPageWithoutHarmAndOutOfRangeFieldsStoreClamped) {
  for (int fill : {0, 255}) {
    ParameterImage im;
    for (int i = 0; i < kConfigSize; ++i) im.setByte(i, fill);
    for (int page = 0; page < kPageCount; ++page) {
      showPage(page);
      load(im);
      form().ReadBackPage();
    }
  }
  // A byte beyond the control's range is shown clamped and an edit of another field stores
  // it clamped; an input function outside the list shows no choice and stays.
  ParameterImage im = NewConfiguration();
  im.setByte(kTachoPulses, 200);  // tachometer pulses, 0..6
  im.setByte(kInputFunction[0], 9);    // input 1 function, 0..6
  SanitizeImage(im);
  const int input = im[kInputFunction[0]];
  showPage(kPageBike);
  load(im);
  EXPECT_EQ(find<SpinEdit>("EditRpmPulsu")->value(), 6);
  type(find<SpinEdit>("EditRpmKorekce"), 10);
  EXPECT_EQ(form().image()[kTachoPulses], 6);
  EXPECT_EQ(form().image()[kTachoCorrection], 110);
  showPage(kPageInputs);
  EXPECT_EQ(find<RadioGroup>("RadioGroupInput1")->index(), -1);
  type(find<SpinEdit>("EditRetard"), 7);
  EXPECT_EQ(form().image()[kInputFunction[0]], input);
}

// The random sweep in two halves of one sequence of images, each half a test of its own.
class PagesSweepTest : public PagesTest, public ::testing::WithParamInterface<int> {};

TEST_P(PagesSweepTest, RefreshAndReadBackOfRandomImagesStoreWhatIsShownAndTakeNoStep) {
  std::mt19937 rng(7);
  const int steps = form().undoHistory().current();
  auto* tabs = find<QTabWidget>("PageControl1");
  // Every page is the first one shown in turn; random bytes hit the out-of-range values of
  // almost every field within a few images.
  const int images = SweepImages(2 * kPageCount);
  const int first = GetParam() == 0 ? 0 : images / 2;
  const int end = GetParam() == 0 ? images / 2 : images;
  for (int n = 0; n < end; ++n) {
    ParameterImage im;
    for (int i = 0; i < kConfigSize; ++i) im.setByte(i, int(rng() & 0xFF));
    if (n < first) continue;  // the other half's image
    form().image() = im;
    ParameterImage expected = im;
    // Every page in turn, starting at a different one each time; a page change refreshes.
    // The refresh changes nothing (the gear coupling is the workspace's pass); the read-back
    // stores what the page shows, and a second read-back nothing more.
    for (int k = 0; k < kPageCount; ++k) {
      const int page = (n + k) % kPageCount;
      tabs->setCurrentIndex(page);
      if (k == 0) form().RefreshPages();  // the page may already be shown
      ASSERT_EQ(Diff(form().image(), expected), "") << "refresh of page " << page;
      expected = ReadBackExpected(form(), expected, page);
      form().ReadBackPage();
      ASSERT_EQ(Diff(form().image(), expected), "") << "read-back of page " << page;
      form().ReadBackPage();
      ASSERT_EQ(Diff(form().image(), expected), "") << "second read-back of page " << page;
    }
  }
  EXPECT_EQ(form().undoHistory().current(), steps);
  EXPECT_FALSE(form().exchange().busy());
}

INSTANTIATE_TEST_SUITE_P(Halves, PagesSweepTest, ::testing::Values(0, 1));

TEST_F(PagesTest, APageNeverShowsOneValueWhileTheUnitGetsAnother) {
  // Bytes above their fields' ranges, as a file or a unit may hold them.
  ParameterImage im = NewConfiguration();
  im.setByte(163, 200);  // tachometer pulses, 0..6
  im.setByte(141, 5);    // a flag byte other than 0 and 1
  im.setWord(4, 60000);  // throttle 0 %, 200..4940 mV
  im.setByte(735, 1);    // test rpm 100, 200..25000
  for (int page : {kPageBike, kPageInputs, kPageTests}) {
    showPage(page);
    load(im);
    form().ReadBackPage();
    form().SanitizeImage();
    im = form().image();
  }
  // What each field shows is what the configuration now holds.
  for (const ParameterDef& d : ScalarParameters()) {
    if (d.kind != ControlKind::UpDown || !IsStaticPage(d.page)) continue;
    showPage(d.page);
    auto* field = find<SpinEdit>(EditName(d));
    ASSERT_NE(field, nullptr) << d.control;
    EXPECT_EQ(field->value(), ShownValue(form().image(), d)) << d.control;
  }
  EXPECT_EQ(form().image().byte(163), 6);
  EXPECT_EQ(form().image().byte(141), 1);
  EXPECT_EQ(form().image().word(4), 4940);
  EXPECT_EQ(form().image().byte(735), 2);
  // An edit of another field programs the clamped value, as the unit is told.
  showPage(kPageBike);
  ParameterImage high = form().image();
  high.setByte(163, 200);
  load(high);
  type(find<SpinEdit>("EditRpmKorekce"), 10);
  EXPECT_EQ(form().image().byte(163), 6);
  EXPECT_EQ(find<SpinEdit>("EditRpmPulsu")->value(), 6);
}

TEST_F(PagesTest, EnterIsOneCommitOneUndoStep) {
  showPage(kPageInputs);
  auto* edit = find<SpinEdit>("EditRetard");
  ParameterImage im = NewConfiguration();
  im.setByte(kInputFunction[1], 4);
  load(im);
  const int before = form().undoHistory().current();
  type(edit, 12);
  // Enter moved the focus on; leaving the field again is no second commit.
  find<SpinEdit>("EditMapa2Akcel")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form().image()[kRetard], 12);
  EXPECT_EQ((form().undoHistory().current() - before + UndoHistory::kSlots) % UndoHistory::kSlots, 1);
  // A typed value not yet confirmed is committed by a command.
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, "15");
  form().commitPendingEdit();
  EXPECT_EQ(form().image()[kRetard], 15);
}

TEST_F(PagesTest, WheelPassesOverAFieldWithoutFocus) {
  showPage(kPageInputs);
  auto* edit = find<SpinEdit>("EditSoftLimiter");
  find<SpinEdit>("EditRetard")->setFocus();
  const int before = form().image()[kSoftLimiter];
  QWheelEvent wheel(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(edit, &wheel);
  EXPECT_EQ(form().image()[kSoftLimiter], before);
  EXPECT_EQ(edit->value(), before);
}

TEST_F(PagesTest, GearSystemTakesItsInputAndItsSelectorIsGuarded) {
  showPage(kPageGear);
  auto* system = find<RadioGroup>("RadioGroupGearSystem");
  const int steps = form().undoHistory().current();
  QTest::mouseClick(system->button(1), Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(form().image()[kGearSystem], 1);
  EXPECT_EQ(form().image()[kInputFunction[1]], 7);
  EXPECT_NE(form().undoHistory().current(), steps);
  showPage(kPageInputs);
  EXPECT_FALSE(find<RadioGroup>("RadioGroupInput2")->isEnabled());
  showPage(kPageGear);
  QTest::mouseClick(system->button(0), Qt::LeftButton, {}, QPoint(6, 6));
  showPage(kPageInputs);
  EXPECT_TRUE(find<RadioGroup>("RadioGroupInput2")->isEnabled());
  EXPECT_EQ(form().image()[kInputFunction[1]], 7);  // stays "Gear" until the user changes it
  // Ratio systems hold input 3 on every refresh, whatever page.
  ParameterImage im = form().image();
  im.setByte(kGearSystem, 3);
  im.setByte(kInputFunction[2], 1);
  form().image() = im;
  showPage(kPageTests);
  EXPECT_EQ(form().image()[kInputFunction[2]], 7);
}

TEST_F(PagesTest, PotentiometerModePresetsItsRangeAndLimits) {
  showPage(kPageInputs);
  auto* mode = find<RadioGroup>("RadioGroupModePotencMode");
  auto* range = find<SpinEdit>("EditPotencRozsah");
  const int presets[5] = {0, 5, 1000, 1000, 2000};
  const int maxima[5] = {25000, 60, 10000, 10000, 10000};
  for (int m : {1, 2, 3, 4, 0}) {
    QTest::mouseClick(mode->button(m), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(form().image()[kPotMode], m);
    EXPECT_EQ(form().image()[kPotRange], presets[m]);
    EXPECT_EQ(range->value(), presets[m]);
    if (m != 0) {
      EXPECT_EQ(range->maximum(), maxima[m]);
    }
  }
  EXPECT_EQ(range->maximum(), 10000);  // "Off" leaves the limits as they were
}

TEST_F(PagesTest, TeachingAndThrottleButtonsNeedAUnit) {
  ParameterImage im = NewConfiguration();
  im.setByte(kGearSystem, 1);
  load(im);
  showPage(kPageGear);
  const ParameterImage before = form().image();
  find<QPushButton>("ButtonGear3")->click();
  showPage(kPageInputs);
  find<QPushButton>("BitBtnTps0")->click();
  EXPECT_EQ(Diff(form().image(), before), "");
}

}  // namespace
}  // namespace rq::test

namespace rq::test {
namespace {

TEST_F(PagesTest, ReadProtectionIsRedWhileSetAndTakenAtTheClick) {
  showPage(kPageBike);
  auto* box = find<CheckEdit>("CheckBoxZakazCteni");
  auto red = [&] { return PaintedRed(box); };
  EXPECT_FALSE(red());
  // A click is the page's read-back and nothing else: no undo step, and no programming even
  // with "Programming after change" ticked, which is red while ticked.
  auto* progBox = find<QCheckBox>("CheckBoxProgHned");
  EXPECT_FALSE(PaintedRed(progBox));
  progBox->setChecked(true);
  EXPECT_TRUE(PaintedRed(progBox));
  const int steps = form().undoHistory().current();
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
  EXPECT_EQ(form().image()[kReadProtection], 1);  // stored at once: a page change cannot lose it
  EXPECT_TRUE(red());
  EXPECT_EQ(form().undoHistory().current(), steps);
  EXPECT_FALSE(form().exchange().busy());
  form().Timer1Timer();
  EXPECT_FALSE(form().exchange().busy());
  find<QCheckBox>("CheckBoxProgHned")->setChecked(false);
  // The next edit of the page carries it into its undo step.
  type(find<SpinEdit>("EditRpmKorekce"), 5);
  EXPECT_EQ(form().image().byte(165), 1);
  EXPECT_NE(form().undoHistory().current(), steps);
  ParameterImage im = form().image();
  im.setByte(kReadProtection, 0);
  load(im);
  EXPECT_FALSE(red());
}

// The Bike page's channel columns: every shown field and box stands under its own header
// ("Lobe", "2nd Edge", "2nd Pick-up") in every language, whether the second pick-up boxes are
// shown (method 0) or hidden (methods 1 and 5), and whatever the up-downs do. A hidden box
// keeps its room: no method moves a shown box sideways.
TEST_F(PagesTest, ChannelBoxesStayUnderTheirHeadersInEverySynchronisationMethod) {
  showPage(kPageBike);
  form().resize(1300, 1000);
  auto span = [this](const char* name) {
    auto* head = find<QLabel>(name);
    const int left = head->mapTo(&form(), QPoint(0, 0)).x();
    return std::pair{left, left + head->width()};
  };
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SwitchLanguage(form(), lang);
    std::map<QString, int> firstCentre;  // per box, in the first setting that shows it
    for (int bike : {0, 1})  // 1: special, its fields' up-downs shown from method 1 on
    for (int s : {0, 1, 5}) {
      ParameterImage im = form().image();
      im.setByte(kBikeType, bike);
      im.setByte(kSyncMethod, s);
      im.setByte(kOutputs, 2);
      load(im);
      for (int i = 0; i < 5; ++i) QApplication::processEvents();
      const bool second = s == 0 || s == 4 || s == 6;
      int shown = 0;
      for (int ch = 1; ch <= 2; ++ch) {
        for (const char* kind : {"Zac", "End"}) {
          const QString c = QString("Palec%1%2").arg(ch).arg(kind);
          const std::pair<QString, const char*> columns[] = {{"Edit" + c, "LabelLobe"},
                                                             {"CheckBox" + c + "H2", "LabelHrana2"},
                                                             {"CheckBox" + c + "P2", "LabelSnimac2"}};
          for (const auto& [box, headName] : columns) {
            auto* w = find<QWidget>(box);
            ASSERT_NE(w, nullptr) << box.toStdString();
            EXPECT_EQ(w->isVisible(), second || !box.endsWith("P2")) << box.toStdString();
            if (!w->isVisible()) continue;
            ++shown;
            const int centre = w->mapTo(&form(), w->rect().center()).x();
            const auto [left, right] = span(headName);
            const int first = firstCentre.try_emplace(box, centre).first->second;
            EXPECT_EQ(centre, first) << box.toStdString() << " moved in language " << lang
                                     << ", type " << bike << ", method " << s;
            EXPECT_TRUE(centre >= left && centre < right)
                << box.toStdString() << " centre " << centre << " outside " << headName << " ["
                << left << ", " << right << ") in language " << lang << ", type " << bike << ", method " << s;
          }
        }
      }
      EXPECT_EQ(shown, second ? 12 : 8);
    }
  }
  SwitchLanguage(form(), kLanguageEnglish);
}

}  // namespace
}  // namespace rq::test
