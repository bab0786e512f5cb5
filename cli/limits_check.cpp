// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/limits_check.h"

#include <iostream>

#include "cli/output.h"
#include "cli/tick_session.h"
#include "limits/limit_texts.h"
#include "model/configuration_text.h"
#include "model/file_io.h"
#include "model/map_model.h"
#include "model/parameter_table.h"
#include "model/settings_location.h"
#include "ui/text_table.h"

namespace rq {

namespace {

constexpr const char* kCheckUsage =
    "usage: check FILE.ign [--limits FILE.ini] [--unit UNIT.ign] [--json]";

// A configuration as program sends it: the gear system's hold on the inputs and the
// consistency pass applied.
bool LoadAsSent(const std::string& path, ParameterImage& image, std::string& error) {
  LoadedConfiguration loaded;
  if (!LoadConfigurationInput(path, loaded, error)) return false;
  image = loaded.image;
  ApplyGearCoupling(image);
  SanitizeImage(image);
  return true;
}

bool AnyChangeLimit(const Limits& limits) {
  for (const PageLimits& p : limits.pages)
    if (p.change) return true;
  return false;
}

void Note(const std::string& text) { std::cerr << kProgramName << ": " << text << "\n"; }

}  // namespace

bool LoadCommandLineLimits(const std::string& path, LoadedLimits& out, std::string& error) {
  out = LoadedLimits();
  IniFile ini;
  std::string where = path;
  if (path.empty()) {
    if (!ReadSettingsFile(ini, error)) return false;
    const std::string folder = SettingsFolderPath();
    where = folder.empty() ? std::string(kSettingsFileName) : folder + "/" + kSettingsFileName;
  } else {
    const auto text = ReadWholeFile(path, error, 4u << 20);
    if (!text) return false;
    ini.parse(*text);
    if (!ini.hasSection(kLimitsSection)) {
      error = path + " has no [" + kLimitsSection + "] section";
      return false;
    }
  }
  out = LoadLimits(ini);
  for (const LimitsProblem& p : out.problems) Note(where + ": " + LimitsProblemText(p, kLanguageEnglish));
  return true;
}

std::string FormatViolations(const std::vector<Violation>& violations, const ParameterImage& image) {
  std::string out;
  for (const Violation& v : violations) out += ViolationText(v, image, kLanguageEnglish) + "\n";
  return out;
}

std::string FormatViolationsJson(const std::vector<Violation>& violations,
                                 const ParameterImage& image) {
  if (violations.empty()) return "[]\n";
  std::string out = "[\n";
  for (std::size_t i = 0; i < violations.size(); ++i) {
    const Violation& v = violations[i];
    const MapDef& map = *MapOfPage(v.page);
    auto field = [&](const char* name, const std::string& value) {
      out += std::string(",\"") + name + "\":" + value;
    };
    out += "{\"page\":" + JsonString(LimitPageName(v.page, kLanguageEnglish));
    field("row", std::to_string(v.row));
    field("throttle_pct", std::to_string(kThrottleRows[v.row]));
    field("column", std::to_string(v.column));
    field("rpm", std::to_string(image[map.axis[v.column]]));
    field("value", std::to_string(v.value));
    field("unit", JsonString(MapUnit(image, map)));
    field("kind", JsonString(LimitKindName(v.kind)));
    field("limit", LimitNumberText(v.limit));
    if (v.kind == LimitKind::StepRight || v.kind == LimitKind::StepDown) {
      field("other", std::to_string(v.other));
      field("other_row", std::to_string(OtherRow(v)));
      field("other_column", std::to_string(OtherColumn(v)));
      field("difference", std::to_string(ViolationDifference(v)));
    } else if (v.kind == LimitKind::Change) {
      field("other", std::to_string(v.other));
      field("difference", std::to_string(ViolationDifference(v)));
    }
    field("text", JsonString(ViolationText(v, image, kLanguageEnglish)));
    out += i + 1 < violations.size() ? "},\n" : "}\n";
  }
  return out + "]\n";
}

int RunCheckCommand(const std::vector<std::string>& args) {
  auto usage = [](const std::string& message) {
    Note(message);
    Note(kCheckUsage);
    return kExitUsage;
  };
  auto fail = [](const std::string& message) {
    Note(message);
    return kExitFailure;
  };
  bool json = false;
  std::string file, limitsPath, unitPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
    } else if (a == "--limits" || a == "--unit") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return usage(a + " needs a file");
      (a == "--limits" ? limitsPath : unitPath) = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return usage("unknown option " + a + " for check");
    } else if (file.empty()) {
      file = a;
    } else {
      return usage("unexpected argument " + a);
    }
  }
  if (file.empty()) return usage("check needs a configuration file");

  std::string error;
  LoadedLimits loaded;
  if (!LoadCommandLineLimits(limitsPath, loaded, error)) return fail(error);
  const Limits& limits = loaded.limits;
  const bool unread = !loaded.unreadable().empty();
  ParameterImage image, unit;
  if (!LoadAsSent(file, image, error)) return fail(error);
  if (!unitPath.empty() && !LoadAsSent(unitPath, unit, error)) return fail(error);
  if (!limits.any()) {
    Note(std::string("no limits set: the [") + kLimitsSection + "] section of " +
         (limitsPath.empty() ? std::string("the settings file") : limitsPath) +
         (unread ? " gives none that can be read" : " gives none"));
    if (json) std::cout << "[]\n";
    return unread ? kExitFailure : 0;
  }
  if (AnyChangeLimit(limits) && unitPath.empty())
    Note("the change limits are not checked: they need the unit's content (--unit UNIT.ign)");
  std::vector<Violation> v = CheckLimits(image, limits, unitPath.empty() ? nullptr : &unit);
  SortWorstFirst(v);
  std::cout << (json ? FormatViolationsJson(v, image) : FormatViolations(v, image)) << std::flush;
  if (unread) {
    Note("a value of the limits cannot be read: it is not checked");
  } else if (v.empty()) {
    Note(file + " keeps every limit");
  }
  return v.empty() && !unread ? 0 : kExitFailure;
}

int GuardProgramming(const ParameterImage& image, const std::string& file,
                     const std::string& limitsPath, bool force) {
  std::string error;
  LoadedLimits loaded;
  if (!LoadCommandLineLimits(limitsPath, loaded, error)) {
    Note(error + "; nothing was sent");
    return kExitFailure;
  }
  const Limits& limits = loaded.limits;
  // A limit that cannot be read may be the one that matters: nothing goes without it.
  if (!loaded.unreadable().empty()) {
    const std::size_t n = loaded.unreadable().size();
    const std::string values = std::to_string(n) + (n == 1 ? " value" : " values");
    if (!force) {
      Note(values + " of the limits cannot be read (above); nothing was sent (--force programs without them)");
      return kExitFailure;
    }
    Note(values + " of the limits cannot be read (above); programming without them (--force)");
  }
  if (!limits.any()) return 0;
  if (AnyChangeLimit(limits))
    Note("the change limits are not checked: program does not read the unit first");
  std::vector<Violation> v = CheckLimits(image, limits, nullptr);
  if (v.empty()) return 0;
  SortWorstFirst(v);
  const std::string count = std::to_string(v.size()) + (v.size() == 1 ? " limit" : " limits");
  Note(force ? file + " breaks " + count + "; programming it anyway (--force):"
             : file + " breaks " + count + "; nothing was sent (--force programs it anyway):");
  std::cerr << FormatViolations(v, image) << std::flush;
  return force ? 0 : kExitFailure;
}

}  // namespace rq
