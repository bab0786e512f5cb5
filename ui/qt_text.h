// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the model and link layers are UTF-8 std::strings; the window shows QStrings.
#pragma once

#include <QString>

#include <string>

namespace rq {

inline QString FromStd(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

}  // namespace rq
