// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace: what the tool works on, held once for the window and every feature. The
// configuration image with its flags, the undo history, the file name, what the unit is known
// to hold, the exchange engine with its port, and the interface language. It offers the
// operations on them (a change of the configuration, undo and redo, open and save, read,
// verify and program) and says what happened through its signals. It owns no widgets: the
// window shows what the signals report, and features work on the workspace, never on the
// window.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/device_exchange.h"
#include "limits/map_limits.h"
#include "link/serial_port.h"
#include "model/parameter_image.h"
#include "model/state_file.h"
#include "model/undo_history.h"
#include "model/unit_comparison.h"
#include "ui/text_table.h"
#include "workspace/unit_tracker.h"

namespace rq {

class Workspace : public QObject {
  Q_OBJECT

 public:
  // An edit of the configuration: it writes into the image it is given.
  using Edit = std::function<void(ParameterImage&)>;

  // `port`: the serial port the engine talks through (the caller's choice: a real one, a
  // pseudo-terminal's, a scripted one in tests).
  explicit Workspace(std::unique_ptr<SerialPort> port, QObject* parent = nullptr);
  ~Workspace() override;
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // ---- What the tool works on ---------------------------------------------------------------
  ParameterImage& image() { return image_; }
  const ParameterImage& image() const { return image_; }
  // The "All" flags of the map pages: interface state, kept in the state file.
  AllFlags& allFlags() { return allFlags_; }
  const UndoHistory& undoHistory() const { return undo_; }
  DeviceExchange& exchange() { return *exchange_; }
  const DeviceExchange& exchange() const { return *exchange_; }
  // The unit's live values: the last accepted monitor reply (all zero before the first).
  const MonitorSnapshot& lastMonitor() const { return exchange_->lastMonitor(); }
  bool connected() const { return exchange_->connected(); }
  bool printing() const { return exchange_->state().printing; }
  const IdentificationTexts& identification() const { return identification_; }

  // The interface language (0 English .. 3 Czech): its one store. texts() holds the message
  // table of it. A language byte out of range is kept until the consistency pass repairs it.
  int language() const { return language_; }
  const TextTable& texts() const { return texts_; }
  // Takes the language and fills the message table; emits languageChanged.
  void setLanguage(int language);

  // The configuration file the PC's configuration was opened from or saved to; "" for none.
  const QString& fileName() const { return fileName_; }
  void setFileName(const QString& name);

  // ---- PC against unit ----------------------------------------------------------------------
  const UnitRecord& unit() const { return record_; }
  // What differs between the PC and the unit while the unit's content is known (empty
  // otherwise). Computed once per change of either side, however often it is asked.
  const std::vector<DifferingSlot>& differences();
  // How often the differences were computed (for tests and benchmarks).
  int differenceRuns() const { return differenceRuns_; }
  // The unit's whole image, read into a copy: its content is known.
  void unitRead(const ParameterImage& unit);

  // ---- Limits the tuner set for the maps ([LIMITS] of the settings file) ----------------------
  const Limits& limits() const { return limits_; }
  // Emits limitsChanged when they differ.
  void setLimits(const Limits& limits);

  // ---- Operations on the configuration -----------------------------------------------------
  // "Programming after change": a change programs the unit when it is on.
  bool programAfterChange() const { return programAfterChange_; }
  void setProgramAfterChange(bool on) { programAfterChange_ = on; }
  // What may hold programming after change: asked each time one would start (after a change,
  // an undo or redo, or when a waiting one would start after the running operation); a
  // non-empty answer is the reason, said on the status line (note), and nothing is started
  // or kept waiting. The Program command is not held. Empty: nothing holds it.
  using ProgramHold = std::function<QString()>;
  void setProgramHold(ProgramHold hold);

  // The page the window shows: the undo steps the workspace takes on its own (a read) belong
  // to it.
  void setPage(int page) { page_ = page; }
  int page() const { return page_; }

  // The refresh-in-progress flag: set while a refresh writes the image into controls; the
  // read-back, mode handlers and undo steps do nothing while it is set.
  bool refreshing() const { return refreshDepth_ > 0; }
  class RefreshScope {
   public:
    explicit RefreshScope(Workspace& ws) : ws_(ws) { ++ws_.refreshDepth_; }
    ~RefreshScope() { --ws_.refreshDepth_; }
    RefreshScope(const RefreshScope&) = delete;
    RefreshScope& operator=(const RefreshScope&) = delete;

   private:
    Workspace& ws_;
  };

  // The consistency pass of bytes 0..749 (with the language and port bytes it repairs).
  void sanitize();
  // One change of the configuration: the edit (may be empty when the image was written
  // already), the consistency pass with the gear coupling, imageChanged (the window shows
  // it), then one undo step, which programs the unit when "Programming after change" is on.
  // `page` is the page the undo step belongs to.
  void change(const Edit& edit, int page);
  // The undo step of a change that is already in the image and shown: recorded when bytes
  // 0..749 changed; programs after change. Mode selectors store their byte and call this.
  void takeSnapshot(int page);
  // The first undo slot: the configuration as it stands.
  void initUndo(int page);
  // Undo and redo: the configuration of the step before or after, shown (imageChanged),
  // programmed after change. Return the page of the step, or -1 when there is none.
  int undo();
  int redo();

  struct OpenResult {
    bool loaded = false;
    std::string error;              // the file could not be read (system's reason)
    bool notConfiguration = false;  // read, but no version key of any number in it
  };
  // Loads a .ign file into the configuration: message() once per version key with another
  // number, then, with a valid key, one change (undo step) and the file name. Nothing changes
  // while a read is replacing the configuration (not loaded, no error).
  OpenResult open(const std::string& path, int page);
  // Writes the configuration as a .ign file through an atomic write; the file name on
  // success. The caller runs the consistency pass and shows it first.
  bool save(const std::string& path, std::string& error);

  // While a read replaces the configuration the pages take no edits and no programming is
  // started or kept pending: true then, with a note on the status line.
  bool editsLocked();
  bool readLocked() const { return readLock_; }

  // ---- The unit ------------------------------------------------------------------------------
  // Read replaces the configuration (and forgets its file name); verify and program send
  // what the image holds (the caller has read back, sanitised and shown it).
  void startRead();
  void startVerify();
  void startProgram();
  // Reads the unit into `unit` (not the configuration); operationEnded(UnitRead, ...) tells
  // the end, and a whole read makes the unit's content known.
  void startUnitRead(ParameterImage& unit);
  // The 55 ms tick: the engine, then a pending programming after change.
  void tick();
  bool inTick() const { return inTick_; }
  // Com menu item 0..20 chosen; opening and closing the port with the current settings.
  void selectPort(int item);
  void openPort();
  void closePort();
  // The status line: a note that is not an operation's, and hiding it.
  void showStatusNote(StatusText text, const std::string& suffix);
  void hideStatusLine();
  void setPrinting(bool on);
  // Maps COMn (1..21) to a device path for this run.
  void setPortPathResolver(PortPathResolver resolver);
  std::string portPath(int comNumber) const;
  // Tells the listeners of linkChanged that the engine's view may have changed.
  void publishLink();

 signals:
  // The configuration changed and is consistent: show it.
  void imageChanged();
  void fileNameChanged(const QString& name);
  void undoChanged();
  // What is known of the unit changed (its record, or the differences to the PC).
  void unitChanged();
  // An accepted monitor reply, after lastMonitor() holds it.
  void monitorAccepted(const MonitorSnapshot& snapshot);
  void operationEnded(rq::Operation operation, rq::Outcome outcome);
  // The engine's view (status line, gauge, connection, port) may have changed.
  void linkChanged();
  void languageChanged(int language);
  void readLockChanged(bool locked);
  void limitsChanged();
  // The last step of every tick: mark the live operating point.
  void markLive();
  // The unit stopped answering ("No Connection").
  void connectionLost();
  // "Com opening error!": the port could not be opened (exchange().lastOpen() says why).
  void portOpenFailed();
  // Something the user must be told in a message box (already in the window's language).
  void message(const QString& text);
  // A note for the status line, shown for `ms` milliseconds (0: until replaced).
  void note(const QString& text, int ms);

 private:
  void installHooks();
  void setReadLock(bool on);
  void requestProgramming();
  void startPendingProgramming();
  void operationEnd(const OperationEnd& end);
  void trackerChanged(bool changed);

  std::unique_ptr<SerialPort> port_;
  ParameterImage image_;
  AllFlags allFlags_{};
  UndoHistory undo_;
  TextTable texts_;
  int language_ = kLanguageEnglish;
  QString fileName_;
  IdentificationTexts identification_;
  Limits limits_;
  UnitRecord record_;
  UnitTracker tracker_{record_};
  std::unique_ptr<DeviceExchange> exchange_;
  PortPathResolver resolver_;
  ProgramHold programHold_;

  // The differences and what they were computed from.
  std::vector<DifferingSlot> differences_;
  std::array<std::uint8_t, kConfigSize> comparedPc_{};
  int comparedRecord_ = -1;
  int recordVersion_ = 0;  // counts every change of the unit record
  int differenceRuns_ = 0;

  ParameterImage* unitTarget_ = nullptr;  // the copy a unit read fills
  int page_ = 0;
  int refreshDepth_ = 0;
  bool programAfterChange_ = false;
  bool programPending_ = false;
  bool readLock_ = false;
  bool inTick_ = false;
};

}  // namespace rq
