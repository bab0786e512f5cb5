// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/file_io.h"
#include "ui/text_table.h"

namespace rq {
namespace {

enum class ReadResult { Read, Missing, Unreadable };

// The reasons in the program's own words; the message shows them in the window's language.
const std::string kFolder = "it is a folder";
const std::string kNotRegular = "it is not a regular file";
const std::string kLarger = "it is larger than ";
const std::string kMiB = " MiB";

std::string LocalizedReason(int language, const std::string& reason) {
  if (reason == kFolder) return UiMessage(language, UiText::ReasonFolder);
  if (reason == kNotRegular) return UiMessage(language, UiText::ReasonNotRegular);
  if (reason.size() > kLarger.size() + kMiB.size() && reason.starts_with(kLarger) &&
      reason.ends_with(kMiB)) {
    const std::string mib =
        reason.substr(kLarger.size(), reason.size() - kLarger.size() - kMiB.size());
    return FillPlaceholders(UiMessage(language, UiText::ReasonTooLarge), {mib});
  }
  return reason;
}

// Reads a whole file of at most limit bytes. Only a regular file is opened: a FIFO at the
// path would block the start-up for good.
ReadResult ReadLimited(const std::string& path, std::size_t limit, std::string& text,
                       std::string& reason) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return ReadResult::Missing;
    reason = std::strerror(errno);
    return ReadResult::Unreadable;
  }
  if (S_ISDIR(st.st_mode)) {
    reason = kFolder;
    return ReadResult::Unreadable;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = kNotRegular;
    return ReadResult::Unreadable;
  }
  const auto mib = std::to_string(limit / (1024u * 1024u));
  if (static_cast<std::size_t>(st.st_size) > limit) {
    reason = kLarger + mib + kMiB;
    return ReadResult::Unreadable;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return ReadResult::Missing;
    reason = std::strerror(errno);
    return ReadResult::Unreadable;
  }
  ::close(fd);
  std::string error;
  auto data = ReadWholeFile(path, error, limit);
  if (!data) {
    // Grown past the limit since the look, or a read error.
    reason = error.find("too large") != std::string::npos ? kLarger + mib + kMiB : error;
    return ReadResult::Unreadable;
  }
  text = std::move(*data);
  return ReadResult::Read;
}

// WriteFileAtomic says "cannot write PATH: reason"; the message names the path itself.
std::string ReasonOnly(const std::string& error) {
  const std::size_t colon = error.rfind(": ");
  return colon == std::string::npos ? error : error.substr(colon + 2);
}

}  // namespace

SettingsStore::SettingsStore(std::string settingsPath, std::string statePath)
    : settingsPath_(std::move(settingsPath)), statePath_(std::move(statePath)) {}

void SettingsStore::load() {
  settings_ = IniFile();
  stateText_.reset();
  settingsUnreadable_ = stateUnreadable_ = false;
  unreadable_.clear();

  std::string text, reason;
  switch (ReadLimited(settingsPath_, kSettingsLimit, text, reason)) {
    case ReadResult::Read: settings_.parse(text); break;
    case ReadResult::Missing: break;
    case ReadResult::Unreadable:
      settingsUnreadable_ = true;
      unreadable_.push_back({settingsPath_, reason, true});
      break;
  }
  text.clear();
  switch (ReadLimited(statePath_, kStateLimit, text, reason)) {
    case ReadResult::Read: stateText_ = std::move(text); break;
    case ReadResult::Missing: break;
    case ReadResult::Unreadable:
      stateUnreadable_ = true;
      unreadable_.push_back({statePath_, reason, false});
      break;
  }
}

std::vector<SettingsStore::Problem> SettingsStore::save(
    const std::function<void(IniFile&)>& setKeys, const std::string* stateText) const {
  std::vector<Problem> failed;
  std::string error;
  if (!settingsUnreadable_) {
    // Keys and sections that are not ours are kept as the file has them now.
    IniFile ini = settings_;
    std::string text, reason;
    const ReadResult now = ReadLimited(settingsPath_, kSettingsLimit, text, reason);
    if (now == ReadResult::Read) ini.parse(text);
    if (now == ReadResult::Unreadable) {
      failed.push_back({settingsPath_, reason + "; the file was left as it is", true});
    } else {
      if (setKeys) setKeys(ini);
      if (!WriteFileAtomic(settingsPath_, ini.text(), error))
        failed.push_back({settingsPath_, ReasonOnly(error), true});
    }
  }
  if (stateText != nullptr && !stateUnreadable_) {
    if (!WriteFileAtomic(statePath_, *stateText, error))
      failed.push_back({statePath_, ReasonOnly(error), false});
  }
  return failed;
}

std::string UnreadableFilesMessage(const std::vector<SettingsStore::Problem>& problems,
                                   int language) {
  std::string text;
  for (const auto& p : problems) {
    if (!text.empty()) text += "\n\n";
    text += FillPlaceholders(UiMessage(language, p.settings ? UiText::SettingsUnreadable : UiText::StateUnreadable),
                 {p.path, LocalizedReason(language, p.reason)});
  }
  return text;
}

std::string SaveFailureMessage(const std::vector<SettingsStore::Problem>& problems,
                               int language) {
  std::string text;
  for (const auto& p : problems) {
    if (!text.empty()) text += "\n\n";
    text += FillPlaceholders(UiMessage(language, p.settings ? UiText::SettingsNotSaved : UiText::StateNotKept),
                 {p.path, p.reason});
  }
  return text;
}

}  // namespace rq
