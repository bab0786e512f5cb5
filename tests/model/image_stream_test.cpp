// SPDX-License-Identifier: GPL-3.0-or-later
// The byte streams the model derives from an image, pinned by recorded fingerprints: the .ign
// text, the parameter listing with its JSON, and the consistency pass with the defaults, over
// random images from fixed seeds. A field moved to another offset, a changed scaling, item
// name or group order changes a fingerprint.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "model/configuration_text.h"
#include "model/defaults.h"
#include "model/ign_file.h"
#include "model/parameter_table.h"

namespace rq {
namespace {

std::uint64_t Fingerprint(const std::string& s) {  // FNV-1a
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

ParameterImage RandomImage(unsigned seed) {
  std::mt19937 rng(seed);
  ParameterImage im;
  for (auto& b : im.bytes) b = static_cast<std::uint8_t>(rng() & 0xFF);
  return im;
}

struct Recorded {
  std::uint64_t ign, listing, repaired;
};

// Seeds 1, 2, ... in order.
constexpr Recorded kRecorded[] = {
    {0x3354f48abd5a1d10ull, 0xc9ce289e3bd3d14eull, 0x93e0539dc01a5a54ull},
    {0x6e08816feed2029eull, 0x66cbb10902fe7dd7ull, 0x85cc18f5b46b80b3ull},
    {0xb09c0938ce510688ull, 0x0ba9d85d3646b9dbull, 0x33f99657e646416eull},
    {0x9de900334245e731ull, 0x9a41a851a450b7adull, 0x2d101872f9f1786full},
    {0xcea2b6a2c5be5802ull, 0xf674f75c7927f306ull, 0xee3d084617c57735ull},
    {0xbb498985868a777full, 0x3c312114fcd1c40aull, 0xa5e3d15b99202248ull},
    {0xb124f5de824926d4ull, 0x1003d19046aea1baull, 0x10f034ed47654417ull},
    {0xee64627852319228ull, 0xc777aa602032f66dull, 0x7b0d00a3ec8e0636ull},
    {0xace3f5f4f0d19926ull, 0xcf409cb5b7e60d71ull, 0xff472d4bb69835f0ull},
    {0xdb27808eb6dcb645ull, 0x7f0a5ced17f09d9aull, 0x31906a7d7d2154a6ull},
    {0x9d2f14591b01eebfull, 0xa7dc063d9de1c710ull, 0xd23542576d8e118full},
    {0x2005d8aa23aa2622ull, 0x31d748f904b9bdc5ull, 0x21145b5be3080743ull},
    {0x5707948059ae5e2full, 0x7c96c2a6b55a5571ull, 0x9560e1268f882aa8ull},
    {0x9708015cb0d77518ull, 0xfda3399fbe8399feull, 0xc181eb717a40ea9full},
    {0x40212106edd0b99full, 0x1c2a75a16a80c628ull, 0x7676186342738caaull},
    {0x16a4bf767e81653dull, 0xa767351ab7a3048aull, 0x184792200f5efabdull},
    {0x3da0340164a2a6adull, 0xc2091768e7b6840aull, 0x826a8237705fafbcull},
    {0xede3d8d056cd2842ull, 0xcda2edc40cea6850ull, 0x11805ad227559fe0ull},
    {0x62a7e0953f461591ull, 0xdcbfc559a2c65079ull, 0x5639b7ab2f164676ull},
    {0x6795952fa5a0a41eull, 0xc3e800823307f738ull, 0x92bc1e8fb502eba6ull},
    {0x30e1f8587aa3cf96ull, 0xd197771c37c8e620ull, 0x93a5b9508889bde0ull},
    {0x8e3eff51961eee9cull, 0x90903db349ec4ce6ull, 0xf114fc96ad2ccca6ull},
    {0x3e9ceceee7981ac9ull, 0x90e8fb38c7259378ull, 0x0ab241336bf82843ull},
    {0x70ea08fd43c77d72ull, 0xde2bc3da79cadbc3ull, 0x199e0d5a29a3aa9cull},
};

TEST(ImageStreams, RandomImagesGiveTheRecordedIgnTextListingAndRepairs) {
  for (unsigned seed = 1; seed <= std::size(kRecorded); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const Recorded& want = kRecorded[seed - 1];
    const ParameterImage im = RandomImage(seed);
    EXPECT_EQ(Fingerprint(WriteIgnText(im)), want.ign);

    std::string listing;
    for (const ParameterEntry& e : ConfigurationEntries(im, im))
      listing += e.name + "=" + e.value.text + " " + e.value.unit + " {" + e.value.json + "}\n";
    EXPECT_EQ(Fingerprint(listing), want.listing);

    ParameterImage repaired = im;
    SanitizeImage(repaired);
    bool typeJustChanged = seed % 2 == 0;
    ParameterImage defaults = im;
    ApplyDefaults(defaults, typeJustChanged);
    std::string bytes(repaired.bytes.begin(), repaired.bytes.end());
    bytes += std::string(defaults.bytes.begin(), defaults.bytes.end());
    EXPECT_EQ(Fingerprint(bytes), want.repaired);
  }
}

TEST(ImageStreams, NewConfigurationGivesTheRecordedIgnText) {
  EXPECT_EQ(Fingerprint(WriteIgnText(NewConfiguration())), 0xf8df7824b0fb3075ull);
}

}  // namespace
}  // namespace rq
