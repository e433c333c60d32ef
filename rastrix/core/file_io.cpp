#include "core/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace rx {

int file_open(const char* name) {
  if (name == nullptr) return -1;
  int fd;
  do {
    fd = ::open(name, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int32_t file_read(int fd, void* buffer, int32_t size) {
  if (fd < 0 || buffer == nullptr || size <= 0) return 0;
  int32_t total = 0;
  auto* p = static_cast<uint8_t*>(buffer);
  while (total < size) {
    ssize_t n = ::read(fd, p + total, static_cast<size_t>(size - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<int32_t>(n);
  }
  return total;
}

int64_t file_seek(int fd, int64_t offset, int whence) {
  if (fd < 0) return -1;
  return ::lseek(fd, static_cast<off_t>(offset), whence);
}

void file_close(int fd) {
  if (fd >= 0) ::close(fd);
}

}  // namespace rx
