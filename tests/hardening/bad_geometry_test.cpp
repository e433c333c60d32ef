// Rectangles, positions and sizes that leave the buffers, run negative,
// reach INT_MIN / INT_MAX or overflow 32 bits.
#include "hardening/misuse_table.h"

namespace rx::hardening {
namespace {

// Buffer 0 is active: asked for 61 x 47, so its stored width is 64.
// Buffer 1 is a 32 x 32 buffer of the same depth.
class BadGeometry : public MisuseTest {
 protected:
  void arrange() override {
    rx_set_buffer_depth(bits_);
    rx_buffer_create(61, 47);
    rx_buffer_create(32, 32);
    rx_buffer_select(0);
  }
  bool intact() const override {
    const LibraryState& s = state();
    return s.active_handle == 0 && s.active_width == 64 && s.active_height == 47;
  }
  void run_at(std::initializer_list<int32_t> depths, std::span<const MisuseRow> rows) {
    for (int32_t bits : depths) {
      SCOPED_TRACE(::testing::Message() << bits << "-bit buffers");
      bits_ = bits;
      run(rows);
    }
  }
  int32_t bits_ = 16;
};

int64_t copy(int32_t min_x, int32_t max_x, int32_t min_y, int32_t max_y, int32_t x, int32_t y,
             int32_t to = 1) {
  return rx_buffer_copy(min_x, max_x, min_y, max_y, x, y, 0, to);
}

// A PCX picture of 1 x 1 whose header claims other extents.
int64_t pcx_claiming(uint16_t max_x, uint16_t max_y, uint16_t bytes_per_line) {
  support::PcxPicture p;
  p.width = p.height = 1;
  p.pixels = {1};
  Bytes file = support::encode_pcx(p);
  auto put16 = [&file](size_t at, uint16_t v) {
    file[at] = static_cast<uint8_t>(v);
    file[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  put16(8, max_x);
  put16(10, max_y);
  put16(66, bytes_per_line);
  install(file);
  return rx_show_pcx(nullptr, RX_SHOW_FROM_MEMORY);
}

// The sample JPEG with its frame claiming 65535 x 65535, decoded through a
// strip memory of the given size (0: the built-in one).
int64_t jpeg_claiming_65535(int32_t decode_size) {
  Bytes file = samples().jpeg;
  for (size_t i = 0; i + 8 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == 0xC0) {
      file[i + 5] = file[i + 6] = file[i + 7] = file[i + 8] = 0xFF;
      break;
    }
  }
  Bytes strips(static_cast<size_t>(std::max(decode_size, 1)));
  rx_set_decode_buffer(strips.data(), decode_size);
  install(file);
  const int32_t r = rx_show_jpeg(nullptr, RX_SHOW_FROM_MEMORY);
  rx_set_decode_buffer(nullptr, 0);
  return r;
}

// The sample flic played with a context that claims another frame size.
int64_t flic_claiming(uint16_t width, uint16_t height) {
  install(samples().flic);
  FlicContext c = memory_flic();
  c.width = width;
  c.height = height;
  return rx_flic_play(&c, 1, RX_SHOW_FROM_MEMORY | RX_FLIC_NO_DELAY);
}

// Every depth gives the same results for these.
constexpr MisuseRow kEveryDepth[] = {
    {"create 0 wide", []() -> int64_t { return rx_buffer_create(0, 10); }, RX_ERR_ARGUMENT},
    {"create -1 high", []() -> int64_t { return rx_buffer_create(10, -1); }, RX_ERR_ARGUMENT},
    {"create 16385 wide", []() -> int64_t { return rx_buffer_create(16385, 1); }, RX_ERR_ARGUMENT},
    {"create 16385 high", []() -> int64_t { return rx_buffer_create(1, 16385); }, RX_ERR_ARGUMENT},
    {"create 65536 x 65536", []() -> int64_t { return rx_buffer_create(65536, 65536); },
     RX_ERR_ARGUMENT},
    {"create INT_MAX x INT_MAX", []() -> int64_t { return rx_buffer_create(INT_MAX, INT_MAX); },
     RX_ERR_ARGUMENT},
    {"create INT_MIN x INT_MIN", []() -> int64_t { return rx_buffer_create(INT_MIN, INT_MIN); },
     RX_ERR_ARGUMENT},
    {"create 16384 x 1", []() -> int64_t { return rx_buffer_create(16384, 1); }, 2},
    {"copy the whole buffer", []() -> int64_t { return copy(0, 63, 0, 46, 0, 31); }, 0},
    {"copy from outside on every side", []() -> int64_t { return copy(-10, 100, -10, 100, 0, 47); },
     0},
    {"copy extremes",
     []() -> int64_t { return copy(INT_MIN, INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MAX); }, 0},
    {"copy max below min", []() -> int64_t { return copy(9, 0, 9, 0, 0, 9); }, 0},
    {"copy to INT_MAX", []() -> int64_t { return copy(0, 9, 0, 9, INT_MAX, INT_MAX); }, 0},
    {"copy to INT_MIN", []() -> int64_t { return copy(0, 9, 0, 9, INT_MIN, INT_MIN); }, 0},
    {"copy partly left and above", []() -> int64_t { return copy(0, 20, 0, 20, -15, 5); }, 0},
    {"copy overlapping within one buffer",
     []() -> int64_t { return copy(0, 60, 0, 46, 5, 40, 0); }, 0},
    {"copy overlapping, moved up and left",
     []() -> int64_t { return copy(3, 63, 3, 46, 0, 40, 0); }, 0},
    {"paste extremes",
     []() -> int64_t { return rx_buffer_paste(INT_MIN, INT_MAX, INT_MIN, INT_MAX, 0, 0); }, 0},
    {"paste to INT_MAX", []() -> int64_t { return rx_buffer_paste(0, 60, 0, 46, INT_MAX, INT_MAX); },
     0},
    {"paste to INT_MIN", []() -> int64_t { return rx_buffer_paste(0, 60, 0, 46, INT_MIN, INT_MIN); },
     0},
    {"paste off the screen's corner",
     []() -> int64_t { return rx_buffer_paste(-100, 1000, -100, 1000, 600, 470); }, 0},
    {"paste max below min", []() -> int64_t { return rx_buffer_paste(9, 0, 9, 0, 0, 9); }, 0},
    {"draw at INT_MIN", []() -> int64_t { return draw_at(INT_MIN, INT_MIN, 10, 10, false); }, 0},
    {"draw at INT_MAX", []() -> int64_t { return draw_at(INT_MAX, INT_MAX, 10, 10, false); }, 0},
    {"draw mirrored at INT_MIN, INT_MAX",
     []() -> int64_t { return draw_at(INT_MIN, INT_MAX, 10, 10, true); }, 0},
    {"draw mirrored at INT_MAX, INT_MIN",
     []() -> int64_t { return draw_at(INT_MAX, INT_MIN, 10, 10, true); }, 0},
    {"draw over the left edge", []() -> int64_t { return draw_at(-5, 10, 10, 10, false); }, 0},
    {"draw mirrored over the right and bottom edges",
     []() -> int64_t { return draw_at(58, 50, 10, 10, true); }, 0},
    {"draw over the top edge", []() -> int64_t { return draw_at(3, 4, 10, 10, false); }, 0},
    {"draw just outside the corner", []() -> int64_t { return draw_at(64, 47, 4, 4, false); }, 0},
    {"draw 0 x 0", []() -> int64_t { return draw_at(0, 10, 0, 0, false); }, 0},
    {"draw negative size", []() -> int64_t { return draw_at(0, 10, -4, 4, true); }, 0},
    {"draw INT_MIN high", []() -> int64_t { return draw_at(0, 10, 4, INT_MIN, false); }, 0},
    {"draw INT_MAX x INT_MAX far away",
     []() -> int64_t { return draw_at(INT_MAX, INT_MAX, INT_MAX, INT_MAX, false); }, 0},
    {"draw 65536 x 65536 from INT_MIN",
     []() -> int64_t { return draw_at(INT_MIN, INT_MIN, 65536, 65536, true); }, 0},
    {"pcx at INT_MAX", []() -> int64_t { return pcx_at(INT_MAX, INT_MAX); }, RX_PCX_OUTSIDE},
    {"pcx at INT_MIN", []() -> int64_t { return pcx_at(INT_MIN, INT_MIN); }, RX_PCX_OUTSIDE},
    {"pcx at INT_MIN, 0", []() -> int64_t { return pcx_at(INT_MIN, 0); }, RX_PCX_OUTSIDE},
    {"pcx over the upper-left corner", []() -> int64_t { return pcx_at(-4, -4); }, 0},
    {"pcx over the lower-right corner", []() -> int64_t { return pcx_at(60, 44); }, 0},
    {"pcx claiming 65535 x 65535, lines too short",
     []() -> int64_t { return pcx_claiming(0xFFFF, 0xFFFF, 0xFFFF); }, RX_PCX_BAD_SIZE},
    {"pcx claiming 65535 x 65535, lines too long",
     []() -> int64_t { return pcx_claiming(0xFFFE, 0xFFFE, 0xFFFF); }, RX_PCX_LINE_TOO_LONG},
    {"pcx claiming 10000 x 65535, data missing",
     []() -> int64_t { return pcx_claiming(9999, 0xFFFE, 10000); }, 0},
    {"flic at INT_MAX", []() -> int64_t { return flic_at(INT_MAX, INT_MAX); }, 1},
    {"flic at INT_MIN", []() -> int64_t { return flic_at(INT_MIN, INT_MIN); }, 1},
    {"flic over the upper-left corner", []() -> int64_t { return flic_at(-8, -8); }, 1},
    {"flic over the lower-right corner", []() -> int64_t { return flic_at(56, 40); }, 1},
    // The byte runs of 65535 rows read past their sub-chunk: frames shown - 1.
    {"flic context 10113 x 65535", []() -> int64_t { return flic_claiming(10113, 0xFFFF); }, 0},
    {"flic context 0 x 0", []() -> int64_t { return flic_claiming(0, 0); }, 1},
    {"flic context too wide", []() -> int64_t { return flic_claiming(10114, 16); }, 0},
    {"flic position past the data",
     []() -> int64_t {
       install(samples().flic);
       FlicContext c = memory_flic();
       c.position = UINT32_MAX;
       return rx_flic_play(&c, 1, RX_SHOW_FROM_MEMORY) + rx_flic_skip(&c, 1);
     },
     0},
    {"flic skip INT_MAX frames",
     []() -> int64_t {
       install(samples().flic);
       FlicContext c = memory_flic();
       return rx_flic_skip(&c, INT_MAX);
     },
     3},
    {"flic play INT_MIN frames (all)",
     []() -> int64_t {
       install(samples().flic);
       FlicContext c = memory_flic();
       return rx_flic_play(&c, INT_MIN, RX_SHOW_FROM_MEMORY | RX_FLIC_NO_DELAY);
     },
     3},
};

// Capture refuses what leaves the buffer; at 8 bits it captures nothing.
constexpr MisuseRow kCapture[] = {
    {"the whole stored width", []() -> int64_t { return capture_at(0, 46, 64, 47); }, 0},
    {"left of the buffer", []() -> int64_t { return capture_at(-1, 10, 4, 4); }, RX_ERR_ARGUMENT},
    {"past the stored width", []() -> int64_t { return capture_at(61, 10, 4, 4); },
     RX_ERR_ARGUMENT},
    {"above the buffer", []() -> int64_t { return capture_at(0, 2, 4, 4); }, RX_ERR_ARGUMENT},
    {"below the buffer", []() -> int64_t { return capture_at(0, 47, 4, 4); }, RX_ERR_ARGUMENT},
    {"one row too high", []() -> int64_t { return capture_at(0, 46, 4, 48); }, RX_ERR_ARGUMENT},
    {"at INT_MIN", []() -> int64_t { return capture_at(INT_MIN, INT_MIN, 4, 4); }, RX_ERR_ARGUMENT},
    {"at INT_MAX", []() -> int64_t { return capture_at(INT_MAX, INT_MAX, 4, 4); }, RX_ERR_ARGUMENT},
    {"at INT_MAX, INT_MIN", []() -> int64_t { return capture_at(INT_MAX, INT_MIN, 4, 4); },
     RX_ERR_ARGUMENT},
    {"65536 x 65536", []() -> int64_t { return capture_at(0, 46, 65536, 65536); },
     RX_ERR_ARGUMENT},
    {"INT_MAX wide", []() -> int64_t { return capture_at(0, 46, INT_MAX, 1); }, RX_ERR_ARGUMENT},
    {"INT_MAX high", []() -> int64_t { return capture_at(0, 46, 1, INT_MAX); }, RX_ERR_ARGUMENT},
    {"0 wide", []() -> int64_t { return capture_at(0, 46, 0, 4); }, RX_ERR_ARGUMENT},
    {"negative height", []() -> int64_t { return capture_at(0, 46, 4, -4); }, RX_ERR_ARGUMENT},
    {"INT_MIN size", []() -> int64_t { return capture_at(0, 46, INT_MIN, INT_MIN); },
     RX_ERR_ARGUMENT},
};
constexpr MisuseRow kCapture8[] = {
    {"left of the buffer", []() -> int64_t { return capture_at(-1, 10, 4, 4); }, 0},
    {"65536 x 65536", []() -> int64_t { return capture_at(0, 46, 65536, 65536); }, 0},
};

// Block sizes that do not fit 32 bits are 0; at 16 bits a pixel is 2 bytes.
constexpr MisuseRow kBlockSize16[] = {
    {"65536 x 65536", []() -> int64_t { return rx_block_size(65536, 65536); }, 0},
    {"65536 x 32768 (exactly 2^32)", []() -> int64_t { return rx_block_size(65536, 32768); }, 0},
    {"65536 x 32767", []() -> int64_t { return rx_block_size(65536, 32767); }, 4294836224},
    {"INT_MAX x 1", []() -> int64_t { return rx_block_size(INT_MAX, 1); }, 4294967294},
    {"INT_MAX x 2", []() -> int64_t { return rx_block_size(INT_MAX, 2); }, 0},
    {"INT_MAX x INT_MAX", []() -> int64_t { return rx_block_size(INT_MAX, INT_MAX); }, 0},
    {"-1 x INT_MIN", []() -> int64_t { return rx_block_size(-1, INT_MIN); }, 0},
    {"0 x 5", []() -> int64_t { return rx_block_size(0, 5); }, 0},
};

// The strip memory is sized from the header; no product overflows.
constexpr MisuseRow kJpegSizes[] = {
    {"65535 wide, 4 x 4 sampling",
     []() -> int64_t {
       JpegInfo info{0xFFD8, 65535, 65535, 3, {0x44, 0x11, 0x11}};
       return rx_jpeg_buffer_size(&info);
     },
     65536 * 3 * 32},
    {"65535 wide, 15 x 15 sampling",
     []() -> int64_t {
       JpegInfo info{0xFFD8, 65535, 65535, 3, {0xFF, 0x11, 0x11}};
       return rx_jpeg_buffer_size(&info);
     },
     65640 * 3 * 120},
    {"zero sampling", []() -> int64_t {
       JpegInfo info{0xFFD8, 16, 16, 3, {0x00, 0x11, 0x11}};
       return rx_jpeg_buffer_size(&info);
     },
     0},
    {"decode buffer of INT_MIN bytes",
     []() -> int64_t { return rx_set_decode_buffer(nullptr, INT_MIN); }, 0},
};

constexpr MisuseRow kPictures8[] = {
    {"jpeg into 8 bits at INT_MIN", []() -> int64_t { return jpeg_at(INT_MIN, INT_MIN); }, 0},
    {"jpeg 65535 x 65535", []() -> int64_t { return jpeg_claiming_65535(0); }, 0},
};

constexpr MisuseRow kPicturesDeep[] = {
    {"jpeg at INT_MAX", []() -> int64_t { return jpeg_at(INT_MAX, INT_MAX); }, 0},
    {"jpeg at INT_MIN", []() -> int64_t { return jpeg_at(INT_MIN, INT_MIN); }, 0},
    {"jpeg over the upper-left corner", []() -> int64_t { return jpeg_at(-8, -8); }, 0},
    {"jpeg over the lower-right corner", []() -> int64_t { return jpeg_at(56, 40); }, 0},
    {"jpeg 65535 x 65535, built-in strips",
     []() -> int64_t { return jpeg_claiming_65535(0); }, RX_JPEG_BUFFER_TOO_SMALL},
    // The picture's data ends early; the zero bits that follow it are no
    // code of the sample's tables.
    {"jpeg 65535 x 65535, strips large enough, data missing",
     []() -> int64_t { return jpeg_claiming_65535(65536 * 3 * 8); }, RX_JPEG_BAD_CODE},
};

// Reads through caller memory of exactly the size installed: a 1-byte
// InputBuffer refilled byte by byte, data cut short, strip memory of
// exactly the size the header reader asks for.
Bytes g_one_byte(1);

int64_t through_one_byte(int64_t (*show)()) {
  rx_set_input_buffer(g_one_byte.data(), 1);
  return show();
}

// The first size bytes of a sample, shown from memory.
int64_t cut(Bytes& sample, size_t size, int64_t (*show)()) {
  Bytes part(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(size));
  install(part);
  return show();
}
int64_t show_pcx_memory() { return rx_show_pcx(nullptr, RX_SHOW_FROM_MEMORY); }
int64_t show_jpeg_memory() { return rx_show_jpeg(nullptr, RX_SHOW_FROM_MEMORY); }
int64_t play_flic_memory() {
  FlicContext c = memory_flic();
  return rx_flic_play(&c, -1, RX_SHOW_FROM_MEMORY | RX_FLIC_NO_DELAY);
}

constexpr MisuseRow kCallerMemory[] = {
    {"pcx file through a 1-byte InputBuffer",
     []() -> int64_t {
       return through_one_byte([]() -> int64_t { return rx_show_pcx(samples().pcx_path.c_str(), 0); });
     },
     0},
    {"flic file through a 1-byte InputBuffer",
     []() -> int64_t {
       return through_one_byte([]() -> int64_t {
         FlicContext c{};
         rx_flic_open(samples().flic_path.c_str(), &c);
         const int32_t shown = rx_flic_play(&c, -1, RX_FLIC_NO_DELAY);
         rx_flic_close(&c);
         return shown;
       });
     },
     3},
    {"pcx cut inside its header",
     []() -> int64_t { return cut(samples().pcx, 127, show_pcx_memory); }, RX_PICTURE_BAD_START},
    {"pcx cut inside its data",
     []() -> int64_t { return cut(samples().pcx, 140, show_pcx_memory); }, 0},
    {"flic cut inside its header",
     []() -> int64_t { return cut(samples().flic, 100, play_flic_memory); }, 0},
    {"flic cut inside its first frame",
     []() -> int64_t { return cut(samples().flic, 300, play_flic_memory); }, 1},
};

// JPEG needs a buffer deeper than 8 bits.
constexpr MisuseRow kCallerMemoryJpeg[] = {
    {"jpeg file through a 1-byte InputBuffer",
     []() -> int64_t {
       return through_one_byte(
           []() -> int64_t { return rx_show_jpeg(samples().jpeg_path.c_str(), 0); });
     },
     0},
    {"jpeg cut inside its header",
     []() -> int64_t { return cut(samples().jpeg, 20, show_jpeg_memory); }, RX_JPEG_TRUNCATED},
    {"jpeg cut inside its scan",
     []() -> int64_t { return cut(samples().jpeg, samples().jpeg.size() - 10, show_jpeg_memory); },
     RX_JPEG_TRUNCATED},
    {"jpeg strips of exactly the size asked for",
     []() -> int64_t {
       JpegInfo info{};
       rx_jpeg_header(samples().jpeg_path.c_str(), &info);
       Bytes strips(static_cast<size_t>(rx_jpeg_buffer_size(&info)));
       rx_set_decode_buffer(strips.data(), static_cast<int32_t>(strips.size()));
       const int32_t r = rx_show_jpeg(samples().jpeg_path.c_str(), 0);
       rx_set_decode_buffer(nullptr, 0);
       return r;
     },
     0},
    {"jpeg strips one byte short",
     []() -> int64_t {
       JpegInfo info{};
       rx_jpeg_header(samples().jpeg_path.c_str(), &info);
       Bytes strips(static_cast<size_t>(rx_jpeg_buffer_size(&info)) - 1);
       rx_set_decode_buffer(strips.data(), static_cast<int32_t>(strips.size()));
       const int32_t r = rx_show_jpeg(samples().jpeg_path.c_str(), 0);
       rx_set_decode_buffer(nullptr, 0);
       return r;
     },
     RX_JPEG_BUFFER_TOO_SMALL},
};

TEST_F(BadGeometry, EveryDepth) { run_at({8, 16, 24, 32}, kEveryDepth); }
TEST_F(BadGeometry, CaptureRefusesWhatLeavesTheBuffer) { run_at({16, 24, 32}, kCapture); }
TEST_F(BadGeometry, CaptureAtEightBitsTakesNothing) { run_at({8}, kCapture8); }
TEST_F(BadGeometry, BlockSizesThatOverflow) { run_at({16}, kBlockSize16); }
TEST_F(BadGeometry, JpegStripSizes) { run_at({16}, kJpegSizes); }
TEST_F(BadGeometry, JpegIntoEightBits) { run_at({8}, kPictures8); }
TEST_F(BadGeometry, JpegIntoDeepBuffers) { run_at({16, 24, 32}, kPicturesDeep); }
TEST_F(BadGeometry, CallerMemoryOfExactSize) { run_at({8, 16, 24, 32}, kCallerMemory); }
TEST_F(BadGeometry, JpegCallerMemoryOfExactSize) { run_at({16, 24, 32}, kCallerMemoryJpeg); }

}  // namespace
}  // namespace rx::hardening
