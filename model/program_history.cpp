// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/program_history.h"
#include "model/settings_location.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "model/file_io.h"
#include "model/ign_file.h"

namespace rq {
namespace {

namespace fs = std::filesystem;

// A history name: "YYYY-MM-DD_HH-MM-SS.ign" or "YYYY-MM-DD_HH-MM-SS_N.ign" with N >= 2.
struct HistoryName {
  std::string stamp;  // "YYYY-MM-DD_HH-MM-SS"
  unsigned long counter = 1;
};

bool ParseName(const std::string& name, HistoryName& out) {
  static constexpr char kPattern[] = "dddd-dd-dd_dd-dd-dd";  // d = digit
  constexpr std::size_t kStampLength = sizeof kPattern - 1;
  if (name.size() < kStampLength + 4 || name.compare(name.size() - 4, 4, ".ign") != 0)
    return false;
  for (std::size_t i = 0; i < kStampLength; ++i) {
    const char c = name[i];
    if (kPattern[i] == 'd' ? (c < '0' || c > '9') : c != kPattern[i]) return false;
  }
  out.stamp = name.substr(0, kStampLength);
  out.counter = 1;
  const std::string rest = name.substr(kStampLength, name.size() - 4 - kStampLength);
  if (rest.empty()) return true;
  if (rest.size() < 2 || rest.size() > 6 || rest[0] != '_') return false;
  unsigned long n = 0;
  for (std::size_t i = 1; i < rest.size(); ++i) {
    if (rest[i] < '0' || rest[i] > '9') return false;
    n = n * 10 + static_cast<unsigned long>(rest[i] - '0');
  }
  if (n < 2 || rest[1] == '0') return false;
  out.counter = n;
  return true;
}

struct Found {
  HistoryName name;
  fs::path path;
};

// Oldest first. A missing folder holds nothing; any other failure is put into error.
std::vector<Found> Scan(const std::string& folder, std::string* error = nullptr) {
  std::vector<Found> found;
  std::error_code ec;
  auto failed = [&] {
    if (ec == std::errc::no_such_file_or_directory) return;
    if (error != nullptr) *error = "cannot read " + folder + ": " + ec.message();
    found.clear();
  };
  fs::directory_iterator it(folder, ec);
  if (ec) {
    failed();
    return found;
  }
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    HistoryName n;
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || !ParseName(it->path().filename().string(), n)) continue;
    found.push_back({n, it->path()});
  }
  if (ec) {
    failed();
    return found;
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tie(a.name.stamp, a.name.counter) < std::tie(b.name.stamp, b.name.counter);
  });
  return found;
}

std::string InfoPath(const std::string& ignPath) {
  return ignPath.substr(0, ignPath.size() - 4) + ".info";
}

// Values are one line each: line breaks in a file name become blanks.
std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

}  // namespace

ProgramRecord ReadProgramRecord(const std::string& ignPath) {
  ProgramRecord r;
  if (ignPath.size() < 4) return r;
  std::string error;
  const auto text = ReadWholeFile(InfoPath(ignPath), error, 64u * 1024u);
  if (!text) return r;
  std::size_t pos = 0;
  while (pos < text->size()) {
    std::size_t end = text->find('\n', pos);
    if (end == std::string::npos) end = text->size();
    const std::string line = text->substr(pos, end - pos);
    pos = end + 1;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "from") r.from = value;
    else if (key == "file") r.fileName = value;
    else if (key == "unit") r.unit = value;
    else if (key == "programmings") {
      char* rest = nullptr;
      const long n = std::strtol(value.c_str(), &rest, 10);
      if (rest != value.c_str() && *rest == '\0' && n >= 0 && n <= 0xFFFF) r.programCount = int(n);
    }
  }
  return r;
}

std::string ProgramHistoryFolder() {
  const std::string data = DataFolderPath();
  return data.empty() ? data : data + "/history";
}

ProgramHistoryListing ReadProgramHistory(const std::string& folder) {
  ProgramHistoryListing listing;
  const std::vector<Found> found = Scan(folder, &listing.error);
  listing.entries.reserve(found.size());
  for (auto it = found.rbegin(); it != found.rend(); ++it) {
    std::string when = it->name.stamp;
    when[10] = ' ';
    when[13] = ':';
    when[16] = ':';
    listing.entries.push_back({it->path.string(), when, ReadProgramRecord(it->path.string())});
  }
  return listing;
}

std::vector<HistoryEntry> ListProgramHistory(const std::string& folder) {
  return ReadProgramHistory(folder).entries;
}

std::string KeepProgrammedConfiguration(const std::string& folder, const ParameterImage& image,
                                        std::time_t when, std::string& error, int limit,
                                        const ProgramRecord& record) {
  if (folder.empty()) {
    error = "no folder for the program history (neither XDG_DATA_HOME nor HOME is set)";
    return {};
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    error = "cannot create " + folder + ": " + ec.message();
    return {};
  }
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  std::string path = folder + "/" + stamp + ".ign";
  for (int n = 2; fs::exists(path, ec) && n < 100000; ++n)
    path = folder + "/" + stamp + "_" + std::to_string(n) + ".ign";
  if (!WriteFileAtomic(path, WriteIgnText(image), error)) return {};
  if (!record.from.empty()) {
    std::string infoError;
    // The configuration is what matters; a record that cannot be written is left out.
    WriteProgramRecord(path, record, infoError);
  }

  std::vector<Found> found = Scan(folder);
  const std::size_t keep = static_cast<std::size_t>(std::max(limit, 1));
  // The file just written stays even when the clock was set back.
  std::size_t excess = found.size() > keep ? found.size() - keep : 0;
  for (std::size_t i = 0; i < found.size() && excess > 0; ++i) {
    if (found[i].path == fs::path(path)) continue;
    fs::remove(found[i].path, ec);
    fs::remove(InfoPath(found[i].path.string()), ec);
    --excess;
  }
  return path;
}

bool WriteProgramRecord(const std::string& ignPath, const ProgramRecord& record,
                        std::string& error) {
  std::string info = "from=" + OneLine(record.from) + "\nfile=" + OneLine(record.fileName) +
                     "\nunit=" + OneLine(record.unit) + "\n";
  if (record.programCount >= 0) info += "programmings=" + std::to_string(record.programCount) + "\n";
  return WriteFileAtomic(InfoPath(ignPath), info, error);
}

std::string KeepProgram(const ParameterImage& image, const ProgramRecord& record,
                        std::string& error) {
  return KeepProgrammedConfiguration(ProgramHistoryFolder(), image, std::time(nullptr), error,
                                     kProgramHistoryLimit, record);
}

std::string FormatHistoryEntry(const HistoryEntry& e) {
  std::string line = e.when + "  " + e.path;
  std::vector<std::string> parts;
  if (!e.record.from.empty()) parts.push_back("from " + e.record.from);
  if (!e.record.fileName.empty()) parts.push_back("file " + e.record.fileName);
  if (e.record.programCount >= 0) parts.push_back("programmings " + std::to_string(e.record.programCount));
  for (std::size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? "  " : ", ") + parts[i];
  return line;
}

}  // namespace rq
