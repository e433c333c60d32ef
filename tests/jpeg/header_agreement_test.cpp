// rx_jpeg_header's verdict against rx_show_jpeg's on real files: every
// corpus JPEG, the hostile ones, the demo's picture, and cut and
// bit-flipped copies. Where the header reader fails, the decoder fails
// the same way; where it succeeds, the decoder draws exactly the width and
// height it gives, in exactly the memory rx_jpeg_buffer_size asks for.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "jpeg/walk.h"
#include "jpeg_test_util.h"
#include "support/headless_fixture.h"

namespace rx {
namespace {

namespace fs = std::filesystem;
using jpeg_test::show_from_memory;
using jpeg_test::write_file;

struct Picture {
  std::string label;
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool is_jpeg_name(const fs::path& p) {
  std::string ext = p.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".jpg" || ext == ".jpeg";
}

void add_folder(const fs::path& folder, std::vector<Picture>& into) {
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file() && is_jpeg_name(entry.path())) names.push_back(entry.path());
  std::sort(names.begin(), names.end());
  for (const fs::path& p : names) into.push_back({p.filename().string(), read_all(p)});
}

// Damaged copies of well-formed files: cut at several points, and with
// bits flipped in the headers or anywhere (a fixed seed).
void add_damaged(const Picture& whole, std::mt19937& rng, std::vector<Picture>& into) {
  const std::vector<uint8_t>& d = whole.bytes;
  for (size_t cut : {size_t{2}, size_t{3}, size_t{20}, size_t{100}, size_t{300}, d.size() / 3,
                     d.size() / 2, d.size() - 2}) {
    if (cut >= d.size()) continue;
    into.push_back({whole.label + " cut " + std::to_string(cut), {d.begin(), d.begin() + static_cast<long>(cut)}});
  }
  for (int n = 0; n < 12; ++n) {
    std::vector<uint8_t> b = d;
    size_t limit = std::min(n < 6 ? size_t{700} : b.size(), b.size());
    for (int k = 0; k <= n % 4; ++k) b[2 + rng() % (limit - 2)] ^= static_cast<uint8_t>(1u << (rng() % 8));
    into.push_back({whole.label + " flip " + std::to_string(n), b});
  }
}

std::vector<Picture> pictures() {
  std::vector<Picture> all;
  const char* shared = std::getenv("RASTRIX_SHARED_DIR");
  const char* source = std::getenv("RASTRIX_SOURCE_DIR");
  if (shared != nullptr) {
    fs::path corpus = fs::path(shared) / "corpus" / "peers" / "jpeg";
    if (fs::is_directory(corpus)) add_folder(corpus, all);
    if (fs::is_directory(corpus / "hostile")) add_folder(corpus / "hostile", all);
  }
  if (source != nullptr) {
    fs::path demo = fs::path(source) / "demo" / "assets" / "AQUARIUM.JPG";
    if (fs::is_regular_file(demo)) all.push_back({"AQUARIUM.JPG", read_all(demo)});
  }
  std::mt19937 rng(20261210);
  size_t whole = all.size();
  for (size_t i = 0; i < whole; ++i)
    for (const char* name : {"gen-cjpeg_hopper_101x77_420_dri5.jpg", "gen-cjpeg_hopper_gray_dri7.jpg",
                             "pillow_hopper.jpg", "AQUARIUM.JPG"})
      if (all[i].label == name) add_damaged(Picture(all[i]), rng, all);
  return all;
}

class JpegHeaderAgreement : public support::HeadlessTest {
 protected:
  void TearDown() override {
    rx_set_input_buffer(nullptr, 0);
    rx_set_decode_buffer(nullptr, 0);
    HeadlessTest::TearDown();
  }
  // A fresh 24-bit buffer in place of the one before (32 slots in all).
  int32_t buffer(int32_t width, int32_t height) {
    if (handle_ >= 0) rx_buffer_release(), rx_buffer_free(handle_);
    handle_ = support::make_buffer(24, width, height);
    return handle_;
  }
  int32_t handle_ = -1;
  static void fill(uint8_t value) {
    const LibraryState& s = state();
    std::memset(s.active_pixels, value, static_cast<size_t>(s.active_bytes_per_row) * s.active_height);
  }
  static const uint8_t* at(int x, int y) { return active_row(y) + x * 3; }
  // Decodes from the file, then from memory: one result for both.
  static int32_t show(const std::string& path, const std::vector<uint8_t>& bytes) {
    int32_t from_file = rx_show_jpeg(path.c_str(), 0);
    int32_t from_memory = show_from_memory(bytes);
    EXPECT_EQ(from_file, from_memory);
    return from_file;
  }
};

TEST_F(JpegHeaderAgreement, HeaderVerdictMatchesTheDecoder) {
  std::vector<Picture> all = pictures();
  if (all.empty()) GTEST_SKIP() << "no corpus (RASTRIX_SHARED_DIR) and no demo picture";
  int accepted = 0, refused = 0;
  for (const Picture& p : all) {
    SCOPED_TRACE(p.label);
    std::string path = write_file("agree.jpg", p.bytes);
    JpegInfo info{};
    int32_t header = rx_jpeg_header(path.c_str(), &info);
    std::vector<uint8_t> copy = p.bytes;
    InputSource src = InputSource::over_memory(copy.data(), static_cast<int32_t>(copy.size()));
    jpeg::FrameHeader frame{};
    int32_t verdict = jpeg::read_header(src, frame);
    ASSERT_EQ(header == RX_OK, verdict == RX_OK) << verdict;
    if (header != RX_OK) {
      ++refused;
      EXPECT_EQ(header, RX_ERR_RESOURCE);
      ASSERT_GE(buffer(16, 16), 0);
      fill(0x33);
      int32_t decoded = show(path, p.bytes);
      if (verdict == jpeg::kNoFrameHeader) {
        EXPECT_EQ(decoded, RX_OK);
        EXPECT_EQ(*at(0, 0), 0x33);  // nothing drawn
      } else {
        EXPECT_EQ(decoded, verdict);
      }
      continue;
    }
    ++accepted;
    // The decoder accepts everything up to the frame header the header
    // reader stopped after: ended there, the picture is complete.
    std::vector<uint8_t> to_frame(p.bytes.begin(), p.bytes.begin() + src.offset());
    to_frame.insert(to_frame.end(), {0xFF, 0xD9});
    ASSERT_GE(buffer(16, 16), 0);
    EXPECT_EQ(show(write_file("to_frame.jpg", to_frame), to_frame), RX_OK);
    EXPECT_EQ(info.width, frame.width);
    EXPECT_EQ(info.height, frame.height);
    EXPECT_EQ(info.components, frame.components);
    for (int i = 0; i < frame.components; ++i)
      EXPECT_EQ(info.sampling[i], frame.h[i] << 4 | frame.v[i]);
    int32_t size = rx_jpeg_buffer_size(&info);
    ASSERT_GT(size, 0);
    int32_t w = std::min<int32_t>(info.width + 8, RX_MAX_BUFFER_SIDE);
    int32_t h = std::min<int32_t>(info.height + 8, RX_MAX_BUFFER_SIDE);
    ASSERT_GE(buffer(w, h), 0);
    std::vector<uint8_t> memory(static_cast<size_t>(size));
    rx_set_decode_buffer(memory.data(), size - 1);
    int32_t short_by_one = show(path, p.bytes);
    rx_set_decode_buffer(memory.data(), size);
    // A pixel is drawn when it differs from one of two fills.
    fill(0x00);
    int32_t decoded = show(path, p.bytes);
    std::vector<uint8_t> on_black(state().active_pixels,
                                  state().active_pixels + static_cast<size_t>(state().active_bytes_per_row) * h);
    fill(0xFF);
    EXPECT_EQ(show(path, p.bytes), decoded);
    EXPECT_NE(decoded, RX_JPEG_BUFFER_TOO_SMALL);
    int32_t outside = 0, missed = 0;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        size_t o = static_cast<size_t>(at(x, y) - state().active_pixels);
        const uint8_t* on_white = at(x, y);
        bool drawn = on_black[o] != 0 || on_black[o + 1] != 0 || on_black[o + 2] != 0 ||
                     on_white[0] != 0xFF || on_white[1] != 0xFF || on_white[2] != 0xFF;
        bool inside = x < info.width && y < info.height;
        if (drawn && !inside) ++outside;
        if (!drawn && inside) ++missed;
      }
    EXPECT_EQ(outside, 0);
    if (decoded == RX_OK) {
      EXPECT_EQ(missed, 0);
      EXPECT_EQ(short_by_one, RX_JPEG_BUFFER_TOO_SMALL);
    }
  }
  EXPECT_GT(accepted, 10);
  EXPECT_GT(refused, 10);
}

}  // namespace
}  // namespace rx
