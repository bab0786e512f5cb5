// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/history.h"

#include <iostream>

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
  const std::vector<HistoryEntry> entries = ListProgramHistory(folder);
  for (const HistoryEntry& e : entries) std::cout << e.when << "  " << e.path << "\n";
  if (entries.empty()) std::cerr << "rq_vtmx4_cli: nothing programmed yet (" << folder << ")\n";
  return 0;
}

}  // namespace rq
