// Small baseline JPEG writer for test streams: it takes quantised
// coefficients as they are (no forward DCT), so a test knows every sample
// the decoder must produce. Its Huffman tables are made here: DC symbols
// 0..11 with 4-bit codes, AC symbols with 8-bit codes for the first 100
// and 12-bit codes for the rest, so both short and long codes occur.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace rx::support {

struct JpegStream {
  int width = 16;
  int height = 16;
  int components = 3;  // 1 or 3
  int luma_h = 1, luma_v = 1;
  uint8_t chroma[2] = {0x11, 0x11};  // Cb, Cr sampling: H << 4 | V
  uint8_t ids[3] = {1, 2, 3};
  int restart_interval = 0;  // in MCUs; RSTn markers are written
  bool one_dht = true;       // all four tables in one DHT segment
  bool one_dqt = true;       // both quantisation tables in one DQT segment
  uint8_t quant = 1;         // every quantisation entry
  int app_bytes = 0;         // an APP1 segment of this many body bytes first
  bool write_eoi = true;
};

// Quantised coefficients of one block, natural order; component index
// (0 luma), block column and row within the component.
using BlockSource = std::function<void(int component, int bx, int by, int16_t coefficients[64])>;

std::vector<uint8_t> write_jpeg(const JpegStream& stream, const BlockSource& blocks);

// Offset of the first entropy-coded byte (after the SOS segment).
size_t scan_data_offset(const std::vector<uint8_t>& jpeg);

}  // namespace rx::support
