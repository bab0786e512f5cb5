// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds the fuzz target a bounded stream of random and mutated inputs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 20000;
  std::mt19937 rng(2024);
  rq::AllFlags flags{};
  const std::vector<std::string> seeds = {rq::WriteIgnText(rq::NewConfiguration()),
                                          rq::WriteStateText(rq::NewConfiguration(), flags),
                                          "time,a,b,c,x\n2026-05-04T10:00:00.000,1.5,-0.3,2,7\n"
                                          "2026-05-04T10:00:00.333,6552.4,-3276.9,24.4,1e3\n",
                                          "\"t (ms)\";a;x\r\n0;1,5;2\r\n10;-0,1;3\r\n"};
  for (int i = 0; i < runs; ++i) {
    std::string input;
    if (i % 3 == 0) {
      input.resize(rng() % 4096);
      for (auto& c : input) c = static_cast<char>(rng());
    } else {
      input = seeds[static_cast<std::size_t>(i) % seeds.size()];
      const int edits = 1 + static_cast<int>(rng() % 32);
      for (int e = 0; e < edits && !input.empty(); ++e) {
        const std::size_t at = rng() % input.size();
        switch (rng() % 5) {
          case 4: input.insert(at, 1, ",;\t\".:T-"[rng() % 9]); break;
          case 0: input[at] = static_cast<char>(rng()); break;
          case 1: input.insert(at, 1, "-+0123456789 \n"[rng() % 14]); break;
          case 2: input.erase(at, rng() % 64); break;
          default: input.insert(at, "99999999999999999999999"); break;
        }
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  }
  std::printf("%d inputs, no fault\n", runs);
  return 0;
}
