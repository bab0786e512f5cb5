// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the map limits in the four interface languages (0 English, 1 German, 2 French,
// 3 Czech), UTF-8, plain C++ so that the command-line tool prints the same lines the window
// lists.
#pragma once

#include <string>

#include "limits/limit_check.h"
#include "limits/map_limits.h"
#include "model/parameter_image.h"

namespace rq {

// The page's tab caption: "Advance 1", "Vorzündung 2", "Servo".
std::string LimitPageName(int page, int language);

// One violation on one line: "Advance 1  row 60 %  col 7000 rpm  41 > max 38". The row is the
// throttle of the row and the column the rpm point of `image`'s map; a layout without row
// labels (rpm only) leaves the row out, one without rpm points (throttle only) the column.
// Values are in the page's shown units (degrees, mV or percent).
std::string ViolationText(const Violation& v, const ParameterImage& image, int language);

// One problem of the [LIMITS] section: "[LIMITS] line 3: Advance1Max=4o is not a number in the
// page's unit"; without a line (the dialog's fields) "Advance1Max=4o is not ...".
std::string LimitsProblemText(const LimitsProblem& problem, int language);

}  // namespace rq
