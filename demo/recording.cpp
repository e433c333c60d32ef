// Frames are spooled as 15-bit colour keys while the counts of every colour
// build up; at the end one palette is cut from them (median cut) and each
// frame is written with only the part that changed, the rest transparent.
#include "recording.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "rastrix.h"
#include "tank.h"

namespace fishtank {

namespace {

constexpr int kKeyCount = 1 << 15;
constexpr int kPaletteColors = 255;  // index 255 is transparent
constexpr int kTransparent = 255;
constexpr int64_t kHundredths = 100;

uint16_t key_of(const uint8_t* rgb) {
  return static_cast<uint16_t>((rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | rgb[2] >> 3);
}

bool ends_with_gif(const std::string& s) {
  if (s.size() < 4) return false;
  std::string t = s.substr(s.size() - 4);
  for (char& c : t) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return t == ".gif";
}

// A box of colour keys for the median cut.
struct Box {
  std::vector<uint16_t> keys;
  uint64_t weight = 0;
  int axis = 0, spread = 0;
};

int channel(uint16_t key, int axis) { return (key >> (10 - 5 * axis)) & 31; }

void measure(Box& b, const std::vector<uint32_t>& histogram) {
  int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
  b.weight = 0;
  for (uint16_t k : b.keys) {
    b.weight += histogram[k];
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], channel(k, a));
      hi[a] = std::max(hi[a], channel(k, a));
    }
  }
  b.spread = -1;
  for (int a = 0; a < 3; ++a)
    if (hi[a] - lo[a] > b.spread) {
      b.spread = hi[a] - lo[a];
      b.axis = a;
    }
}

std::vector<std::array<uint8_t, 3>> median_cut(const std::vector<uint32_t>& histogram,
                                               const std::vector<uint64_t>& sums) {
  std::vector<Box> boxes(1);
  for (int k = 0; k < kKeyCount; ++k)
    if (histogram[k]) boxes[0].keys.push_back(static_cast<uint16_t>(k));
  measure(boxes[0], histogram);
  while (static_cast<int>(boxes.size()) < kPaletteColors) {
    // Split the heaviest box that still has two colours.
    Box* pick = nullptr;
    for (Box& b : boxes)
      if (b.keys.size() > 1 && b.spread > 0 && (!pick || b.weight * (b.spread + 1) >
                                                             pick->weight * (pick->spread + 1)))
        pick = &b;
    if (pick == nullptr) break;
    int axis = pick->axis;
    std::sort(pick->keys.begin(), pick->keys.end(), [axis](uint16_t a, uint16_t b) {
      return channel(a, axis) < channel(b, axis);
    });
    uint64_t half = pick->weight / 2, run = 0;
    size_t cut = 1;
    for (; cut < pick->keys.size() - 1; ++cut) {
      run += histogram[pick->keys[cut - 1]];
      if (run >= half) break;
    }
    Box upper;
    upper.keys.assign(pick->keys.begin() + static_cast<ptrdiff_t>(cut), pick->keys.end());
    pick->keys.resize(cut);
    measure(*pick, histogram);
    measure(upper, histogram);
    boxes.push_back(std::move(upper));
  }
  std::vector<std::array<uint8_t, 3>> palette;
  for (const Box& b : boxes) {
    uint64_t s[3] = {0, 0, 0};
    for (uint16_t k : b.keys)
      for (int a = 0; a < 3; ++a) s[a] += sums[3 * k + a];
    uint64_t w = std::max<uint64_t>(b.weight, 1);
    palette.push_back({static_cast<uint8_t>(s[0] / w), static_cast<uint8_t>(s[1] / w),
                       static_cast<uint8_t>(s[2] / w)});
  }
  return palette;
}

// Nearest palette entry of every key.
std::vector<uint8_t> key_table(const std::vector<std::array<uint8_t, 3>>& palette) {
  std::vector<uint8_t> table(kKeyCount);
  for (int k = 0; k < kKeyCount; ++k) {
    int c[3];
    for (int a = 0; a < 3; ++a) c[a] = channel(static_cast<uint16_t>(k), a) * 255 / 31;
    int best = 0, best_d = INT32_MAX;
    for (size_t i = 0; i < palette.size(); ++i) {
      int d = 0;
      for (int a = 0; a < 3; ++a) d += (c[a] - palette[i][a]) * (c[a] - palette[i][a]);
      if (d < best_d) {
        best_d = d;
        best = static_cast<int>(i);
      }
    }
    table[k] = static_cast<uint8_t>(best);
  }
  return table;
}

// Delay of frame f in hundredths at rate frames a second: the running sum
// stays on the true times, so a rate that is no whole number of hundredths
// keeps its speed over the run.
int frame_delay(int64_t f, int32_t rate) {
  return static_cast<int>(((f + 1) * kHundredths + rate / 2) / rate -
                          (f * kHundredths + rate / 2) / rate);
}

// true when path can be written; a file made for the test is removed.
bool writable(const std::string& path, std::string* error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd >= 0) {
    ::close(fd);
    ::unlink(path.c_str());
    return true;
  }
  if (errno == EEXIST) fd = ::open(path.c_str(), O_WRONLY);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  *error = "cannot write " + path + ": " + std::strerror(errno);
  return false;
}

}  // namespace

Recorder::~Recorder() {
  if (spool_) std::fclose(spool_);
}

bool Recorder::open(const std::string& path, std::string* error, int32_t per_second) {
  path_ = path;
  rate_ = per_second > 0 ? per_second : kRecordRate;
  if (!writable(path, error)) return false;
  gif_ = ends_with_gif(path);
  if (gif_) {
    spool_ = std::tmpfile();
    if (spool_ == nullptr) {
      *error = "cannot open a scratch file for the recording";
      return false;
    }
    histogram_.assign(kKeyCount, 0);
    sums_.assign(3 * kKeyCount, 0);
  }
  return true;
}

void Recorder::add_frame() {
  // The tank's screen; a screen of another size has no pixel there.
  width_ = kScreenWidth;
  height_ = kScreenHeight;
  size_t pixels = static_cast<size_t>(width_) * height_;
  rgb_.resize(3 * pixels);
  for (int32_t y = 0; y < height_; ++y)
    for (int32_t x = 0; x < width_; ++x)
      rx_screen_pixel(x, y, &rgb_[3 * (static_cast<size_t>(y) * width_ + x)]);
  ++frames_;
  if (!gif_) return;
  keys_.resize(pixels);
  for (size_t i = 0; i < pixels; ++i) {
    uint16_t k = key_of(&rgb_[3 * i]);
    keys_[i] = k;
    ++histogram_[k];
    for (int a = 0; a < 3; ++a) sums_[3 * k + a] += rgb_[3 * i + a];
  }
  std::fwrite(keys_.data(), 2, pixels, spool_);
}

bool Recorder::finish(std::string* error) {
  if (frames_ == 0) {
    *error = "no frame was shown, nothing recorded in " + path_;
    return false;
  }
  return gif_ ? finish_gif(error) : finish_png(error);
}

bool Recorder::finish_png(std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width_);
  image.height = static_cast<png_uint_32>(height_);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path_.c_str(), 0, rgb_.data(), 0, nullptr)) {
    *error = "cannot write " + path_ + ": " + image.message;
    return false;
  }
  return true;
}

bool Recorder::finish_gif(std::string* error) {
  std::vector<std::array<uint8_t, 3>> palette = median_cut(histogram_, sums_);
  std::vector<uint8_t> table = key_table(palette);
  GifColorType colors[256] = {};
  for (size_t i = 0; i < palette.size(); ++i)
    colors[i] = {palette[i][0], palette[i][1], palette[i][2]};

  // Opened here so that the file gets the usual permissions.
  int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  int err = 0;
  GifFileType* g = fd >= 0 ? EGifOpenFileHandle(fd, &err) : nullptr;
  if (g == nullptr) {
    if (fd >= 0) ::close(fd);
    *error = "cannot write " + path_;
    return false;
  }
  EGifSetGifVersion(g, true);
  ColorMapObject* map = GifMakeMapObject(256, colors);
  bool ok = map && EGifPutScreenDesc(g, width_, height_, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  // Loop for ever (application extension of the usual browsers' form).
  static const uint8_t kLoopName[] = "NETSCAPE2.0";
  static const uint8_t kLoopForever[] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(g, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(g, 11, kLoopName) == GIF_OK &&
       EGifPutExtensionBlock(g, 3, kLoopForever) == GIF_OK &&
       EGifPutExtensionTrailer(g) == GIF_OK;

  size_t pixels = static_cast<size_t>(width_) * height_;
  std::vector<uint8_t> previous(pixels, 0), current(pixels), rect;
  std::rewind(spool_);
  for (int64_t f = 0; ok && f < frames_; ++f) {
    if (std::fread(keys_.data(), 2, pixels, spool_) != pixels) {
      ok = false;
      break;
    }
    for (size_t i = 0; i < pixels; ++i) current[i] = table[keys_[i]];
    // The changed rectangle; the first frame is whole.
    int x0 = 0, y0 = 0, x1 = width_ - 1, y1 = height_ - 1;
    if (f > 0) {
      x0 = width_, y0 = height_, x1 = -1, y1 = -1;
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
          size_t i = static_cast<size_t>(y) * width_ + x;
          if (current[i] == previous[i]) continue;
          x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
      if (x1 < 0) x0 = y0 = x1 = y1 = 0;  // nothing changed: one transparent pixel
    }
    GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, frame_delay(f, rate_), f > 0 ? kTransparent : NO_TRANSPARENT_COLOR};
    GifByteType ext[4];
    size_t ext_len = EGifGCBToExtension(&gcb, ext);
    ok = EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(ext_len), ext) == GIF_OK &&
         EGifPutImageDesc(g, x0, y0, x1 - x0 + 1, y1 - y0 + 1, false, nullptr) == GIF_OK;
    rect.resize(static_cast<size_t>(x1 - x0 + 1));
    for (int y = y0; ok && y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        size_t i = static_cast<size_t>(y) * width_ + x;
        rect[static_cast<size_t>(x - x0)] =
            f > 0 && current[i] == previous[i] ? kTransparent : current[i];
      }
      ok = EGifPutLine(g, rect.data(), static_cast<int>(rect.size())) == GIF_OK;
    }
    previous.swap(current);
  }
  int close_err = 0;
  if (EGifCloseFile(g, &close_err) != GIF_OK) ok = false;
  if (!ok) *error = "cannot write " + path_;
  return ok;
}

}  // namespace fishtank
