// Recording what reaches the screen: an animated GIF of every frame, or a
// PNG of the last one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fishtank {

// Frames a second of a recording when no rate is asked for: GIF delays
// are whole hundredths, and 2 is the shortest every viewer honours.
inline constexpr int32_t kRecordRate = 50;

class Recorder {
 public:
  ~Recorder();
  // Checks that path can be written (without leaving a file behind) and
  // readies the recording of per_second frames a second; false with
  // *error when it cannot be written or no scratch file opens.
  bool open(const std::string& path, std::string* error, int32_t per_second = kRecordRate);
  // Takes the screen as it is now.
  void add_frame();
  // Writes the file; false with *error when nothing was recorded or the
  // file cannot be written.
  bool finish(std::string* error);
  int64_t frames() const { return frames_; }

 private:
  bool finish_gif(std::string* error);
  bool finish_png(std::string* error);

  std::string path_;
  bool gif_ = false;
  int32_t width_ = 0, height_ = 0;
  int64_t frames_ = 0;
  int32_t rate_ = kRecordRate;
  std::vector<uint8_t> rgb_;           // the last frame, 3 bytes a pixel
  std::vector<uint32_t> histogram_;    // 5-5-5 colour counts over all frames
  std::vector<uint64_t> sums_;         // their full-scale red, green, blue sums
  std::vector<uint16_t> keys_;         // one frame as 5-5-5 keys
  std::FILE* spool_ = nullptr;         // frames as keys until the palette is known
};

}  // namespace fishtank
