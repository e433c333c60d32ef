// The committed demo pictures: formats the demo's loaders expect, fish
// frames inside their rectangles, no fish colour that the demo would treat
// as transparent, and the generator reproducing them byte for byte.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// The committed pictures, from the source tree CTest names (a compiler may
// record this file's path relative to the build, so it is not used).
const fs::path kAssets = fs::path(std::getenv("RASTRIX_SOURCE_DIR") ? std::getenv("RASTRIX_SOURCE_DIR") : ".") / "demo" / "assets";

Bytes read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

int le16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }

struct Rect {
  int min_x, max_x, min_y, max_y;
};

struct Kind {
  const char* file;
  bool faces_left;
  std::vector<Rect> frames;
};

// Where the demo cuts its sprites (inclusive bounds).
const Kind kKinds[] = {
    {"BLUEDAMS.PCX", true, {{79, 232, 218, 281}, {270, 423, 219, 281}, {457, 610, 219, 281}, {73, 226, 334, 396}}},
    {"BLUETANG.PCX", false, {{492, 635, 200, 275}, {325, 468, 200, 275}, {165, 308, 200, 275}, {1, 144, 199, 274}}},
    {"BUTTRFLY.PCX", false, {{244, 397, 191, 286}, {41, 194, 191, 286}, {41, 194, 337, 433}, {244, 397, 338, 433}}},
    {"GUDGEON.PCX", false, {{23, 203, 198, 280}, {231, 411, 195, 280}, {438, 618, 195, 280}, {23, 203, 340, 425}}},
    {"KILLIFSH.PCX", false, {{133, 285, 153, 205}, {350, 502, 153, 205}, {136, 288, 273, 324}, {350, 502, 272, 324}}},
    {"SEAHORSE.PCX", true, {{388, 435, 205, 293}, {295, 342, 205, 293}, {199, 246, 205, 293}}},
};

// Decodes an 8-bit, one-plane PCX (ZSoft run-length coding) into indices.
Bytes decode_pcx_indices(const Bytes& file, int width, int height) {
  const int stride = le16(file, 66);
  Bytes pixels;
  size_t at = 128;
  for (int y = 0; y < height; ++y) {
    Bytes line;
    while (static_cast<int>(line.size()) < stride && at < file.size()) {
      uint8_t value = file[at++];
      int count = 1;
      if ((value & 0xC0) == 0xC0 && at < file.size()) {
        count = value & 0x3F;
        value = file[at++];
      }
      line.insert(line.end(), count, value);
    }
    line.resize(stride);
    pixels.insert(pixels.end(), line.begin(), line.begin() + width);
  }
  return pixels;
}

TEST(DemoAssets, PhotographIsBaseline420WithStandardComponentIds) {
  const Bytes jpeg = read_file(kAssets / "AQUARIUM.JPG");
  ASSERT_GT(jpeg.size(), 4u);
  ASSERT_EQ(jpeg[0], 0xFF);
  ASSERT_EQ(jpeg[1], 0xD8);
  size_t at = 2;
  bool found_frame = false;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const uint8_t marker = jpeg[at + 1];
    const size_t length = static_cast<size_t>(jpeg[at + 2] << 8 | jpeg[at + 3]);
    EXPECT_FALSE(marker == 0xC2 || marker == 0xC1 || marker == 0xC9) << "not baseline: " << int(marker);
    if (marker == 0xC0) {
      ASSERT_LE(at + 2 + length, jpeg.size());
      const uint8_t* f = &jpeg[at + 4];
      EXPECT_EQ(f[0], 8);
      EXPECT_EQ(f[1] << 8 | f[2], 480);
      EXPECT_EQ(f[3] << 8 | f[4], 640);
      ASSERT_EQ(f[5], 3);
      const uint8_t expected[3][2] = {{1, 0x22}, {2, 0x11}, {3, 0x11}};
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(f[6 + 3 * c], expected[c][0]);
        EXPECT_EQ(f[7 + 3 * c], expected[c][1]);
      }
      found_frame = true;
    }
    if (marker == 0xDA) break;
    at += 2 + length;
  }
  EXPECT_TRUE(found_frame);
}

TEST(DemoAssets, FishFramesLieInsideTheirRectanglesInVisibleColours) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.file);
    const Bytes file = read_file(kAssets / kind.file);
    ASSERT_GT(file.size(), 128u + 769u);
    EXPECT_EQ(file[0], 0x0A);
    EXPECT_EQ(file[1], 5);
    EXPECT_EQ(file[3], 8);
    EXPECT_EQ(file[65], 1);
    const int width = le16(file, 8) - le16(file, 4) + 1;
    const int height = le16(file, 10) - le16(file, 6) + 1;
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    const size_t palette_at = file.size() - 768;
    ASSERT_EQ(file[palette_at - 1], 12);
    const uint8_t* palette = &file[palette_at];
    EXPECT_EQ(palette[0] | palette[1] | palette[2], 0) << "index 0 must be black";

    const Bytes pixels = decode_pcx_indices(file, width, height);
    std::vector<int> per_frame(kind.frames.size(), 0);
    int stray = 0, invisible = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint8_t index = pixels[y * width + x];
        if (index == 0) continue;
        const uint8_t* c = &palette[3 * index];
        if (c[0] < 8 && c[1] < 4 && c[2] < 8) ++invisible;
        bool inside = false;
        for (size_t i = 0; i < kind.frames.size(); ++i) {
          const Rect& r = kind.frames[i];
          if (x > r.min_x && x < r.max_x && y > r.min_y && y < r.max_y) {
            ++per_frame[i];
            inside = true;
          }
        }
        if (!inside) ++stray;
      }
    }
    EXPECT_EQ(stray, 0) << "fish pixels on or outside a frame's edge";
    EXPECT_EQ(invisible, 0) << "fish colours that pack to 0 in 5-6-5";
    for (size_t i = 0; i < per_frame.size(); ++i) EXPECT_GT(per_frame[i], 500) << "frame " << i;
  }
}

Bytes fish_pixels(const Kind& kind) {
  const Bytes file = read_file(kAssets / kind.file);
  if (file.size() < 128 + 769) return {};
  return decode_pcx_indices(file, 640, 480);
}

// Sprites are drawn from their lower-left corner; only tail and fins may
// move, so the head of every frame must be the same picture.
TEST(DemoAssets, FishHeadsDoNotMoveBetweenFrames) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.file);
    const Bytes pixels = fish_pixels(kind);
    ASSERT_FALSE(pixels.empty());
    int width = 640, height = 480;
    for (const Rect& r : kind.frames) {
      width = std::min(width, r.max_x - r.min_x + 1);
      height = std::min(height, r.max_y - r.min_y + 1);
    }
    auto at = [&](const Rect& r, int x, int y) {  // y counted up from the bottom row
      return pixels[(r.max_y - y) * 640 + r.min_x + x];
    };
    // The head end: from the snout's column, a tenth of the frame inwards.
    const Rect& first = kind.frames[0];
    int snout = kind.faces_left ? width : -1;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (at(first, x, y) == 0) continue;
        snout = kind.faces_left ? std::min(snout, x) : std::max(snout, x);
      }
    }
    const int head = std::max(width / 10, 12);  // the seahorse is narrow
    const int from = kind.faces_left ? snout : std::max(0, snout - head + 1);
    const int to = kind.faces_left ? std::min(width - 1, snout + head - 1) : snout;
    // Rows of the middle half: fin crests above and below the head may rise.
    int visible = 0, differing = 0;
    for (const Rect& r : kind.frames) {
      for (int y = height / 4; y < height * 3 / 4; ++y) {
        for (int x = from; x <= to; ++x) {
          if (at(first, x, y) != 0) ++visible;
          if (at(r, x, y) != at(first, x, y)) ++differing;
        }
      }
    }
    EXPECT_GT(visible, 0) << "no head in the head end";
    EXPECT_EQ(differing, 0);
  }
}

TEST(DemoAssets, WheelIsAnFlcOfTheCornerSize) {
  const Bytes flc = read_file(kAssets / "WHEEL3.FLC");
  ASSERT_GE(flc.size(), 128u);
  EXPECT_EQ(le16(flc, 0) | le16(flc, 2) << 16, static_cast<int>(flc.size()));
  EXPECT_EQ(le16(flc, 4), 0xAF12);
  const int frames = le16(flc, 6);
  EXPECT_GE(frames, 36);
  EXPECT_LE(frames, 48);
  EXPECT_EQ(le16(flc, 8), 186);
  EXPECT_EQ(le16(flc, 10), 153);
  EXPECT_EQ(le16(flc, 12), 8);
}

TEST(DemoAssets, GeneratorReproducesTheCommittedFiles) {
  const char* build = std::getenv("RASTRIX_BUILD_DIR");
  const fs::path generator = build ? fs::path(build) / "assetgen" : fs::path();
  if (!build || !fs::exists(generator)) GTEST_SKIP() << "assetgen not built";
  // One folder per process: test runs of other build trees may render at the same time.
  const fs::path out = fs::temp_directory_path() / ("rastrix_assetgen_test." + std::to_string(getpid()));
  fs::remove_all(out);
  std::string command = "\"";
  command.append(generator.string()).append("\" \"").append(out.string()).append("\" > /dev/null");
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"AQUARIUM.JPG", "BLUEDAMS.PCX", "BLUETANG.PCX", "BUTTRFLY.PCX", "GUDGEON.PCX",
                           "KILLIFSH.PCX", "SEAHORSE.PCX", "WHEEL3.FLC"}) {
    EXPECT_EQ(read_file(out / name), read_file(kAssets / name)) << name << " differs from a fresh render";
  }
  fs::remove_all(out);
}

}  // namespace
