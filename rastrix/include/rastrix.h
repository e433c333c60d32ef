/*
 * rastrix.h - the whole public interface of the Rastrix graphics library.
 *
 * Rastrix draws into off-screen virtual buffers of 8, 16, 24 or 32 bits per
 * pixel, keeps a 256-entry palette, captures and draws image blocks (zero is
 * transparent, plain or mirrored, clipped) and reads baseline JPEG, PCX and
 * FLI/FLC flics itself. Every operation works on one global state record and
 * returns a 32-bit signed integer: 0 for success; set-up, buffer and header
 * operations report failure with small negative codes, the two picture
 * readers with small positive codes. Single-threaded, nothing is logged, no
 * exceptions cross this interface.
 *
 * Typical use:
 *   rx_set_dc(dc); rx_init(); rx_set_buffer_depth(16);
 *   int b = rx_buffer_create(640, 480); rx_buffer_select(b);
 *   rx_show_pcx("FISH.PCX", 0); rx_buffer_paste(0, 639, 0, 479, 0, 479);
 *   rx_buffer_release(); rx_buffer_free(b); rx_shutdown();
 */
#ifndef RASTRIX_H
#define RASTRIX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define RX_API
#elif defined(RASTRIX_BUILDING)
#define RX_API __attribute__((visibility("default")))
#else
#define RX_API
#endif

/* ------------------------------------------------------------------------
 * Platform handles. The library draws through device contexts and palettes
 * of its platform layer; to callers they are opaque.
 * ---------------------------------------------------------------------- */
typedef struct RxDevice* RxDC;
typedef struct RxPaletteObject* RxPalette;

/* ------------------------------------------------------------------------
 * Result codes shared by the library.
 * ---------------------------------------------------------------------- */
enum {
  RX_OK = 0,
  RX_ERR_ARGUMENT = -1, /* argument out of range, item missing, file cannot be opened */
  RX_ERR_RESOURCE = -2  /* slot not in use, memory or bitmap unavailable, bad file contents */
};

/* Picture display flags of rx_show_pcx, rx_show_jpeg and rx_flic_play. */
enum {
  RX_SHOW_KEEP_PALETTE = 1, /* pictures: leave the palette and PaletteMap unchanged */
  RX_FLIC_NO_DELAY = 1,     /* flics: do not wait the frame delay */
  RX_SHOW_AT_POSITION = 2,  /* upper-left corner at the current drawing position */
  RX_SHOW_FROM_MEMORY = 4,  /* the whole file is in the InputBuffer */
  RX_SHOW_NO_REDUCE = 8,    /* 8-bit buffers: no colour reduction */
  RX_FLIC_KEEP_PALETTE = 16 /* flics: skip palette chunks */
};

/* ------------------------------------------------------------------------
 * Set-up and device
 * ---------------------------------------------------------------------- */
RX_API int32_t rx_set_dc(RxDC window_dc);
/* Installs caller memory as the InputBuffer; size 0 installs the built-in
 * 4096 bytes again. A negative size is refused (RX_ERR_ARGUMENT), as is a
 * null pointer with a non-zero size. */
RX_API int32_t rx_set_input_buffer(void* buffer, int32_t size);
RX_API int32_t rx_init(void);
RX_API int32_t rx_display_bits(void); /* desktop bits per pixel; 15 reported as 16 */
RX_API uint32_t rx_clock(void);       /* milliseconds since start / 55 */
RX_API int32_t rx_shutdown(void);

/* ------------------------------------------------------------------------
 * Instruction levels. The vector routines used are those of the level in
 * use: the highest this processor runs, capped at rx_init by the
 * environment variable RASTRIX_CPU (portable, sse2, avx2 or avx512). Every
 * level draws the same pixels.
 * ---------------------------------------------------------------------- */
enum { RX_CPU_PORTABLE = 0, RX_CPU_SSE2 = 1, RX_CPU_AVX2 = 2, RX_CPU_AVX512 = 3 };
RX_API int32_t rx_cpu_level(void); /* the level in use */
RX_API int32_t rx_cpu_best(void);  /* the highest level this processor runs */
RX_API const char* rx_cpu_level_name(int32_t level); /* "portable", ...; NULL otherwise */

/* ------------------------------------------------------------------------
 * Display modes. Results are the platform's: 0 success, 1 restart needed,
 * negative failure; rx_find_display_mode gives -1 when no mode is listed.
 * ---------------------------------------------------------------------- */
RX_API int32_t rx_find_display_mode(int32_t width, int32_t height, int32_t bits);
/* bits 0 restores the stored desktop mode. */
RX_API int32_t rx_set_display_mode(int32_t width, int32_t height, int32_t bits,
                                   int32_t full_screen);

/* ------------------------------------------------------------------------
 * Palette
 * ---------------------------------------------------------------------- */
RX_API RxPalette rx_make_palette(void); /* the caller owns the handle */
RX_API int32_t rx_realize_palette(RxPalette palette);
/* Loads count (red, green, blue) triplets from index start on. A run past
 * entry 255 is cut short at 255; a negative start or count, or a null rgb
 * with a non-zero count, changes nothing. Always 0. */
RX_API int32_t rx_set_palette_entries(int32_t start, int32_t count, const uint8_t* rgb);

/* ------------------------------------------------------------------------
 * Virtual buffers: handles 0..31.
 * ---------------------------------------------------------------------- */
/* Depth of buffers created next: 8, 16, 24 or 32; other values are refused
 * with RX_ERR_ARGUMENT and change nothing. */
RX_API int32_t rx_set_buffer_depth(int32_t bits);
/* New handle 0..31; -1 no free slot, or a width or height below 1 or
 * above RX_MAX_BUFFER_SIDE; -2 memory or bitmap cannot be had. */
RX_API int32_t rx_buffer_create(int32_t width, int32_t height);
enum { RX_MAX_BUFFER_SIDE = 16384 };
RX_API int32_t rx_buffer_select(int32_t handle); /* 0; -1 outside 0..31; -2 slot free */
RX_API int32_t rx_buffer_release(void);
RX_API int32_t rx_buffer_free(int32_t handle); /* always 0; active or free slots untouched */
/* Copies the inclusive source rectangle so that its lower-left corner lands
 * at (dest_x, dest_y). Handles are taken modulo 32. The rectangle is clipped
 * to both buffers. Returns 0; free slots copy nothing and return 0; buffers
 * of different depths copy nothing and return RX_ERR_ARGUMENT. */
RX_API int32_t rx_buffer_copy(int32_t min_x, int32_t max_x, int32_t min_y, int32_t max_y,
                              int32_t dest_x, int32_t dest_y, int32_t source, int32_t dest);
/* Transfers the inclusive rectangle of the active buffer to the window with
 * its lower-left corner at (dest_x, dest_y); clipped to the buffer and the
 * screen. Always 0. */
RX_API int32_t rx_buffer_paste(int32_t min_x, int32_t max_x, int32_t min_y, int32_t max_y,
                               int32_t dest_x, int32_t dest_y);

/* The active buffer as a reader sees it. Rows are stored bottom row
 * first: row y (0 is the top) begins at
 * pixels + (height - 1 - y) * bytes_per_row. Pixels are 1 byte (an index
 * into palette), 2 bytes (a little-endian 5-6-5 value, widened by
 * rx_unpack_rgb), 3 bytes (blue, green, red) or 4 bytes (blue, green, red,
 * unused). width is the buffer's stored width: the width asked of
 * rx_buffer_create rounded up to a multiple of 4. palette holds the library
 * palette's colours as red, green, blue; palette_map[i] is the pixel value
 * palette index i is drawn with at this depth (the index itself at 8 bits;
 * the pixel's bytes read as a little-endian number otherwise). The pointer
 * is valid until the buffer is freed. */
typedef struct RxPixels {
  const uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t bits;
  int32_t bytes_per_row;
  uint8_t palette[256][3];
  uint32_t palette_map[256];
} RxPixels;
/* Fills pixels from the active buffer: 0; RX_ERR_ARGUMENT for a null
 * record; RX_ERR_RESOURCE when no buffer is active (nothing written). */
RX_API int32_t rx_buffer_pixels(RxPixels* pixels);

/* ------------------------------------------------------------------------
 * Colour values and the drawing position
 * ---------------------------------------------------------------------- */
RX_API int32_t rx_move_to(int32_t x, int32_t y);
RX_API uint32_t rx_pack_rgb(int32_t red, int32_t green, int32_t blue); /* low 8 bits each */
/* Null out-parameters are allowed and left alone. */
RX_API int32_t rx_unpack_rgb(uint32_t value, int32_t* red, int32_t* green, int32_t* blue);

/* ------------------------------------------------------------------------
 * Image blocks: caller memory, bottom row first, zero pixels transparent.
 * ---------------------------------------------------------------------- */
/* width x height x (1, 2, 3, 3 for 8, 16, 24, 32 bits); 0 when either side
 * is below 1 or the product does not fit 32 bits. */
RX_API uint32_t rx_block_size(int32_t width, int32_t height);
/* Captures the rectangle whose lower-left corner is the current position.
 * A rectangle that leaves the buffer is refused whole (nothing read or
 * written) with RX_ERR_ARGUMENT, as is a null block; otherwise 0. At 8 bits
 * and without an active buffer nothing is captured and the result is 0. */
RX_API int32_t rx_capture_block(void* block, int32_t width, int32_t height);
/* Draw a block with its lower-left corner at the current position, plain or
 * mirrored left to right, clipped; always 0 (nothing drawn at 8 bits, for a
 * null block or for a side below 1). */
RX_API int32_t rx_draw_block(const void* block, int32_t width, int32_t height);
RX_API int32_t rx_draw_block_mirrored(const void* block, int32_t width, int32_t height);

/* ------------------------------------------------------------------------
 * PCX pictures. Results: 0 drawn (or no active buffer); positive failures.
 * ---------------------------------------------------------------------- */
enum {
  RX_PICTURE_CANNOT_OPEN = 1, /* the file did not open */
  RX_PICTURE_BAD_START = 2,   /* short header, or not this format's first bytes */
  RX_PCX_UNSUPPORTED = 3,     /* planes / bits per plane / buffer depth not supported */
  RX_PCX_OUTSIDE = 4,         /* the picture lies wholly outside the buffer; nothing drawn */
  RX_PCX_LINE_TOO_LONG = 5,   /* planes x bytes per line + 62 exceeds the 10240-byte scratch */
  RX_PCX_BAD_SIZE = 6         /* maximum below minimum, no plane, or lines too short for the width */
};
/* Draws a PCX picture (2 colours, 16 colours in 4 planes, 256 colours, or
 * 24-bit colour in 3 planes; 4 planes of 8 bits, colour with alpha, give
 * RX_PCX_UNSUPPORTED) into the active buffer at its origin, or with
 * RX_SHOW_AT_POSITION at the current position as upper-left corner. Parts
 * that fall outside the buffer on any side are clipped. Truncated image
 * data is not an error: rows without data keep the last decoded bytes.
 * Memory mode never reads past the installed InputBuffer size; fewer than
 * 128 bytes there give RX_PICTURE_BAD_START. The 769-byte palette at the
 * end of the file is used for 256-colour pictures of version 5 only; other
 * pictures load the 16 header colours, except that a 2-colour picture whose
 * first two header colours are alike (a blank header palette) is drawn
 * black (0) and white (1). Checks in order: 1, 2, 6 (extent),
 * 4, 3, 6 (lines), 5; nothing is drawn or loaded when one fails. */
RX_API int32_t rx_show_pcx(const char* file_name, int32_t flags);
/* What the header of a PCX picture says, as the library reads it. */
typedef struct PcxInfo {
  uint8_t version;
  uint8_t encoding;       /* 1 is run-length; the library reads any value so */
  uint8_t bits_per_plane;
  uint8_t planes;
  int32_t bytes_per_line;
  int32_t min_x, min_y;   /* the origin */
  int32_t width, height;  /* from the header's extent; may be 0 or less when unsound */
  int32_t colors;         /* 2, 16 or 256; 0 colour in the pixels; -1 not supported */
  int32_t end_palette;    /* 1 when the 769-byte palette at the end is used */
} PcxInfo;
/* Reads a PCX header from the file, or with RX_SHOW_FROM_MEMORY from the
 * InputBuffer, and checks it as rx_show_pcx does without a buffer: 0,
 * RX_PICTURE_CANNOT_OPEN, RX_PICTURE_BAD_START, RX_PCX_BAD_SIZE,
 * RX_PCX_UNSUPPORTED (at every depth), RX_PCX_LINE_TOO_LONG; RX_ERR_ARGUMENT
 * for a null info. info is filled whenever the 128 header bytes were read,
 * also when a later check fails. */
RX_API int32_t rx_pcx_header(const char* file_name, int32_t flags, PcxInfo* info);
/* Fits the colours used in the clip rectangle of an 8-bit active buffer
 * into palette entries start .. start + count - 1 and renumbers its pixels.
 * count below 1, a negative start, a run past entry 255 or a null palette
 * is refused: nothing changes. Always 0. */
RX_API int32_t rx_reduce_colors(int32_t start, int32_t count, uint8_t* palette);

/* ------------------------------------------------------------------------
 * JPEG pictures (baseline, Huffman, 8-bit, 1 or 3 components).
 * ---------------------------------------------------------------------- */
#pragma pack(push, 1)
typedef struct JpegInfo {
  uint16_t signature; /* 0xFFD8 once filled */
  uint16_t width;
  uint16_t height;
  uint8_t components;
  uint8_t sampling[3]; /* components 1..3: H << 4 | V */
} JpegInfo;
#pragma pack(pop)

/* Results of rx_show_jpeg besides 0, RX_PICTURE_CANNOT_OPEN and
 * RX_PICTURE_BAD_START. Nothing is written outside the active buffer's clip
 * rectangle; strips finished before a failure stay drawn. */
enum {
  RX_JPEG_MARKER_EXPECTED = 3,     /* a byte where a marker must begin is not 0xFF */
  RX_JPEG_BUFFER_TOO_SMALL = 4,    /* the DecodeBuffer is smaller than one strip */
  RX_JPEG_NOT_BASELINE = 5,        /* SOF1..SOF15 frame (progressive, extended, lossless,
                                      arithmetic), or a scan before any SOF0 */
  RX_JPEG_UNSUPPORTED_FRAME = 6,   /* not 1 or 3 components, identifiers other than 1,2,3
                                      (or 0,1,2), precision not 8, zero width or height */
  RX_JPEG_UNSUPPORTED_SAMPLING = 7,/* factor 0 or above 4, a chroma factor finer than
                                      luma's or not dividing it */
  RX_JPEG_BAD_QUANT_TABLE = 8,     /* DQT: identifier above 3, 16-bit entries, or a length
                                      that is not whole tables */
  RX_JPEG_BAD_HUFFMAN_TABLE = 9,   /* DHT: class or identifier above 1, more than 256
                                      symbols, over-subscribed lengths, DC symbol above 15,
                                      or a length that is not whole tables */
  RX_JPEG_UNDEFINED_TABLE = 10,    /* the scan uses a table never defined */
  RX_JPEG_PARTIAL_SCAN = 11,       /* the scan does not cover every component of the frame
                                      (non-interleaved or multi-scan file) */
  RX_JPEG_BAD_CODE = 12,           /* entropy-coded data: no Huffman code within 16 bits */
  RX_JPEG_RUN_TOO_LONG = 13,       /* entropy-coded data: a run past coefficient 63 */
  RX_JPEG_TRUNCATED = 14,          /* the input ends before EOI, or a scan's data ends early */
  RX_JPEG_BAD_LENGTH = 15          /* a segment length that does not fit its contents */
};
/* Reads the file as rx_show_jpeg does, up to its frame header, and fills
 * info: 0. -1: no file or no record. -2, info unchanged: rx_show_jpeg would
 * refuse the stream at or before its frame header, or EOI comes first.
 * Reads through the start of the ScratchArea. */
RX_API int32_t rx_jpeg_header(const char* file_name, JpegInfo* info);
RX_API int32_t rx_jpeg_buffer_size(const JpegInfo* info);
/* Installs caller memory as the DecodeBuffer; a size of 0 or below, or a
 * null buffer, installs the built-in 10240-byte ScratchArea again. 0. */
RX_API int32_t rx_set_decode_buffer(void* buffer, int32_t size);
RX_API int32_t rx_show_jpeg(const char* file_name, int32_t flags);

/* ------------------------------------------------------------------------
 * Flics (FLI/FLC animations).
 * ---------------------------------------------------------------------- */
#pragma pack(push, 1)
typedef struct FlicContext {
  uint32_t handle;   /* the library's number for the open file */
  uint32_t position; /* byte offset of the next chunk (memory source) */
  uint16_t frames;   /* frame count of the header; informational */
  uint16_t width;
  uint16_t height;
  uint16_t delay;    /* ClockTicks after each frame */
  uint16_t source;   /* 0 file, 1 memory */
} FlicContext;
#pragma pack(pop)

/* Numbers of the FLI/FLC format, for programs that write or walk flics: a
 * 128-byte file header whose 16-bit type at offset 4 is one of the magics,
 * then chunks of a 32-bit size (prefix included) and a 16-bit type, all
 * least significant byte first. A frame chunk holds a 16-bit sub-chunk
 * count and 8 reserved bytes after its prefix, then the sub-chunks. */
enum {
  RX_FLIC_HEADER_SIZE = 128,
  RX_FLIC_CHUNK_PREFIX_SIZE = 6,
  RX_FLIC_FRAME_HEADER_SIZE = 16,
  RX_FLI_MAGIC = 0xAF11, /* speed in 1/70 s */
  RX_FLC_MAGIC = 0xAF12, /* speed in milliseconds */
  RX_FLIC_PREFIX_CHUNK = 0xF100,
  RX_FLIC_FRAME_CHUNK = 0xF1FA
};
/* Sub-chunk types; the player decodes all but RX_FLIC_STAMP (skipped, as
 * any other type inside a frame). */
enum {
  RX_FLIC_COLOR_256 = 4,
  RX_FLIC_DELTA_FLC = 7,
  RX_FLIC_COLOR_64 = 11,
  RX_FLIC_DELTA_FLI = 12,
  RX_FLIC_BLACK = 13,
  RX_FLIC_BYTE_RUN = 15,
  RX_FLIC_COPY = 16,
  RX_FLIC_STAMP = 18
};

/* Widest frame the player decodes: a row plus a byte-run packet's
 * overshoot (127) must fit the 10240-byte row buffer. */
enum { RX_FLIC_MAX_WIDTH = 10113 };
enum {
  RX_FLIC_TOO_WIDE = -3,   /* rx_flic_open: frame wider than RX_FLIC_MAX_WIDTH */
  RX_FLIC_CANNOT_SEEK = -4 /* rx_flic_open: a pipe or device; read it into memory instead */
};

/* 0 opened; RX_ERR_ARGUMENT the file cannot be opened (or 32 flics are
 * open already); RX_ERR_RESOURCE not a flic (header shorter than 128 bytes
 * or type other than 0xAF11 / 0xAF12); RX_FLIC_TOO_WIDE; RX_FLIC_CANNOT_SEEK
 * for a file that cannot seek (playing and rewinding need it). FLC speeds whose
 * delay does not fit 16 bits are clamped to 65535 ticks.
 * handle is the library's number for this open, never given to another
 * open in the same run; a stale or foreign number reads and closes
 * nothing. */
RX_API int32_t rx_flic_open(const char* file_name, FlicContext* context);
/* A flic held in memory: reads the header from the first size bytes of
 * data (the file as installed in the InputBuffer, say) and fills the
 * context to play with RX_SHOW_FROM_MEMORY from just after the header.
 * Results as rx_flic_open's: RX_ERR_ARGUMENT for a null pointer,
 * RX_ERR_RESOURCE for fewer than 128 bytes or another type, and
 * RX_FLIC_TOO_WIDE. No file is opened and rx_flic_close is not needed. */
RX_API int32_t rx_flic_open_memory(const void* data, int32_t size, FlicContext* context);
/* Closes the file; always 0. A handle that names no open flic is ignored. */
RX_API int32_t rx_flic_close(FlicContext* context);
/* frames < 0 rewinds, 0 does nothing, > 0 skips that many frame chunks
 * and returns how many were passed. The walk stops at the end of the data,
 * at a chunk of an unknown type or at a chunk smaller than its 6-byte
 * prefix; in memory the position never passes the end of the InputBuffer. */
RX_API int32_t rx_flic_skip(FlicContext* context, int32_t frames);
/* Plays frames (< 0: all that remain) into the active buffer; returns the
 * number shown, 0 at the end. Choices made safe:
 * - pixels outside the active buffer (columns or rows) are clipped, never
 *   written into a neighbouring row;
 * - a memory source that runs out ends the call: the frames shown are
 *   returned and the position is saved at the end of the InputBuffer;
 *   data that ends inside a frame ends that frame's drawing there;
 * - a frame-level chunk of an unknown type, a chunk or sub-chunk smaller
 *   than its header (prefix 6, frame 16, sub-chunk 6) or a sub-chunk whose
 *   decoder reads past its size ends the call with the frames completed
 *   before that chunk; the playing position (both sources) is saved at
 *   that chunk, so the next call returns 0 instead of playing again;
 * - a context wider than RX_FLIC_MAX_WIDTH plays nothing (0);
 * - a palette packet running past entry 255 is cut at 255. */
RX_API int32_t rx_flic_play(FlicContext* context, int32_t frames, int32_t flags);
/* Busy-waits ticks x 55 ms of elapsed time (wrap-around of the
 * millisecond counter neither ends nor stretches the wait); always 0. */
RX_API int32_t rx_wait_ticks(uint32_t ticks);

/* ------------------------------------------------------------------------
 * Version and result messages
 * ---------------------------------------------------------------------- */
/* The library's version, "MAJOR.MINOR.PATCH". */
RX_API const char* rx_version(void);
/* Operations for rx_result_message: a result code means different things
 * for different operations. */
enum {
  RX_OP_SET_DC = 1,
  RX_OP_SET_INPUT_BUFFER,
  RX_OP_INIT,
  RX_OP_SHUTDOWN,
  RX_OP_FIND_DISPLAY_MODE,
  RX_OP_SET_DISPLAY_MODE,
  RX_OP_REALIZE_PALETTE,
  RX_OP_SET_BUFFER_DEPTH,
  RX_OP_BUFFER_CREATE,
  RX_OP_BUFFER_SELECT,
  RX_OP_BUFFER_COPY,
  RX_OP_BUFFER_PIXELS,
  RX_OP_CAPTURE_BLOCK,
  RX_OP_SHOW_PCX,
  RX_OP_SHOW_JPEG,
  RX_OP_PCX_HEADER,
  RX_OP_JPEG_HEADER,
  RX_OP_FLIC_OPEN,
  RX_OP_FLIC_PLAY,
  RX_OP_FLIC_SKIP,
  RX_OP_SCREEN_PIXEL
};
/* A short English sentence saying what result means for operation (one of
 * RX_OP_...), e.g. rx_result_message(RX_OP_SHOW_JPEG, 14). Never null:
 * "unknown operation" or "unknown result" when the pair is not known. The
 * text is static; the caller must not free it. */
RX_API const char* rx_result_message(int32_t operation, int32_t result);

/* ------------------------------------------------------------------------
 * Platform layer, the part a program needs to get a device context.
 * ---------------------------------------------------------------------- */
/* Makes the headless backend current with an in-memory screen of width x
 * height (1..16384 each) at bits per pixel (4, 8, 15, 16, 24 or 32) and
 * returns its window DC; null for an unsupported depth or size. */
RX_API RxDC rx_headless_screen(int32_t width, int32_t height, int32_t bits);
/* Reads one screen pixel as red, green, blue (0..255); -1 outside. */
RX_API int32_t rx_screen_pixel(int32_t x, int32_t y, uint8_t rgb[3]);
RX_API int32_t rx_release_dc(RxDC dc);
RX_API int32_t rx_delete_palette(RxPalette palette); /* unknown handles are ignored */

#ifdef __cplusplus
} /* extern "C" */

static_assert(sizeof(JpegInfo) == 10, "JpegInfo is packed, 10 bytes");
static_assert(sizeof(FlicContext) == 18, "FlicContext is packed, 18 bytes");
#endif

#endif /* RASTRIX_H */
