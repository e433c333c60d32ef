/* Shows a JPEG picture in a window through the installed window library:
 * a window of the picture's size, the picture decoded into a buffer of
 * DEPTH bits and pasted; says "shown", then waits for Escape or a close.
 * Plain C, so rastrix_window.h is checked as C too.
 * Usage: window_consumer FILE.jpg DEPTH */
#include <stdio.h>
#include <stdlib.h>

#include <rastrix.h>
#include <rastrix_window.h>

enum { WAIT_STEP_MS = 100, WAIT_LIMIT_MS = 60000 };

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: window_consumer FILE.jpg DEPTH\n");
    return 2;
  }
  JpegInfo info;
  if (rx_jpeg_header(argv[1], &info) != 0) {
    fprintf(stderr, "window_consumer: %s is not a baseline JPEG picture\n", argv[1]);
    return 1;
  }
  RxDC dc = NULL;
  int32_t opened = rx_window_open("rastrix consumer", info.width, info.height, RX_WINDOW_WINDOWED, &dc);
  if (opened != RX_WINDOW_OK) {
    fprintf(stderr, "window_consumer: rx_window_open gave %d\n", (int)opened);
    return 1;
  }
  rx_set_dc(dc);
  rx_init();
  rx_set_buffer_depth(atoi(argv[2]));
  int32_t buffer = rx_buffer_create(info.width, info.height);
  int32_t size = rx_jpeg_buffer_size(&info);
  void* decode = malloc((size_t)size);
  int32_t shown = -1;
  if (buffer >= 0 && rx_buffer_select(buffer) == 0 && decode != NULL) {
    rx_set_decode_buffer(decode, size);
    shown = rx_show_jpeg(argv[1], 0);
  }
  int status = 1;
  if (shown == 0) {
    rx_buffer_paste(0, info.width - 1, 0, info.height - 1, 0, info.height - 1);
    printf("shown\n");
    fflush(stdout);
    for (int waited = 0; waited < WAIT_LIMIT_MS; waited += WAIT_STEP_MS) {
      RxWindowEvent e;
      if (!rx_window_wait(&e, WAIT_STEP_MS)) continue;
      if (e.type == RX_EVENT_CLOSE || (e.type == RX_EVENT_KEY && e.key == RX_KEY_ESCAPE)) {
        status = 0;
        break;
      }
    }
  } else {
    fprintf(stderr, "window_consumer: rx_show_jpeg gave %d: %s\n", (int)shown,
            rx_result_message(RX_OP_SHOW_JPEG, shown));
  }
  rx_set_decode_buffer(NULL, 0);
  free(decode);
  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_shutdown();
  rx_window_close();
  return status;
}
