// Handles that name no buffer or no open flic: -1, 32, 255, INT_MIN, free
// slots, the active buffer where it may not go, stale flic numbers.
#include "hardening/misuse_table.h"

namespace rx::hardening {
namespace {

// Buffer 0 (16-bit, active) and 1 (16-bit) hold pictures; 2 is 32-bit.
class BadHandles : public MisuseTest {
 protected:
  void arrange() override {
    rx_set_buffer_depth(16);
    rx_buffer_create(64, 48);
    rx_buffer_create(32, 32);
    rx_set_buffer_depth(32);
    rx_buffer_create(16, 16);
    rx_buffer_select(0);
  }
  bool intact() const override {
    const LibraryState& s = state();
    return s.active_handle == 0 && s.active_pixels == s.slots.pixels[0] &&
           s.slots.pixels[0] != nullptr && s.slots.pixels[1] != nullptr &&
           s.slots.pixels[2] != nullptr;
  }
};

int64_t select(int32_t h) { return rx_buffer_select(h); }
int64_t free_buffer(int32_t h) { return rx_buffer_free(h); }
// Copies a 10 x 10 square between two handles (taken modulo 32).
int64_t copy(int32_t from, int32_t to) { return rx_buffer_copy(0, 9, 0, 9, 0, 9, from, to); }

// A context naming a flic that is closed, or that never was.
int64_t play_named(uint32_t handle) {
  FlicContext c{};
  c.handle = handle;
  c.position = 128;
  c.width = c.height = 16;
  return rx_flic_play(&c, 1, RX_FLIC_NO_DELAY) + rx_flic_skip(&c, 1) + rx_flic_close(&c);
}

constexpr MisuseRow kRows[] = {
    {"select -1", []() -> int64_t { return select(-1); }, RX_ERR_ARGUMENT},
    {"select 32", []() -> int64_t { return select(32); }, RX_ERR_ARGUMENT},
    {"select 255", []() -> int64_t { return select(255); }, RX_ERR_ARGUMENT},
    {"select INT_MIN", []() -> int64_t { return select(INT_MIN); }, RX_ERR_ARGUMENT},
    {"select free slot", []() -> int64_t { return select(31); }, RX_ERR_RESOURCE},
    {"free -1", []() -> int64_t { return free_buffer(-1); }, 0},
    {"free 32", []() -> int64_t { return free_buffer(32); }, 0},
    {"free 255", []() -> int64_t { return free_buffer(255); }, 0},
    {"free INT_MIN", []() -> int64_t { return free_buffer(INT_MIN); }, 0},
    {"free 256 (active handle + 256)", []() -> int64_t { return free_buffer(256); }, 0},
    {"free the active buffer", []() -> int64_t { return free_buffer(0); }, 0},
    {"shutdown with buffers", []() -> int64_t { return rx_shutdown(); }, 0},
    // Copies take handles modulo 32: -1 and 255 name free slot 31, 32 and
    // INT_MIN name buffer 0.
    {"copy from -1", []() -> int64_t { return copy(-1, 1); }, 0},
    {"copy to -1", []() -> int64_t { return copy(1, -1); }, 0},
    {"copy from 32", []() -> int64_t { return copy(32, 1); }, 0},
    {"copy to 255", []() -> int64_t { return copy(0, 255); }, 0},
    {"copy INT_MIN to itself", []() -> int64_t { return copy(INT_MIN, INT_MIN); }, 0},
    {"copy between depths", []() -> int64_t { return copy(2, 0); }, RX_ERR_ARGUMENT},
    {"copy between depths, 34 to 32", []() -> int64_t { return copy(34, 32); }, RX_ERR_ARGUMENT},
    {"flic handle 0", []() -> int64_t { return play_named(0); }, 0},
    {"flic handle 0xFFFF", []() -> int64_t { return play_named(0xFFFF); }, 0},
    {"flic handle of a closed flic",
     []() -> int64_t {
       FlicContext old{};
       rx_flic_open(samples().flic_path.c_str(), &old);
       rx_flic_close(&old);
       // A flic opened since may sit in the same slot; the old number
       // must still name nothing.
       FlicContext now{};
       rx_flic_open(samples().flic_path.c_str(), &now);
       const int64_t stale = play_named(old.handle);
       const int32_t shown = rx_flic_play(&now, 1, RX_FLIC_NO_DELAY);
       rx_flic_close(&now);
       return stale * 10 + shown;
     },
     1},
    {"flic closed twice",
     []() -> int64_t {
       FlicContext c{};
       rx_flic_open(samples().flic_path.c_str(), &c);
       return rx_flic_close(&c) + rx_flic_close(&c);
     },
     0},
    {"delete palette twice",
     []() -> int64_t {
       RxPalette p = rx_make_palette();
       rx_realize_palette(p);
       rx_delete_palette(p);
       return rx_delete_palette(p) + rx_realize_palette(p);
     },
     0},
};

TEST_F(BadHandles, AreRefusedOrIgnoredAndTouchNothingElse) { run(kRows); }

}  // namespace
}  // namespace rx::hardening
