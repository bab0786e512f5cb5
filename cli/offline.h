// SPDX-License-Identifier: GPL-3.0-or-later
// Offline commands of rq_vtmx4_cli: new, convert, show, diff.
#pragma once

#include <string>
#include <vector>

#include "model/config_file.h"
#include "model/parameter_image.h"

namespace rq {

// Human-readable listing, page by page, one parameter per line (choices by item name with
// the number in brackets), each page's map as a grid after its scalars.
std::string FormatConfiguration(const ParameterImage& image);
// The same as a JSON array: one object per parameter, map point and map cell, with page,
// name, value (item for choices), unit and the raw image bytes.
std::string FormatConfigurationJson(const ParameterImage& image);
// Lines "page  name  a -> b unit" for the parameters and map cells that differ; empty when
// equal. With `only`, the values with a byte in it alone (CompareConfigurations).
std::string FormatDifferences(const ParameterImage& a, const ParameterImage& b,
                              const ImageByteSet* only = nullptr);
// The differences as a JSON array of {"page","name","a":{value...},"b":{value...}}.
std::string FormatDifferencesJson(const ParameterImage& a, const ParameterImage& b,
                                  const ImageByteSet* only = nullptr);

int RunOfflineCommand(const std::string& command, const std::vector<std::string>& args);
bool IsOfflineCommand(const std::string& command);

}  // namespace rq
