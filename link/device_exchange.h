// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange engine behind Read, Verify and Program and behind the live monitor.
//
// Driven by tick() every 55 ms and by the start verbs, all on one thread. The caller prepares
// the image before it starts an operation (reads the page on screen back, sanitises, shows
// the result); the engine sends what the image holds. On every tick it
// takes at most one reply from the port, advances a running block sequence (resending after 4
// ticks, giving up after 5 sends) or, when idle, asks for a monitor frame every 6th tick,
// keeps the status line and gauge data up to date and watches the connection (reopening the
// port every 30 silent ticks, trying the next COM port in automatic mode).
//
// The engine owns no widgets: the window reads view() after each tick or handler and mirrors
// it into LabelHlaseni, CGaugeProgram, LabelSpojeni, LabelVersion, LabelCom and the Com menu.
// Everything else the window has to do is reached through ExchangeHooks.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "protocol/frame.h"
#include "protocol/monitor_reply.h"
#include "link/reply_assembler.h"
#include "link/serial_port.h"
#include "model/parameter_image.h"

namespace rq {

enum class OpState : std::uint8_t { Idle = 0, Program = 1, Verify = 2, Read = 3 };

// Status texts; the values are the entry numbers of the message table. None means no text
// has been set yet.
enum class StatusText : int {
  None = 0,
  ProgramError = 1,
  VerifyError = 2,
  ReadError = 3,
  ProgramDevice = 4,
  Verifying = 5,
  Reading = 6,
  Saving = 7,
  PrintDateTime = 33,  // the time stamp of a print
};

// What was started: Read, Verify, Program, or a read of the unit into a copy.
enum class Operation : std::uint8_t { Read, Verify, Program, UnitRead };

// How an operation ended. Whoever needs to know whether it succeeded asks this, never the
// status text.
enum class Outcome : std::uint8_t {
  Ok,            // read (and verified), verified, or programmed and verified equal
  Failed,        // a request stayed unanswered after the last send
  OtherVersion,  // the unit reports another image version
  Replaced,      // another operation was started before this one ended
};

struct OperationEnd {
  Operation operation = Operation::Read;
  Outcome outcome = Outcome::Ok;
  // The step it ended in: a read or a programming ends in its automatic verify.
  OpState phase = OpState::Idle;
};

// English texts of the status entries, for headless use ("" for None).
const char* EnglishStatusText(StatusText t);

inline constexpr int kComMenuItems = 21;  // Com 1 .. Com 20, Com Auto
inline constexpr int kComAuto = 20;       // ComPort value of automatic search
inline constexpr int kTestButtons = 9;

// Test buttons in the order of the Test page.
enum TestButton : int {
  kTestIgn1 = 0,
  kTestIgn2 = 1,
  kTestPOut1 = 2,
  kTestPOut2 = 3,
  kTestPOut3 = 4,
  kTestPOut4 = 5,
  kTestRpm = 6,
  kTestServoPlus = 7,
  kTestServoMinus = 8,
};

// What the engine tells its holder. Each may be left empty.
struct ExchangeHooks {
  // The engine stored the unit's bytes in the image (a finished read, a read stopped by
  // another image version, block 0 while programming): the holder sanitises the image and
  // shows it. Empty: rq::SanitizeImage(image) is run.
  std::function<void()> imageFromUnit;
  std::function<void()> markLive;        // mark the live operating point, last step of a tick
  std::function<void()> decodeIdentification;  // after a block-0 reply has been stored
  // The unit reports another image version; the engine is already idle when this runs.
  std::function<void(int received)> versionMismatch;
  std::function<void()> comOpenError;    // "Com opening error!" message box
  // An accepted monitor reply (the window renders it); lastMonitor() already holds it.
  std::function<void(const MonitorSnapshot&)> monitorAccepted;
  // A read stored the unit's last block into the image (before its automatic verify).
  std::function<void()> readStored;
  // The verify that follows a programming ended equal: the unit holds the image.
  std::function<void()> programVerified;
  // A read started with startUnitRead ended: all blocks arrived (true) or it failed.
  std::function<void(bool ok)> unitReadEnded;
  // Every end of an operation, after the hooks above; the engine is idle unless the end is
  // a replacement.
  std::function<void(const OperationEnd&)> operationEnded;
};

// Port settings of the Com menu, saved by the window in its settings file (as value + 1).
struct PortSettings {
  std::uint8_t comPort = 1;      // 0..19 = COM1..COM20, 20 = automatic search
  std::uint8_t scanIndex = 0;    // 0..20; automatic search tries COM(scanIndex + 1)
  std::uint8_t quietReopen = 0;  // 1 while the watchdog reopens; no error box then
};

// The engine's own counters and flags.
struct ExchangeState {
  OpState op = OpState::Idle;
  std::uint8_t command = 0;          // command byte of the current request
  std::uint8_t retryTicks = 0;       // ticks since the last send; paces monitor requests when idle
  std::uint8_t attempts = 0;         // sends of the current request
  std::uint8_t statusCountdown = 0;  // ticks the status line stays shown
  bool programDone = false;
  std::uint8_t silence = 18;         // ticks since the last valid reply, stays at 18
  bool connected = false;
  std::uint8_t reopenCounter = 0;    // no-connection ticks since the last reopen
  bool printing = false;
};

// How the running (or last) operation went, for messages that say why it failed. Reset when
// an operation starts.
struct OperationReport {
  int replies = 0;         // valid replies to the operation's requests, accepted or not
  int mismatches = 0;      // of these, verify or program echoes whose content differed
  int mismatchBlock = -1;  // block of the last such echo
  std::size_t bytes = 0;   // bytes received while it ran (garbled ones included)
  int failedBlock = -1;    // block of the request that went unanswered when it ended in error
};

// What the window shows; updated by the engine, read after each tick or handler.
struct ExchangeView {
  StatusText statusText = StatusText::None;  // LabelHlaseni: text of this entry ...
  std::string statusSuffix;                  // ... followed by "", ":" or ": OK"
  bool statusError = false;                  // red background; otherwise button face
  bool statusVisible = false;
  int gaugeMax = 5;                          // CGaugeProgram
  int gaugeProgress = 0;
  bool gaugeVisible = false;
  bool noConnectionVisible = true;           // LabelSpojeni
  bool hideVersionLabel = false;             // set by a tick while LabelSpojeni shows
  std::string comLabel;                      // LabelCom caption, "COM= COMn"
  std::string devicePath;                    // device path of that port (LabelCom hint)
  int comCheckedItem = -1;                   // the Com menu item with the check mark
};

// Maps COMn (1..21) to a device path. The default is ComPortPath(n) without [PORTS] entries.
using PortPathResolver = std::function<std::string(int comNumber)>;

class DeviceExchange {
 public:
  static constexpr int kReplyTimeoutTicks = 4;
  static constexpr int kMaxSends = 5;
  static constexpr int kMonitorPeriodTicks = 6;
  static constexpr int kSilenceLimit = 18;
  static constexpr int kReopenPeriodTicks = 30;
  static constexpr int kStatusTicks = 200;
  static constexpr int kSavingFullScale = 1500;
  static constexpr std::size_t kReceiveBufferSize = 10000;
  // How long a tick waits for a block reply that is due: request and reply take 26 ms each on
  // the wire at 57600 baud, and a USB adapter may hold the last bytes for its latency timer
  // (16 ms), so a reply may be whole only after the next tick began. A tick waits until
  // kReplyDueMs after the last request was sent, and for the rest of a reply that has begun
  // to arrive, but never longer than kLateReplyWaitMs.
  static constexpr int kLateReplyWaitMs = 30;
  static constexpr int kReplyDueMs = 75;

  DeviceExchange(ParameterImage& image, SerialPort& port, ExchangeHooks hooks = {},
                 PortPathResolver resolver = {});

  void setHooks(ExchangeHooks hooks) { hooks_ = std::move(hooks); }
  void setPortPathResolver(PortPathResolver resolver);

  // The 55 ms timer body: receive, sequence or monitor pacing, status line, watchdog,
  // version label, live marking.
  void tick();

  // Starts; each replaces whatever operation runs. Nothing is sent before the next tick.
  void startRead();     // read blocks 0..5 into the image, then verify 1..5
  void startVerify();   // verify blocks 1..5 against the image
  void startProgram();  // program blocks 0..5 from the image, then verify
  // The same for a programming that follows an edit: an earlier programming's "OK" is
  // forgotten first.
  void startProgramAfterChange();
  // A programming sends the image as it was when it started, and its verify compares with
  // that: an edit made while it runs goes out whole with the next programming rather than in
  // the blocks not yet sent. programmed() is that image (its identification block as the
  // unit echoed it). retakeProgram() gives a programming that has sent nothing yet the image
  // as it is now; false when there is none.
  const ParameterImage& programmed() const { return programmed_; }
  bool retakeProgram();
  // Reads blocks 0..5 of the unit into `unit` instead of the image: nothing of the window's
  // configuration changes and no verify follows. `unit` must outlive the read; any other start
  // abandons it. Ends with the unitReadEnded hook.
  void startUnitRead(ParameterImage& unit);

  // Status line texts that are not an operation's: a note shown for the status countdown
  // (the gauge is hidden), and hiding the line at once. Hiding leaves a running operation's
  // progress alone.
  void ShowStatusNote(StatusText text, std::string suffix);
  void HideStatusLine();

  // Port handling with the current settings. OpenPort also updates comLabel, devicePath and
  // comCheckedItem of the view.
  void OpenPort();
  void ClosePort();
  // Com menu item (0..20) chosen: the setting becomes the item, the port is reopened and a
  // failure is reported through comOpenError (unless automatic).
  void selectPort(int item);

  // Test page button 0..8 (TestButton): ORs its bit into the test command bytes; they leave
  // with the next monitor request.
  void queueTest(int buttonIndex);

  // Transmit operations. SendBlockRequest restarts the retry tick counter.
  void SendBlockRequest();
  void SendMonitorRequest();
  // Takes at most one frame from the port and hands it to one of the handlers below.
  void PollReceive();
  // Handlers for a received frame (its first 152 bytes are used; shorter input is dropped).
  void HandleBlockReply(std::span<const std::uint8_t> frame);
  void HandleMonitorReply(std::span<const std::uint8_t> frame);

  // Read access for the window, tools and tests.
  const ExchangeState& state() const { return state_; }
  const ExchangeView& view() const { return view_; }
  const OperationReport& report() const { return report_; }
  bool connected() const { return state_.connected; }
  bool busy() const { return state_.op != OpState::Idle; }
  const std::array<std::uint8_t, 3>& testBytes() const { return testBytes_; }
  // The last accepted monitor reply (all zero before the first one): the one store of the
  // unit's live values.
  const MonitorSnapshot& lastMonitor() const { return lastMonitor_; }
  // The last frame sent (for diagnostics and tests).
  const FrameBytes& lastSent() const { return txFrame_; }
  // How the last operation ended; empty before the first end.
  const std::optional<OperationEnd>& lastEnd() const { return lastEnd_; }
  // How the last OpenPort went: kind None after a successful open, otherwise why it failed.
  const OpenResult& lastOpen() const { return lastOpen_; }

  PortSettings& portSettings() { return settings_; }
  const PortSettings& portSettings() const { return settings_; }
  // Printing hides the status line and the "No Connection" label while it runs.
  void setPrinting(bool printing) { state_.printing = printing; }

 private:
  // The image a request carries and a reply is compared with: the programmed one while a
  // programming or its verify runs, the PC's otherwise.
  const ParameterImage& sentImage() const {
    return state_.op == OpState::Program || verifyAfterProgram_ ? programmed_ : image_;
  }
  void startOperation(OpState op, std::uint8_t command, StatusText text);
  void setStatus(StatusText text, const char* suffix, bool error);
  void imageFromUnit();
  void versionMismatch(int received);
  void nextBlockOrVerify(int b, bool programmed);
  void startAutomaticVerify(bool programmed);
  void tickSequence();
  void tickIdle();
  void tickStatusLine();
  void tickWatchdog();
  bool replyCommand(std::uint8_t command) const;
  void unitReadReply(int b, std::span<const std::uint8_t> payload);
  void ended(Outcome outcome, OpState phase);

  ParameterImage& image_;
  ParameterImage programmed_;  // what the current or last programming sends
  SerialPort& port_;
  ExchangeHooks hooks_;
  PortPathResolver resolver_;
  PortSettings settings_;
  ExchangeState state_;
  ExchangeView view_;
  std::array<std::uint8_t, 3> testBytes_{};
  MonitorSnapshot lastMonitor_;
  FrameBytes txFrame_{};
  OpenResult lastOpen_;
  OperationReport report_;
  Operation started_ = Operation::Read;  // what the running (or last) operation was started as
  std::optional<OperationEnd> lastEnd_;
  ParameterImage* unitRead_ = nullptr;  // target of a startUnitRead while it runs
  bool verifyAfterProgram_ = false;     // the running verify follows a programming
  std::array<std::uint8_t, kReceiveBufferSize> rx_{};  // what one poll reads from the port
  std::chrono::steady_clock::time_point sentAt_{};      // when the last block request left
  ReplyAssembler replies_;
};

}  // namespace rq
