#include "support/jpeg_writer.h"

#include <cstring>

namespace rx::support {
namespace {

constexpr uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

struct Table {
  uint8_t bits[16] = {};
  std::vector<uint8_t> values;
  uint16_t code[256] = {};
  uint8_t length[256] = {};

  void derive() {
    int code_value = 0, k = 0;
    for (int l = 1; l <= 16; ++l) {
      for (int i = 0; i < bits[l - 1]; ++i, ++k) {
        code[values[k]] = static_cast<uint16_t>(code_value++);
        length[values[k]] = static_cast<uint8_t>(l);
      }
      code_value <<= 1;
    }
  }
};

Table dc_table() {
  Table t;
  t.bits[3] = 12;
  for (int s = 0; s < 12; ++s) t.values.push_back(static_cast<uint8_t>(s));
  t.derive();
  return t;
}

Table ac_table() {
  Table t;
  t.values.push_back(0x00);
  t.values.push_back(0xF0);
  for (int r = 0; r < 16; ++r)
    for (int s = 1; s <= 10; ++s) t.values.push_back(static_cast<uint8_t>(r << 4 | s));
  t.bits[7] = 100;
  t.bits[11] = static_cast<uint8_t>(t.values.size() - 100);
  t.derive();
  return t;
}

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      acc_ = static_cast<uint8_t>(acc_ << 1 | ((value >> i) & 1));
      if (++count_ == 8) emit();
    }
  }
  void flush() {  // pad with ones
    while (count_ != 0) put(1, 1);
  }

 private:
  void emit() {
    out_.push_back(acc_);
    if (acc_ == 0xFF) out_.push_back(0x00);
    acc_ = 0;
    count_ = 0;
  }
  std::vector<uint8_t>& out_;
  uint8_t acc_ = 0;
  int count_ = 0;
};

int magnitude_bits(int v) {
  int a = v < 0 ? -v : v, n = 0;
  while (a) ++n, a >>= 1;
  return n;
}

void put_value(BitWriter& w, int v, int s) {
  if (s == 0) return;
  uint32_t bits = v >= 0 ? static_cast<uint32_t>(v) : static_cast<uint32_t>(v + (1 << s) - 1);
  w.put(bits, s);
}

void put16(std::vector<uint8_t>& o, int v) {
  o.push_back(static_cast<uint8_t>(v >> 8));
  o.push_back(static_cast<uint8_t>(v));
}

void segment(std::vector<uint8_t>& o, uint8_t marker, const std::vector<uint8_t>& body) {
  o.push_back(0xFF);
  o.push_back(marker);
  put16(o, static_cast<int>(body.size()) + 2);
  o.insert(o.end(), body.begin(), body.end());
}

void append_table(std::vector<uint8_t>& body, uint8_t class_id, const Table& t) {
  body.push_back(class_id);
  body.insert(body.end(), t.bits, t.bits + 16);
  body.insert(body.end(), t.values.begin(), t.values.end());
}

}  // namespace

std::vector<uint8_t> write_jpeg(const JpegStream& js, const BlockSource& blocks) {
  std::vector<uint8_t> o = {0xFF, 0xD8};
  if (js.app_bytes > 0) {
    std::vector<uint8_t> body(static_cast<size_t>(js.app_bytes), 0xA5);
    segment(o, 0xE1, body);
  }
  std::vector<uint8_t> q(65, js.quant);
  q[0] = 0;
  std::vector<uint8_t> q1 = q;
  q1[0] = 1;
  if (js.one_dqt) {
    std::vector<uint8_t> body = q;
    body.insert(body.end(), q1.begin(), q1.end());
    segment(o, 0xDB, body);
  } else {
    segment(o, 0xDB, q);
    segment(o, 0xDB, q1);
  }
  std::vector<uint8_t> sof = {8};
  put16(sof, js.height);
  put16(sof, js.width);
  sof.push_back(static_cast<uint8_t>(js.components));
  for (int c = 0; c < js.components; ++c) {
    sof.push_back(js.ids[c]);
    sof.push_back(static_cast<uint8_t>(c == 0 ? js.luma_h << 4 | js.luma_v : js.chroma[c - 1]));
    sof.push_back(static_cast<uint8_t>(c == 0 ? 0 : 1));
  }
  segment(o, 0xC0, sof);
  Table dc = dc_table(), ac = ac_table();
  if (js.one_dht) {
    std::vector<uint8_t> body;
    for (uint8_t id : {0x00, 0x01}) append_table(body, id, dc);
    for (uint8_t id : {0x10, 0x11}) append_table(body, id, ac);
    segment(o, 0xC4, body);
  } else {
    for (uint8_t id : {0x00, 0x01, 0x10, 0x11}) {
      std::vector<uint8_t> body;
      append_table(body, id, id < 0x10 ? dc : ac);
      segment(o, 0xC4, body);
    }
  }
  if (js.restart_interval > 0) {
    std::vector<uint8_t> body;
    put16(body, js.restart_interval);
    segment(o, 0xDD, body);
  }
  std::vector<uint8_t> sos = {static_cast<uint8_t>(js.components)};
  for (int c = 0; c < js.components; ++c) {
    sos.push_back(js.ids[c]);
    sos.push_back(c == 0 ? 0x00 : 0x11);
  }
  sos.insert(sos.end(), {0, 63, 0});
  segment(o, 0xDA, sos);

  BitWriter w(o);
  int mcu_w = js.components == 1 ? 8 : 8 * js.luma_h;
  int mcu_h = js.components == 1 ? 8 : 8 * js.luma_v;
  int mcus_x = (js.width + mcu_w - 1) / mcu_w, mcus_y = (js.height + mcu_h - 1) / mcu_h;
  int predictor[3] = {};
  int restart_left = js.restart_interval, restart_number = 0;
  for (int my = 0; my < mcus_y; ++my) {
    for (int mx = 0; mx < mcus_x; ++mx) {
      if (js.restart_interval > 0 && restart_left == 0) {
        w.flush();
        o.push_back(0xFF);
        o.push_back(static_cast<uint8_t>(0xD0 + (restart_number++ & 7)));
        std::memset(predictor, 0, sizeof predictor);
        restart_left = js.restart_interval;
      }
      for (int c = 0; c < js.components; ++c) {
        int hs = js.components == 1 ? 1 : c == 0 ? js.luma_h : js.chroma[c - 1] >> 4;
        int vs = js.components == 1 ? 1 : c == 0 ? js.luma_v : js.chroma[c - 1] & 0x0F;
        for (int v = 0; v < vs; ++v) {
          for (int h = 0; h < hs; ++h) {
            int16_t coef[64] = {};
            blocks(c, mx * hs + h, my * vs + v, coef);
            int diff = coef[0] - predictor[c];
            predictor[c] = coef[0];
            int s = magnitude_bits(diff);
            w.put(dc.code[s], dc.length[s]);
            put_value(w, diff, s);
            int run = 0;
            for (int k = 1; k < 64; ++k) {
              int value = coef[kZigzag[k]];
              if (value == 0) {
                ++run;
                continue;
              }
              while (run > 15) {
                w.put(ac.code[0xF0], ac.length[0xF0]);
                run -= 16;
              }
              int size = magnitude_bits(value);
              uint8_t rs = static_cast<uint8_t>(run << 4 | size);
              w.put(ac.code[rs], ac.length[rs]);
              put_value(w, value, size);
              run = 0;
            }
            if (run > 0) w.put(ac.code[0x00], ac.length[0x00]);
          }
        }
      }
      --restart_left;
    }
  }
  w.flush();
  if (js.write_eoi) {
    o.push_back(0xFF);
    o.push_back(0xD9);
  }
  return o;
}

size_t scan_data_offset(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 2; i + 3 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i + 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
  return jpeg.size();
}

}  // namespace rx::support
