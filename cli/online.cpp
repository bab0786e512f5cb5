#include "cli/online.h"

#include <iostream>

namespace rq {

bool IsOnlineCommand(const std::string& command) {
  return command == "read" || command == "verify" || command == "program" ||
         command == "monitor";
}

int RunOnlineCommand(const std::string& command, const std::vector<std::string>&) {
  std::cerr << "rq_vtmx4_cli: " << command << " is not available in this build\n";
  return 2;
}

}  // namespace rq
