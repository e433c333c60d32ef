// Controls of the headless screen that tests and the window library use:
// display modes and change results, the virtual clock, the call log, the
// version word and failing allocations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rx::platform {

RX_HOST_API void set_display_modes(const std::vector<DisplayMode>& modes);
void set_test_change_result(int32_t result);  // what a kChangeTest reports
void set_change_results(const std::vector<int32_t>& results);  // next real changes, in order
// Virtual clock: when on, tick_count() returns the set value and advances
// it by step on every read, so busy waits end without real time passing.
void set_virtual_clock(bool on, uint32_t start = 0, uint32_t step = 1);
void set_tick(uint32_t ms);
// When the log is on (off on every new headless screen), every platform
// call that changes something is appended here with the clock's time, read
// without advancing it, e.g. "change 640x480x16 flags=4 @1200". Off, it
// costs a test of a flag.
void set_call_log(bool on);
const std::vector<std::string>& call_log();
void clear_call_log();
// The window side appends its own calls (show, message boxes, quit) so
// that one log tells the order of everything the program asked for.
void note_call(const std::string& what);
void set_version(uint32_t version);
void set_fail_bitmaps(bool fail);  // create_dib_section / global_alloc fail

}  // namespace rx::platform
