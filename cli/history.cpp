// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/history.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "model/program_history.h"

namespace rq {

// One line per kept configuration: local date and time of the programming, then the file.
int RunHistoryCommand(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::cerr << "rq_vtmx4_cli: usage: history\n";
    return 2;
  }
  const std::string folder = ProgramHistoryFolder();
  if (folder.empty()) {
    std::cerr << "rq_vtmx4_cli: no program history folder (neither XDG_DATA_HOME nor HOME is set)\n";
    return 1;
  }
  const ProgramHistoryListing listing = ReadProgramHistory(folder);
  if (!listing.ok()) {
    std::cerr << "rq_vtmx4_cli: the program history cannot be read: " << listing.error << "\n";
    return 1;
  }
  for (const HistoryEntry& e : listing.entries) std::cout << FormatHistoryEntry(e) << "\n";
  if (listing.entries.empty())
    std::cerr << "rq_vtmx4_cli: nothing programmed yet (" << folder << ")\n";
  return 0;
}

void KeepCommandLineProgram(const ParameterImage& image, const std::string& input, int programCount) {
  ProgramRecord record;
  record.from = kFromCommandLine;
  if (input != "-") {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(input, ec);
    record.fileName = ec ? input : p.lexically_normal().string();
  }
  record.programCount = programCount;
  record.unit = DecodeIdentification(image).nameVersion;
  std::string error;
  if (KeepProgram(image, record, error).empty())
    std::cerr << "rq_vtmx4_cli: program history not kept: " << error << "\n";
}

}  // namespace rq
