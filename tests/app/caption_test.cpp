// SPDX-License-Identifier: GPL-3.0-or-later
// The caption table written into a window: a stand-in window holding a control for every row
// (so every row and every kind of control is exercised before all pages exist), and the real
// main window switched through the four languages.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QClipboard>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "caption_check.h"
#include "pages/controls.h"
#include "support.h"
#include "ui/caption_apply.h"
#include "ui/text_fit.h"
#include "ui/caption_table.h"
#include "ui/text_table.h"

namespace rq::test {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A window with one control of the right kind for every row of the table, named as the rows
// name them, without texts of their own and too small for any; combo boxes and radio groups
// with as many items as the rows address.
class StandIn {
 public:
  StandIn() {
    window_.setObjectName("FormHlav");
    tabs_ = new QTabWidget(&window_);
    tabs_->setObjectName("PageControl1");
    tabs_->resize(1000, 400);
    auto* page = new QWidget;
    page->setObjectName("StandInPage");
    tabs_->addTab(page, "stand-in");
    // Items per combo box and radio group: as many as the rows address.
    std::map<std::string, int> items;
    for (const CaptionText& row : CaptionTexts(0)) {
      int& n = items[row.control];
      if (row.property == CaptionProperty::Item) n = std::max(n, row.item + 1);
      if (row.property == CaptionProperty::ItemList)
        n = int(std::count(row.text.begin(), row.text.end(), '\n')) + 1;
    }
    items["ComboBoxBike"] = 6;  // items 1..3 keep the form's texts
    for (const auto& [control, n] : items)
      if (control != "FormHlav") make(Q(control), page, n);
  }
  QMainWindow& window() { return window_; }
  template <typename T>
  T* get(const char* name) {
    T* t = window_.findChild<T*>(name);
    EXPECT_NE(t, nullptr) << name;
    return t;
  }
  QList<QRadioButton*> radios(const char* group) { return get<QGroupBox>(group)->findChildren<QRadioButton*>(); }

 private:
  void make(const QString& name, QWidget* page, int items) {
    static const QStringList kMenus = {"MenuFile", "MenuCom", "MenuDevice", "MenuTools", "MenuLanguage", "MenuHelp"};
    QWidget* w = nullptr;
    if (kMenus.contains(name)) {
      QMenu* m = window_.menuBar()->addMenu("form " + name);
      m->setObjectName(name);
      lastMenu_ = m;
      return;
    }
    if (name.startsWith("Menu")) {
      QAction* a = (lastMenu_ != nullptr ? lastMenu_ : window_.menuBar()->addMenu("m"))->addAction("form " + name);
      a->setObjectName(name);
      a->setCheckable(true);
      return;
    }
    if (name.startsWith("TabSheet_")) {
      w = new QWidget;
      tabs_->addTab(w, "form " + name);
    } else if (name.startsWith("RadioGroup")) {
      auto* g = new QGroupBox(QString(), page);
      auto* bg = new QButtonGroup(g);
      // Created from the last to the first: the button group's ids give the order.
      for (int i = items - 1; i >= 0; --i) {
        auto* r = new QRadioButton(QString("form item %1").arg(i), g);
        r->setGeometry(4, 16 + 18 * i, 60, 16);
        bg->addButton(r, i);
      }
      w = g;
    } else if (name.startsWith("GroupBox")) {
      w = new QGroupBox(QString(), page);
    } else if (name.startsWith("Label")) {
      w = new QLabel(QString(), page);
    } else if (name.startsWith("CheckBox")) {
      w = new QCheckBox(QString(), page);
    } else if (name.startsWith("SpeedButton") || name.startsWith("CSpinButton")) {
      w = new QToolButton(page);
    } else if (name.startsWith("Button") || name.startsWith("BitBtn")) {
      w = new QPushButton(QString(), page);
    } else if (name.startsWith("ComboBox")) {
      auto* c = new QComboBox(page);
      for (int i = 0; i < items; ++i) c->addItem(QString("form item %1").arg(i));
      w = c;
    }
    ASSERT_NE(w, nullptr) << name.toStdString();
    w->setObjectName(name);
    if (!name.startsWith("TabSheet_")) w->setGeometry(0, 0, 30, 16);
  }

  QMainWindow window_;
  QTabWidget* tabs_ = nullptr;
  QMenu* lastMenu_ = nullptr;
};

TEST(CaptionApply, EveryRowFindsItsKindOfControlAndWritesItInPlace) {
  StandIn s;
  s.window().resize(1100, 500);
  s.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.window()));
  QComboBox* bike = s.get<QComboBox>("ComboBoxBike");
  bike->setCurrentIndex(3);
  s.radios("RadioGroupInput2").front()->setChecked(true);  // created last: item 7 "Gear"
  s.get<QCheckBox>("CheckBoxInvInput2")->setChecked(true);
  const auto before = WindowSnapshot(&s.window());
  ChangeSignalCounter counter(&s.window());

  const CaptionApplyResult cz = ApplyCaptionTable(&s.window(), kLanguageCzech);
  for (const CaptionMiss& m : cz.misses) ADD_FAILURE() << m.row.toStdString() << ": " << m.reason.toStdString();
  EXPECT_EQ(std::size_t(cz.written), CaptionTexts(kLanguageCzech).size());
  EXPECT_EQ(s.window().windowTitle(), QString::fromUtf8("Programování jednotky RQ_VTMX4_Kelvora"));
  EXPECT_EQ(s.get<QMenu>("MenuFile")->title(), "&Soubor");
  EXPECT_EQ(s.get<QAction>("MenuRead")->text(), QString::fromUtf8("Čí&st"));
  EXPECT_TRUE(s.get<QAction>("MenuCzech")->isChecked());
  EXPECT_FALSE(s.get<QAction>("MenuEnglish")->isChecked());
  // Hints: tool tip and status tip are the same long text; menus carry it on their item.
  EXPECT_EQ(s.get<QToolButton>("SpeedButtonOpen")->toolTip(), QString::fromUtf8("Otevřít soubor s parametry"));
  EXPECT_EQ(s.get<QToolButton>("SpeedButtonOpen")->statusTip(), QString::fromUtf8("Otevřít soubor s parametry"));
  EXPECT_EQ(s.get<QAction>("MenuFrench")->statusTip(), "Installer en Francais ");
  EXPECT_EQ(s.get<QMenu>("MenuCom")->menuAction()->statusTip(), "Nastavit číslo portu COM");
  auto* tabs = s.get<QTabWidget>("PageControl1");
  EXPECT_EQ(tabs->tabText(tabs->indexOf(s.get<QWidget>("TabSheet_Advance2"))), QString::fromUtf8("Předstih 2"));
  EXPECT_EQ(tabs->tabText(0), "stand-in");
  // Combo items replaced in place: 1..3 keep the form's texts, the selection stays.
  EXPECT_EQ(bike->count(), 6);
  EXPECT_EQ(bike->currentIndex(), 3);
  EXPECT_EQ(bike->itemText(0), QString::fromUtf8("Klasika (1 výstupek, 1 nebo 2 snimače)"));
  EXPECT_EQ(bike->itemText(2), "form item 2");
  EXPECT_EQ(bike->itemText(5), QString::fromUtf8("Speciální nastavení"));
  // Radio items by id, whatever order they were created in; the checked one stays checked.
  const QList<QRadioButton*> input2 = s.radios("RadioGroupInput2");
  EXPECT_EQ(input2.size(), 8);
  EXPECT_EQ(input2.front()->text(), QString::fromUtf8("Rychlostní stupeň"));
  EXPECT_TRUE(input2.front()->isChecked());
  EXPECT_EQ(input2.back()->text(), "Vypnut");
  EXPECT_EQ(s.radios("RadioGroupGearSystem").back()->text(), QString::fromUtf8("Není"));
  EXPECT_EQ(s.get<QGroupBox>("RadioGroupModePotencMode")->title(), QString::fromUtf8("mění"));
  EXPECT_EQ(s.get<QPushButton>("ButtonTestPOut3")->text(), QString::fromUtf8("Výstup 3"));
  EXPECT_EQ(s.get<QGroupBox>("GroupBoxPOutMap2")->title(), QString::fromUtf8("Nastavení výkonového výstupu 2"));
  // Captions that did not fit their 30-pixel stand-ins grew to fit.
  for (const CutOffText& c : FindCutOffTexts(&s.window())) ADD_FAILURE() << c.control.toStdString() << " " << c.text.toStdString();

  for (int lang : {kLanguageGerman, kLanguageFrench, kLanguageEnglish})
    EXPECT_TRUE(ApplyCaptionTable(&s.window(), lang).misses.isEmpty());
  EXPECT_TRUE(counter.emitted().isEmpty()) << counter.emitted().join(", ").toStdString();
  // English again: every text that English writes is back; nothing else changed but the
  // form's own texts and sizes that the table overwrote.
  ApplyCaptionTable(&s.window(), kLanguageEnglish);
  const auto english = WindowSnapshot(&s.window());
  for (int lang : {kLanguageCzech, kLanguageGerman, kLanguageFrench, kLanguageEnglish})
    ApplyCaptionTable(&s.window(), lang);
  EXPECT_TRUE(SnapshotDifferences(english, WindowSnapshot(&s.window())).isEmpty());
  EXPECT_EQ(bike->currentIndex(), 3);
  EXPECT_TRUE(s.get<QCheckBox>("CheckBoxInvInput2")->isChecked());
  EXPECT_EQ(before.size(), english.size());
}

TEST(CaptionApply, ControlsThatCannotTakeTheirRowsAreListed) {
  QWidget window;
  window.setObjectName("FormHlav");
  auto* bike = new QComboBox(&window);
  bike->setObjectName("ComboBoxBike");
  bike->addItems({"a", "b", "c"});  // items 4 and 5 are missing
  auto* input1 = new QGroupBox(&window);
  input1->setObjectName("RadioGroupInput1");
  for (int i = 0; i < 6; ++i) new QRadioButton(input1);  // one short
  auto* label = new QLabel(&window);
  label->setObjectName("GroupBoxSpecial");  // a label where a group box belongs takes the text
  auto* combo = new QComboBox(&window);
  combo->setObjectName("LabelBike");  // a combo box cannot take a caption

  const CaptionApplyResult r = ApplyCaptionTable(&window, kLanguageEnglish);
  QStringList found;
  int notFound = 0;
  for (const CaptionMiss& m : r.misses) {
    if (m.controlFound) found << m.row;
    else ++notFound;
  }
  EXPECT_EQ(found, QStringList({"LabelBike (Caption)", "ComboBoxBike (Item 4)", "ComboBoxBike (Item 5)",
                                "RadioGroupInput1 (Item list)"}));
  EXPECT_EQ(std::size_t(notFound + found.size() + r.written), CaptionTexts(0).size());
  EXPECT_EQ(bike->itemText(0), "Classic (1 lobe, 1 or 2 pick-up) ");
  // The six radios that exist carry the first six items.
  EXPECT_EQ(input1->findChildren<QRadioButton*>().back()->text(), "Start Limiter");
  EXPECT_EQ(label->text(), "Specification of synchronization - Caution - For experienced user only!");
}

TEST(CaptionFit, CutOffTextsAreFoundAndFittingOnesAreNot) {
  QWidget window;
  window.resize(600, 300);
  auto add = [&](QWidget* w, const char* name, QRect geometry) {
    w->setObjectName(name);
    w->setGeometry(geometry);
  };
  add(new QLabel("Number clutch master on for retard off", &window), "LabelLong", {0, 0, 60, 16});
  add(new QLabel("File:", &window), "LabelShort", {0, 20, 60, 16});
  add(new QPushButton("&Read", &window), "ButtonFits", {0, 40, 57, 23});
  add(new QPushButton("&Programmieren", &window), "ButtonCut", {60, 40, 50, 23});
  add(new QCheckBox("Programmierung nach Änderung", &window), "CheckBoxCut", {0, 70, 80, 16});
  add(new QRadioButton("Off", &window), "RadioFits", {0, 90, 60, 20});
  add(new QGroupBox("Automatic from ratio rpm speed", &window), "GroupBoxCut", {0, 120, 90, 40});
  auto* tabs = new QTabWidget(&window);
  add(tabs, "Tabs", {0, 170, 120, 100});
  tabs->setElideMode(Qt::ElideRight);
  tabs->addTab(new QWidget, "Výkonový výstup");
  tabs->addTab(new QWidget, "Zkoušky");
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  QStringList cut;
  for (const CutOffText& c : FindCutOffTexts(&window)) cut << c.control;
  cut.sort();
  EXPECT_EQ(cut, QStringList({"ButtonCut", "CheckBoxCut", "GroupBoxCut", "LabelLong", "Tabs tab 0", "Tabs tab 1"}));
}

TEST(CaptionFit, OverlapsOfVisibleSiblingsAreFoundButNotAnEditWithItsUpDown) {
  QWidget window;
  window.resize(400, 200);
  auto add = [&](QWidget* w, const char* name, QRect geometry) {
    w->setObjectName(name);
    w->setGeometry(geometry);
    return w;
  };
  add(new QLabel("Avance de base [°]", &window), "LabelUnder", {0, 0, 120, 16});
  add(new QLabel("[°]", &window), "LabelOver", {100, 0, 30, 16});
  add(new QLabel("Beside", &window), "LabelBeside", {130, 0, 40, 16});  // touches, no overlap
  add(new QLabel("Hidden", &window), "LabelHidden", {0, 0, 50, 16})->hide();
  auto* group = add(new QGroupBox("Group", &window), "Group", {0, 40, 200, 100});
  auto* edit = new rq::SpinEdit(group);
  add(edit, "EditX", {10, 20, 40, 21});
  add(new rq::UpDown(edit, group), "UpDownX", {49, 20, 16, 21});
  add(new QLabel("Inside", group), "LabelInside", {60, 50, 40, 16});
  add(new QLabel("Also inside", group), "LabelAlso", {90, 55, 60, 16});
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  const QStringList found = OverlappingControls(&window);
  ASSERT_EQ(found.size(), 2) << found.join("\n").toStdString();
  EXPECT_TRUE(found[0].startsWith("LabelUnder and LabelOver overlap by 20 x 16")) << found[0].toStdString();
  EXPECT_TRUE(found[1].startsWith("Group/LabelInside and Group/LabelAlso")) << found[1].toStdString();
}

// ---- The main window ----

class WindowCaptions : public ::testing::Test {
 protected:
  void SetUp() override {
    cfg_.writeSettings(PortsSection(pty_.slave()));
    w_ = std::make_unique<Window>();
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
  }
  FormHlavPeer& form() { return *w_->form; }

  TempConfig cfg_;
  Pty pty_;
  std::unique_ptr<Window> w_;
};

TEST_F(WindowCaptions, RoundTripThroughAllLanguagesRestoresEverythingAndChangesNothing) {
  form().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(kPageMonitor);
  form().findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(true);
  const ParameterImage image = form().image();
  const auto english = WindowSnapshot(&form());
  ChangeSignalCounter counter(&form());

  SwitchLanguage(form(), kLanguageCzech);
  EXPECT_EQ(form().windowTitle(), QString::fromUtf8("Programování jednotky RQ_VTMX4_Kelvora"));
  EXPECT_EQ(form().findChild<QPushButton*>("ButtonRead")->text(), QString::fromUtf8("Čí&st"));
  const auto czech = WindowSnapshot(&form());
  SwitchLanguage(form(), kLanguageGerman);
  EXPECT_EQ(form().findChild<QTabWidget*>("PageControl1")->tabText(kPagePowerOut1), "Lstg. Ausg.");
  SwitchLanguage(form(), kLanguageFrench);
  EXPECT_EQ(form().findChild<QMenu*>("MenuHelp")->title(), "&Aide");
  SwitchLanguage(form(), kLanguageEnglish);

  EXPECT_TRUE(counter.emitted().isEmpty()) << counter.emitted().join(", ").toStdString();
  const QStringList diff = SnapshotDifferences(english, WindowSnapshot(&form()));
  EXPECT_TRUE(diff.isEmpty()) << diff.join("\n").toStdString();
  EXPECT_GT(SnapshotDifferences(english, czech).size(), 40);
  EXPECT_TRUE(image.sameConfig(form().image()));
  EXPECT_TRUE(std::ranges::equal(image.config(), form().image().config()));
  EXPECT_TRUE(w_->messages.empty());
  EXPECT_EQ(form().windowTitle(), "Programming of RQ_VTMX4_Kelvora unit");
}

// Whether each control of the window is hidden, shown (on screen, not clipped away by its
// parents) and enabled, by its path of names. The tab bar's own scroll buttons follow the
// widths of the tab texts and are left out.
std::map<QString, QString> ControlStates(const QWidget* window) {
  std::map<QString, QString> s;
  for (const QWidget* w : window->findChildren<QWidget*>()) {
    if (InOtherWindow(w, window) || qobject_cast<const QTabBar*>(w->parentWidget()) != nullptr)
      continue;
    QString key;
    for (const QObject* o = w; o != nullptr && o != window; o = o->parent())
      key = (o->objectName().isEmpty() ? QString(o->metaObject()->className()) : o->objectName()) +
            "/" + key;
    key += QString::number(quintptr(w), 16);  // unnamed siblings stay apart
    s[key] = QString("hidden=%1 shown=%2 enabled=%3")
                 .arg(w->isHidden())
                 .arg(w->isVisible() && !w->visibleRegion().isEmpty())
                 .arg(w->isEnabled());
  }
  return s;
}

class LanguagePickTest : public WindowCaptions, public ::testing::WithParamInterface<int> {};

// A language picked from the menu, the one shown or another, leaves every control as shown
// and enabled as before: on every page, each language picked twice in a row. The window is
// large enough to show the whole page without scrolling.
TEST_P(LanguagePickTest, PickingALanguageTwiceKeepsEveryControlShownAndEnabledAsItWas) {
  const int page = GetParam();
  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  const char* items[] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};
  form().resize(1300, 1000);
  tabs->setCurrentIndex(page);
  QApplication::processEvents();
  const auto before = ControlStates(&form());
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    for (int time = 1; time <= 2; ++time) {
      form().findChild<QAction*>(items[lang])->trigger();
      QApplication::processEvents();
      EXPECT_EQ(form().language(), lang);
      const QStringList diff = SnapshotDifferences(before, ControlStates(&form()));
      EXPECT_TRUE(diff.isEmpty()) << items[lang] << " picked " << time << "x:\n"
                                  << diff.join("\n").toStdString();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPage, LanguagePickTest, ::testing::Range(0, kPageCount));

TEST_F(WindowCaptions, HintIsTheBareLongTextInToolTipAndStatusBar) {
  SwitchLanguage(form(), kLanguageGerman);
  SwitchLanguage(form(), kLanguageEnglish);
  auto* open = form().findChild<QToolButton*>("SpeedButtonOpen");
  EXPECT_EQ(open->toolTip(), "Open file with parametrs");
  EXPECT_EQ(open->statusTip(), "Open file with parametrs");
  open->setEnabled(true);  // greyed out until the file commands exist
  QTest::mouseMove(open);
  QStatusTipEvent tip(open->statusTip());
  QApplication::sendEvent(open, &tip);
  EXPECT_EQ(form().findChild<QStatusBar*>("StatusBar1")->currentMessage(), "Open file with parametrs");
}

// Rows whose control exists must be written; the rows still waiting for their page are listed.
TEST_F(WindowCaptions, RowsOfExistingControlsAreWritten) {
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    const CaptionApplyResult r = ApplyCaptionTable(&form(), lang);
    QStringList waiting;
    for (const CaptionMiss& m : r.misses) {
      if (m.controlFound) ADD_FAILURE() << m.row.toStdString() << ": " << m.reason.toStdString();
      else waiting << m.row;
    }
    if (lang == 0 && !waiting.isEmpty())
      std::printf("caption rows without a control yet (%d): %s\n", int(waiting.size()),
                  waiting.join(", ").toUtf8().constData());
  }
  SwitchLanguage(form(), kLanguageEnglish);
}

// Every row of the table finds its control.
TEST_F(WindowCaptions, EveryRowFindsItsControl) {
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    for (const CaptionMiss& m : ApplyCaptionTable(&form(), lang).misses)
      ADD_FAILURE() << m.row.toStdString() << ": " << m.reason.toStdString();
  }
}

TEST_F(WindowCaptions, NothingIsCutOffInAnyLanguage) {
  const QStringList cut = CutOffTextsInEveryLanguage(form());
  EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
  // The tool-strip buttons keep their given widths where their captions fit.
  EXPECT_EQ(form().findChild<QPushButton*>("ButtonRead")->geometry(), QRect(238, 12, 57, 23));
}

TEST_F(WindowCaptions, NoVisibleControlsOverlapOnAnyPageInAnyLanguage) {
  const QStringList overlaps = OverlappingControlsInEveryLanguage(form());
  EXPECT_TRUE(overlaps.isEmpty()) << overlaps.join("\n").toStdString();
}

// The texts outside the numbered entries: every language has every text, with the same
// placeholders as the English one, and no accelerator letter clashes in the cells' menu.
TEST(LooseTexts, EveryLanguageHasEveryTextWithTheSamePlaceholders) {
  for (int id = 0; id < int(UiText::Count); ++id) {
    const QString en = QString::fromUtf8(UiMessage(kLanguageEnglish, UiText(id)));
    for (int lang = 0; lang < kLanguageCount; ++lang) {
      const QString t = QString::fromUtf8(UiMessage(lang, UiText(id)));
      EXPECT_FALSE(t.isEmpty()) << id << " " << lang;
      for (const char* p : {"%1", "%2"})
        EXPECT_EQ(t.count(p), en.count(p)) << id << " " << lang << " " << t.toStdString();
    }
  }
  EXPECT_STREQ(UiMessage(7, UiText::PasteNothing), UiMessage(kLanguageEnglish, UiText::PasteNothing));
}

TEST(LooseTexts, FileReasonsKeepPathAndSystemReasonAroundTheTranslatedWording) {
  EXPECT_EQ(LocalizedFileReason(kLanguageGerman, "cannot open /a: b/x.ign: No such file"),
            "/a: b/x.ign kann nicht geöffnet werden: No such file");
  EXPECT_EQ(LocalizedFileReason(kLanguageCzech, "cannot write /t/y.ign: Disk full"),
            "nelze zapsat /t/y.ign: Disk full");
  EXPECT_EQ(LocalizedFileReason(kLanguageFrench, "file too large: /z.ign"), "fichier trop grand: /z.ign");
  EXPECT_EQ(LocalizedFileReason(kLanguageEnglish, "cannot read /q: Is a directory"),
            "cannot read /q: Is a directory");
  // Other reasons and a reason without the system's part come back as they are.
  EXPECT_EQ(LocalizedFileReason(kLanguageGerman, "no configuration values found"),
            "no configuration values found");
  EXPECT_EQ(LocalizedFileReason(kLanguageGerman, "cannot open "), "cannot open ");
}

const char* const kMapTools[] = {"MenuMapSet", "MenuMapAdd", "MenuMapScale",
                                 "MenuMapInterpolateRows", "MenuMapInterpolateColumns",
                                 "MenuMapCopy", "MenuMapPaste"};

// After a switch to German the map tools, their hints, dialogs and status lines are German;
// back in English they are English again.
TEST_F(WindowCaptions, MapToolsFollowTheLanguage) {
  auto* tabs = form().findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(kPageAdvance1);
  QApplication::processEvents();
  // The map bar's hints come from the caption table from the start.
  for (const char* name : {"CheckBoxMapPercent", "RadioGroupServoMode", "CSpinButtonMapShift", "CheckBoxMapAll"})
    EXPECT_NE(form().findChild<QWidget*>(name)->statusTip(), QString()) << name;
  SwitchLanguage(form(), kLanguageGerman);
  auto* set = form().findChild<QAction*>("MenuMapSet");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->text(), QString::fromUtf8("Gewählte Zellen setzen..."));
  EXPECT_EQ(form().findChild<QAction*>("MenuMapPaste")->statusTip(),
            "Zahlen mit Tabulatoren an der Auswahl einfügen");
  EXPECT_EQ(form().findChild<QAction*>("MenuToolsPlus")->statusTip(),
            QString::fromUtf8("Die aktuelle Zelle um einen Schritt erhöhen (mit Alles die ganze Mappe)"));
  for (const char* name : kMapTools) {
    const QAction* a = form().findChild<QAction*>(name);
    ASSERT_NE(a, nullptr) << name;
    EXPECT_EQ(a->toolTip(), a->statusTip()) << name;
    EXPECT_NE(a->statusTip(), QString()) << name;
  }
  auto* bar = form().findChild<QStatusBar*>("StatusBar1");
  // Status lines of copy and paste.
  form().findChild<QAction*>("MenuMapCopy")->trigger();
  EXPECT_TRUE(bar->currentMessage().endsWith("Zellen kopiert")) << bar->currentMessage().toStdString();
  QApplication::clipboard()->setText("abc");
  form().findChild<QAction*>("MenuMapPaste")->trigger();
  EXPECT_EQ(bar->currentMessage(),
            QString::fromUtf8("Einfügen: die Zwischenablage enthält keine Zahlen für diese Zellen"));
  // The value dialog.
  QString title, label;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* d = qobject_cast<QInputDialog*>(w); d != nullptr && d->isVisible()) {
        title = d->windowTitle();
        label = d->labelText();
        d->reject();
      }
    }
  });
  form().findChild<QAction*>("MenuMapScale")->trigger();
  EXPECT_EQ(title, "Zellen skalieren");
  EXPECT_EQ(label, "Prozent der jetzigen Werte (110 = 10 % mehr):");
  SwitchLanguage(form(), kLanguageEnglish);
  EXPECT_EQ(set->text(), "Set selected cells...");
  EXPECT_EQ(form().findChild<QAction*>("MenuToolsMinus")->statusTip(),
            "Lower the live cell by one step (the whole map with All)");
}

// The cells' context menu shows each item whole, with no accelerator letter used twice, and
// the dialogs and boxes of these texts show them whole, in every language.
TEST_F(WindowCaptions, MapToolMenuAndLooseMessageBoxesShowTheirTextsWhole) {
  auto* menu = form().findChild<QMenu*>("MenuMapCells");
  ASSERT_NE(menu, nullptr);
  for (int lang = 0; lang < kLanguageCount; ++lang) {
    SwitchLanguage(form(), lang);
    menu->ensurePolished();
    menu->adjustSize();
    QSet<QChar> letters;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      QString text = a->text();
      const qsizetype amp = text.indexOf('&');
      if (amp >= 0 && amp + 1 < text.size()) {
        EXPECT_FALSE(letters.contains(text[amp + 1].toLower())) << text.toStdString();
        letters.insert(text[amp + 1].toLower());
      }
      text.remove('&');
      const int needed = menu->fontMetrics().horizontalAdvance(text);
      EXPECT_GE(menu->actionGeometry(a).width(), needed) << lang << " " << text.toStdString();
    }
    const std::pair<UiText, UiText> dialogs[] = {{UiText::SetCellsTitle, UiText::SetCellsLabel},
                                                 {UiText::AddCellsTitle, UiText::AddCellsLabel},
                                                 {UiText::ScaleCellsTitle, UiText::ScaleCellsLabel}};
    for (const auto& [t, l] : dialogs) {
      QInputDialog d(&form());
      d.setInputMode(QInputDialog::DoubleInput);
      d.setWindowTitle(QString::fromUtf8(UiMessage(lang, t)));
      d.setLabelText(QString::fromUtf8(UiMessage(lang, l)));
      d.show();
      QApplication::processEvents();
      for (const CutOffText& c : FindCutOffTexts(&d))
        ADD_FAILURE() << lang << " " << c.text.toStdString();
    }
    for (const UiText id : {UiText::AskReplace, UiText::NothingPrinted, UiText::PrintingStopped,
                            UiText::NoPrinter, UiText::PrinterRefused, UiText::SettingsUnreadable,
                            UiText::StateUnreadable, UiText::SettingsNotSaved,
                            UiText::StateNotKept}) {
      QMessageBox box(QMessageBox::Question, "x", QString::fromUtf8(UiMessage(lang, id)),
                      QMessageBox::Yes | QMessageBox::No, &form());
      box.show();
      QApplication::processEvents();
      for (const CutOffText& c : FindCutOffTexts(&box))
        ADD_FAILURE() << lang << " " << c.text.toStdString();
    }
  }
  SwitchLanguage(form(), kLanguageEnglish);
}

// Every hint of the window (tool tip and status line) follows the language, the ones made by
// the dozen (map cells, RPM points, column buttons, power-output boxes) included. Left out:
// the language items, which speak their own language, and the port label, whose hint is the
// device path.
TEST_F(WindowCaptions, EveryHintFollowsTheLanguage) {
  const QStringList ownWords = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech", "LabelCom"};
  auto hints = [this, &ownWords] {
    std::map<const QObject*, QString> s;
    for (const QObject* o : form().findChildren<QObject*>()) {
      if (ownWords.contains(o->objectName())) continue;
      QString h;
      // An action without a tool tip of its own shows its text: captions are tested elsewhere.
      if (const auto* a = qobject_cast<const QAction*>(o)) h = a->statusTip();
      else if (const auto* w = qobject_cast<const QWidget*>(o)) h = w->toolTip() + "|" + w->statusTip();
      if (h != "|" && !h.isEmpty()) s[o] = h;
    }
    return s;
  };
  const auto english = hints();
  EXPECT_GT(english.size(), 200u);  // 150 map cells alone
  for (int lang : {kLanguageGerman, kLanguageFrench, kLanguageCzech}) {
    SwitchLanguage(form(), lang);
    const auto now = hints();
    for (const auto& [o, hint] : english) {
      const auto it = now.find(o);
      ASSERT_NE(it, now.end()) << o->objectName().toStdString();
      EXPECT_NE(it->second, hint) << o->objectName().toStdString() << " in language " << lang;
    }
  }
  SwitchLanguage(form(), kLanguageEnglish);
  EXPECT_EQ(hints(), english);
  EXPECT_EQ(form().findChild<QWidget*>("EditMap3_4")->statusTip(),
            "Arrows move, Shift+arrows or drag select, PgUp/PgDn step by 5, right-click for the map tools");
  EXPECT_EQ(form().findChild<QWidget*>("CheckBoxPOut2_3_4")->statusTip(),
            "Output 2 on in throttle band 3, rpm band 4");
  SwitchLanguage(form(), kLanguageCzech);
  EXPECT_EQ(form().findChild<QWidget*>("CheckBoxPOut2_3_4")->statusTip(),
            QString::fromUtf8("Výstup 2 zapnut v pásmu plynu 3, pásmu otáček 4"));
  SwitchLanguage(form(), kLanguageEnglish);
}

}  // namespace
}  // namespace rq::test
