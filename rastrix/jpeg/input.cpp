#include "jpeg/input.h"

#include <cstring>
#include <unistd.h>

#include "core/file_io.h"

namespace rx::jpeg {

Source make_source(uint8_t* buffer, int32_t size, int fd) {
  Source s{};
  s.buffer = buffer;
  s.size = buffer != nullptr && size > 0 ? size : 0;
  s.fd = fd;
  s.pos = buffer;
  s.end = fd < 0 ? buffer + s.size : buffer;  // file mode starts empty
  return s;
}

bool Source::refill() {
  // In memory mode the installed size is the whole file: its end is the
  // end of the input, not a reason to start over.
  if (fd < 0) return false;
  int32_t n = file_read(fd, buffer, size);
  if (n <= 0) return false;
  pos = buffer;
  end = buffer + n;
  return true;
}

bool Source::read(uint8_t* into, int32_t count) {
  while (count > 0) {
    if (pos == end && !refill()) return false;
    int32_t n = static_cast<int32_t>(end - pos);
    if (n > count) n = count;
    std::memcpy(into, pos, static_cast<size_t>(n));
    pos += n, into += n, count -= n;
  }
  return true;
}

bool Source::skip(int32_t count) {
  int32_t held = static_cast<int32_t>(end - pos);
  if (seeks && fd >= 0 && count > held && file_seek(fd, count - held, SEEK_CUR) >= 0) {
    pos = end;  // a seek past the end shows as the end at the next read
    return true;
  }
  while (count > 0) {
    if (pos == end && !refill()) return false;
    int32_t n = static_cast<int32_t>(end - pos);
    if (n > count) n = count;
    pos += n, count -= n;
  }
  return true;
}

}  // namespace rx::jpeg
