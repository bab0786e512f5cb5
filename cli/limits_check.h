// SPDX-License-Identifier: GPL-3.0-or-later
// rq_vtmx4_cli check: a configuration against the map limits of the settings file or of a
// named ini file; and the same check as the guard before program sends anything.
#pragma once

#include <string>
#include <vector>

#include "limits/limit_check.h"
#include "limits/map_limits.h"
#include "model/parameter_image.h"

namespace rq {

// The limits of `path`'s [LIMITS] section, or of the settings file when path is empty, with
// the problems of the section, each written to stderr with the file and its line. False with
// the reason when the file cannot be read, or when a named file has no [LIMITS] section (a
// settings file without one is no limits).
bool LoadCommandLineLimits(const std::string& path, LoadedLimits& out, std::string& error);

// One English line per violation, as the window lists them, in the order given.
std::string FormatViolations(const std::vector<Violation>& violations, const ParameterImage& image);
// A JSON array, one object per violation: page, row, throttle_pct, column, rpm, value, unit,
// kind, limit; for steps other, other_row, other_column and difference; for change other (the
// unit's value) and difference; and text, the English line.
std::string FormatViolationsJson(const std::vector<Violation>& violations,
                                 const ParameterImage& image);

// check: the violations worst first; exit 1 when there is any, or when a value of the limits
// cannot be read.
int RunCheckCommand(const std::vector<std::string>& args);

// Before program opens the port: 0 when `image` (as it will be sent) keeps the limits and every
// value of them can be read, or `force` is given, else 1 with the reason (the violations worst
// first, the values that cannot be read) on stderr. The change limit is not checked: the
// command line does not read the unit first, and says so when a change limit is set.
int GuardProgramming(const ParameterImage& image, const std::string& file,
                     const std::string& limitsPath, bool force);

}  // namespace rq
