#include "source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "rastrix.h"

namespace rxtool {

namespace {

constexpr size_t kReadPart = 1 << 16;
// The InputBuffer's size is a 32-bit count.
constexpr size_t kMaxMemoryInput = INT32_MAX;

// Reads the descriptor to its end; false with errno on a read error or an
// input too large for the library's memory source. A regular file's size
// is reserved at once, so its bytes are copied only by the read itself.
bool read_all(int fd, std::vector<uint8_t>& data) {
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.reserve(std::min(static_cast<size_t>(st.st_size), kMaxMemoryInput) + kReadPart);
  for (;;) {
    size_t at = data.size();
    if (at >= kMaxMemoryInput) {
      errno = EFBIG;
      return false;
    }
    data.resize(at + kReadPart);
    ssize_t got = ::read(fd, data.data() + at, kReadPart);
    if (got < 0 && errno == EINTR) got = 0;
    if (got < 0) return false;
    data.resize(at + static_cast<size_t>(got));
    if (got == 0) {
      if (data.capacity() - data.size() > kReadPart) data.shrink_to_fit();
      return true;
    }
  }
}

std::string system_error(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

int32_t Source::use() const {
  if (!in_memory) return 0;
  rx_set_input_buffer(const_cast<uint8_t*>(data.data()), static_cast<int32_t>(data.size()));
  return RX_SHOW_FROM_MEMORY;
}

std::vector<uint8_t> Source::head(size_t count) const {
  if (in_memory) return {data.begin(), data.begin() + static_cast<ptrdiff_t>(std::min(count, data.size()))};
  std::vector<uint8_t> out(count);
  int fd = ::open(path.c_str(), O_RDONLY);
  ssize_t got = fd < 0 ? 0 : ::read(fd, out.data(), count);
  if (fd >= 0) ::close(fd);
  out.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return out;
}

std::vector<uint8_t> Source::bytes() const {
  if (in_memory) return data;
  std::vector<uint8_t> out;
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return out;
  if (!read_all(fd, out)) out.clear();
  ::close(fd);
  return out;
}

bool load_source(const std::string& path, bool from_memory, Source& source, std::string& error) {
  source = Source{};
  source.path = path;
  int fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    error = system_error("cannot open");
    return false;
  }
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (ok && S_ISDIR(st.st_mode)) {
    error = "cannot read: it is a directory";
    ok = false;
  } else if (!ok) {
    error = system_error("cannot read");
  } else if (S_ISREG(st.st_mode) && !from_memory && path != "-") {
    source.size = st.st_size;
  } else {
    source.in_memory = true;
    ok = read_all(fd, source.data);
    if (!ok) error = system_error("cannot read");
    source.size = static_cast<int64_t>(source.data.size());
  }
  if (fd != STDIN_FILENO) ::close(fd);
  return ok;
}

}  // namespace rxtool
