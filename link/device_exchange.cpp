// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_exchange.h"

#include <algorithm>

namespace rq {

namespace {

constexpr std::uint8_t kFirstVerifyCommand = kCmdRead | 1;  // 0x41

struct TestBit {
  std::size_t byteIndex;
  std::uint8_t bit;
};
constexpr std::array<TestBit, kTestButtons> kTestBits{{
    {0, 0x01}, {0, 0x02},                          // ignition, cylinder 1 and 2
    {1, 0x01}, {1, 0x02}, {1, 0x04}, {1, 0x08},    // power outputs 1..4
    {1, 0x10},                                     // tachometer output
    {2, 0x01}, {2, 0x02},                          // servo + and -
}};

// Block b of a reply equals the image; the read-protection byte may differ when verifying.
bool SameBlock(const ParameterImage& image, int b, std::span<const std::uint8_t> payload,
               bool exemptReadProtection) {
  const auto block = image.block(b);
  const int base = ParameterImage::blockOffset(b);
  for (int i = 0; i < kBlockSize; ++i) {
    if (exemptReadProtection && b != 0 && base + i == kReadProtection.offset) continue;
    if (block[static_cast<std::size_t>(i)] != payload[static_cast<std::size_t>(i)]) return false;
  }
  return true;
}

}  // namespace

const char* EnglishStatusText(StatusText t) {
  switch (t) {
    case StatusText::ProgramError: return "Program error!";
    case StatusText::VerifyError: return "Verify error!";
    case StatusText::ReadError: return "Read error!";
    case StatusText::ProgramDevice: return "Program device:";
    case StatusText::Verifying: return "Verify:";
    case StatusText::Reading: return "Read:";
    case StatusText::Saving: return "Saving:";
    case StatusText::PrintDateTime: return "Date and time of printing:  ";
    case StatusText::None: break;
  }
  return "";
}

DeviceExchange::DeviceExchange(ParameterImage& image, SerialPort& port, ExchangeHooks hooks,
                               PortPathResolver resolver)
    : image_(image), port_(port), hooks_(std::move(hooks)) {
  setPortPathResolver(std::move(resolver));
}

void DeviceExchange::setPortPathResolver(PortPathResolver resolver) {
  if (resolver) {
    resolver_ = std::move(resolver);
  } else {
    resolver_ = [](int n) { return ComPortPath(n); };
  }
}

// ---- starts ----------------------------------------------------------------------------

void DeviceExchange::setStatus(StatusText text, const char* suffix, bool error) {
  view_.statusText = text;
  view_.statusSuffix = suffix;
  view_.statusError = error;
}

void DeviceExchange::ended(Outcome outcome, OpState phase) {
  lastEnd_ = OperationEnd{started_, outcome, phase};
  if (hooks_.operationEnded) hooks_.operationEnded(*lastEnd_);
}

void DeviceExchange::startOperation(OpState op, std::uint8_t command, StatusText text) {
  verifyAfterProgram_ = false;
  const OpState running = state_.op;
  if (unitRead_ != nullptr) {  // abandoned for the new operation
    unitRead_ = nullptr;
    if (hooks_.unitReadEnded) hooks_.unitReadEnded(false);
  }
  if (running != OpState::Idle) ended(Outcome::Replaced, running);
  started_ = op == OpState::Read ? Operation::Read
             : op == OpState::Verify ? Operation::Verify
                                     : Operation::Program;
  state_.op = op;
  state_.command = command;
  state_.attempts = 0;
  report_ = OperationReport{};
  setStatus(text, "", false);
  state_.statusCountdown = kStatusTicks;
  view_.statusVisible = true;
  view_.gaugeProgress = 0;
  view_.gaugeVisible = true;
}

void DeviceExchange::imageFromUnit() {
  if (hooks_.imageFromUnit) {
    hooks_.imageFromUnit();
  } else {
    SanitizeImage(image_);
  }
}

void DeviceExchange::startRead() { startOperation(OpState::Read, kCmdRead, StatusText::Reading); }

void DeviceExchange::startVerify() {
  startOperation(OpState::Verify, kFirstVerifyCommand, StatusText::Verifying);
}

void DeviceExchange::startProgram() {
  startOperation(OpState::Program, kCmdProgram, StatusText::ProgramDevice);
  programmed_ = image_;
}

bool DeviceExchange::retakeProgram() {
  if (state_.op != OpState::Program || state_.command != kCmdProgram || state_.attempts != 0)
    return false;
  programmed_ = image_;
  return true;
}

void DeviceExchange::startProgramAfterChange() {
  state_.programDone = false;
  startProgram();
}

void DeviceExchange::startUnitRead(ParameterImage& unit) {
  startOperation(OpState::Read, kCmdRead, StatusText::Reading);
  started_ = Operation::UnitRead;
  unitRead_ = &unit;
}

void DeviceExchange::ShowStatusNote(StatusText text, std::string suffix) {
  view_.statusText = text;
  view_.statusSuffix = std::move(suffix);
  view_.statusError = false;
  state_.statusCountdown = kStatusTicks;
  view_.statusVisible = !state_.printing;
  view_.gaugeVisible = false;
}

void DeviceExchange::HideStatusLine() {
  if (state_.op != OpState::Idle) return;
  state_.statusCountdown = 0;
  state_.programDone = false;
  view_.statusVisible = false;
  view_.gaugeVisible = false;
}

// ---- port ------------------------------------------------------------------------------

void DeviceExchange::OpenPort() {
  const int index = settings_.comPort == kComAuto ? settings_.scanIndex : settings_.comPort;
  const int comNumber = index + 1;
  view_.comLabel = "COM= " + ("COM" + std::to_string(comNumber)).substr(0, 10);
  view_.devicePath = resolver_(comNumber);

  replies_.reset();
  if (view_.devicePath.empty()) {
    port_.close();
    lastOpen_ = {OpenFailure::Missing, "no device path for COM" + std::to_string(comNumber)};
  } else {
    lastOpen_ = port_.open(view_.devicePath);
  }
  const bool ok = lastOpen_.ok();
  if (!ok) {
    if (settings_.quietReopen == 0 && settings_.comPort != kComAuto && hooks_.comOpenError) {
      hooks_.comOpenError();
    }
    // In automatic mode a port that cannot be opened is left on the next watchdog tick.
    if (settings_.comPort == kComAuto) state_.reopenCounter = 200;
  }
  view_.comCheckedItem = settings_.comPort;
}

void DeviceExchange::ClosePort() { port_.close(); }

void DeviceExchange::selectPort(int item) {
  if (item < 0 || item >= kComMenuItems) return;
  settings_.comPort = static_cast<std::uint8_t>(item);
  ClosePort();
  settings_.quietReopen = 0;
  OpenPort();
}

void DeviceExchange::queueTest(int buttonIndex) {
  if (buttonIndex < 0 || buttonIndex >= kTestButtons) return;
  const TestBit& t = kTestBits[static_cast<std::size_t>(buttonIndex)];
  testBytes_[t.byteIndex] = static_cast<std::uint8_t>(testBytes_[t.byteIndex] | t.bit);
}

// ---- transmit and receive --------------------------------------------------------------

void DeviceExchange::SendBlockRequest() {
  state_.retryTicks = 0;
  const std::uint8_t c = state_.command;
  const int b = c & kBlockMask;
  std::array<std::uint8_t, kPayloadSize> payload{};
  if (state_.op != OpState::Read && b != 0 && b <= kLastBlock) {
    const auto block = sentImage().block(b);
    std::copy(block.begin(), block.end(), payload.begin());
  }
  txFrame_ = BuildFrame(c, payload);
  if (port_.isOpen()) port_.writeAll(txFrame_);
  sentAt_ = std::chrono::steady_clock::now();
}

void DeviceExchange::SendMonitorRequest() {
  std::array<std::uint8_t, kPayloadSize> payload{};
  for (std::size_t i = 0; i < testBytes_.size(); ++i) {
    payload[kTestByteOffset - 1 + i] = testBytes_[i];
    testBytes_[i] = 0;  // each command goes out once
  }
  txFrame_ = BuildFrame(kCmdMonitor, payload);
  if (port_.isOpen()) port_.writeAll(txFrame_);
}

// The reply command bytes a frame may start with now: a monitor reply at any time, and the
// reply to the current request while an operation runs.
bool DeviceExchange::replyCommand(std::uint8_t command) const {
  if (command == kCmdMonitorReply) return true;
  return state_.op != OpState::Idle && command == (state_.command ^ kReplyBit);
}

void DeviceExchange::PollReceive() {
  if (!port_.isOpen()) {
    replies_.reset();
    return;
  }
  std::size_t waiting = port_.bytesWaiting();
  // A block reply that is due but not whole yet (a paced line, an adapter that hands bytes
  // over late): the tick waits a moment and takes it now rather than a whole tick later. The
  // tick keeps its order; only this first step takes longer.
  const std::size_t need = kFrameSize - std::min(replies_.kept(), kFrameSize);
  if (state_.op != OpState::Idle && waiting < need) {
    using namespace std::chrono;
    const auto now = steady_clock::now();
    const bool arriving = waiting > 0 || replies_.kept() > 0;
    // Until the last request's reply is due; for the rest of a reply that has begun to arrive.
    auto until = sentAt_ + milliseconds(kReplyDueMs);
    if (arriving) until = std::max(until, now + milliseconds(kLateReplyWaitMs));
    until = std::min(until, now + milliseconds(kLateReplyWaitMs));
    if (until > now) {
      const auto ms = duration_cast<milliseconds>(until - now).count();
      waiting = port_.waitForBytes(need, int(ms) + 1);
    }
  }
  switch (replies_.plan(waiting)) {
    case ReplyAssembler::Action::Wait:
      return;
    case ReplyAssembler::Action::Drop: {
      const std::size_t dropped = port_.read(rx_.data(), rx_.size());
      if (state_.op != OpState::Idle) report_.bytes += dropped;
      return;
    }
    case ReplyAssembler::Action::Read:
      break;
  }
  const std::size_t got = port_.read(rx_.data(), std::min(rx_.size(), replies_.room()));
  if (state_.op != OpState::Idle) report_.bytes += got;
  replies_.feed(std::span<const std::uint8_t>(rx_.data(), got));
  const auto frame = replies_.next([this](std::uint8_t c) { return replyCommand(c); });
  if (!frame) return;
  if ((*frame)[0] == kCmdMonitorReply) {
    HandleMonitorReply(*frame);
  } else {
    HandleBlockReply(*frame);
  }
}

void DeviceExchange::HandleMonitorReply(std::span<const std::uint8_t> frame) {
  const auto snap = DecodeMonitor(frame);
  if (!snap) return;
  state_.silence = 0;
  lastMonitor_ = *snap;
  if (hooks_.monitorAccepted) hooks_.monitorAccepted(lastMonitor_);
}

void DeviceExchange::versionMismatch(int received) {
  // Idle before the message shows: ticks keep running while it is open.
  state_.op = OpState::Idle;
  if (hooks_.versionMismatch) hooks_.versionMismatch(received);
  state_.statusCountdown = 0;
}

void DeviceExchange::startAutomaticVerify(bool programmed) {
  if (programmed) state_.programDone = true;
  verifyAfterProgram_ = programmed;
  state_.op = OpState::Verify;
  state_.command = kFirstVerifyCommand;
  state_.attempts = 1;
  SendBlockRequest();
  setStatus(StatusText::Verifying, ":", false);
  state_.statusCountdown = kStatusTicks;
  view_.statusVisible = true;
  view_.gaugeProgress = 0;
}

void DeviceExchange::nextBlockOrVerify(int b, bool programmed) {
  if (b < kLastBlock) {
    ++view_.gaugeProgress;
    ++state_.command;
    state_.attempts = 1;
    SendBlockRequest();
    return;
  }
  if (!programmed) {  // a read stored its last block
    imageFromUnit();
    if (hooks_.readStored) hooks_.readStored();
  }
  startAutomaticVerify(programmed);
}

void DeviceExchange::HandleBlockReply(std::span<const std::uint8_t> input) {
  if (input.size() < kFrameSize || !FrameValid(input)) return;
  // Work on a copy: a message box shown from a hook lets ticks refill the receive buffer.
  FrameBytes frame{};
  std::copy_n(input.begin(), kFrameSize, frame.begin());
  const int b = state_.command & kBlockMask;
  if (b > kLastBlock || frame[0] != (state_.command ^ kReplyBit) || state_.op == OpState::Idle) {
    return;
  }
  state_.silence = 0;
  ++report_.replies;
  const std::span<const std::uint8_t> payload(frame.data() + 1, kPayloadSize);
  auto mismatch = [&] {
    ++report_.mismatches;
    report_.mismatchBlock = b;
  };

  switch (state_.op) {
    case OpState::Read: {
      if (unitRead_ != nullptr) {
        unitReadReply(b, payload);
        return;
      }
      auto block = image_.block(b);
      std::copy(payload.begin(), payload.end(), block.begin());
      if (b == 0) {
        if (hooks_.decodeIdentification) hooks_.decodeIdentification();
        const int version = image_.byte(kIdentOffset + kIdentVersionOffset);
        if (version != kImageVersion) {
          state_.op = OpState::Idle;
          imageFromUnit();
          versionMismatch(version);
          ended(Outcome::OtherVersion, OpState::Read);
          return;
        }
      }
      nextBlockOrVerify(b, false);
      return;
    }
    case OpState::Verify: {
      if (!SameBlock(sentImage(), b, payload, true)) {  // repeated after the time-out
        mismatch();
        return;
      }
      if (b < kLastBlock) {
        ++view_.gaugeProgress;
        ++state_.command;
        state_.attempts = 1;
        SendBlockRequest();
      } else {
        view_.gaugeProgress = view_.gaugeMax;
        setStatus(StatusText::Verifying, ": OK", false);
        state_.statusCountdown = kStatusTicks;
        state_.op = OpState::Idle;
        if (verifyAfterProgram_ && hooks_.programVerified) hooks_.programVerified();
        verifyAfterProgram_ = false;
        ended(Outcome::Ok, OpState::Verify);
      }
      return;
    }
    case OpState::Program: {
      if (b == 0) {
        std::copy(payload.begin(), payload.end(), image_.block(0).begin());
        std::copy(payload.begin(), payload.end(), programmed_.block(0).begin());
        if (hooks_.decodeIdentification) hooks_.decodeIdentification();
        imageFromUnit();
        const int version = image_.byte(kIdentOffset + kIdentVersionOffset);
        if (version != kImageVersion) {
          versionMismatch(version);
          ended(Outcome::OtherVersion, OpState::Program);
          return;
        }
      } else if (!SameBlock(programmed_, b, payload, false)) {
        mismatch();
        return;
      }
      nextBlockOrVerify(b, true);
      return;
    }
    case OpState::Idle:
      return;
  }
}

void DeviceExchange::unitReadReply(int b, std::span<const std::uint8_t> payload) {
  ParameterImage& unit = *unitRead_;
  auto block = unit.block(b);
  std::copy(payload.begin(), payload.end(), block.begin());
  if (b == 0) {
    const int version = unit.byte(kIdentOffset + kIdentVersionOffset);
    if (version != kImageVersion) {
      unitRead_ = nullptr;
      versionMismatch(version);
      if (hooks_.unitReadEnded) hooks_.unitReadEnded(false);
      ended(Outcome::OtherVersion, OpState::Read);
      return;
    }
  }
  if (b < kLastBlock) {
    ++view_.gaugeProgress;
    ++state_.command;
    state_.attempts = 1;
    SendBlockRequest();
    return;
  }
  unitRead_ = nullptr;
  view_.gaugeProgress = view_.gaugeMax;
  setStatus(StatusText::Reading, ": OK", false);
  state_.statusCountdown = kStatusTicks;
  state_.op = OpState::Idle;
  if (hooks_.unitReadEnded) hooks_.unitReadEnded(true);
  ended(Outcome::Ok, OpState::Read);
}

// ---- the tick --------------------------------------------------------------------------

void DeviceExchange::tickSequence() {
  if (state_.op == OpState::Read) state_.programDone = false;
  ++state_.retryTicks;
  if (state_.retryTicks < kReplyTimeoutTicks) return;
  state_.retryTicks = 0;
  ++state_.attempts;
  if (state_.attempts <= kMaxSends) {
    SendBlockRequest();
    return;
  }
  // An earlier programming's done flag must not turn this error into "Program device: OK"
  // on the next idle tick, whichever operation failed.
  state_.programDone = false;
  report_.failedBlock = state_.command & kBlockMask;
  StatusText error = StatusText::ReadError;
  if (state_.op == OpState::Program) error = StatusText::ProgramError;
  if (state_.op == OpState::Verify) error = StatusText::VerifyError;
  setStatus(error, "", true);
  state_.statusCountdown = kStatusTicks;
  const OpState phase = state_.op;
  state_.op = OpState::Idle;
  if (unitRead_ != nullptr) {
    unitRead_ = nullptr;
    if (hooks_.unitReadEnded) hooks_.unitReadEnded(false);
  }
  ended(Outcome::Failed, phase);
}

void DeviceExchange::tickIdle() {
  ++state_.retryTicks;
  if (state_.retryTicks >= kMonitorPeriodTicks) {
    state_.retryTicks = 0;
    SendMonitorRequest();
  }
  if (lastMonitor_.savingCountdown > 0) {
    setStatus(StatusText::Saving, "", false);
    state_.statusCountdown = kStatusTicks;
    view_.gaugeMax = 100;
    // The unit may report more than full scale; the bar then stays empty.
    const int done = kSavingFullScale - static_cast<int>(lastMonitor_.savingCountdown);
    view_.gaugeProgress = std::clamp(100 * done / kSavingFullScale, 0, 100);
  } else {
    view_.gaugeMax = 5;
    if (state_.programDone) {
      setStatus(StatusText::ProgramDevice, ": OK", view_.statusError);
      view_.gaugeProgress = view_.gaugeMax;
    }
  }
}

void DeviceExchange::tickStatusLine() {
  if (state_.statusCountdown > 0) {
    --state_.statusCountdown;
    view_.statusVisible = !state_.printing;
  } else {
    view_.statusVisible = false;
    view_.gaugeVisible = false;
    state_.programDone = false;
  }
}

void DeviceExchange::tickWatchdog() {
  if (state_.silence < kSilenceLimit) {
    ++state_.silence;
    view_.noConnectionVisible = false;
    state_.connected = true;
    return;
  }
  if (!state_.printing) view_.noConnectionVisible = true;
  state_.connected = false;
  ++state_.reopenCounter;
  if (state_.reopenCounter >= kReopenPeriodTicks) {
    state_.reopenCounter = 0;
    ClosePort();
    settings_.quietReopen = 1;
    settings_.scanIndex = static_cast<std::uint8_t>(settings_.scanIndex + 1);
    if (settings_.scanIndex > kComAuto) settings_.scanIndex = 0;
    OpenPort();
  }
}

void DeviceExchange::tick() {
  PollReceive();
  if (state_.op == OpState::Idle) {
    tickIdle();
  } else {
    tickSequence();
  }
  tickStatusLine();
  tickWatchdog();
  view_.hideVersionLabel = view_.noConnectionVisible;
  if (hooks_.markLive) hooks_.markLive();
}

}  // namespace rq
