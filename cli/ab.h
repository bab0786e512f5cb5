// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_cli ab: which advance map pulled harder in each cell, from ride logs in which the
// rider switched between the two maps; with a configuration, the proposal and the next pair.
#pragma once

#include <string>
#include <vector>

namespace rq {

int RunAbCommand(const std::vector<std::string>& args);

}  // namespace rq
