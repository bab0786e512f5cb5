// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_cli: configuration files and unit access without the window.
#include <iostream>
#include <string>
#include <vector>

#include "cli/ab.h"
#include "cli/cells.h"
#include "cli/history.h"
#include "cli/limits_check.h"
#include "cli/offline.h"
#include "cli/online.h"
#include "model/parameter_image.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage:\n"
         "  rq_vtmx4_cli new -o OUT.ign\n"
         "  rq_vtmx4_cli convert IN OUT        (.ign <-> image state file, by file name)\n"
         "  rq_vtmx4_cli show [--json] IN\n"
         "  rq_vtmx4_cli diff [--json] A B     (exit 1 when they differ)\n"
         "  rq_vtmx4_cli read --port P -o OUT.ign [--timeout S]\n"
         "  rq_vtmx4_cli verify --port P IN.ign [--timeout S]\n"
         "  rq_vtmx4_cli program --port P IN.ign [--limits FILE.ini] [--force] [--timeout S]\n"
         "  rq_vtmx4_cli info --port P [--json] [--timeout S]\n"
         "  rq_vtmx4_cli monitor --port P [--count N] [-o LOG.csv] [--timeout S]\n"
         "  rq_vtmx4_cli history               (programmed configurations, newest first)\n"
         "  rq_vtmx4_cli cells LOG.csv --map advance1|advance2|servo [--config FILE.ign] [--json]\n"
         "               [--min-rows N] [--steady] [--max-rpm-rate R] [--max-throttle-rate T]\n"
         "               [--gear G[,G...]] [--channel KEY [--stat mean|min|max]]\n"
         "                                   (log rows per map cell, or a channel's statistic)\n"
         "  rq_vtmx4_cli ab LOG.csv [LOG.csv ...] [--config FILE.ign] [--map advance1|advance2]\n"
         "               [--json] [--min-rows N] [--gear G[,G...]] [--step DEG]\n"
         "                                   (which advance map pulled harder, per cell)\n"
         "  rq_vtmx4_cli check IN.ign [--limits FILE.ini] [--unit UNIT.ign] [--json]\n"
         "               (map limits; exit 1 when one is broken)\n"
         "P is a device path or COM1 ... COM21 (mapped by [PORTS] of the settings file).\n"
         "OUT and LOG may be - for standard output (a configuration as .ign text); other\n"
         "outputs must be a regular file or a new name.\n"
         "--timeout S: monitor gives up after S seconds without a reply (default 5); read,\n"
         "verify, program and info give up when the command has taken S seconds in all\n"
         "(default 60, the save after programming included). 0 means no time limit.\n"
         "Limits come from [LIMITS] of the settings file, or of --limits FILE.ini; program\n"
         "refuses a file that breaks one (nothing is sent) unless --force.\n"
         "Exit codes: 0 success (diff: equal), 1 failure (diff: different), 2 wrong usage,\n"
         "3 port cannot be opened, 130 interrupted.\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage(std::cerr);
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "-h" || command == "--help" || command == "help") {
    Usage(std::cout);
    return 0;
  }
  if (command == "--version") {
    std::cout << "rq_vtmx4_cli version " << rq::kImageVersion << ", built " << __DATE__ << ' '
              << __TIME__ << '\n';
    return 0;
  }
  if (rq::IsOfflineCommand(command)) return rq::RunOfflineCommand(command, args);
  if (command == "history") return rq::RunHistoryCommand(args);
  if (command == "cells") return rq::RunCellsCommand(args);
  if (command == "check") return rq::RunCheckCommand(args);
  if (command == "ab") return rq::RunAbCommand(args);
  if (rq::IsOnlineCommand(command)) return rq::RunOnlineCommand(command, args);
  std::cerr << "rq_vtmx4_cli: unknown command '" << command << "'\n";
  Usage(std::cerr);
  return 2;
}
