// Device contexts that name no device: made up, null, or a memory DC that
// was deleted. Calls through them are refused instead of followed.
#include <vector>

#include "hardening/misuse_table.h"

namespace rx::hardening {
namespace {

// Palettes the rows make; the fixture deletes them, as their owner must.
std::vector<RxPalette> made_palettes;

RxPalette make_palette() {
  made_palettes.push_back(rx_make_palette());
  return made_palettes.back();
}

const RxDC kMadeUp = reinterpret_cast<RxDC>(uintptr_t{0x10});

// A 16-bit buffer 0, active, with a palette realized in the real window.
class BadDevices : public MisuseTest {
 protected:
  void arrange() override {
    support::make_buffer(16, 8, 8);
    rx_realize_palette(make_palette());
  }
  bool intact() const override {
    const LibraryState& s = state();
    return s.active_handle == 0 && s.slots.pixels[0] != nullptr;
  }
  void TearDown() override {
    rx_set_dc(dc_);
    for (RxPalette p : made_palettes) rx_delete_palette(p);
    made_palettes.clear();
    MisuseTest::TearDown();
  }
};

// Runs a few calls that reach the platform with dc as the window's DC,
// then gives the library its real DC back.
int64_t through(RxDC dc, int64_t (*calls)()) {
  const RxDC real = reinterpret_cast<RxDC>(state().window_dc);
  rx_set_dc(dc);
  const int64_t r = calls();
  rx_set_dc(real);
  return r;
}

int64_t realize() { return rx_realize_palette(make_palette()); }
int64_t paste() { return rx_buffer_paste(0, 0, 0, 0, 0, 0); }
int64_t create_and_select() {
  rx_set_buffer_depth(8);
  const int32_t h = rx_buffer_create(4, 4);
  const int64_t selected = rx_buffer_select(h) + rx_buffer_select(0);
  rx_buffer_free(h);
  return h * 10 + selected;
}
int64_t animate() {
  const uint8_t rgb[3] = {1, 2, 3};
  return rx_set_palette_entries(20, 1, rgb);
}
int64_t release() { return rx_release_dc(reinterpret_cast<RxDC>(state().window_dc)); }

constexpr MisuseRow kRows[] = {
    {"realize in a made-up DC", [] { return through(kMadeUp, realize); }, 0},
    {"paste to a made-up DC", [] { return through(kMadeUp, paste); }, 0},
    {"create and select with a made-up DC", [] { return through(kMadeUp, create_and_select); },
     10},
    {"animate with a made-up DC", [] { return through(kMadeUp, animate); }, 0},
    {"release a made-up DC", [] { return through(kMadeUp, release); }, 0},
    {"realize in a null DC", [] { return through(nullptr, realize); }, 0},
    {"paste to a null DC", [] { return through(nullptr, paste); }, 0},
    {"release a null DC", [] { return through(nullptr, release); }, 0},
};

TEST_F(BadDevices, AreRefusedAndTouchNothingElse) { run(kRows); }

// The screen keeps the picture of the real DC: a paste through a made-up
// one changes nothing, and the real DC still works after it.
TEST_F(BadDevices, LeaveTheScreenAsItWas) {
  arrange();
  const uint8_t white[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  rx_move_to(0, 0);
  rx_draw_block(white, 1, 1);
  through(kMadeUp, paste);
  uint8_t rgb[3];
  ASSERT_EQ(rx_screen_pixel(0, 0, rgb), 0);
  EXPECT_EQ(rgb[0], 0);
  paste();
  ASSERT_EQ(rx_screen_pixel(0, 0, rgb), 0);
  EXPECT_EQ(rgb[0], 255);
}

}  // namespace
}  // namespace rx::hardening
