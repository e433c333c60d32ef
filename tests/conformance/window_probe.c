/* A window through the public window library, for window_screenshot.sh:
 * shows every 16-bit colour in a WIDTH x HEIGHT screen, writes what the
 * library's screen holds as a PPM, says "shown", then reports each key
 * until Escape or a close ends it.
 * Usage: window_probe OUT.ppm WIDTH HEIGHT windowed|full */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "rastrix.h"
#include "rastrix_window.h"

static int write_screen(const char* path, int width, int height) {
  FILE* f = fopen(path, "wb");
  if (f == NULL) return 0;
  fprintf(f, "P6\n%d %d\n255\n", width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t rgb[3] = {0, 0, 0};
      rx_screen_pixel(x, y, rgb);
      fwrite(rgb, 1, 3, f);
    }
  return fclose(f) == 0;
}

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: window_probe OUT.ppm WIDTH HEIGHT windowed|full\n");
    return 2;
  }
  int width = atoi(argv[2]), height = atoi(argv[3]);
  int flags = strcmp(argv[4], "full") == 0 ? RX_WINDOW_FULL_SCREEN : RX_WINDOW_WINDOWED;
  RxDC dc = NULL;
  int32_t opened = rx_window_open("rastrix window probe", width, height, flags, &dc);
  if (opened != RX_WINDOW_OK) {
    fprintf(stderr, "window_probe: open gave %d\n", (int)opened);
    return 1;
  }
  rx_set_dc(dc);
  rx_init();
  rx_set_buffer_depth(16);
  int32_t b = rx_buffer_create(width, height);
  rx_buffer_select(b);
  /* Every 16-bit value once per 256 x 256 tile, bottom row first. */
  uint16_t* block = malloc((size_t)width * height * 2);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      block[(size_t)y * width + x] = (uint16_t)((y % 256) * 256 + (x + y / 256 * 7) % 256);
  rx_move_to(0, height - 1);
  rx_draw_block(block, width, height);
  free(block);
  rx_buffer_paste(0, width - 1, 0, height - 1, 0, height - 1);
  if (!write_screen(argv[1], width, height)) return 1;
  printf("shown\n");
  fflush(stdout);

  int status = 1;
  for (int waited = 0; waited < 60000; waited += 100) {
    RxWindowEvent e;
    if (!rx_window_wait(&e, 100)) continue;
    if (e.type == RX_EVENT_KEY) printf("key %d\n", (int)e.key);
    if (e.type == RX_EVENT_CLOSE) printf("close\n");
    fflush(stdout);
    if (e.type == RX_EVENT_CLOSE || (e.type == RX_EVENT_KEY && e.key == RX_KEY_ESCAPE)) {
      status = 0;
      break;
    }
  }
  rx_buffer_release();
  rx_buffer_free(b);
  rx_shutdown();
  rx_window_close();
  return status;
}
