// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the frame (tool strip, pages, live strip, status bar, menu), start-up and
// close with the settings and state files, and the place where the rooms are built and wired.
// What the tool works on is the workspace's (workspace/workspace.h); features see the window
// only through WindowFace (ui/window_face.h).
//
// Names from the described frame: the class FormHlav, its controls (SpeedButton6 ...
// BitBtnProgram, LabelSpojeni, LabelCom, PageControl1, LabelFile1, LabelFile2,
// CheckBoxProgHned, LabelHlaseni, CGaugeProgram, LabelVersion, LabelEeDataErr, LabelTest1..8,
// StatusBar1, Timer1, the Menu* items) and its routines and handlers (FormCreate, LoadSettings,
// SaveSettings, ApplyMessageTable, ApplyCaptionTable, Timer1Timer, RefreshPages,
// ApplyPageRules, PageControl1Change, UpdateUndoControls, ShowMonitor and the *Click
// handlers). Every other member has a plain English name. The edit path (read-back, the
// consistency pass, the undo step) is the workspace's.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/settings_store.h"
#include "link/device_exchange.h"
#include "link/serial_port.h"
#include "model/parameter_image.h"
#include "model/state_file.h"
#include "model/undo_history.h"
#include "ui/monitor_view.h"
#include "ui/text_table.h"
#include "ui/window_face.h"
#include "workspace/workspace.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;

namespace rq {

class CompareView;
class FileCommands;
class FormAbout;
class HistoryView;
class LimitGuard;
class LinkPresenter;
class MapView;
class PageSet;
class PortNames;
class PrintPages;
class ProgramKeeper;
class StatusNotes;
class UnitSync;
class VerifyDifferences;
namespace logs {
class LogRoom;
class RideRecording;
}  // namespace logs
namespace abmode {
class AbMode;
}  // namespace abmode

inline constexpr int kClientWidth = 1005;
inline constexpr int kClientHeight = 832;

struct FormHlavOptions {
  // Program arguments after the program name, without the program's own options. The first
  // one may name the language ("ENGLISH", "DEUTSCH", "FRANCE", "CESKY").
  QStringList arguments;
  // Folder of the settings, state and marker files; empty: the user's settings folder.
  QString settingsFolder;
  // Device used for every COM number during this run (the demo unit); the saved port
  // settings are not touched.
  std::optional<std::string> portOverride;
  // Shows a message box; empty: a modal QMessageBox. Tests record the texts instead.
  std::function<void(const QString& text)> messageBox;
  // Asks a Yes / No / Cancel question; empty: a QMessageBox. Returns the button chosen.
  std::function<int(const QString& text)> askQuestion;
  // Asks a question with buttons of its own; empty: a QMessageBox. Returns the index chosen.
  std::function<int(const QString& text, const QStringList& choices)> askChoice;
  // Opens a document with the desktop's viewer; empty: QDesktopServices::openUrl.
  std::function<bool(const QString& path)> openDocument;
  // Folders searched for the manual after the current folder; empty: ManualFolders() of the
  // program's folder.
  std::optional<QStringList> manualFolders;
  // The serial port; empty: a TermiosPort.
  std::unique_ptr<SerialPort> port;
};

class FormHlav : public QMainWindow, public WindowFace {
  Q_OBJECT

 public:
  explicit FormHlav(FormHlavOptions options = {}, QWidget* parent = nullptr);
  ~FormHlav() override;

  // File › Open once the file is chosen (also for a file named on the command line).
  bool openConfigurationFile(const QString& path);
  // The rooms the command line reaches: the ride recording and the log viewer.
  logs::RideRecording& rideRecording() { return *rideRecording_; }
  logs::LogRoom& logRoom() { return *logRoom_; }

  // ---- WindowFace ---------------------------------------------------------------------------
  QWidget* dialogParent() override { return this; }
  int language() const override { return workspace_->language(); }
  void addMenuAction(Menu menu, QAction* action) override;
  void addStatusWidget(QWidget* widget) override;
  void showNote(const QString& text, int ms) override;
  void showMessage(const QString& text) override;
  int askQuestion(const QString& text, bool withCancel = true, bool defaultNo = false) override;
  int askChoice(const QString& text, const QStringList& choices, int defaultChoice) override;
  QList<QAction*> undoActions() override { return {MenuZpet, MenuZnovu}; }
  void commitPendingEdit() override;
  QWidget* liveStrip() override { return client_; }
  const IniFile& settings() const override;
  bool writeSettings(const std::function<void(IniFile&)>& setKeys) override;
  int currentPage() const override { return currentPage_; }
  QString pageCaption(int page) const override;
  QWidget* printedWindow() override { return this; }
  void setPrinting(bool on) override;
  void showPrintStamp(const QString& suffix) override;
  // Hides the status line and the progress gauge unless an operation is running.
  void hideStatusLine() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Keeps Ctrl+Z and Ctrl+Alt+Z for Undo and Redo even while an edit field has the focus.
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // The 55 ms tick: the workspace's engine, then the status line and the connection labels.
  void Timer1Timer();

  // Command handlers bound to the menu and the tool strip.
  void MenuNewClick();
  void MenuReadClick();
  void MenuVerifyClick();
  void MenuProgramClick();
  void MenuCom1Click();
  void MenuContensClick();
  void MenuExitClick();
  void MenuAboutClick();
  void MenuEnglishClick() { setLanguage(kLanguageEnglish); }
  void MenuGermanClick() { setLanguage(kLanguageGerman); }
  void MenuFrenchClick() { setLanguage(kLanguageFrench); }
  void MenuCzechClick() { setLanguage(kLanguageCzech); }
  void SpeedButtonZpetClick();
  void SpeedButtonZnovuClick();

  // The page shown again (a page change, a language): the page set's refresh and rules, then
  // the window's own rules; the rules alone (printing, start-up).
  void RefreshPages();
  void ApplyPageRules();
  void applyWindowRules();
  void PageControl1Change();
  // Renders the last monitor reply again, or a given one (on acceptance).
  void ShowMonitor();
  void showMonitorValues(const MonitorSnapshot& snapshot);

  // Paths of the files the window keeps.
  QString settingsFilePath() const;
  QString stateFilePath() const;
  QString markerFilePath() const;
  // A demo run talks to the simulator through a borrowed port.
  bool demoRun() const { return options_.portOverride.has_value(); }
  QString iniDir() const;
  void setIniDir(const QString& path);
  void UpdateUndoControls();
  void LoadSettings();
  void SaveSettings();

  // Construction of the frame.
  void buildFrame();
  void buildToolStrip(QWidget* client);
  void buildPages(QWidget* client);
  void buildMonitorPage(QWidget* page);
  void buildLiveStrip(QWidget* client);
  void buildMenu();
  void buildComMenu();
  QLabel* makeLabel(QWidget* parent, const char* name, int x, int y, const QString& text,
                    int pixelSize, bool bold, int width = 0);
  void layoutToolStrip();

  // Start-up.
  void FormCreate(const QStringList& arguments);
  void centreWindow();
  void keepOnScreen();
  // The desktop's scale on the window's screen (device pixels per pixel).
  double screenScale() const;
  void readMarkerFile();
  void ApplyCaptionTable();
  void ApplyMessageTable();
  void setLanguage(int language);
  // The workspace's signals to the window's controls.
  void wireWorkspace();
  void createRooms();

  // Takes an edit still being typed and starts a read, verify or program.
  void startExchange(OpState op);
  // Mirrors the engine's view into the status line, the connection labels and the Com menu.
  void showExchange();
  std::string portPath(int comNumber) const;
  void showReadLock(bool on);

  FormHlavOptions options_;
  QString settingsFolder_;
  std::unique_ptr<SettingsStore> store_;  // the settings and state files
  QString dataIgnPath_;
  std::unique_ptr<Workspace> workspace_;
  std::map<std::string, std::string> portsMap_;
  // A demo run: the COM number the simulated unit stands on (the port the run starts on); the
  // other ports are the machine's own.
  int demoCom_ = 0;
  int currentPage_ = 0;
  bool testMode_ = false;
  bool closed_ = false;

  // The rooms. Those that are QObjects are children of the window.
  std::unique_ptr<PageSet> pageSet_;
  std::unique_ptr<PrintPages> printPages_;
  std::unique_ptr<LinkPresenter> presenter_;
  FileCommands* fileCommands_ = nullptr;
  CompareView* compareView_ = nullptr;
  VerifyDifferences* verifyDifferences_ = nullptr;
  UnitSync* unitSync_ = nullptr;
  HistoryView* historyView_ = nullptr;
  ProgramKeeper* programKeeper_ = nullptr;
  PortNames* portNames_ = nullptr;
  logs::LogRoom* logRoom_ = nullptr;
  logs::RideRecording* rideRecording_ = nullptr;
  LimitGuard* limitGuard_ = nullptr;
  abmode::AbMode* abMode_ = nullptr;
  MapView* mapView_ = nullptr;
  FormAbout* formAbout_ = nullptr;

  // Frame.
  QWidget* client_ = nullptr;
  QGroupBox* GroupBoxToolBar = nullptr;
  QToolButton* SpeedButton6 = nullptr;
  QToolButton* SpeedButtonOpen = nullptr;
  QToolButton* SpeedButtonSave = nullptr;
  QToolButton* SpeedButtonPrint = nullptr;
  QToolButton* SpeedButtonZpet = nullptr;
  QToolButton* SpeedButtonZnovu = nullptr;
  QPushButton* ButtonRead = nullptr;
  QPushButton* BitBtnVerify = nullptr;
  QPushButton* BitBtnProgram = nullptr;
  QLabel* LabelSpojeni = nullptr;
  QLabel* LabelCom = nullptr;
  QTabWidget* PageControl1 = nullptr;
  std::array<QWidget*, kPageCount> pages_{};
  QLabel* LabelFile1 = nullptr;
  QLabel* LabelFile2 = nullptr;
  QCheckBox* CheckBoxProgHned = nullptr;
  QLabel* LabelHlaseni = nullptr;
  QProgressBar* CGaugeProgram = nullptr;
  QLabel* LabelVersion = nullptr;
  QLabel* LabelEeDataErr = nullptr;
  std::array<QLabel*, 8> LabelTest{};
  QStatusBar* StatusBar1 = nullptr;
  StatusNotes* statusNotes_ = nullptr;  // the notes on StatusBar1, fitted to it
  QTimer* Timer1 = nullptr;
  QMenu* MenuFile = nullptr;
  QMenu* MenuCom = nullptr;
  QMenu* MenuDevice = nullptr;
  QMenu* MenuTools = nullptr;
  QAction* MenuOpen = nullptr;
  QAction* MenuOpenExeDir = nullptr;
  QAction* MenuSave = nullptr;
  QAction* MenuSaveExeDir = nullptr;
  QAction* MenuPrint = nullptr;
  QAction* MenuPrintAll = nullptr;
  QAction* MenuToolsMinus = nullptr;
  QAction* MenuToolsPlus = nullptr;
  QAction* MenuZpet = nullptr;
  QAction* MenuZnovu = nullptr;
  std::array<QAction*, kComMenuItems> comItems_{};
  std::array<QAction*, kLanguageCount> languageItems_{};

  // Tests and benchmarks reach the rooms and handlers through it (tests/app/form_peer.h).
  friend class FormHlavPeer;
};

}  // namespace rq
