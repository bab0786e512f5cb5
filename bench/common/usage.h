// SPDX-License-Identifier: GPL-3.0-or-later
// --help for the benchmark and tool programs: their usage on standard output and exit 0,
// answered before anything starts (no window, no display, no simulator).
#pragma once

#include <cstdio>
#include <cstring>

namespace rq::bench {

// True (after printing `usage`) when an argument is --help or -h.
inline bool AnswerHelp(int argc, char** argv, const char* usage) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(usage, stdout);
      return true;
    }
  return false;
}

}  // namespace rq::bench
