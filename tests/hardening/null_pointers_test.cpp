// Null pointers wherever a caller can pass one, empty and odd file names,
// and caller memory shorter than a careless reading would take.
#include "hardening/misuse_table.h"

namespace rx::hardening {
namespace {

// A 16-bit buffer 0 (active) and an 8-bit buffer 1.
class NullPointers : public MisuseTest {
 protected:
  void arrange() override {
    rx_set_buffer_depth(16);
    rx_buffer_create(64, 48);
    rx_set_buffer_depth(8);
    rx_buffer_create(64, 48);
    rx_buffer_select(0);
  }
  bool intact() const override {
    const LibraryState& s = state();
    return s.slots.pixels[0] != nullptr && s.slots.pixels[1] != nullptr;
  }
};

// Shows a picture from memory out of exactly these bytes.
int64_t pcx_from(Bytes bytes) {
  install(bytes);
  return rx_show_pcx(nullptr, RX_SHOW_FROM_MEMORY);
}
int64_t jpeg_from(Bytes bytes) {
  install(bytes);
  return rx_show_jpeg(nullptr, RX_SHOW_FROM_MEMORY);
}

constexpr MisuseRow kRows[] = {
    {"set_dc null, then paste",
     []() -> int64_t { return rx_set_dc(nullptr) + rx_buffer_paste(0, 63, 0, 47, 0, 47); }, 0},
    {"set_dc null, then create", []() -> int64_t { return rx_set_dc(nullptr) + rx_buffer_create(8, 8); },
     2},
    {"set_dc null, then realize",
     []() -> int64_t {
       rx_set_dc(nullptr);
       RxPalette p = rx_make_palette();
       const int32_t r = rx_realize_palette(p);
       rx_delete_palette(p);
       return r;
     },
     0},
    {"input_buffer null with a size",
     []() -> int64_t { return rx_set_input_buffer(nullptr, 100); }, RX_ERR_ARGUMENT},
    {"decode_buffer null with a size", []() -> int64_t { return rx_set_decode_buffer(nullptr, 100); },
     0},
    {"realize_palette null", []() -> int64_t { return rx_realize_palette(nullptr); }, 0},
    {"delete_palette null", []() -> int64_t { return rx_delete_palette(nullptr); }, 0},
    {"release_dc null", []() -> int64_t { return rx_release_dc(nullptr); }, 0},
    {"set_palette_entries null", []() -> int64_t { return rx_set_palette_entries(0, 16, nullptr); },
     0},
    {"set_palette_entries run cut at 255 reads 6 triplets",
     []() -> int64_t {
       Bytes rgb(18, 200);
       return rx_set_palette_entries(250, 100, rgb.data());
     },
     0},
    {"set_palette_entries INT_MAX entries from 255",
     []() -> int64_t {
       Bytes rgb(3, 200);
       return rx_set_palette_entries(255, INT_MAX, rgb.data());
     },
     0},
    {"reduce_colors null",
     []() -> int64_t { return rx_buffer_select(1) + rx_reduce_colors(10, 236, nullptr); }, 0},
    {"reduce_colors run past 255",
     []() -> int64_t {
       Bytes palette(768);
       return rx_buffer_select(1) + rx_reduce_colors(200, 100, palette.data());
     },
     0},
    {"reduce_colors INT_MIN start",
     []() -> int64_t {
       Bytes palette(768);
       return rx_buffer_select(1) + rx_reduce_colors(INT_MIN, 10, palette.data());
     },
     0},
    {"reduce_colors INT_MAX count",
     []() -> int64_t {
       Bytes palette(768);
       return rx_buffer_select(1) + rx_reduce_colors(10, INT_MAX, palette.data());
     },
     0},
    {"unpack_rgb null outputs",
     []() -> int64_t { return rx_unpack_rgb(0xFFFF, nullptr, nullptr, nullptr); }, 0},
    {"unpack_rgb one output",
     []() -> int64_t {
       int32_t green = 0;
       return rx_unpack_rgb(0x07E0, nullptr, &green, nullptr) + green;
     },
     255},
    {"capture_block null", []() -> int64_t {
       rx_move_to(0, 3);
       return rx_capture_block(nullptr, 4, 4);
     },
     RX_ERR_ARGUMENT},
    {"draw_block null", []() -> int64_t {
       rx_move_to(0, 3);
       return rx_draw_block(nullptr, 4, 4);
     },
     0},
    {"draw_block_mirrored null", []() -> int64_t {
       rx_move_to(0, 3);
       return rx_draw_block_mirrored(nullptr, 4, 4);
     },
     0},
    {"show_pcx null name", []() -> int64_t { return rx_show_pcx(nullptr, 0); },
     RX_PICTURE_CANNOT_OPEN},
    {"show_pcx empty name", []() -> int64_t { return rx_show_pcx("", 0); }, RX_PICTURE_CANNOT_OPEN},
    {"show_pcx missing file",
     []() -> int64_t { return rx_show_pcx(samples().missing_path.c_str(), 0); },
     RX_PICTURE_CANNOT_OPEN},
    {"show_pcx a folder", []() -> int64_t { return rx_show_pcx(".", 0); }, RX_PICTURE_BAD_START},
    {"show_pcx memory of 100 bytes", []() -> int64_t { return pcx_from(Bytes(100, 10)); },
     RX_PICTURE_BAD_START},
    {"show_pcx memory, header only",
     []() -> int64_t {
       Bytes header(samples().pcx.begin(), samples().pcx.begin() + 128);
       return pcx_from(header);
     },
     0},
    {"show_jpeg null name", []() -> int64_t { return rx_show_jpeg(nullptr, 0); },
     RX_PICTURE_CANNOT_OPEN},
    {"show_jpeg empty name", []() -> int64_t { return rx_show_jpeg("", 0); },
     RX_PICTURE_CANNOT_OPEN},
    {"show_jpeg a folder", []() -> int64_t { return rx_show_jpeg(".", 0); }, RX_PICTURE_BAD_START},
    {"show_jpeg memory of 1 byte", []() -> int64_t { return jpeg_from(Bytes(1, 0xFF)); },
     RX_PICTURE_BAD_START},
    {"show_jpeg memory, cut after SOI", []() -> int64_t { return jpeg_from({0xFF, 0xD8}); },
     RX_JPEG_TRUNCATED},
    {"show_jpeg memory of zeros", []() -> int64_t { return jpeg_from(samples().zeros); },
     RX_PICTURE_BAD_START},
    {"jpeg_header null name",
     []() -> int64_t {
       JpegInfo info{};
       return rx_jpeg_header(nullptr, &info);
     },
     RX_ERR_ARGUMENT},
    {"jpeg_header null record",
     []() -> int64_t { return rx_jpeg_header(samples().jpeg_path.c_str(), nullptr); },
     RX_ERR_ARGUMENT},
    {"jpeg_header missing file",
     []() -> int64_t {
       JpegInfo info{};
       return rx_jpeg_header(samples().missing_path.c_str(), &info);
     },
     RX_ERR_ARGUMENT},
    {"jpeg_header a folder",
     []() -> int64_t {
       JpegInfo info{};
       return rx_jpeg_header(".", &info);
     },
     RX_ERR_RESOURCE},
    {"jpeg_header of a PCX file",
     []() -> int64_t {
       JpegInfo info{};
       return rx_jpeg_header(samples().pcx_path.c_str(), &info) + info.signature;
     },
     RX_ERR_RESOURCE},
    {"jpeg_buffer_size null", []() -> int64_t { return rx_jpeg_buffer_size(nullptr); }, 0},
    {"flic_open null name",
     []() -> int64_t {
       FlicContext c{};
       return rx_flic_open(nullptr, &c);
     },
     RX_ERR_ARGUMENT},
    {"flic_open null context",
     []() -> int64_t { return rx_flic_open(samples().flic_path.c_str(), nullptr); },
     RX_ERR_ARGUMENT},
    {"flic_open a folder",
     []() -> int64_t {
       FlicContext c{};
       return rx_flic_open(".", &c);
     },
     RX_ERR_RESOURCE},
    {"flic_open a PCX file",
     []() -> int64_t {
       FlicContext c{};
       return rx_flic_open(samples().pcx_path.c_str(), &c);
     },
     RX_ERR_RESOURCE},
    {"flic_close null", []() -> int64_t { return rx_flic_close(nullptr); }, 0},
    {"flic_skip null", []() -> int64_t { return rx_flic_skip(nullptr, 1); }, 0},
    {"flic_skip null, rewind", []() -> int64_t { return rx_flic_skip(nullptr, -1); }, 0},
    {"flic_play null", []() -> int64_t { return rx_flic_play(nullptr, 1, RX_FLIC_NO_DELAY); }, 0},
    {"flic_play from memory of zeros",
     []() -> int64_t {
       install(samples().zeros);
       FlicContext c = memory_flic();
       return rx_flic_play(&c, -1, RX_SHOW_FROM_MEMORY | RX_FLIC_NO_DELAY);
     },
     0},
    {"screen_pixel null", []() -> int64_t { return rx_screen_pixel(0, 0, nullptr); },
     RX_ERR_ARGUMENT},
    {"screen_pixel INT_MIN",
     []() -> int64_t {
       uint8_t rgb[3];
       return rx_screen_pixel(INT_MIN, INT_MAX, rgb);
     },
     RX_ERR_ARGUMENT},
    {"screen_pixel past the corner",
     []() -> int64_t {
       uint8_t rgb[3];
       return rx_screen_pixel(640, 480, rgb);
     },
     RX_ERR_ARGUMENT},
    {"headless_screen 0 x 0", []() -> int64_t { return rx_headless_screen(0, 0, 32) != nullptr; },
     0},
    {"headless_screen 65536 x 65536",
     []() -> int64_t { return rx_headless_screen(65536, 65536, 32) != nullptr; }, 0},
    {"headless_screen INT_MIN",
     []() -> int64_t { return rx_headless_screen(INT_MIN, INT_MIN, 32) != nullptr; }, 0},
    {"headless_screen depth 7",
     []() -> int64_t { return rx_headless_screen(640, 480, 7) != nullptr; }, 0},
};

TEST_F(NullPointers, AreRefusedOrLeftAlone) { run(kRows); }

}  // namespace
}  // namespace rx::hardening
