/* Draws a sprite into a 16-bit buffer, pastes it to a headless screen and
 * reads the screen back. Plain C, so the header is checked as C too. */
#include <stdio.h>

#include <rastrix.h>

int main(void) {
  RxDC dc = rx_headless_screen(640, 480, 32);
  if (dc == NULL) return 1;
  rx_set_dc(dc);
  rx_init();
  rx_set_buffer_depth(16);
  int32_t buffer = rx_buffer_create(64, 48);
  if (buffer < 0 || rx_buffer_select(buffer) != 0) return 1;

  uint16_t sprite[2 * 2];
  uint16_t orange = (uint16_t)rx_pack_rgb(255, 130, 0);
  for (int i = 0; i < 4; ++i) sprite[i] = i == 3 ? 0 : orange; /* top right clear */
  rx_move_to(10, 20);
  rx_draw_block(sprite, 2, 2);
  rx_buffer_paste(0, 63, 0, 47, 100, 147);

  uint8_t drawn[3], clear[3];
  if (rx_screen_pixel(110, 120, drawn) != 0 || rx_screen_pixel(111, 119, clear) != 0) return 1;
  int32_t r, g, b;
  rx_unpack_rgb(orange, &r, &g, &b);
  printf("pixel (110,120) = %d %d %d, expected %d %d %d; (111,119) = %d %d %d\n", drawn[0],
         drawn[1], drawn[2], r, g, b, clear[0], clear[1], clear[2]);

  rx_buffer_release();
  rx_buffer_free(buffer);
  rx_shutdown();
  return drawn[0] == r && drawn[1] == g && drawn[2] == b && (clear[0] | clear[1] | clear[2]) == 0
             ? 0
             : 1;
}
