// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: frame, start-up and close, settings and state files, the exchange engine
// driven by Timer1 and the live monitor.
#pragma once

#include <QColor>
#include <QHash>
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
#include "pages/page_kit.h"
#include "ui/monitor_view.h"
#include "ui/text_table.h"

class QAction;
class QActionGroup;
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

class FileCommands;
class FormAbout;
class PageSet;
class LinkPresenter;
class PortNames;
class PrintPages;
class UnitSync;
class VerifyDifferences;
namespace logs {
class RideRecording;
}

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
  // Opens a document with the desktop's viewer; empty: QDesktopServices::openUrl.
  std::function<bool(const QString& path)> openDocument;
  // Folders searched for the manual after the current folder; empty: ManualFolders() of the
  // program's folder.
  std::optional<QStringList> manualFolders;
  // The serial port; empty: a TermiosPort.
  std::unique_ptr<SerialPort> port;
};

class FormHlav : public QMainWindow, public PageHost {
  Q_OBJECT

 public:
  explicit FormHlav(FormHlavOptions options = {}, QWidget* parent = nullptr);
  ~FormHlav() override;

  // Paths of the files the window keeps.
  QString settingsFilePath() const;
  QString stateFilePath() const;
  QString markerFilePath() const;
  QString dataIgnPath() const { return dataIgnPath_; }

  // State, for the pages, tools and tests.
  ParameterImage& image() override { return image_; }
  const ParameterImage& image() const { return image_; }
  AllFlags& allFlags() override { return allFlags_; }
  DeviceExchange& exchange() { return *exchange_; }
  const TextTable& texts() const { return texts_; }
  const UndoHistory& undoHistory() const { return undo_; }
  int language() const override { return language_; }
  int currentPage() const override { return currentPage_; }
  bool testMode() const override { return testMode_; }
  const MonitorSnapshot& lastMonitor() const override;
  bool connected() const override;
  bool printing() const override;
  PageSet& pageSet() { return *pageSet_; }
  QString fileName() const;
  QString iniDir() const { return iniDir_; }
  FormAbout* formAbout() const { return formAbout_; }
  void setIniDir(const QString& path) { iniDir_ = path; }
  // A demo run talks to the simulator through a borrowed port.
  bool demoRun() const { return options_.portOverride.has_value(); }
  // The rooms of the file commands, the print commands and the verify-difference view.
  FileCommands& fileCommands() { return *fileCommands_; }
  PrintPages& printPages() { return *printPages_; }
  VerifyDifferences& verifyDifferences() { return *verifyDifferences_; }
  UnitSync& unitSync() { return *unitSync_; }
  // Device path of COMn as this run maps it.
  std::string comPortPath(int comNumber) const { return portPath(comNumber); }
  logs::RideRecording& rideRecording() { return *rideRecording_; }

  // Message box and Yes / No / Cancel question of the window (recorded in tests).
  void ShowMessage(const QString& text);
  int askQuestion(const QString& text, bool withCancel = true);
  // Hides the status line and the progress gauge unless an operation is running.
  void HideStatusLine();

  // The 55 ms tick: the exchange engine, then the status line and the connection labels.
  void Timer1Timer();

  // Command handlers bound to the menu and the tool strip.
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

  // Renders the last accepted monitor reply (all zero before the first one).
  void ShowMonitor() override;
  // Renders a given reply as it stands; used on acceptance and by tests.
  void ShowMonitorValues(const MonitorSnapshot& snapshot);

  // Page-facing routines. The pages bind into these; until they exist the steps that read
  // or write controls do nothing.
  void ReadBackPage();
  void RefreshPages() override;
  void ApplyPageRules() override;
  void PageControl1Change();
  void SanitizeImage();
  // Prepares the image for the operation and starts it.
  void StartExchange(OpState op);
  // After an edit: consistency pass, refresh twice, undo snapshot (may start programming).
  void AfterChange() override;
  void TakeSnapshot() override;
  void MenuNewClick() override;
  void ButtonTestClick(int index) override;
  // Commits an edit the user is still typing; every command calls it first.
  void CommitPendingEdit();
  // While Read replaces the configuration the pages take no edits (they are greyed out) and
  // no programming is started or kept pending; true then, with the reason on the status bar.
  bool editsLocked() override;
  bool readLocked() const { return readLock_; }
  void SpeedButtonZpetClick();
  void SpeedButtonZnovuClick();
  void UpdateUndoControls();

  void LoadSettings();
  void SaveSettings();

  // File › Open once the file is chosen: reads a .ign file into the configuration; with a
  // valid version key runs the after-change step and makes it the last file (LabelFile2,
  // IniDir). "Open file error!" when it cannot be read, the version message for each key with
  // another number. Returns whether the file was loaded.
  bool OpenConfigurationFile(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Keeps Ctrl+Z and Ctrl+Alt+Z for Undo and Redo even while an edit field has the focus.
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
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
  void CentreWindow();
  void ReadMarkerFile();
  void ApplyCaptionTable();
  void ApplyMessageTable();
  void setLanguage(int language);
  void installHooks();
  void createRooms();

  // Mirrors the engine's view into the status line, the connection labels and the Com menu.
  void ApplyExchangeView();
  std::string portPath(int comNumber) const;
  void restoreSnapshot(int page);
  // Programming after change waits while a read, verify or program runs.
  void requestProgramming();
  void startPendingProgramming();
  void setReadLock(bool on);

  FormHlavOptions options_;
  QString settingsFolder_;
  std::unique_ptr<SettingsStore> store_;  // the settings and state files
  QString dataIgnPath_;
  QString iniDir_;

  ParameterImage image_;
  AllFlags allFlags_{};
  UndoHistory undo_;
  TextTable texts_;
  int language_ = kLanguageEnglish;
  int currentPage_ = 0;
  bool testMode_ = false;
  bool closed_ = false;
  bool inTick_ = false;
  bool programPending_ = false;
  bool readLock_ = false;
  std::unique_ptr<PageSet> pageSet_;
  std::unique_ptr<FileCommands> fileCommands_;
  std::unique_ptr<PrintPages> printPages_;
  QObject* logRoom_ = nullptr;  // the ride log's menu item and map overlay; a child of the window
  std::unique_ptr<VerifyDifferences> verifyDifferences_;
  std::unique_ptr<UnitSync> unitSync_;
  PortNames* portNames_ = nullptr;  // owned by the window
  std::unique_ptr<logs::RideRecording> rideRecording_;
  IdentificationTexts identification_;
  std::map<std::string, std::string> portsMap_;

  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<DeviceExchange> exchange_;

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
  QTimer* Timer1 = nullptr;
  QMenu* MenuCom = nullptr;
  QAction* MenuZpet = nullptr;
  QAction* MenuZnovu = nullptr;
  std::array<QAction*, kComMenuItems> comItems_{};
  std::array<QAction*, kLanguageCount> languageItems_{};
  FormAbout* formAbout_ = nullptr;

  // The status line, connection labels and live values.
  std::unique_ptr<LinkPresenter> presenter_;
};

}  // namespace rq
