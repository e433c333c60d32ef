// assetgen: renders the demo's eight pictures into a folder.
//   assetgen [output folder]     (default demo/assets)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fish.h"
#include "fish_sheet.h"
#include "jpeg_io.h"
#include "photo.h"
#include "writers/flic_writer.h"
#include "writers/pcx_writer.h"
#include "wheel.h"

namespace {

constexpr int kJpegQuality = 85;

bool write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", path.string().c_str());
    return false;
  }
  std::printf("%-14s %7zu bytes\n", path.filename().string().c_str(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace assetgen;
  if (argc > 2) {
    std::fprintf(stderr, "usage: assetgen [output folder]\n");
    return 2;
  }
  const std::filesystem::path folder = argc == 2 ? argv[1] : "demo/assets";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "assetgen: cannot create %s: %s\n", folder.string().c_str(), error.message().c_str());
    return 1;
  }

  const std::vector<uint8_t> jpeg = encode_jpeg(render_aquarium(), kJpegQuality);
  bool ok = write_file(folder / "AQUARIUM.JPG", jpeg);

  for (const FishKind& kind : kFishKinds) {
    ok = write_file(folder / kind.file, rx::support::encode_pcx(render_fish_picture(kind))) && ok;
  }

  // The wheel stands on the photograph as the demo will see it: decoded.
  const Image corner = decode_jpeg(jpeg).crop(kWheelLeft, kWheelTop, kWheelWidth, kWheelHeight);
  const WheelAnimation wheel = render_wheel(corner);
  ok = write_file(folder / "WHEEL3.FLC",
                  rx::support::encode_flc(wheel.frames, kWheelWidth, kWheelHeight, wheel.palette, kWheelFrameMs)) &&
       ok;
  return ok ? 0 : 1;
}
