// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_cli history: the configurations kept by every successful programming, newest first.
#pragma once

#include <string>
#include <vector>

namespace rq {

int RunHistoryCommand(const std::vector<std::string>& args);

}  // namespace rq
