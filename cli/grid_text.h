// SPDX-License-Identifier: GPL-3.0-or-later
// The 10 x 15 cells of a map page on the command line: as a table (100 % at the top,
// upside down against the map page) and as JSON lists (row 0 = 0 %), for the log commands.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "model/parameter_table.h"

namespace rq {

using CellText = std::function<std::string(int row, int column)>;

// The rpm points over the columns, then a line per throttle row from 100 % down, each cell
// right-aligned in `width` characters.
std::string TextGrid(const int (&rpmPoints)[kMapColumns], int width, const CellText& cell);

// A list of the 10 throttle rows (row 0 = 0 %), each a list of the 15 rpm columns.
std::string JsonGrid(const CellText& cell);

// A JSON number in its shortest form that reads back the same; null when there is none.
std::string JsonNumber(std::optional<double> v);

// "rpm":[...],"throttle_pct":[...]
std::string JsonAxes(const int (&rpmPoints)[kMapColumns]);

}  // namespace rq
