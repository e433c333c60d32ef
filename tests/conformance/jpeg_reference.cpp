// jpeg_reference FILE OUT.ppm: decodes a baseline JPEG with libjpeg-turbo
// (islow IDCT, replication upsampling, no block smoothing) to YCbCr or
// grayscale samples and converts them with Rastrix's colour tables, so
// that every pixel must match rxtool's 24-bit decode exactly.
#include <cstdio>
#include <csetjmp>
#include <vector>

#include <jpeglib.h>

namespace {

struct ErrorExit {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void on_error(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorExit*>(info->err)->jump, 1);
}

int entry(double k, int i) { return static_cast<int>(k * (i - 128) + 0.5); }
int clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: jpeg_reference FILE OUT.ppm\n");
    return 1;
  }
  FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) return 1;
  jpeg_decompress_struct cinfo;
  ErrorExit err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = on_error;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::fclose(in);
    std::fprintf(stderr, "jpeg_reference: %s: libjpeg refused it\n", argv[1]);
    return 2;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, in);
  jpeg_read_header(&cinfo, TRUE);
  bool gray = cinfo.num_components == 1;
  cinfo.out_color_space = gray ? JCS_GRAYSCALE : JCS_YCbCr;
  cinfo.dct_method = JDCT_ISLOW;
  cinfo.do_fancy_upsampling = FALSE;
  cinfo.do_block_smoothing = FALSE;
  jpeg_start_decompress(&cinfo);
  int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
  int n = cinfo.output_components;
  std::vector<unsigned char> line(static_cast<size_t>(w) * n), rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    JSAMPROW row = line.data();
    jpeg_read_scanlines(&cinfo, &row, 1);
    for (int x = 0; x < w; ++x) {
      unsigned char* o = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      int l = line[x * n];
      if (gray) {
        o[0] = o[1] = o[2] = static_cast<unsigned char>(l);
        continue;
      }
      int cb = line[x * n + 1], cr = line[x * n + 2];
      o[0] = static_cast<unsigned char>(clamp(l + entry(1.402, cr)));
      o[1] = static_cast<unsigned char>(clamp(l - entry(0.34414, cb) - entry(0.71414, cr)));
      o[2] = static_cast<unsigned char>(clamp(l + entry(1.772, cb)));
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(in);
  FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) return 3;
  std::fprintf(out, "P6\n%d %d\n255\n", w, h);
  std::fwrite(rgb.data(), 1, rgb.size(), out);
  return std::fclose(out) == 0 ? 0 : 3;
}
