// 8-bit buffers have no outside reference: every corpus flic's frames
// there, through the palette the library realised, are checked against
// its 24-bit frames, exact or as the colour reduction may have moved them.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "flic/flic_fixture.h"
#include "support/realised_colours.h"

namespace rx::flic_test {
namespace {

namespace fs = std::filesystem;
using support::Rgb;

constexpr int kMostFrames = 30;  // enough to pass deltas, short enough to be quick

std::vector<fs::path> corpus_flics() {
  std::vector<fs::path> found;
  const char* shared = std::getenv("RASTRIX_SHARED_DIR");
  const char* source = std::getenv("RASTRIX_SOURCE_DIR");
  for (const auto& [root, dir] : {std::pair{shared, "corpus/peers/flic"}, {source, "demo/assets"}}) {
    if (root == nullptr || !fs::is_directory(fs::path(root) / dir)) continue;
    for (const auto& e : fs::directory_iterator(fs::path(root) / dir)) {
      std::string ext = e.path().extension().string();
      for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (e.is_regular_file() && (ext == ".fli" || ext == ".flc")) found.push_back(e.path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

struct Frame {
  std::vector<Rgb> colours;
  std::vector<Rgb> palette;  // the library palette after the frame
};

// Plays up to kMostFrames frames into a buffer of the given depth.
std::vector<Frame> play(const fs::path& path, int32_t bits) {
  std::vector<Frame> frames;
  FlicContext c{};
  if (rx_flic_open(path.c_str(), &c) != 0) return frames;
  if (support::make_buffer(bits, c.width, c.height) >= 0) {
    while (frames.size() < kMostFrames && rx_flic_play(&c, 1, RX_FLIC_NO_DELAY) == 1)
      frames.push_back({support::buffer_colours(c.width, c.height),
                        support::palette_colours(0, 256)});
    rx_buffer_release();
  }
  rx_flic_close(&c);
  return frames;
}

using EightBitCorpus = FlicTest;

TEST_F(EightBitCorpus, FlicColoursMatchThe24BitFrames) {
  const std::vector<fs::path> flics = corpus_flics();
  ASSERT_GE(flics.size(), 8u) << "RASTRIX_SHARED_DIR and RASTRIX_SOURCE_DIR name the corpus";
  int compared = 0, reduced = 0;
  for (const fs::path& path : flics) {
    SCOPED_TRACE(path.filename().string());
    // Its first frame draws before it sets the palette: its pixels depend
    // on the colours left by whatever played before, at any depth.
    if (path.filename() == "pillow_hopper_palette_chunk_second.fli") continue;
    const std::vector<Frame> deep = play(path, 24);
    const std::vector<Frame> eight = play(path, 8);
    ASSERT_EQ(deep.size(), eight.size());
    if (deep.empty()) continue;
    const std::vector<Rgb> kept(eight[0].palette.begin() + 10, eight[0].palette.begin() + 246);
    // Pixels drawn before a new palette keep their indexes into it: frames
    // are compared until the realised palette changes.
    for (size_t n = 0; n < eight.size() && eight[n].palette == eight[0].palette; ++n) {
      SCOPED_TRACE("frame " + std::to_string(n + 1));
      ASSERT_EQ(support::check_reduced(deep[n].colours, eight[n].colours, kept, deep[n].palette),
                "");
      ++compared;
    }
    const std::set<Rgb> distinct(deep[0].palette.begin(), deep[0].palette.end());
    reduced += distinct.size() > kept.size();
  }
  std::printf("flic frames compared at 8 bits: %d; flics reduced: %d\n", compared, reduced);
  EXPECT_GE(compared, 30);
  EXPECT_GE(reduced, 3);
}

}  // namespace
}  // namespace rx::flic_test
