// The fish-kind table and the loading of the scene. Every result is looked
// at: a missing or damaged picture stops the program with its name rather
// than animating sprites of undefined size.
#include "scene.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "school.h"
#include "tank.h"

namespace fishtank {

namespace {

// Rectangles: min x, max x, min y, max y (inclusive) in the 640 x 480
// picture. The sea horse has three frames; its fourth is empty.
const FishKind kKindTable[kKindCount] = {
    {"BLUEDAMS.PCX", kTowardsLeft, 4, 4,
     {{79, 232, 218, 281}, {270, 423, 219, 281}, {457, 610, 219, 281}, {73, 226, 334, 396}}},
    {"BLUETANG.PCX", kTowardsRight, 4, 4,
     {{492, 635, 200, 275}, {325, 468, 200, 275}, {165, 308, 200, 275}, {1, 144, 199, 274}}},
    {"BUTTRFLY.PCX", kTowardsRight, 4, 4,
     {{244, 397, 191, 286}, {41, 194, 191, 286}, {41, 194, 337, 433}, {244, 397, 338, 433}}},
    {"GUDGEON.PCX", kTowardsRight, 4, 4,
     {{23, 203, 198, 280}, {231, 411, 195, 280}, {438, 618, 195, 280}, {23, 203, 340, 425}}},
    {"KILLIFSH.PCX", kTowardsRight, 4, 4,
     {{133, 285, 153, 205}, {350, 502, 153, 205}, {136, 288, 273, 324}, {350, 502, 272, 324}}},
    {"SEAHORSE.PCX", kTowardsLeft, 3, 4,
     {{388, 435, 205, 293}, {295, 342, 205, 293}, {199, 246, 205, 293}, {0, 0, 0, 0}}},
};

std::string failure(const std::string& path, const char* reason) {
  return "Cannot load " + path + ": " + reason;
}

// A library call that failed on the file: the library's own words for it.
std::string failure(const std::string& path, int32_t operation, int32_t result) {
  return "Cannot load " + path + ": " + rx_result_message(operation, result) + " (result " +
         std::to_string(result) + ").";
}

std::string load_photo() {
  Tank& t = tank();
  std::string path = asset_path(kPhotoFile);
  JpegInfo info{};
  int32_t r = rx_jpeg_header(path.c_str(), &info);
  if (r != RX_OK) return failure(path, RX_OP_JPEG_HEADER, r);
  int32_t size = rx_jpeg_buffer_size(&info);
  if (size <= 0) return failure(path, "the file is not a baseline JPEG picture.");
  std::vector<uint8_t> decode_memory(static_cast<size_t>(size));
  rx_set_decode_buffer(decode_memory.data(), size);
  rx_buffer_select(t.background);
  r = rx_show_jpeg(path.c_str(), 0);
  // The memory goes away with this function: the library must not keep it.
  rx_set_decode_buffer(nullptr, 0);
  return r == RX_OK ? std::string() : failure(path, RX_OP_SHOW_JPEG, r);
}

std::string cut_sprites(FishKind& kind) {
  std::string path = asset_path(kind.picture);
  int32_t r = rx_show_pcx(path.c_str(), 0);
  if (r != RX_OK) return failure(path, RX_OP_SHOW_PCX, r);
  for (int i = 0; i < kind.frame_count; ++i) {
    const FrameRect& f = kind.frames[i];
    kind.width[i] = f.max_x - f.min_x + 1;
    kind.height[i] = f.max_y - f.min_y + 1;
    kind.block[i].assign(rx_block_size(kind.width[i], kind.height[i]), 0);
    rx_move_to(f.min_x, f.max_y);
    r = rx_capture_block(kind.block[i].data(), kind.width[i], kind.height[i]);
    if (r != RX_OK) return failure(path, RX_OP_CAPTURE_BLOCK, r);
  }
  return {};
}

bool read_whole_file(const std::string& path, std::vector<uint8_t>& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long length = ok ? std::ftell(f) : -1;
  ok = ok && length > 0 && length <= INT32_MAX && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    out.resize(static_cast<size_t>(length));
    ok = std::fread(out.data(), 1, out.size(), f) == out.size();
  }
  std::fclose(f);
  return ok;
}

std::string load_wheel() {
  Tank& t = tank();
  std::string path = asset_path(kWheelFile);
  int32_t r = rx_flic_open(path.c_str(), &t.wheel_flic);
  if (r != RX_OK) return failure(path, RX_OP_FLIC_OPEN, r);
  rx_flic_close(&t.wheel_flic);
  if (!read_whole_file(path, t.wheel_image)) return failure(path, "the file cannot be read.");
  rx_set_input_buffer(t.wheel_image.data(), static_cast<int32_t>(t.wheel_image.size()));
  rx_buffer_select(t.wheel);
  int32_t played = rx_flic_play(&t.wheel_flic, 1, kWheelPlayFlags);
  rx_buffer_release();
  if (played < 1) return failure(path, RX_OP_FLIC_PLAY, played);
  return {};
}

}  // namespace

Tank& tank() {
  static Tank t = [] {
    Tank fresh;
    for (int k = 0; k < kKindCount; ++k) fresh.kinds[k] = kKindTable[k];
    return fresh;
  }();
  return t;
}

void reset_tank() {
  Tank& t = tank();
  std::string assets = t.assets;
  t = Tank{};
  t.assets = assets;
  for (int k = 0; k < kKindCount; ++k) t.kinds[k] = kKindTable[k];
}

std::string asset_path(const char* name) {
  const std::string& dir = tank().assets;
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string load_scene() {
  Tank& t = tank();
  if (std::string e = load_photo(); !e.empty()) return e;
  rx_buffer_select(t.frame);
  for (FishKind& kind : t.kinds)
    if (std::string e = cut_sprites(kind); !e.empty()) return e;
  build_school();
  return load_wheel();
}

}  // namespace fishtank
