// SPDX-License-Identifier: GPL-3.0-or-later
// The frame of the main window: tool strip, page control, live strip, status bar, menu.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "abmode/ab_mode.h"
#include "app/file_commands.h"
#include "app/form_hlav.h"
#include "ui/status_notes.h"
#include "app/link_presenter.h"
#include "compare/compare_view.h"
#include "compare/verify_differences.h"
#include "guard/limit_guard.h"
#include "history/history_view.h"
#include "history/program_keeper.h"
#include "logs/log_room.h"
#include "logs/map_log_overlay.h"
#include "logs/ride_recording.h"
#include "mapview/map_view.h"
#include "pages/map_pages.h"
#include "pages/page_set.h"
#include "ports/port_names.h"
#include "ui/caption_apply.h"
#include "ui/print_pages.h"
#include "ui/text_fit.h"
#include "unitsync/unit_sync.h"

namespace rq {
namespace {

// A tiny printer glyph; the desktop theme may have none.
QIcon PrinterIcon() {
  QIcon themed = QIcon::fromTheme("document-print");
  if (!themed.isNull()) return themed;
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(QColor(40, 40, 40));
  p.setBrush(Qt::white);
  p.drawRect(4, 1, 7, 5);                  // paper
  p.setBrush(QColor(170, 170, 170));
  p.drawRect(1, 6, 13, 6);                 // body
  p.setBrush(Qt::white);
  p.drawRect(4, 10, 7, 4);                 // output tray
  p.end();
  return QIcon(pm);
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget* w) {
  QIcon themed = QIcon::fromTheme(name);
  return themed.isNull() ? w->style()->standardIcon(fallback) : themed;
}

}  // namespace

QLabel* FormHlav::makeLabel(QWidget* parent, const char* name, int x, int y, const QString& text,
                            int pixelSize, bool bold, int width) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  if (pixelSize > 0 || bold) {
    QFont f = label->font();
    if (pixelSize > 0) f.setPixelSize(pixelSize);
    // The large live values use the narrower cut so that the longest languages fit their
    // columns.
    if (pixelSize >= 16) f.setStretch(QFont::SemiCondensed);
    f.setBold(bold);
    label->setFont(f);
  }
  label->move(x, y);
  if (width > 0) {
    label->resize(width, label->sizeHint().height());
  } else {
    label->adjustSize();
  }
  return label;
}

void FormHlav::buildFrame() {
  setObjectName("FormHlav");
  presenter_ = std::make_unique<LinkPresenter>(this);
  // The window's font: the desktop's sans-serif at 8 points.
  QFont base = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  base.setPointSize(8);
  setFont(base);

  // The client area keeps its size; on a screen too small for it the window scrolls.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("ClientScroll");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(false);
  client_ = new QWidget;
  client_->setObjectName("ClientArea");
  client_->setFixedSize(kClientWidth, kClientHeight);
  scroll->setWidget(client_);
  setCentralWidget(scroll);

  buildToolStrip(client_);
  buildPages(client_);
  buildLiveStrip(client_);

  StatusBar1 = new QStatusBar(client_);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setGeometry(0, 813, kClientWidth, 19);
  statusNotes_ = new StatusNotes(StatusBar1);

  buildMenu();

  // The editing pages, built once; then every control is known by name.
  pageSet_ = std::make_unique<PageSet>(*workspace_, *this, this, pages_);
  // The live labels that stand on the editing pages are rendered like the Monitor page's.
  presenter_->adoptLabels(MonitorLabelNames());
  LinkPresenter::Widgets w;
  w.status = LabelHlaseni;
  w.gauge = CGaugeProgram;
  w.noConnection = LabelSpojeni;
  w.version = LabelVersion;
  w.com = LabelCom;
  w.comItems = comItems_;
  presenter_->attach(w);
  pageSet_->indexControls();
  createRooms();

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(55);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &FormHlav::Timer1Timer);
}

void FormHlav::buildToolStrip(QWidget* client) {
  GroupBoxToolBar = new QGroupBox(client);
  GroupBoxToolBar->setObjectName("GroupBoxToolBar");
  GroupBoxToolBar->setGeometry(3, 0, 470, 43);

  auto glyph = [this](const char* name, int x, int w, int h, const QIcon& icon, const QString& hint) {
    auto* b = new QToolButton(GroupBoxToolBar);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setIcon(icon);
    b->setIconSize(QSize(16, 16));
    b->setGeometry(x, 12, w, h);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    return b;
  };
  SpeedButton6 = glyph("SpeedButton6", 12, 24, 23, ThemeIcon("document-new", QStyle::SP_FileIcon, this),
                       "Set default parametrs");
  SpeedButtonOpen = glyph("SpeedButtonOpen", 51, 24, 23,
                          ThemeIcon("document-open", QStyle::SP_DirOpenIcon, this),
                          "Open file with parametrs");
  SpeedButtonSave = glyph("SpeedButtonSave", 88, 24, 23,
                          ThemeIcon("document-save", QStyle::SP_DialogSaveButton, this),
                          "Save parametrs to file");
  SpeedButtonPrint = glyph("SpeedButtonPrint", 126, 24, 23, PrinterIcon(), "Print parametrs");
  SpeedButtonZpet = glyph("SpeedButtonZpet", 164, 23, 22,
                          ThemeIcon("edit-undo", QStyle::SP_ArrowBack, this), "Undo");
  SpeedButtonZnovu = glyph("SpeedButtonZnovu", 200, 23, 22,
                           ThemeIcon("edit-redo", QStyle::SP_ArrowForward, this), "Redo");

  auto button = [this](const char* name, int x, int w, const QString& caption, const QString& hint) {
    auto* b = new QPushButton(caption, GroupBoxToolBar);
    b->setObjectName(name);
    b->setGeometry(x, 12, w, 23);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
  };
  ButtonRead = button("ButtonRead", 238, 57, "&Read", "Reading parametrs from ignition");
  BitBtnVerify = button("BitBtnVerify", 304, 65, "&Verify",
                        "Compare set parametrs  with parametrs of ignition");
  BitBtnVerify->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  BitBtnProgram = button("BitBtnProgram", 378, 81, "&Program",
                         "Programing  set parametrs to ignition");
  BitBtnProgram->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));

  connect(SpeedButtonZpet, &QToolButton::clicked, this, &FormHlav::SpeedButtonZpetClick);
  connect(SpeedButtonZnovu, &QToolButton::clicked, this, &FormHlav::SpeedButtonZnovuClick);
  connect(ButtonRead, &QPushButton::clicked, this, &FormHlav::MenuReadClick);
  connect(BitBtnVerify, &QPushButton::clicked, this, &FormHlav::MenuVerifyClick);
  connect(BitBtnProgram, &QPushButton::clicked, this, &FormHlav::MenuProgramClick);

  LabelSpojeni = makeLabel(client, "LabelSpojeni", 480, 9, "No Connection", 23, true);
  LabelSpojeni->setAlignment(Qt::AlignCenter);
  presenter_->setLabelColour(LabelSpojeni, Colour::Red);
  layoutToolStrip();
}

// The tool-strip buttons keep their places and sizes unless a caption needs more room; then
// the following buttons, the strip and the connection label move right.
void FormHlav::layoutToolStrip() {
  struct Slot {
    QAbstractButton* button;
    int left, width;
  };
  const Slot places[] = {{ButtonRead, 238, 57}, {BitBtnVerify, 304, 65}, {BitBtnProgram, 378, 81}};
  int minLeft = 0;
  for (const Slot& s : places) {
    const int w = std::max(s.width, TextFitSize(s.button).width());
    const int x = std::max(s.left, minLeft);
    s.button->setGeometry(x, 12, w, 23);
    minLeft = x + w + 7;
  }
  const int stripWidth = std::max(470, minLeft + 4);
  GroupBoxToolBar->resize(stripWidth, 43);
  const int w = std::max(174, LabelSpojeni->sizeHint().width() + 8);
  LabelSpojeni->setGeometry(std::max(480, 3 + stripWidth + 7), 9, w, 29);
}

void FormHlav::buildPages(QWidget* client) {
  PageControl1 = new QTabWidget(client);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setGeometry(4, 48, 985, 440);
  static constexpr const char* kNames[kPageCount] = {
      "TabSheet_Bike",      "TabSheet_Inputs", "TabSheet_Advance1", "TabSheet_Advance2",
      "TabSheet_Servo",     "TabSheet_PowerOut1", "TabSheet_PowerOut2", "TabSheet_Gear",
      "TabSheet_Race",      "TabSheet_Ladeni", "TabSheet_Monitor"};
  static constexpr const char* kTitles[kPageCount] = {
      "Bike",      "Inputs",    "Advance 1", "Advance 2", "Servo", "Power out",
      "Power out", "Gear",      "Race",      "Tests",     "Monitor"};
  for (int i = 0; i < kPageCount; ++i) {
    auto* page = new QWidget;
    page->setObjectName(kNames[i]);
    pages_[static_cast<std::size_t>(i)] = page;
    PageControl1->addTab(page, kTitles[i]);
  }
  // The name of the last configuration file is shown on the Bike page.
  QWidget* bike = pages_[kPageBike];
  LabelFile1 = makeLabel(bike, "LabelFile1", 12, 388, "File:", 0, false);
  LabelFile2 = makeLabel(bike, "LabelFile2", 50, 388, QString(), 0, true, 900);
  buildMonitorPage(pages_[kPageMonitor]);
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

void FormHlav::buildMonitorPage(QWidget* page) {
  constexpr int kFont = 13;
  auto add = [&](QWidget* parent, const char* name, int x, int y, int w) {
    QLabel* l = makeLabel(parent, name, x, y, QString(name) + " = ---", kFont, false, w);
    l->resize(w, 20);
    presenter_->addLabel(l);
    return l;
  };
  auto group = [&](const char* name, const QString& title, int x, int y, int w, int h) {
    auto* g = new QGroupBox(title, page);
    g->setObjectName(name);
    g->setGeometry(x, y, w, h);
    return g;
  };

  // Left column: advance, inputs, throttle and acceleration.
  QGroupBox* adv = group("GroupBoxMonAdvance", "Advance", 8, 4, 306, 138);
  const char* advLabels[] = {"LabelMonAdv1", "LabelMonAdv2", "LabelMonMaxAdv1", "LabelMonMaxAdv2",
                             "LabelMonMapa2"};
  for (int i = 0; i < 5; ++i) add(adv, advLabels[i], 8, 20 + 22 * i, 290);
  QGroupBox* inp = group("GroupBoxMonInput", "Input to ground", 8, 148, 306, 92);
  const char* inLabels[] = {"LabelMonInput1", "LabelMonInput2", "LabelMonInput3"};
  for (int i = 0; i < 3; ++i) add(inp, inLabels[i], 8, 20 + 22 * i, 290);
  add(page, "LabelMonTpsMv", 16, 252, 290);
  add(page, "LabelMonAkcel", 16, 276, 290);
  auto* akcel = new QProgressBar(page);
  akcel->setObjectName("CGaugeAkcel");
  akcel->setGeometry(16, 300, 290, 16);
  akcel->setTextVisible(false);
  akcel->setRange(0, 100);
  akcel->setValue(0);
  presenter_->addGauge(akcel);
  presenter_->setGaugeColour(akcel, Colour::Lime);

  // Middle column: limiters and switched states, power outputs.
  const char* stateLabels[] = {"LabelMonStartLimiterAkt", "LabelMonStartSoftLimiter",
                               "LabelMonStartHardLimiter", "LabelMonSoftLimiter",
                               "LabelMonHardLimiter",     "LabelMonClutch",
                               "LabelMonRetard"};
  for (int i = 0; i < 7; ++i) add(page, stateLabels[i], 330, 12 + 22 * i, 306);
  for (int k = 0; k < 4; ++k) {
    const QByteArray name = "LabelMonPOut" + QByteArray::number(k + 1);
    add(page, name.constData(), 330, 180 + 22 * k, 306);
  }

  // Right column: potentiometer, gear and speed ratios, programming count.
  QGroupBox* pot = group("GroupBoxPotencKor", "Potenciometer change of", 650, 4, 322, 138);
  const char* potLabels[] = {"LabelMonPotencMv", "LabelMonPotKorAdv", "LabelMonPotKorStartLimiter",
                             "LabelMonPotKorPilotLight", "LabelMonPotKorAcc"};
  for (int i = 0; i < 5; ++i) add(pot, potLabels[i], 8, 20 + 22 * i, 306);
  // The gear values and the programming count are shown on the Gear and Bike pages.
}

void FormHlav::buildLiveStrip(QWidget* client) {
  auto live = [&](const char* name, int x, int y, const QString& text, int px, bool bold, int w = 0) {
    QLabel* l = makeLabel(client, name, x, y, text, px, bold, w);
    presenter_->addLabel(l);
    return l;
  };
  auto gauge = [&](const char* name, int x, int y, int w, int h, int max, Colour c) {
    auto* g = new QProgressBar(client);
    g->setObjectName(name);
    g->setGeometry(x, y, w, h);
    g->setTextVisible(false);
    g->setRange(0, max);
    g->setValue(0);
    presenter_->setGaugeColour(g, c);
    return g;
  };

  live("LabelRpm", 20, 495, "RPM = ---", 19, true, 260);
  presenter_->addGauge(gauge("CGaugeRpm", 20, 522, 250, 18, 100, Colour::Fuchsia));
  live("LabelMonTpsPromile", 20, 548, "TP= --- [%]", 19, true, 260);
  presenter_->addGauge(gauge("CGaugeTps", 20, 574, 250, 18, 1000, Colour::Default));
  LabelEeDataErr = live("LabelEeDataErr", 20, 615, "Programmed data error", 19, true);
  presenter_->setLabelColour(LabelEeDataErr, Colour::Red);
  // The version warning may be long in some languages; it wraps inside the left column and
  // lies above what it covers.
  LabelVersion = live("LabelVersion", 20, 641, QString(), 19, true, 266);
  LabelVersion->setWordWrap(true);
  presenter_->setLabelColour(LabelVersion, Colour::Red);

  live("LabelMonAdv", 296, 511, "ADVANCE = --- [°]", 16, true, 232);
  live("LabelNapeti", 296, 537, "U = --- [V]", 19, true, 232);
  live("LabelMonBlock", 296, 580, "Blocking = --", 16, false, 232);
  live("LabelMonSpeed", 296, 605, "Speed = -- [km/h]", 16, false, 232);
  live("LabelGear", 296, 631, "Gear= ---", 16, false, 232);
  live("LabelMonSnimac1", 532, 511, "Pick-up (CKPS) 1 = ---", 16, false, 244);
  live("LabelMonSnimac2", 532, 540, "Pick-up (CKPS) 2 = ---", 16, false, 244);
  live("LabelMonServoMer", 532, 584, "Servo measured= = ---", 16, false, 244);
  live("LabelMonServoPoz", 532, 610, "Servo desired= = ---", 16, false, 244);

  CheckBoxProgHned = new QCheckBox("Programming after change", client);
  CheckBoxProgHned->setObjectName("CheckBoxProgHned");
  CheckBoxProgHned->setGeometry(780, 512, 210, 16);
  CheckBoxProgHned->setToolTip("Programing at once after change");
  CheckBoxProgHned->setStatusTip("Programing at once after change");
  connect(CheckBoxProgHned, &QCheckBox::toggled, this, [this] { ApplyPageRules(); });

  LabelHlaseni = makeLabel(client, "LabelHlaseni", 780, 538, QString(), 13, true, 210);
  CGaugeProgram = gauge("CGaugeProgram", 780, 561, 203, 15, 5, Colour::Aqua);
  LabelCom = makeLabel(client, "LabelCom", 780, 584, "COM= COM1", 13, false, 210);

  constexpr int kTestLeft[8] = {20, 129, 259, 379, 500, 621, 742, 864};
  for (int i = 0; i < 8; ++i) {
    const QByteArray name = "LabelTest" + QByteArray::number(i + 1);
    LabelTest[static_cast<std::size_t>(i)] =
        live(name.constData(), kTestLeft[i], 663,
             QString("Test%1 = ---").arg(i + 1), 13, true, kTestLeft[i] < 864 ? 105 : 120);
  }
  LabelVersion->raise();
}

void FormHlav::buildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");

  auto menu = [&](const char* name, const QString& title, const QString& hint = {}) {
    QMenu* m = bar->addMenu(title);
    m->setObjectName(name);
    m->menuAction()->setObjectName(QString(name) + "Action");
    if (!hint.isEmpty()) m->menuAction()->setStatusTip(hint);
    return m;
  };
  auto item = [&](QMenu* m, const char* name, const QString& title, const QKeySequence& key,
                  const QString& hint, auto handler) {
    QAction* a = m->addAction(title);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    if (!hint.isEmpty()) a->setStatusTip(hint);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  // Commands whose handlers belong to the pages and the file commands come later; their
  // items exist so that the menu is complete.
  auto later = [] {};

  QMenu* file = MenuFile = menu("MenuFile", "&File");
  item(file, "MenuNew", "&New", QKeySequence(Qt::CTRL | Qt::Key_N), "Set default parameters ",
       &FormHlav::MenuNewClick);
  file->addSeparator();
  MenuOpen = item(file, "MenuOpen", "&Open", QKeySequence(Qt::Key_F3), "Open file with parametrs", later);
  MenuOpenExeDir =
      item(file, "MenuOpenExeDir", "Open from exe dir", QKeySequence(Qt::CTRL | Qt::Key_F3), {}, later);
  file->addSeparator();
  MenuSave = item(file, "MenuSave", "&Save", QKeySequence(Qt::Key_F2), "Save parametrs to file", later);
  MenuSaveExeDir =
      item(file, "MenuSaveExeDir", "Save to exe dir", QKeySequence(Qt::CTRL | Qt::Key_F2), {}, later);
  file->addSeparator();
  MenuPrint = item(file, "MenuPrint", "&Print", QKeySequence(Qt::CTRL | Qt::Key_P), "Print parametrs", later);
  MenuPrintAll = item(file, "MenuPrintAll", "Print all", {}, {}, later);
  file->addSeparator();
  item(file, "MenuExit", "E&xit", {}, "End of program", &FormHlav::MenuExitClick);

  MenuCom = menu("MenuCom", "&Com", "Set number of com");
  buildComMenu();

  QMenu* device = MenuDevice = menu("MenuDevice", "&Ignition");
  item(device, "MenuRead", "&Read", QKeySequence(Qt::Key_F7), "Reading parametrs from ignition",
       &FormHlav::MenuReadClick);
  item(device, "MenuVerify", "&Verify", QKeySequence(Qt::Key_F8),
       "Compare set parametrs  with parametrs of ignition", &FormHlav::MenuVerifyClick);
  item(device, "MenuProgram", "&Program", QKeySequence(Qt::Key_F9),
       "Programing  set parametrs to ignition", &FormHlav::MenuProgramClick);

  QMenu* tools = MenuTools = menu("MenuTools", "Tools");
  MenuToolsMinus = item(tools, "MenuToolsMinus", "Minus ", QKeySequence(Qt::Key_F4), {}, later);
  MenuToolsPlus = item(tools, "MenuToolsPlus", "Plus", QKeySequence(Qt::Key_F5), {}, later);
  MenuZpet = item(tools, "MenuZpet", "Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), {},
                  &FormHlav::SpeedButtonZpetClick);
  MenuZnovu = item(tools, "MenuZnovu", "Redo", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), {},
                   &FormHlav::SpeedButtonZnovuClick);

  QMenu* lang = menu("MenuLanguage", "&Language", "Set English or German or French or Czech ");
  languageItems_[kLanguageEnglish] =
      item(lang, "MenuEnglish", "&English", {}, "Set English menu", &FormHlav::MenuEnglishClick);
  languageItems_[kLanguageGerman] =
      item(lang, "MenuGerman", "&German", {}, "Deutsches Menü", &FormHlav::MenuGermanClick);
  languageItems_[kLanguageFrench] =
      item(lang, "MenuFrench", "&French", {}, "Installer en Francais ", &FormHlav::MenuFrenchClick);
  languageItems_[kLanguageCzech] =
      item(lang, "MenuCzech", "&Czech", {}, "Nastavit české menu", &FormHlav::MenuCzechClick);
  for (QAction* a : languageItems_) a->setCheckable(true);

  QMenu* help = menu("MenuHelp", "&Help");
  item(help, "MenuContens", "&Contents...", QKeySequence(Qt::Key_F1), {}, &FormHlav::MenuContensClick);
  item(help, "MenuAbout", "&About...", {}, {}, &FormHlav::MenuAboutClick);

  // Until their handlers exist these commands are shown greyed out rather than doing nothing.
  MenuToolsMinus->setEnabled(false);
  MenuToolsPlus->setEnabled(false);
  connect(SpeedButton6, &QToolButton::clicked, this, &FormHlav::MenuNewClick);
}

// The file commands, printing, the verify-difference view, PC against unit, the program
// history, ports by name and ride recording live in rooms of their own: created here and bound
// to their menu items and tool buttons.
void FormHlav::createRooms() {
  Workspace& ws = *workspace_;
  fileCommands_ = new FileCommands(ws, *this, dataIgnPath_);
  compareView_ = new CompareView(ws, *this);
  compareView_->startName = [this] { return iniDir(); };
  verifyDifferences_ = new VerifyDifferences(ws, *this, *compareView_);
  unitSync_ = new UnitSync(ws, *this, *pageSet_, *compareView_, *verifyDifferences_);
  historyView_ = new HistoryView(ws, *this, *compareView_, !demoRun());
  connect(historyView_, &HistoryView::openFile, this,
          [this](const QString& path) { fileCommands_->OpenConfigurationFile(path); });
  programKeeper_ = new ProgramKeeper(ws, *this, !demoRun());
  PortNames::ComMenu com;
  com.menu = MenuCom;
  com.items = comItems_;
  portNames_ = new PortNames(ws, *this, com);
  printPages_ = std::make_unique<PrintPages>(*this);
  auto& maps = pageSet_->maps();
  logRoom_ = new logs::LogRoom(ws, *this, maps);
  rideRecording_ = new logs::RideRecording(ws, *this, *logRoom_);
  abMode_ = new abmode::AbMode(ws, *this, maps, logRoom_->session(), logRoom_->overlay(), rideRecording_);
  limitGuard_ = new LimitGuard(ws, *this, maps);  // its marks over the log's
  maps.attachPlusMinus(MenuToolsPlus, MenuToolsMinus);
  mapView_ = new MapView(ws, *this, maps);
  // The view marks what the limits and the log mark on the grid.
  connect(limitGuard_, &LimitGuard::violationsChanged, mapView_, &MapView::showViolations);
  mapView_->showViolations(limitGuard_->violations());
  logs::MapLogOverlay* overlay = &logRoom_->overlay();
  connect(overlay, &logs::MapLogOverlay::shownChanged, mapView_, [this, overlay] { mapView_->followLog(*overlay); });

  FileCommands* files = fileCommands_;
  connect(MenuOpen, &QAction::triggered, this, [files] { files->MenuOpenClick(); });
  connect(MenuOpenExeDir, &QAction::triggered, this, [files] { files->MenuOpenExeDirClick(); });
  connect(MenuSave, &QAction::triggered, this, [files] { files->MenuSaveClick(); });
  connect(MenuSaveExeDir, &QAction::triggered, this, [files] { files->MenuSaveExeDirClick(); });
  connect(MenuPrint, &QAction::triggered, this, [this] { printPages_->SpeedButtonPrintClick(); });
  connect(MenuPrintAll, &QAction::triggered, this, [this] { printPages_->MenuPrintAllClick(); });
  connect(SpeedButtonOpen, &QToolButton::clicked, this, [files] { files->MenuOpenClick(true); });
  connect(SpeedButtonSave, &QToolButton::clicked, this, [files] { files->MenuSaveClick(true); });
  connect(SpeedButtonPrint, &QToolButton::clicked, this,
          [this] { printPages_->SpeedButtonPrintClick(); });
}

// The 21 port items: "Com 1" .. "Com 20" and "Com Auto"; item i stands for ComPort value i.
void FormHlav::buildComMenu() {
  for (int i = 0; i < kComMenuItems; ++i) {
    QAction* a = MenuCom->addAction(i == kComAuto ? QString("Com Auto") : QString("Com %1").arg(i + 1));
    a->setObjectName(QString("MenuComItem%1").arg(i + 1));
    a->setCheckable(true);
    a->setData(i);
    connect(a, &QAction::triggered, this, &FormHlav::MenuCom1Click);
    comItems_[static_cast<std::size_t>(i)] = a;
  }
}

}  // namespace rq
