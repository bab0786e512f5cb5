// SPDX-License-Identifier: GPL-3.0-or-later
// Life of the main window: start-up, settings and state files, close, shell commands.
#include "app/form_hlav.h"

#include <QAction>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "abmode/ab_mode.h"
#include "app/file_commands.h"
#include "app/form_about.h"
#include "app/link_presenter.h"
#include "app/settings_paths.h"
#include "ui/status_notes.h"
#include "compare/compare_view.h"
#include "compare/verify_differences.h"
#include "guard/limit_guard.h"
#include "history/history_view.h"
#include "history/program_keeper.h"
#include "logs/log_room.h"
#include "help/manual_locator.h"
#include "logs/ride_recording.h"
#include "mapview/map_view.h"
#include "model/defaults.h"
#include "model/file_io.h"
#include "model/ini_file.h"
#include "pages/controls.h"
#include "pages/page_set.h"
#include "ports/port_names.h"
#include "ui/caption_apply.h"
#include "ui/notice_texts.h"
#include "ui/print_pages.h"
#include "ui/qt_text.h"
#include "ui/screen_place.h"
#include "ui/text_fit.h"
#include "unitsync/unit_sync.h"

namespace rq {
namespace {

constexpr const char* kBasic = "BASIC";

// The desktop's scale a placement was saved at ("2", "1.5"); `current` when none is given or
// it cannot be read.
double ParseScale(const std::string& text, double current) {
  bool ok = false;
  const double v = QString::fromStdString(text).toDouble(&ok);
  return ok && v >= 0.25 && v <= 8 ? v : current;
}

std::string ToStd(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

FormHlav::FormHlav(FormHlavOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
  // Construction before FormCreate: the names of the files, the port and the engine.
  settingsFolder_ = options_.settingsFolder.isEmpty() ? SettingsFolder() : options_.settingsFolder;
  store_ = std::make_unique<SettingsStore>(ToStd(settingsFilePath()), ToStd(stateFilePath()));
  workspace_ = std::make_unique<Workspace>(
      options_.port ? std::move(options_.port) : std::make_unique<TermiosPort>());
  workspace_->setPortPathResolver([this](int n) { return portPath(n); });
  // The program's own data file.
  dataIgnPath_ = QCoreApplication::applicationDirPath() + "/data.ign";

  buildFrame();
  wireWorkspace();
  qApp->installEventFilter(this);
  FormCreate(options_.arguments);
  formAbout_ = new FormAbout(this, [this] { return language(); });
  // The tick runs from here on; start-up has completed before the first one.
  Timer1->start();
}

FormHlav::~FormHlav() {
  Timer1->stop();
  // Fields losing the focus while the window goes must not commit into rooms already gone.
  for (QAbstractSpinBox* field : client_->findChildren<QAbstractSpinBox*>()) field->blockSignals(true);
  workspace_->closePort();
  // The rooms hold the workspace: they go first.
  for (QObject* room : std::initializer_list<QObject*>{fileCommands_, compareView_, verifyDifferences_,
                                                       unitSync_, historyView_, programKeeper_,
                                                       portNames_, abMode_, logRoom_, rideRecording_,
                                                       mapView_, limitGuard_})
    delete room;
  printPages_.reset();
  pageSet_.reset();
}

QString FormHlav::settingsFilePath() const { return settingsFolder_ + "/" + kSettingsFileName; }
QString FormHlav::stateFilePath() const { return settingsFolder_ + "/" + kStateFileName; }
QString FormHlav::markerFilePath() const { return settingsFolder_ + "/" + kMarkerFileName; }
QString FormHlav::iniDir() const { return fileCommands_->iniDir(); }
void FormHlav::setIniDir(const QString& path) { fileCommands_->setIniDir(path); }

QString FormHlav::pageCaption(int page) const {
  return page >= 0 && page < kPageCount ? PageControl1->tabText(page) : QString();
}

std::string FormHlav::portPath(int comNumber) const {
  if (options_.portOverride && comNumber == demoCom_) return *options_.portOverride;
  return ComPortPath(comNumber, portsMap_);
}

void FormHlav::wireWorkspace() {
  Workspace& ws = *workspace_;
  // The pages follow the workspace themselves; the window its messages and notes.
  ConnectWindowFace(ws, *this, this);
  // The live power-output texts follow the output modes.
  connect(&ws, &Workspace::imageChanged, this, [this](const ImageByteSet& moved) {
    for (int at = kPowerMode.first; at < kPowerMode.end(); ++at)
      if (moved.test(std::size_t(at))) return ShowMonitor();
  });
  connect(&ws, &Workspace::undoChanged, this, [this] { UpdateUndoControls(); });
  connect(&ws, &Workspace::fileNameChanged, LabelFile2, &QLabel::setText);
  connect(&ws, &Workspace::monitorAccepted, this,
          [this](const MonitorSnapshot& snapshot) { showMonitorValues(snapshot); });
  // No snapshot comes when the unit falls silent: the live values are rendered once more, as
  // "---", so that the last ones are not read as live under "No Connection".
  connect(&ws, &Workspace::connectionLost, this, [this] { ShowMonitor(); });
  connect(&ws, &Workspace::linkChanged, this, [this] { showExchange(); });
  connect(&ws, &Workspace::readLockChanged, this, [this](bool on) { showReadLock(on); });
  connect(&ws, &Workspace::portOpenFailed, this, [this] {
    // A port held by another program or closed to this user: say why, so the user can act.
    const ExchangeView& v = workspace_->exchange().view();
    const std::string com = v.comLabel.substr(v.comLabel.find("COM", 1));
    showMessage(FromStd(workspace_->texts().text(TxtComOpenError) + "\n" +
                        ComOpenErrorLine(com, v.devicePath, workspace_->exchange().lastOpen(),
                                         language())));
  });
  connect(CheckBoxProgHned, &QCheckBox::toggled, this, [this](bool on) {
    workspace_->setProgramAfterChange(on);
    applyWindowRules();  // its red
  });
}

void FormHlav::FormCreate(const QStringList& arguments) {
  // 1. The built pages come with the page modules; the Com menu exists already.
  // 2. The status bar follows the current hint (see event()).
  // 3. Port setting; the workspace starts with the defaults of motorbike type 0.
  workspace_->exchange().portSettings().comPort = 1;
  // 4. Centre on the screen.
  centreWindow();
  // 5. The program's own data file: dataIgnPath_, named before the frame was built.
  // 6.
  LoadSettings();
  // 7.
  PageControl1Change();
  CGaugeProgram->setMaximum(6);
  // 8. A language named on the command line wins over the settings file.
  if (!arguments.isEmpty()) {
    const int lang = LanguageFromArgument(ToStd(arguments.front()));
    if (lang >= 0) workspace_->setLanguage(lang);
  }
  // 9. The engine starts in the no-connection state (its silence counter is 18).
  // 10. The configuration of the last run (without the file the defaults stay), consistent,
  // shown, and the first undo slot.
  ApplyMessageTable();
  workspace_->start(
      [this](ParameterImage& image) {
        if (const auto& text = store_->stateText()) ParseStateText(*text, image, workspace_->allFlags());
      },
      currentPage_);
  // 11. A demo's unit stands on the port the run starts on.
  const PortSettings& ports = workspace_->exchange().portSettings();
  demoCom_ = (ports.comPort == kComAuto ? ports.scanIndex : ports.comPort) + 1;
  workspace_->exchange().portSettings().quietReopen = 0;
  workspace_->openPort();
  // 12.
  ApplyCaptionTable();
  RefreshPages();
  ShowMonitor();
  // 13.
  LabelHlaseni->hide();
  CGaugeProgram->hide();
  CGaugeProgram->setMaximum(5);
  LabelEeDataErr->hide();
  LabelVersion->hide();
  // 14.
  readMarkerFile();
  pageSet_->setTestMode(testMode_);
  for (QLabel* l : LabelTest) l->setVisible(testMode_);
  // 15.
  ApplyPageRules();
  // The map limits of the settings file, checked against the configuration of the last run.
  limitGuard_->readSettings();
}

void FormHlav::centreWindow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->geometry();
  // The design size, unless the screen has less room; then the client area scrolls rather
  // than the title bar ending up above the screen.
  const int menuHeight = menuBar()->sizeHint().height();
  QSize size(kClientWidth, kClientHeight + menuHeight);
  size = size.boundedTo(screen->availableGeometry().size());
  resize(size);
  move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

// A placement saved on another screen or at another scale (a window of 2010 x 1700 from a
// screen at twice the scale) is brought back wholly inside the free area of the screen that
// holds most of it: no larger than that area, and moved onto it.
void FormHlav::keepOnScreen() {
  const QRect fitted = FitOnScreen(QRect(pos(), size()), QSize(200, 150));
  if (fitted.size() != size()) resize(fitted.size());
  if (fitted.topLeft() != pos()) move(fitted.topLeft());
}

double FormHlav::screenScale() const {
  const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return s != nullptr ? s->devicePixelRatio() : 1.0;
}

void FormHlav::LoadSettings() {
  store_->load();
  const IniFile& ini = store_->settings();
  auto readInt = [&](const char* key, long current) { return ini.intValue(kBasic, key, current); };

  // Window placement, each applied at once. Sizes count in the pixels of the desktop's scale
  // they were saved at (Scale): a size from another scale is no size for this one (at twice
  // the scale the window may have been cut to half the screen), so the window opens at its
  // design size as on a first start, at the same place on the screen.
  const double scale = screenScale();
  const double savedScale = ParseScale(ini.stringValue(kBasic, "Scale", ""), scale);
  const double ratio = savedScale / scale;
  const long left = readInt("Left", x());
  const long top = readInt("Top", y());
  move(int(std::lround(double(left) * ratio)), int(std::lround(double(top) * ratio)));
  if (ratio == 1.0) {
    const long h = readInt("Height", height());
    const long w = readInt("Width", width());
    resize(int(std::clamp(w, 200L, 20000L)), int(std::clamp(h, 150L, 20000L)));
  }
  // A window placed where no screen is any more is brought back to the middle.
  const QRect frame(pos(), size());
  bool onScreen = false;
  for (const QScreen* s : QGuiApplication::screens())
    if (s->geometry().intersects(frame.adjusted(0, 0, -frame.width() / 2, -frame.height() / 2)))
      onScreen = true;
  if (!onScreen && QGuiApplication::primaryScreen() != nullptr) {
    const QRect area = QGuiApplication::primaryScreen()->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
  keepOnScreen();

  // Port, scan index and language are bytes; out-of-range values are repaired by the
  // consistency pass.
  PortSettings& ps = workspace_->exchange().portSettings();
  ps.comPort = static_cast<std::uint8_t>((readInt("ComPort", ps.comPort) - 1) & 0xFF);
  ps.scanIndex = static_cast<std::uint8_t>((readInt("ComPortAuto", ps.scanIndex) - 1) & 0xFF);
  workspace_->setLanguage(static_cast<std::uint8_t>(readInt("Language", language()) & 0xFF));
  workspace_->setFileName(FromStd(ini.stringValue(kBasic, "File", ToStd(workspace_->fileName()))));
  setIniDir(FromStd(ini.stringValue(kBasic, "IniDir", ToStd(iniDir()))));
  const long page = readInt("PageControl1->ActivePageIndex", currentPage_);
  if (page >= 0 && page < kPageCount) {
    currentPage_ = int(page);
    PageControl1->setCurrentIndex(currentPage_);
  }

  // Device paths of the COM numbers.
  portsMap_ = PortsSection(ini);

  // Files that exist but could not be read are left alone at close; the user hears it once.
  const std::string unreadable = UnreadableFilesMessage(store_->unreadable());
  if (!unreadable.empty()) {
    std::fprintf(stderr, "rq_vtmx4: %s\n", unreadable.c_str());
    showMessage(FromStd(UnreadableFilesMessage(store_->unreadable(), language())));
  }
}

void FormHlav::SaveSettings() {
  QDir().mkpath(settingsFolder_);
  const PortSettings& ps = workspace_->exchange().portSettings();
  // A demo run borrows the simulator's port: the saved port stays as the file has it.
  const bool demo = options_.portOverride.has_value();
  const auto setKeys = [&](IniFile& ini) {
    ini.setInt(kBasic, "Left", x());
    ini.setInt(kBasic, "Top", y());
    ini.setInt(kBasic, "Height", height());
    ini.setInt(kBasic, "Width", width());
    ini.setValue(kBasic, "Scale", QString::number(screenScale()).toStdString());
    if (!demo) {
      ini.setInt(kBasic, "ComPort", ps.comPort + 1);
      ini.setInt(kBasic, "ComPortAuto", ps.scanIndex + 1);
    }
    ini.setInt(kBasic, "Language", language());
    ini.setValue(kBasic, "File", ToStd(workspace_->fileName()));
    ini.setValue(kBasic, "IniDir", ToStd(iniDir()));
    ini.setInt(kBasic, "PageControl1->ActivePageIndex", PageControl1->currentIndex());
  };
  // The configuration for the next run; a failure leaves the previous file intact. A demo run
  // leaves the user's own configuration alone: what was read from the simulator is not kept.
  const std::string state = WriteStateText(workspace_->image(), workspace_->allFlags());
  const auto failed = store_->save(setKeys, demo ? nullptr : &state);
  if (!failed.empty()) {
    // Shown before the window goes: a window user never sees stderr.
    std::fprintf(stderr, "rq_vtmx4: %s\n", SaveFailureMessage(failed).c_str());
    showMessage(FromStd(SaveFailureMessage(failed, language())));
  }
}

const IniFile& FormHlav::settings() const { return store_->settings(); }

bool FormHlav::writeSettings(const std::function<void(IniFile&)>& setKeys) {
  QDir().mkpath(settingsFolder_);
  const auto failed = store_->save(setKeys, nullptr);
  if (failed.empty()) return true;
  std::fprintf(stderr, "rq_vtmx4: %s\n", SaveFailureMessage(failed).c_str());
  showMessage(FromStd(SaveFailureMessage(failed, language())));
  return false;
}

bool FormHlav::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto* widget = qobject_cast<QWidget*>(watched);
    const auto combo = key->keyCombination();
    if (widget != nullptr && widget->window() == this &&
        (combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
         combo == QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_Z))) {
      event->ignore();  // not wanted by the edit: the menu shortcut fires
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void FormHlav::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    Timer1->stop();
    workspace_->closePort();
    workspace_->takeShownPage();
    SaveSettings();
  }
  event->accept();
  if (formAbout_ != nullptr) formAbout_->close();
}

void FormHlav::readMarkerFile() {
  testMode_ = false;
  std::string error;
  const auto text = ReadWholeFile(ToStd(markerFilePath()), error, 16u * 1024u * 1024u);
  if (!text) return;
  const std::string_view t = *text;
  std::size_t pos = 0;
  auto isSpace = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
  };
  while (pos < t.size()) {
    while (pos < t.size() && isSpace(t[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < t.size() && !isSpace(t[pos])) ++pos;
    if (t.substr(start, pos - start) == "DIAG_UNLOCK") {
      testMode_ = true;
      return;
    }
  }
}

void FormHlav::ApplyMessageTable() {
  for (const auto& [name, text] : ComposedCaptions(workspace_->texts())) {
    QWidget* w = findChild<QWidget*>(FromStd(name));
    if (auto* label = qobject_cast<QLabel*>(w)) label->setText(FromStd(text));
    else if (auto* box = qobject_cast<QGroupBox*>(w)) box->setTitle(FromStd(text));
  }
}

void FormHlav::ApplyCaptionTable() {
  rq::ApplyCaptionTable(this, language());  // check marks, title, every caption, hint and item
  pageSet_->languageChanged(language());
  layoutToolStrip();
  ApplyMessageTable();
  // "File:" is longer in some languages; the name follows it.
  LabelFile1->adjustSize();
  LabelFile2->move(std::max(50, LabelFile1->x() + LabelFile1->width() + 6), LabelFile2->y());
}

void FormHlav::setLanguage(int language) {
  workspace_->setLanguage(language);
  ApplyMessageTable();
  ApplyCaptionTable();
  RefreshPages();
  ShowMonitor();
  showExchange();
}

void FormHlav::showMessage(const QString& text) {
  // A box asked for inside a tick opens right after it, so that the ticks running under the
  // box never start while the engine is half-way through one.
  if (workspace_->inTick()) {
    QTimer::singleShot(0, this, [this, text] { showMessage(text); });
    return;
  }
  if (options_.messageBox) {
    options_.messageBox(text);
    return;
  }
  QMessageBox box(QMessageBox::Information, windowTitle(), QString(), QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  SetMessageText(box, text);
  box.exec();
}

void FormHlav::MenuContensClick() {
  // The bare name from the current folder first, as always; then the installed manual and the
  // build tree's copy, so that a program started from the menu finds its manual too.
  const QString manual = FromStd(workspace_->texts().text(TxtManualFile));
  const QStringList folders = options_.manualFolders
                                  ? *options_.manualFolders
                                  : ManualFolders(QCoreApplication::applicationDirPath());
  const QString path = FindManual(manual, QDir::currentPath(), folders);
  bool opened = false;
  if (!path.isEmpty()) {
    opened = options_.openDocument ? options_.openDocument(path)
                                   : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  }
  if (opened) return;
  QString text = FromStd(workspace_->texts().text(TxtManualOpenError));
  // The file is there: what is missing is a program to show it.
  if (!path.isEmpty())
    text += "\n" + QString::fromUtf8(NoticeText(language(), NoticeManualNoViewer)).arg(path);
  showMessage(text);
}

void FormHlav::MenuExitClick() { close(); }

void FormHlav::MenuAboutClick() {
  if (formAbout_ != nullptr) formAbout_->exec();
}

bool FormHlav::event(QEvent* event) {
  // The application hint handler: the status bar shows the current hint.
  if (event->type() == QEvent::StatusTip) {
    statusNotes_->show(static_cast<QStatusTipEvent*>(event)->tip(), 0);
    return true;
  }
  return QMainWindow::event(event);
}

// ---- The pages: the page set does the work for the page shown ---------------------------

// While a read replaces the configuration the pages are greyed out; the workspace shows what
// the read left when it ends.
void FormHlav::showReadLock(bool on) {
  for (int page = 0; page < kPageCount; ++page)
    if (page != kPageMonitor && pages_[std::size_t(page)] != nullptr)
      pages_[std::size_t(page)]->setEnabled(!on);
  if (on) {
    statusNotes_->show(QString::fromUtf8(NoticeText(language(), NoticeEditsWaitForRead)), 0);
    return;
  }
  StatusBar1->clearMessage();
}

void FormHlav::RefreshPages() {
  pageSet_->show(currentPage_);
  applyWindowRules();
}

void FormHlav::ApplyPageRules() {
  pageSet_->applyRules(currentPage_);
  applyWindowRules();
}

// The window's own rules (the page set's come with its refresh): the red of "Programming
// after change" and the white of printing.
void FormHlav::applyWindowRules() {
  const bool print = workspace_->printing();
  SetRedBackground(CheckBoxProgHned, CheckBoxProgHned->isChecked());
  QPalette window = palette();
  const QColor background = print ? QColor(Qt::white) : QPalette().color(QPalette::Button);
  if (client_->palette().color(QPalette::Window) != background) {
    window.setColor(QPalette::Window, background);
    client_->setPalette(window);
    client_->setAutoFillBackground(print);
  }
}

void FormHlav::commitPendingEdit() { pageSet_->commitFocusedEdit(); }

void FormHlav::PageControl1Change() {
  // An edit still being typed belongs to the page being left.
  pageSet_->commitFocusedEdit();
  currentPage_ = PageControl1->currentIndex();
  workspace_->setPage(currentPage_);
  pageSet_->showPage(currentPage_);
  RefreshPages();
}

int FormHlav::askQuestion(const QString& text, bool withCancel, bool defaultNo) {
  if (options_.askQuestion) return options_.askQuestion(text);
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  return QMessageBox::question(this, windowTitle(), text, buttons,
                               defaultNo ? QMessageBox::No : QMessageBox::NoButton);
}

int FormHlav::askChoice(const QString& text, const QStringList& choices, int defaultChoice) {
  const int escape = int(choices.size()) - 1;
  if (options_.askChoice) return options_.askChoice(text, choices);
  QMessageBox box(QMessageBox::Question, windowTitle(), text, QMessageBox::NoButton, this);
  std::vector<QPushButton*> buttons;
  for (int i = 0; i <= escape; ++i)
    buttons.push_back(box.addButton(choices[i], i == escape ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
  if (escape < 0) return -1;
  box.setDefaultButton(buttons[std::size_t(std::clamp(defaultChoice, 0, escape))]);
  box.setEscapeButton(buttons.back());
  box.exec();
  const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
  return chosen == buttons.end() ? escape : int(chosen - buttons.begin());
}

void FormHlav::hideStatusLine() { workspace_->hideStatusLine(); }

void FormHlav::MenuNewClick() {
  commitPendingEdit();
  workspace_->applyDefaults(currentPage_, [this] {
    return askQuestion(FromStd(workspace_->texts().text(TxtAskDefaults))) == QMessageBox::Yes;
  });
}

void FormHlav::UpdateUndoControls() {
  const UndoHistory& undo = workspace_->undoHistory();
  SpeedButtonZpet->setEnabled(undo.canUndo());
  MenuZpet->setEnabled(undo.canUndo());
  SpeedButtonZnovu->setEnabled(undo.canRedo());
  MenuZnovu->setEnabled(undo.canRedo());
}

// Undo and redo show the page the step was taken on. Text typed and not committed is no step:
// it goes, and the last committed step is undone (the tool button and the shortcut take no
// focus, so the field still holds it here).
void FormHlav::SpeedButtonZpetClick() {
  pageSet_->discardFocusedEdit();
  const int page = workspace_->undo();
  if (page >= 0 && page != PageControl1->currentIndex()) PageControl1->setCurrentIndex(page);
}
void FormHlav::SpeedButtonZnovuClick() {
  pageSet_->discardFocusedEdit();
  const int page = workspace_->redo();
  if (page >= 0 && page != PageControl1->currentIndex()) PageControl1->setCurrentIndex(page);
}

// ---- WindowFace -----------------------------------------------------------------------------

void FormHlav::addMenuAction(Menu menu, QAction* action) {
  QMenu* m = menu == Menu::File ? MenuFile : menu == Menu::Device ? MenuDevice : MenuTools;
  m->addAction(action);
}

void FormHlav::addStatusWidget(QWidget* widget) { StatusBar1->addPermanentWidget(widget); }

void FormHlav::showNote(const QString& text, int ms) { statusNotes_->show(text, ms); }

void FormHlav::setPrinting(bool on) {
  workspace_->setPrinting(on);
  ApplyPageRules();
}

void FormHlav::showPrintStamp(const QString& suffix) {
  workspace_->showStatusNote(StatusText::PrintDateTime, suffix.toStdString());
}

}  // namespace rq

#include "moc_form_hlav.cpp"
