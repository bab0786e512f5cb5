// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/workspace.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/file_io.h"
#include "model/ign_file.h"
#include "model/parameter_table.h"
#include "ui/notice_texts.h"

namespace rq {
namespace {

// A .ign is a few kilobytes; anything beyond this is not a configuration file.
constexpr std::size_t kMaxIgnSize = 64u * 1024u * 1024u;

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

Workspace::Workspace(std::unique_ptr<SerialPort> port, QObject* parent)
    : QObject(parent), port_(std::move(port)) {
  exchange_ = std::make_unique<DeviceExchange>(image_, *port_);
  texts_.ApplyMessageTable(language_);
  installHooks();
}

Workspace::~Workspace() { exchange_->ClosePort(); }

void Workspace::installHooks() {
  ExchangeHooks h;
  h.imageFromUnit = [this] {
    sanitize();
    emit imageChanged();
  };
  h.markLive = [this] { emit markLive(); };
  h.decodeIdentification = [this] { identification_ = DecodeIdentification(image_); };
  h.versionMismatch = [this](int received) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "  PC-%d, IGN-%d", kImageVersion, received);
    emit message(Utf8(texts_.text(TxtVersionMismatch) + suffix));
  };
  h.comOpenError = [this] { emit portOpenFailed(); };
  h.monitorAccepted = [this](const MonitorSnapshot& snapshot) { emit monitorAccepted(snapshot); };
  // A configuration read from the unit is an undo step of its own; it is what the unit holds,
  // so it is not programmed back.
  h.readStored = [this] {
    if (undo_.takeSnapshot(image_, page_, false).recorded) emit undoChanged();
    trackerChanged(tracker_.readStored(image_));
  };
  // A programming sends the image as it was when it started: that is what the unit holds.
  h.programVerified = [this] { trackerChanged(tracker_.programVerified(exchange_->programmed())); };
  h.operationEnded = [this](const OperationEnd& end) { operationEnd(end); };
  exchange_->setHooks(std::move(h));
}

void Workspace::operationEnd(const OperationEnd& end) {
  if (end.operation == Operation::UnitRead) {
    ParameterImage* target = unitTarget_;
    unitTarget_ = nullptr;
    if (end.outcome == Outcome::Ok && target != nullptr) unitRead(*target);
  } else {
    trackerChanged(tracker_.ended(
        end, end.operation == Operation::Program ? exchange_->programmed() : image_));
  }
  emit operationEnded(end.operation, end.outcome);
}

void Workspace::unitRead(const ParameterImage& unit) { trackerChanged(tracker_.unitRead(unit)); }

void Workspace::trackerChanged(bool changed) {
  if (!changed) return;
  ++recordVersion_;
  emit unitChanged();
}

void Workspace::setLanguage(int language) {
  language_ = language;
  texts_.ApplyMessageTable(language_);
  emit languageChanged(language_);
}

void Workspace::setLimits(const Limits& limits) {
  if (limits == limits_) return;
  limits_ = limits;
  emit limitsChanged();
}

void Workspace::setProgramHold(ProgramHold hold) { programHold_ = std::move(hold); }

void Workspace::setFileName(const QString& name) {
  if (name == fileName_) return;
  fileName_ = name;
  emit fileNameChanged(fileName_);
}

const std::vector<DifferingSlot>& Workspace::differences() {
  if (record_.state() != UnitRecord::State::Known) {
    differences_.clear();
    comparedRecord_ = -1;
    return differences_;
  }
  const auto pc = image_.config();
  if (comparedRecord_ != recordVersion_ || !std::equal(pc.begin(), pc.end(), comparedPc_.begin())) {
    differences_ = DifferingSlots(image_, record_.unit());
    ++differenceRuns_;
    std::copy(pc.begin(), pc.end(), comparedPc_.begin());
    comparedRecord_ = recordVersion_;
  }
  return differences_;
}

// ---- The configuration -------------------------------------------------------------------

void Workspace::sanitize() {
  PortSettings& ps = exchange_->portSettings();
  auto lang = static_cast<std::uint8_t>(language_);
  SanitizeImage(image_, lang, ps.comPort, ps.scanIndex);
  language_ = lang;
}

void Workspace::change(const Edit& edit, int page) {
  if (edit) edit(image_);
  sanitize();
  // The gear system holds inputs 2 and 3: part of the pass, so that one showing is enough.
  ApplyGearCoupling(image_);
  emit imageChanged();
  takeSnapshot(page);
}

void Workspace::takeSnapshot(int page) {
  if (refreshing()) return;  // a refresh never takes a step nor programs
  const auto r = undo_.takeSnapshot(image_, page, programAfterChange_);
  if (r.recorded) emit undoChanged();
  if (r.startProgramming) requestProgramming();
}

void Workspace::initUndo(int page) {
  undo_.init(image_, page);
  emit undoChanged();
}

int Workspace::undo() {
  const int page = undo_.undo(image_);
  if (page < 0) return page;
  emit imageChanged();
  emit undoChanged();
  if (programAfterChange_) requestProgramming();
  return page;
}

int Workspace::redo() {
  const int page = undo_.redo(image_);
  if (page < 0) return page;
  emit imageChanged();
  emit undoChanged();
  if (programAfterChange_) requestProgramming();
  return page;
}

Workspace::OpenResult Workspace::open(const std::string& path, int page) {
  OpenResult result;
  if (editsLocked()) return result;  // the running read would replace it
  const auto text = ReadWholeFile(path, result.error, kMaxIgnSize);
  if (!text) return result;
  const IgnReadResult r = ReadIgnText(*text, image_);
  for (std::size_t i = 0; i < r.badVersions.size(); ++i)
    emit message(Utf8(texts_.text(TxtFileVersionMismatch)));
  if (!r.validKey) {
    // No version key at all: nothing was loaded, and the user is told so.
    result.notConfiguration = r.badVersions.empty();
    return result;
  }
  change({}, page);
  setFileName(QFileInfo(Utf8(path)).absoluteFilePath());
  result.loaded = true;
  return result;
}

bool Workspace::save(const std::string& path, std::string& error) {
  if (!WriteFileAtomic(path, WriteIgnText(image_), error)) return false;
  setFileName(QFileInfo(Utf8(path)).absoluteFilePath());
  return true;
}

bool Workspace::editsLocked() {
  if (!readLock_) return false;
  emit note(QString::fromUtf8(NoticeText(language_, NoticeEditsWaitForRead)), 0);
  return true;
}

void Workspace::setReadLock(bool on) {
  if (readLock_ == on) return;
  readLock_ = on;
  if (on) programPending_ = false;  // the read replaces what it would have programmed
  emit readLockChanged(on);
}

// ---- Programming after change --------------------------------------------------------------

void Workspace::requestProgramming() {
  if (readLock_) {
    programPending_ = false;
    return;
  }
  // Held while the hold gives a reason: nothing starts and nothing waits; a programming
  // already under way sends what it took when it started. The next change asks again.
  if (programHold_) {
    const QString reason = programHold_();
    if (!reason.isEmpty()) {
      programPending_ = false;
      emit note(reason, 0);
      return;
    }
  }
  // Never on top of a running read, verify or program: it starts when that one ends. A
  // programming that has not sent anything yet takes the image as it is now instead.
  if (exchange_->busy()) {
    if (!exchange_->retakeProgram()) programPending_ = true;
    return;
  }
  programPending_ = false;
  exchange_->startProgramAfterChange();
  tracker_.started(Operation::Program);
  publishLink();
}

void Workspace::startPendingProgramming() {
  if (programPending_ && !exchange_->busy()) requestProgramming();
}

// ---- The unit ------------------------------------------------------------------------------

void Workspace::startRead() {
  setFileName(QString());
  exchange_->startRead();
  tracker_.started(Operation::Read);
  setReadLock(exchange_->state().op == OpState::Read);
  publishLink();
}

void Workspace::startVerify() {
  exchange_->startVerify();
  tracker_.started(Operation::Verify);
  publishLink();
}

void Workspace::startProgram() {
  exchange_->startProgram();
  tracker_.started(Operation::Program);
  publishLink();
}

void Workspace::startUnitRead(ParameterImage& unit) {
  exchange_->startUnitRead(unit);
  unitTarget_ = &unit;
  tracker_.started(Operation::UnitRead);
  publishLink();
}

void Workspace::tick() {
  const bool wasConnected = exchange_->connected();
  inTick_ = true;
  exchange_->tick();
  inTick_ = false;
  if (readLock_ && exchange_->state().op != OpState::Read) setReadLock(false);
  startPendingProgramming();
  // No snapshot comes when the unit falls silent: the listeners show the live values as gone.
  if (wasConnected && !exchange_->connected()) {
    trackerChanged(tracker_.linkLost());
    emit connectionLost();
  }
  publishLink();
}

void Workspace::publishLink() {
  // A verify or a programming started by hand replaces a running read.
  if (readLock_ && exchange_->state().op != OpState::Read) setReadLock(false);
  emit linkChanged();
}

void Workspace::selectPort(int item) {
  exchange_->selectPort(item);
  publishLink();
}

void Workspace::openPort() {
  exchange_->OpenPort();
  publishLink();
}

void Workspace::closePort() { exchange_->ClosePort(); }

void Workspace::showStatusNote(StatusText text, const std::string& suffix) {
  exchange_->ShowStatusNote(text, suffix);
  publishLink();
}

void Workspace::hideStatusLine() {
  exchange_->HideStatusLine();
  publishLink();
}

void Workspace::setPrinting(bool on) { exchange_->setPrinting(on); }

void Workspace::setPortPathResolver(PortPathResolver resolver) {
  resolver_ = resolver;
  exchange_->setPortPathResolver(std::move(resolver));
}

std::string Workspace::portPath(int comNumber) const {
  return resolver_ ? resolver_(comNumber) : ComPortPath(comNumber);
}

}  // namespace rq

#include "moc_workspace.cpp"
