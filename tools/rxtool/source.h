// Where a picture's bytes come from: a regular file the library reads
// itself, or bytes read into memory once (standard input, pipes, devices,
// or --from-memory), handed to the library as the InputBuffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rxtool {

struct Source {
  std::string path;   // "-" is standard input
  bool in_memory = false;
  std::vector<uint8_t> data;  // the whole input when in_memory
  int64_t size = 0;           // bytes in the file or in data

  // The name used in messages.
  std::string label() const { return path == "-" ? "standard input" : path; }
  // Installs data as the InputBuffer when in memory; the flag the library
  // calls then need (RX_SHOW_FROM_MEMORY or 0).
  int32_t use() const;
  // The first bytes (up to count), for recognising the format.
  std::vector<uint8_t> head(size_t count) const;
  // The whole input: data itself, or the file read now (empty when it
  // cannot be read).
  std::vector<uint8_t> bytes() const;
};

// Opens path for reading. Regular files are left to the library unless
// from_memory; anything else is read into memory once. False with a
// message ("cannot open: No such file or directory", "is a directory", ...)
// when that fails.
bool load_source(const std::string& path, bool from_memory, Source& source, std::string& error);

}  // namespace rxtool
