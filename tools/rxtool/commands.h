// The steps rxtool's commands share: messages and exit status, starting the
// library, opening and checking an input, and drawing a picture into a
// buffer of its own.
#pragma once

#include <cstdint>
#include <string>

#include "formats.h"
#include "options.h"
#include "rastrix.h"
#include "source.h"

namespace rxtool {

enum Exit { kSuccess = 0, kUsage = 1, kRefused = 2, kOutputFailed = 3, kNoWindow = 4 };

int usage_error(const std::string& what);
// Every refusal names the input and says why; exit 2.
int refused(const Source& source, const std::string& why);
int output_failed(const std::string& path, const std::string& why);

// The library on a small headless screen, buffers of depth bits.
void start_library(int32_t depth);

// Opens the input and recognises its format; false with the message given.
bool open_input(const std::string& path, bool from_memory, Source& source, const Format*& format,
                int& status);

std::string pixels_text(int64_t w, int64_t h);
// The limit on pixels: false with the message when w x h is above it.
bool within_limits(int64_t w, int64_t h, const Options& o, const char* what, std::string& why);
// Makes and selects a buffer; false with the library's message.
bool make_buffer(int64_t w, int64_t h, std::string& why);
int32_t show_flags(const Options& o);

// A picture checked for drawing: where its bytes are, its format, its area
// and the buffer it is drawn into (reaching to the picture's far corner,
// or --size).
struct Picture {
  Source source;
  const Format* format = nullptr;
  Area area;
  int64_t buffer_width = 0, buffer_height = 0;
};

// Opens the picture of o.files[0] and checks everything that can be known
// before a buffer is made; kSuccess, or the exit status with the message
// printed. The library is started.
int prepare_picture(const Options& o, Picture& picture);
// Opens the flic of o.files[0] and checks its frame size against the
// limits; kSuccess, or the exit status with the message printed (command
// names the command that shows pictures instead). The library is started.
int prepare_flic(const Options& o, const char* command, Source& source, Area& area);
// Makes the picture's buffer and shows the picture into it (placed by
// --at); kSuccess or the exit status with the message printed.
int draw_picture(const Options& o, const Picture& picture);

}  // namespace rxtool
