// Flic writer: chunk builders and a small FLC encoder (see flic_writer.h).
// Layouts follow the published flic format notes: little-endian numbers,
// 128-byte file header, frame chunks holding typed sub-chunks.
#include "writers/flic_writer.h"

#include <algorithm>
#include <cstddef>

namespace rx::support {
namespace {

constexpr int kMaxRun = 127;    // longest run one signed count byte can say
constexpr int kMaxSkip = 255;   // longest skip one byte can say

void put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
void set16(Bytes& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void set32(Bytes& out, size_t at, uint32_t v) {
  set16(out, at, v & 0xFFFF);
  set16(out, at + 2, v >> 16);
}
void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// Byte-run packets of one row: a repeat for runs of 3 or more equal bytes,
// literals otherwise; counts never exceed 127.
void byte_run_row(Bytes& out, const uint8_t* row, int width) {
  out.push_back(0);  // old packet count, ignored by readers
  int x = 0;
  while (x < width) {
    int run = 1;
    while (x + run < width && run < kMaxRun && row[x + run] == row[x]) ++run;
    if (run >= 3 || run == width - x) {
      out.push_back(static_cast<uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    int start = x;
    int count = 0;
    while (x < width && count < kMaxRun) {
      int same = 1;
      while (x + same < width && same < 3 && row[x + same] == row[x]) ++same;
      if (same >= 3) break;
      ++x;
      ++count;
    }
    out.push_back(static_cast<uint8_t>(-count));
    out.insert(out.end(), row + start, row + start + count);
  }
}

}  // namespace

Bytes sub_chunk(uint16_t type, const Bytes& data, int64_t size_override) {
  Bytes out;
  uint32_t size = size_override >= 0
                      ? static_cast<uint32_t>(size_override)
                      : static_cast<uint32_t>(data.size() + RX_FLIC_CHUNK_PREFIX_SIZE);
  put32(out, size);
  put16(out, type);
  append(out, data);
  return out;
}

Bytes frame_chunk(const std::vector<Bytes>& sub_chunks, int count_override) {
  Bytes out;
  put32(out, 0);
  put16(out, RX_FLIC_FRAME_CHUNK);
  put16(out, count_override >= 0 ? static_cast<uint32_t>(count_override)
                                 : static_cast<uint32_t>(sub_chunks.size()));
  out.resize(RX_FLIC_FRAME_HEADER_SIZE, 0);
  for (const Bytes& chunk : sub_chunks) append(out, chunk);
  set32(out, 0, static_cast<uint32_t>(out.size()));
  return out;
}

Bytes prefix_chunk(const Bytes& body) {
  Bytes out;
  put32(out, static_cast<uint32_t>(body.size() + RX_FLIC_CHUNK_PREFIX_SIZE));
  put16(out, RX_FLIC_PREFIX_CHUNK);
  append(out, body);
  return out;
}

Bytes palette_body(const std::vector<PalettePacket>& packets) {
  Bytes out;
  put16(out, static_cast<uint32_t>(packets.size()));
  for (const PalettePacket& packet : packets) {
    out.push_back(packet.skip);
    out.push_back(static_cast<uint8_t>(packet.rgb.size() / 3));  // 256 -> 0
    out.insert(out.end(), packet.rgb.begin(), packet.rgb.end());
  }
  return out;
}

Bytes byte_run_body(const uint8_t* pixels, int width, int height) {
  Bytes out;
  for (int y = 0; y < height; ++y) byte_run_row(out, pixels + static_cast<size_t>(y) * width, width);
  return out;
}

Bytes copy_body(const uint8_t* pixels, int width, int height) {
  return Bytes(pixels, pixels + static_cast<size_t>(width) * height);
}

// Byte-oriented delta: first changed line, line count, then per line
// packets of (skip, count) where a positive count is literal bytes and a
// negative one a repeated byte.
Bytes delta_fli_body(const uint8_t* previous, const uint8_t* next, int width, int height) {
  auto row_changed = [&](int y) {
    return !std::equal(next + static_cast<size_t>(y) * width,
                       next + static_cast<size_t>(y + 1) * width,
                       previous + static_cast<size_t>(y) * width);
  };
  int first = 0;
  while (first < height && !row_changed(first)) ++first;
  int last = height - 1;
  while (last >= first && !row_changed(last)) --last;
  Bytes out;
  put16(out, static_cast<uint32_t>(first < height ? first : 0));
  put16(out, static_cast<uint32_t>(first < height ? last - first + 1 : 0));
  for (int y = first; y <= last; ++y) {
    const uint8_t* old_row = previous + static_cast<size_t>(y) * width;
    const uint8_t* row = next + static_cast<size_t>(y) * width;
    size_t count_at = out.size();
    out.push_back(0);
    int packets = 0;
    int x = 0;
    int column = 0;  // where the reader's column stands
    while (true) {
      while (x < width && row[x] == old_row[x]) ++x;
      if (x >= width) break;
      int skip = x - column;
      while (skip > kMaxSkip) {  // an empty literal packet moves the column
        out.push_back(kMaxSkip);
        out.push_back(0);
        ++packets;
        skip -= kMaxSkip;
        column += kMaxSkip;
      }
      int end = x;
      while (end < width && end - x < kMaxRun && row[end] != old_row[end]) ++end;
      int run = 1;
      while (x + run < end && row[x + run] == row[x]) ++run;
      out.push_back(static_cast<uint8_t>(skip));
      if (run == end - x && run >= 3) {
        out.push_back(static_cast<uint8_t>(-run));
        out.push_back(row[x]);
      } else {
        run = end - x;
        out.push_back(static_cast<uint8_t>(run));
        out.insert(out.end(), row + x, row + end);
      }
      ++packets;
      x += run;
      column = x;
      if (packets >= 255) {  // the packet count is one byte: write the rest in full
        break;
      }
    }
    if (packets >= 255 && x < width) {
      // Rewrite the line as literal packets covering all of it.
      out.resize(count_at + 1);
      packets = 0;
      for (int at = 0; at < width; at += kMaxRun) {
        int run = std::min(kMaxRun, width - at);
        out.push_back(0);
        out.push_back(static_cast<uint8_t>(run));
        out.insert(out.end(), row + at, row + at + run);
        ++packets;
      }
    }
    out[count_at] = static_cast<uint8_t>(packets);
  }
  return out;
}

// Word-oriented delta: pixel pairs. Each line: optional skip word
// (0xC000 | -rows), optional last-pixel word for odd widths, then the
// packet count; packets (skip bytes, signed count of pairs).
Bytes delta_flc_body(const uint8_t* previous, const uint8_t* next, int width, int height) {
  Bytes out;
  put16(out, 0);  // line count, set at the end
  int lines = 0;
  int skipped = 0;
  const int pairs = width / 2;
  const bool odd = (width & 1) != 0;
  for (int y = 0; y < height; ++y) {
    const uint8_t* old_row = previous + static_cast<size_t>(y) * width;
    const uint8_t* row = next + static_cast<size_t>(y) * width;
    if (std::equal(row, row + width, old_row)) {
      ++skipped;
      continue;
    }
    while (skipped > 0) {
      int n = std::min(skipped, 0x3FFF);
      put16(out, static_cast<uint32_t>(0x10000 - n));
      skipped -= n;
    }
    if (odd && row[width - 1] != old_row[width - 1]) put16(out, 0x8000u | row[width - 1]);
    auto pair_changed = [&](int p) {
      return row[2 * p] != old_row[2 * p] || row[2 * p + 1] != old_row[2 * p + 1];
    };
    auto same_pair = [&](int p, int q) {
      return row[2 * p] == row[2 * q] && row[2 * p + 1] == row[2 * q + 1];
    };
    Bytes packets;
    int count = 0;
    int p = 0;
    int column = 0;  // pair index where the reader stands
    while (true) {
      while (p < pairs && !pair_changed(p)) ++p;
      if (p >= pairs) break;
      int skip = 2 * (p - column);
      while (skip > kMaxSkip - 1) {  // even skips keep the column on a pair
        packets.push_back(kMaxSkip - 1);
        packets.push_back(0);
        ++count;
        skip -= kMaxSkip - 1;
        column += (kMaxSkip - 1) / 2;
      }
      int end = p;
      while (end < pairs && end - p < kMaxRun && pair_changed(end)) ++end;
      int run = 1;
      while (p + run < end && same_pair(p + run, p)) ++run;
      packets.push_back(static_cast<uint8_t>(skip));
      if (run == end - p && run >= 2) {
        packets.push_back(static_cast<uint8_t>(-run));
        packets.push_back(row[2 * p]);
        packets.push_back(row[2 * p + 1]);
      } else {
        run = end - p;
        packets.push_back(static_cast<uint8_t>(run));
        packets.insert(packets.end(), row + 2 * p, row + 2 * end);
      }
      ++count;
      p += run;
      column = p;
    }
    put16(out, static_cast<uint32_t>(count));
    append(out, packets);
    ++lines;
  }
  set16(out, 0, static_cast<uint32_t>(lines));
  return out;
}

Bytes flic_file(bool flc, int width, int height, int frames, uint32_t speed,
                const std::vector<Bytes>& chunks) {
  Bytes out(RX_FLIC_HEADER_SIZE, 0);
  set16(out, 4, flc ? RX_FLC_MAGIC : RX_FLI_MAGIC);
  set16(out, 6, static_cast<uint32_t>(frames));
  set16(out, 8, static_cast<uint32_t>(width));
  set16(out, 10, static_cast<uint32_t>(height));
  set16(out, 12, 8);  // depth
  if (flc) {
    set32(out, 16, speed);
  } else {
    set16(out, 16, speed);
  }
  // FLC readers want the offsets of frames 1 and 2.
  size_t offset = RX_FLIC_HEADER_SIZE;
  int frame_number = 0;
  for (const Bytes& chunk : chunks) {
    bool is_frame = chunk.size() >= RX_FLIC_CHUNK_PREFIX_SIZE &&
                    chunk[4] == (RX_FLIC_FRAME_CHUNK & 0xFF) &&
                    chunk[5] == (RX_FLIC_FRAME_CHUNK >> 8);
    if (flc && is_frame && frame_number < 2) set32(out, 80 + 4 * frame_number, static_cast<uint32_t>(offset));
    if (is_frame) ++frame_number;
    offset += chunk.size();
  }
  for (const Bytes& chunk : chunks) append(out, chunk);
  set32(out, 0, static_cast<uint32_t>(out.size()));
  return out;
}

Bytes encode_flc(const std::vector<std::vector<uint8_t>>& frames, int width, int height,
                 const std::vector<uint8_t>& palette, uint32_t speed_ms) {
  std::vector<Bytes> chunks;
  if (frames.empty()) return flic_file(true, width, height, 0, speed_ms, chunks);
  PalettePacket all{0, palette};
  all.rgb.resize(256 * 3, 0);
  chunks.push_back(
      frame_chunk({sub_chunk(RX_FLIC_COLOR_256, palette_body({all})),
                   sub_chunk(RX_FLIC_BYTE_RUN, byte_run_body(frames[0].data(), width, height))}));
  auto delta_frame = [&](const std::vector<uint8_t>& previous, const std::vector<uint8_t>& next) {
    Bytes body = delta_flc_body(previous.data(), next.data(), width, height);
    if (body.size() <= 2) return frame_chunk({});  // nothing changed
    return frame_chunk({sub_chunk(RX_FLIC_DELTA_FLC, body)});
  };
  for (size_t i = 1; i < frames.size(); ++i) chunks.push_back(delta_frame(frames[i - 1], frames[i]));
  chunks.push_back(delta_frame(frames.back(), frames.front()));  // ring frame
  return flic_file(true, width, height, static_cast<int>(frames.size()), speed_ms, chunks);
}

}  // namespace rx::support
