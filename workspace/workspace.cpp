// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/workspace.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/defaults.h"
#include "model/file_io.h"
#include "model/ign_file.h"
#include "model/parameter_table.h"
#include "ui/notice_texts.h"

namespace rq {
namespace {

// A .ign is a few kilobytes; anything beyond this is not a configuration file.
constexpr std::size_t kMaxIgnSize = 64u * 1024u * 1024u;

// Block by block: an edit moves a few bytes of 900.
ImageByteSet Moved(const ParameterImage& before, const ParameterImage& now) {
  ImageByteSet moved;
  const std::uint8_t* a = before.bytes.data();
  const std::uint8_t* b = now.bytes.data();
  constexpr std::size_t kBlock = 64;
  for (std::size_t at = 0; at < now.bytes.size(); at += kBlock) {
    const std::size_t n = std::min(kBlock, now.bytes.size() - at);
    if (std::memcmp(a + at, b + at, n) == 0) continue;
    for (std::size_t i = at; i < at + n; ++i)
      if (a[i] != b[i]) moved.set(i);
  }
  return moved;
}

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

Workspace::Workspace(std::unique_ptr<SerialPort> port, QObject* parent)
    : QObject(parent), port_(std::move(port)), image_(NewConfiguration()) {
  exchange_ = std::make_unique<DeviceExchange>(image_, *port_);
  texts_.ApplyMessageTable(language_);
  installHooks();
}

Workspace::~Workspace() { exchange_->ClosePort(); }

void Workspace::installHooks() {
  ExchangeHooks h;
  // What the unit gave is shown as soon as it is whole (or as far as it is of this version).
  h.imageFromUnit = [this] { show(); };
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

void Workspace::show() {
  sanitize();
  // The gear system holds inputs 2 and 3: part of the pass, so that one showing is enough.
  ApplyGearCoupling(image_);
  announceImage();
}

void Workspace::announceImage() {
  const ImageByteSet moved = Moved(shownImage_, image_);
  shownImage_ = image_;
  emit imageChanged(moved);
}

void Workspace::start(const Edit& load, int page) {
  if (load) load(image_);
  show();
  undo_.init(image_, page);
  emit undoChanged();
}

bool Workspace::change(const Edit& edit, int page, const Confirm& confirm) {
  // A box asked for lets ticks run: a read may have started meanwhile.
  if (refuseWhileRead() || (confirm && (!confirm() || refuseWhileRead()))) return false;
  if (edit) edit(image_);
  show();
  takeSnapshot(page);
  return true;
}

bool Workspace::takeShownPage() {
  // While a read runs the page may show what the read is replacing: only the pass then.
  if (!readLock_ && pageReadBack_ && !refreshing()) pageReadBack_(image_);
  show();
  return !readLock_;
}

bool Workspace::applyDefaults(int page, const Confirm& confirm) {
  if (!change([this](ParameterImage& im) { ApplyDefaults(im, typeJustChanged_); }, page, confirm))
    return false;
  hideStatusLine();
  setFileName(QString());
  return true;
}

bool Workspace::chooseBikeType(int type, int sync, int page, const Confirm& askDefaults) {
  bool defaults = false;
  const auto ask = [&] {
    const int chosen = type >= 0 ? type : image_[kBikeType];
    defaults = chosen != kBikeSpecial && askDefaults && askDefaults();
    return true;  // the preset follows the type whatever the answer
  };
  const bool changed = change(
      [&](ParameterImage& im) {
        if (type >= 0) im.setByte(kBikeType, type);
        if (sync >= 0) im.setByte(kSyncMethod, sync);
        typeJustChanged_ = true;
        if (defaults) ApplyDefaults(im, typeJustChanged_);
        ApplyPreset(im);
      },
      page, ask);
  if (changed && defaults) {
    hideStatusLine();
    setFileName(QString());
  }
  return changed;
}

void Workspace::takeSnapshot(int page) {
  if (refreshing()) return;  // a refresh never takes a step nor programs
  const auto r = undo_.takeSnapshot(image_, page, programAfterChange_);
  if (r.recorded) emit undoChanged();
  if (r.startProgramming) requestProgramming();
}

int Workspace::undo() {
  if (!undo_.canUndo() || refuseWhileRead()) return -1;
  const int page = undo_.undo(image_);
  show();
  emit undoChanged();
  if (programAfterChange_) requestProgramming();
  return page;
}

int Workspace::redo() {
  if (!undo_.canRedo() || refuseWhileRead()) return -1;
  const int page = undo_.redo(image_);
  show();
  emit undoChanged();
  if (programAfterChange_) requestProgramming();
  return page;
}

Workspace::OpenResult Workspace::open(const std::string& path, int page) {
  OpenResult result;
  if (refuseWhileRead()) return result;  // the running read would replace it
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
  // What the page shows, consistent, is what is written.
  takeShownPage();
  if (!WriteFileAtomic(path, WriteIgnText(image_), error)) return false;
  setFileName(QFileInfo(Utf8(path)).absoluteFilePath());
  return true;
}

bool Workspace::editsLocked() {
  if (!readLock_) return false;
  emit note(QString::fromUtf8(NoticeText(language_, NoticeEditsWaitForRead)), 0);
  return true;
}

bool Workspace::refuseWhileRead() {
  if (!editsLocked()) return false;
  emit changeRefused();
  return true;
}

void Workspace::setReadLock(bool on) {
  if (readLock_ == on) return;
  readLock_ = on;
  if (on) programPending_ = false;  // the read replaces what it would have programmed
  emit readLockChanged(on);
  // What the read left (all of it, or the blocks that arrived) is shown, held by the gear
  // system.
  if (!on) {
    ApplyGearCoupling(image_);
    announceImage();
  }
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
  takeShownPage();
  exchange_->startVerify();
  tracker_.started(Operation::Verify);
  publishLink();
}

void Workspace::startProgram() {
  takeShownPage();
  // Broken limits are listed and asked about, and the changes shown when that is on.
  if (programConfirm_ && !programConfirm_()) return;
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
