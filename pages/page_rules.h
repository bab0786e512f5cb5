// SPDX-License-Identifier: GPL-3.0-or-later
// Which controls are visible or enabled for the modes chosen, as plain data: one table of
// conditions per page, evaluated by one function. The window applies the result by name.
#pragma once

#include <string>
#include <vector>

#include "model/parameter_image.h"

namespace rq {

enum class RuleProperty { Visible, Enabled };

struct RuleResult {
  std::string control;  // objectName
  RuleProperty property;
  bool on;
};

struct RuleInputs {
  const ParameterImage* image = nullptr;
  bool printing = false;
  bool testMode = false;      // developer test displays
  bool pickupSignal = false;  // the engine turns (live monitor flag)
};

// The page's own rules followed by the common part that holds on every page.
std::vector<RuleResult> EvaluatePageRules(int page, const RuleInputs& in);

}  // namespace rq
