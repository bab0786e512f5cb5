// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace: what the tool works on, held once for the window and every feature. The
// configuration image with its flags, the undo history, the file name, what the unit is known
// to hold, the exchange engine with its port, and the interface language. It offers the
// operations on them (a change of the configuration, undo and redo, open and save, read,
// verify and program) and says what happened through its signals. It owns no widgets: the
// window shows what the signals report, and features work on the workspace, never on the
// window. The configuration is written only here: every edit is an Edit handed to change().
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
  // Asked once a change may go ahead (the question before it); false drops the change.
  using Confirm = std::function<bool()>;

  // `port`: the serial port the engine talks through (the caller's choice: a real one, a
  // pseudo-terminal's, a scripted one in tests).
  explicit Workspace(std::unique_ptr<SerialPort> port, QObject* parent = nullptr);
  ~Workspace() override;
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // ---- What the tool works on ---------------------------------------------------------------
  // The configuration starts as a first start has it (the defaults of type 0).
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
  // to it, and its read-back is the page's.
  void setPage(int page) { page_ = page; }
  int page() const { return page_; }
  // The read-back of the page shown: what its controls hold, written into the image it is
  // given (the page set installs it).
  void setPageReadBack(Edit readBack) { pageReadBack_ = std::move(readBack); }

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

  // The configuration the tool starts with: `load` (the state file's), the consistency pass
  // with the gear coupling, imageChanged, and the first undo slot.
  void start(const Edit& load, int page);
  // One change of the configuration: `confirm` when given, the edit (empty: an edit shown
  // already, such as a drag's), the consistency pass with the gear coupling, imageChanged
  // (the window shows it), then one undo step, which programs the unit when "Programming
  // after change" is on. `page` is the page the undo step belongs to. Refused while a read
  // replaces the configuration (the status line says so; nothing is asked): false then, and
  // when `confirm` said no.
  bool change(const Edit& edit, int page, const Confirm& confirm = {});
  // The page shown, read back as one change (the commit of an edit on a page).
  bool commitPage() { return change(pageReadBack_, page_); }
  // What the page shown holds, taken into the configuration without an undo step: consistent
  // and shown, carried by the next step. Before a save, a verify, a program and the close, and
  // for a control that only stores (read protection). False while a read runs.
  bool takeShownPage();
  // New: the defaults as one change (the general ones too, unless the motorbike type was
  // just switched to special), then the status line hidden and the file name forgotten.
  // `confirm` is the question before it.
  bool applyDefaults(int page, const Confirm& confirm = {});
  // The motorbike type and the synchronisation method chosen (-1: as stored): both stored,
  // then New with `askDefaults`'s answer unless the type is special, then the type's preset:
  // one change.
  bool chooseBikeType(int type, int sync, int page, const Confirm& askDefaults);
  // Undo and redo: the configuration of the step before or after, shown (imageChanged),
  // programmed after change. Return the page of the step, or -1 when there is none or a read
  // replaces the configuration.
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
  // Writes what the page shown holds, consistent, as a .ign file through an atomic write; the
  // file name on success.
  bool save(const std::string& path, std::string& error);

  // While a read replaces the configuration no change is taken and no programming is started
  // or kept pending: readLocked() says so (a view greys its controls by it); editsLocked()
  // also puts the note on the status line.
  bool editsLocked();
  bool readLocked() const { return readLock_; }

  // ---- The unit ------------------------------------------------------------------------------
  // Read replaces the configuration (and forgets its file name); verify and program send
  // what the page shown holds, taken in first. Program asks the confirmation first.
  void startRead();
  void startVerify();
  void startProgram();
  // The question before the Program command sends (the guard rails): true to program. Empty:
  // nothing is asked. Programming after change never asks it; the hold above stops that.
  void setProgramConfirm(std::function<bool()> confirm) { programConfirm_ = std::move(confirm); }
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
  // The configuration changed and is consistent: show it. `moved`: the bytes that differ from
  // what was shown last (a listener may re-read only those; the controls of the page shown
  // are refreshed whatever moved, since a field may show what it was typed).
  void imageChanged(const rq::ImageByteSet& moved);
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
  // A change was refused while a read replaces the configuration: controls that show what
  // the user set show the configuration again.
  void changeRefused();

 private:
  void installHooks();
  // The consistency pass of bytes 0..749 (with the language and port bytes it repairs).
  void sanitize();
  // The pass with the gear coupling, then imageChanged with what moved since the last one.
  void show();
  void announceImage();
  // The undo step of a change shown: recorded when bytes 0..749 changed; programs after
  // change.
  void takeSnapshot(int page);
  void setReadLock(bool on);
  // True, with the note and changeRefused, while a read replaces the configuration.
  bool refuseWhileRead();
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
  std::function<bool()> programConfirm_;
  Edit pageReadBack_;

  // The differences and what they were computed from.
  std::vector<DifferingSlot> differences_;
  std::array<std::uint8_t, kConfigSize> comparedPc_{};
  int comparedRecord_ = -1;
  int recordVersion_ = 0;  // counts every change of the unit record
  int differenceRuns_ = 0;

  ParameterImage shownImage_;             // the image as imageChanged last showed it
  ParameterImage* unitTarget_ = nullptr;  // the copy a unit read fills
  int page_ = 0;
  int refreshDepth_ = 0;
  bool programAfterChange_ = false;
  bool programPending_ = false;
  bool readLock_ = false;
  bool inTick_ = false;
  // Set when the motorbike type was just chosen; every application of the defaults clears it.
  bool typeJustChanged_ = false;

  // Tests arrange a configuration without the edit path (tests/workspace/workspace_peer.h).
  friend class WorkspacePeer;
};

}  // namespace rq
