// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_cli history: the configurations kept by every successful programming, newest first.
#pragma once

#include <string>
#include <vector>

#include "model/parameter_image.h"

namespace rq {

int RunHistoryCommand(const std::vector<std::string>& args);

// After `program` saved: keeps the configuration in the program history, with the file it came
// from (`input`, "-" for standard input) and the unit's programming count. A history that
// cannot be written is a warning on stderr; the programming still succeeded.
void KeepCommandLineProgram(const ParameterImage& image, const std::string& input, int programCount);

}  // namespace rq
