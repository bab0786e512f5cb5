// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_cli cells: how many rows of a ride log fell in each cell of a map page.
#pragma once

#include <string>
#include <vector>

namespace rq {

int RunCellsCommand(const std::vector<std::string>& args);

}  // namespace rq
