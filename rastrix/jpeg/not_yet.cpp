// Placeholder until the JPEG decoder lands: refuses every picture.
#include "rastrix.h"

extern "C" {
int32_t rx_jpeg_header(const char*, JpegInfo*) { return RX_ERR_RESOURCE; }
int32_t rx_jpeg_buffer_size(const JpegInfo*) { return 0; }
int32_t rx_show_jpeg(const char*, int32_t) { return RX_PICTURE_BAD_START; }
}
