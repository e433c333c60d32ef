// 8-bit buffers have no outside reference: every corpus picture's colours
// there, through the palette the library realised, are checked against its
// 24-bit decode, exact or as the colour reduction may have moved them.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "pcx/pcx_test_support.h"
#include "support/realised_colours.h"

namespace rx::pcxtest {
namespace {

namespace fs = std::filesystem;
using support::Rgb;

class EightBitCorpus : public support::HeadlessTest {};

std::vector<fs::path> corpus_pictures() {
  std::vector<fs::path> found;
  const char* shared = std::getenv("RASTRIX_SHARED_DIR");
  const char* source = std::getenv("RASTRIX_SOURCE_DIR");
  for (const auto& [root, dir] : {std::pair{shared, "corpus/peers/pcx"}, {source, "demo/assets"}}) {
    if (root == nullptr || !fs::is_directory(fs::path(root) / dir)) continue;
    for (const auto& e : fs::directory_iterator(fs::path(root) / dir)) {
      std::string ext = e.path().extension().string();
      if (e.is_regular_file() && (ext == ".pcx" || ext == ".PCX")) found.push_back(e.path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

TEST_F(EightBitCorpus, PcxColoursMatchThe24BitDecode) {
  const std::vector<fs::path> pictures = corpus_pictures();
  ASSERT_GE(pictures.size(), 10u) << "RASTRIX_SHARED_DIR and RASTRIX_SOURCE_DIR name the corpus";
  int compared = 0, reduced = 0;
  for (const fs::path& path : pictures) {
    SCOPED_TRACE(path.filename().string());
    PcxInfo info{};
    if (rx_pcx_header(path.c_str(), 0, &info) != 0 || info.colors <= 0) continue;  // not 8-bit
    // The buffer's stored width is a multiple of 4 and the reduction
    // counts every pixel of it: the picture covers it whole, clipped.
    const int32_t width = info.width / 4 * 4, height = info.height;
    if (width == 0) continue;
    rx_move_to(0, 0);
    ASSERT_GE(support::make_buffer(24, width, height), 0);
    ASSERT_EQ(rx_show_pcx(path.c_str(), RX_SHOW_AT_POSITION), 0);
    const std::vector<Rgb> source = support::buffer_colours(width, height);
    rx_buffer_release();
    ASSERT_GE(support::make_buffer(8, width, height), 0);
    ASSERT_EQ(rx_show_pcx(path.c_str(), RX_SHOW_AT_POSITION), 0);
    const std::vector<Rgb> realised = support::buffer_colours(width, height);
    const int32_t colours = std::min(info.colors, 236);
    const std::vector<Rgb> kept = support::palette_colours(10, colours);
    rx_buffer_release();
    EXPECT_EQ(support::check_reduced(source, realised, kept, source), "");
    ++compared;
    reduced += std::set<Rgb>(source.begin(), source.end()).size() > kept.size();
  }
  std::printf("PCX pictures compared at 8 bits: %d, %d of them reduced\n", compared, reduced);
  EXPECT_GE(compared, 10);
  EXPECT_GE(reduced, 3);
}

}  // namespace
}  // namespace rx::pcxtest
