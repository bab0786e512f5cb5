// SPDX-License-Identifier: GPL-3.0-or-later
// Commands of rq_vtmx4_cli that talk to a unit over a serial port.
#pragma once

#include <string>
#include <vector>

namespace rq {

// True for read, verify, program and monitor.
bool IsOnlineCommand(const std::string& command);
// Runs one of them; args are the arguments after the command. Returns the exit code.
int RunOnlineCommand(const std::string& command, const std::vector<std::string>& args);

}  // namespace rq
