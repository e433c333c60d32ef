// Placeholder until the flic player lands: refuses every flic.
#include "rastrix.h"

extern "C" {
int32_t rx_flic_open(const char*, FlicContext*) { return RX_ERR_RESOURCE; }
int32_t rx_flic_close(FlicContext*) { return RX_OK; }
int32_t rx_flic_skip(FlicContext*, int32_t) { return 0; }
int32_t rx_flic_play(FlicContext*, int32_t, int32_t) { return 0; }
int32_t rx_wait_ticks(uint32_t) { return RX_OK; }
}
