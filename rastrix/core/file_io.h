// File reading for the picture and flic readers, over POSIX descriptors.
#pragma once

#include <cstdint>

namespace rx {

// Opens an existing file for reading; -1 when it cannot be opened.
int file_open(const char* name);
// Reads up to size bytes; the count read (0 at the end or on an error).
int32_t file_read(int fd, void* buffer, int32_t size);
// Moves the position (whence as lseek); the new position or -1.
int64_t file_seek(int fd, int64_t offset, int whence);
void file_close(int fd);

// Closes its descriptor (if any) when the reader returns, on every path.
class ScopedFile {
 public:
  explicit ScopedFile(int fd) : fd_(fd) {}
  ~ScopedFile() { file_close(fd_); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace rx
