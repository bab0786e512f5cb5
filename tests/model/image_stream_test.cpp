// SPDX-License-Identifier: GPL-3.0-or-later
// The byte streams the model derives from an image, pinned by a golden text file: the .ign
// text, the parameter listing with its JSON, and the consistency pass with the defaults, for
// random images from fixed seeds and a new configuration. A field moved to another offset, a
// changed scaling, item name or group order shows as the lines that differ.
// RQ_UPDATE_GOLDEN=1 writes the file anew from what the model gives now.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/configuration_text.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/parameter_table.h"

namespace rq {
namespace {

const std::string kGolden = std::string(RQ_TEST_DATA) + "/image_streams.golden";

ParameterImage RandomImage(unsigned seed) {
  std::mt19937 rng(seed);
  ParameterImage im;
  for (auto& b : im.bytes) b = static_cast<std::uint8_t>(rng() & 0xFF);
  return im;
}

// 30 bytes a line after the offset of the first.
std::string Hex(const ParameterImage& im) {
  std::string out;
  char b[24];
  for (std::size_t i = 0; i < im.bytes.size(); ++i) {
    if (i % 30 == 0) {
      std::snprintf(b, sizeof b, "%03zu:", i);
      out += b;
    }
    std::snprintf(b, sizeof b, " %02x", im.bytes[i]);
    out += b;
    if (i % 30 == 29) out += '\n';
  }
  return out;
}

// Everything pinned, as sections headed "== "; a carriage return shows as <CR>.
std::string Streams() {
  std::string out;
  auto section = [&out](const std::string& name, std::string body) {
    for (std::size_t at = 0; (at = body.find('\r', at)) != std::string::npos;) body.replace(at, 1, "<CR>");
    out += "== " + name + "\n" + body;
    if (!body.empty() && body.back() != '\n') out += '\n';
  };
  const ParameterImage im = RandomImage(1);
  section(".ign of seed 1", WriteIgnText(im));
  std::string listing;
  for (const ParameterEntry& e : ConfigurationEntries(im, im))
    listing += e.name + "=" + e.value.text + " " + e.value.unit + " {" + e.value.json + "}\n";
  section("listing of seed 1", listing);
  ParameterImage repaired = im;
  SanitizeImage(repaired);
  section("consistency pass of seed 1", Hex(repaired));
  for (const bool typeJustChanged : {false, true}) {
    ParameterImage defaults = RandomImage(typeJustChanged ? 2 : 1);
    bool flag = typeJustChanged;
    ApplyDefaults(defaults, flag);
    section(typeJustChanged ? "defaults of seed 2, the type just changed" : "defaults of seed 1", Hex(defaults));
  }
  section(".ign of a new configuration", WriteIgnText(NewConfiguration()));
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The first lines that differ, each with its section: what a failure says.
std::string Differences(const std::string& want, const std::string& got, int most = 6) {
  const std::vector<std::string> a = Lines(want), b = Lines(got);
  std::string out, section;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()) && most > 0; ++i) {
    const std::string* x = i < a.size() ? &a[i] : nullptr;
    const std::string* y = i < b.size() ? &b[i] : nullptr;
    if (x != nullptr && x->rfind("== ", 0) == 0) section = *x;
    if (x != nullptr && y != nullptr && *x == *y) continue;
    out += section + ", line " + std::to_string(i + 1) + "\n  golden: " + (x ? *x : "(none)") +
           "\n  now:    " + (y ? *y : "(none)") + "\n";
    --most;
  }
  return out;
}

TEST(ImageStreams, RandomImagesAndANewConfigurationGiveTheGoldenStreams) {
  const std::string got = Streams();
  if (std::getenv("RQ_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(kGolden, std::ios::binary) << got;
    GTEST_SKIP() << "wrote " << kGolden;
  }
  std::ifstream in(kGolden, std::ios::binary);
  ASSERT_TRUE(in) << kGolden;
  std::stringstream want;
  want << in.rdbuf();
  EXPECT_EQ(Differences(want.str(), got), "");
}

}  // namespace
}  // namespace rq
