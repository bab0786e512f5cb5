// rq_vtmx4_cli: configuration files and unit access without the window.
#include <iostream>
#include <string>
#include <vector>

#include "cli/history.h"
#include "cli/offline.h"
#include "cli/online.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage:\n"
         "  rq_vtmx4_cli new -o OUT.ign\n"
         "  rq_vtmx4_cli convert IN OUT        (.ign <-> image state file, by file name)\n"
         "  rq_vtmx4_cli show IN\n"
         "  rq_vtmx4_cli diff A B              (exit 1 when they differ)\n"
         "  rq_vtmx4_cli read --port P -o OUT.ign\n"
         "  rq_vtmx4_cli verify --port P IN.ign\n"
         "  rq_vtmx4_cli program --port P IN.ign\n"
         "  rq_vtmx4_cli monitor --port P [--count N] [-o LOG.csv]\n"
         "  rq_vtmx4_cli history               (programmed configurations, newest first)\n"
         "P is a device path or COMn.\n";
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
  if (rq::IsOfflineCommand(command)) return rq::RunOfflineCommand(command, args);
  if (command == "history") return rq::RunHistoryCommand(args);
  if (rq::IsOnlineCommand(command)) return rq::RunOnlineCommand(command, args);
  std::cerr << "rq_vtmx4_cli: unknown command '" << command << "'\n";
  Usage(std::cerr);
  return 2;
}
