/*
 * rastrix_window.h - a window that shows the Rastrix screen.
 *
 * One window at a time. rx_window_open makes the window's screen the one the
 * library draws on and hands back its device context: rx_set_dc, rx_init and
 * every other call of rastrix.h work unchanged, and whatever reaches the
 * screen (rx_buffer_paste) shows in the window exactly as the headless
 * screen computes it. The screen has the logical size asked for at the
 * desktop's depth; a full-screen window covers the desktop and scales the
 * picture to fit, a windowed one is that size (shrunk to fit the desktop).
 * Display mode changes (rx_set_display_mode) resize the logical screen.
 *
 * Without a display, open fails with RX_WINDOW_NO_DISPLAY and changes
 * nothing: the caller chooses what to do, e.g. rx_headless_screen.
 *
 * Typical use:
 *   RxDC dc;
 *   if (rx_window_open("Fish", 640, 480, RX_WINDOW_FULL_SCREEN, &dc) != RX_WINDOW_OK)
 *     dc = rx_headless_screen(640, 480, 32);
 *   rx_set_dc(dc); rx_init(); ... draw, rx_buffer_paste(...) ...
 *   RxWindowEvent e;
 *   while (rx_window_poll(&e)) if (e.type == RX_EVENT_CLOSE) ...
 *   rx_shutdown(); rx_window_close();
 */
#ifndef RASTRIX_WINDOW_H
#define RASTRIX_WINDOW_H

#include <stdint.h>

#include "rastrix.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Results of rx_window_open. */
enum {
  RX_WINDOW_OK = 0,
  RX_WINDOW_NO_DISPLAY = 1,    /* no display to open a window on (none named in DISPLAY or
                                  WAYLAND_DISPLAY, or only an off-screen video driver) */
  RX_WINDOW_UNAVAILABLE = 2,   /* no window backend: built without SDL2, or SDL2 not installed */
  RX_WINDOW_FAILED = 3,        /* a display, but no window could be opened on it */
  RX_WINDOW_OPEN_ALREADY = 4,  /* a window is open: close it first */
  RX_WINDOW_BAD_ARGUMENT = 5   /* null dc, or a side below 1 or above RX_MAX_BUFFER_SIDE */
};

/* Flags of rx_window_open. */
enum {
  RX_WINDOW_WINDOWED = 0,   /* a framed window of the logical size */
  RX_WINDOW_FULL_SCREEN = 1 /* the whole desktop, the picture scaled to fit it */
};

/* Opens the window, shows it and puts its device context in *dc. A null
 * title is an empty one. */
RX_API int32_t rx_window_open(const char* title, int32_t width, int32_t height, int32_t flags,
                              RxDC* dc);
/* Closes the window and gives the desktop back; the library's screen is a
 * headless one of the same size and depth again. 0, also when no window is
 * open. */
RX_API int32_t rx_window_close(void);

/* ------------------------------------------------------------------------
 * Events
 * ---------------------------------------------------------------------- */
enum {
  RX_EVENT_NONE = 0,
  RX_EVENT_KEY = 1,   /* a key was pressed: key holds its RX_KEY_ code */
  RX_EVENT_CLOSE = 2, /* the window's close button, or the desktop asks the program to end */
  RX_EVENT_FOCUS = 3  /* the window got the keyboard focus (realize the palette again) */
};

/* Key codes: letters and digits are their upper-case ASCII codes. */
enum {
  RX_KEY_RETURN = 13,
  RX_KEY_ESCAPE = 27,
  RX_KEY_SPACE = 32,
  RX_KEY_0 = '0', /* .. '9' */
  RX_KEY_A = 'A', /* .. 'Z' */
  RX_KEY_F1 = 112, /* .. RX_KEY_F12 */
  RX_KEY_F12 = 123,
  RX_KEY_OTHER = 255 /* any key without a code of its own */
};

typedef struct RxWindowEvent {
  int32_t type; /* RX_EVENT_ */
  int32_t key;  /* RX_KEY_ code of RX_EVENT_KEY, else 0 */
} RxWindowEvent;

/* Takes the oldest event into *event without waiting: 1 when there was
 * one, 0 when none is pending, no window is open or event is null (then
 * *event, if any, reads RX_EVENT_NONE). The window repaints itself when
 * the desktop uncovers it. */
RX_API int32_t rx_window_poll(RxWindowEvent* event);
/* As rx_window_poll, but waits up to timeout_ms (0..60000) for an event. */
RX_API int32_t rx_window_wait(RxWindowEvent* event, int32_t timeout_ms);

/* ------------------------------------------------------------------------
 * Pacing: the window shows at most rate pictures a second, each transfer
 * to the screen waiting for its turn, so animation runs at one speed on
 * every machine.
 * ---------------------------------------------------------------------- */
enum { RX_WINDOW_RATE_DISPLAY = -1, RX_WINDOW_MAX_RATE = 1000 };
/* RX_WINDOW_RATE_DISPLAY (the default at open): the display's refresh,
 * in step with it where the renderer offers that, 60 a second when the
 * display does not say; 0: unpaced; 1..RX_WINDOW_MAX_RATE a second.
 * Other values are refused with RX_WINDOW_BAD_ARGUMENT. Applies to the
 * open window; without one it does nothing. */
RX_API int32_t rx_window_set_rate(int32_t per_second);
/* Pictures a second in force (the display's rate resolved), 0 unpaced or
 * no window. */
RX_API int32_t rx_window_rate(void);

/* ------------------------------------------------------------------------
 * Asking the person at the screen
 * ---------------------------------------------------------------------- */
enum {
  RX_BOX_OK = 0,        /* one OK button */
  RX_BOX_YES_NO = 1,    /* Yes and No, Yes the default */
  RX_BOX_DEFAULT_NO = 2, /* with RX_BOX_YES_NO: No the default (Return and Escape) */
  RX_BOX_ERROR = 4      /* shown as an error */
};
enum { RX_ANSWER_NONE = 0, RX_ANSWER_OK = 1, RX_ANSWER_YES = 2, RX_ANSWER_NO = 3 };
/* Shows a message box over the window and waits for the answer;
 * RX_ANSWER_NONE when no box could be shown (no window open, no desktop to
 * show it on), when the caller answers for itself. */
RX_API int32_t rx_window_message_box(const char* caption, const char* text, int32_t style);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* RASTRIX_WINDOW_H */
