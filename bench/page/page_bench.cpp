// The benchmark page's workloads, timed the same way natively and in a
// browser, so the two figures compare one to one: the demo's 640 x 480
// 4:2:0 photograph decoded into a 16-bit buffer, the 12-fish frame, and
// one frame of the wheel flic into 16 bits, each from memory.
//
// Each workload runs in batches of at least kBatchMs (a browser's clock is
// coarse) and reports the fastest batch's time per run, in microseconds
// (other work on the machine only ever adds time), then the instruction
// level the library used:
//   jpeg565_aquarium_640x480_420 2931.40
//   ...
//   level portable
// usage: page_bench [--quick] [ASSETS_DIR]   (--quick: a few batches, for tests)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rastrix.h"
#include "tank.h"
#include "tank_frame.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr double kBatchMs = 20;
constexpr int kBatches = 15, kQuickBatches = 3;

int batches = kBatches;

double elapsed_ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The time of one run of work in the fastest batch, in microseconds;
// negative when work reports a failure.
template <class Work>
double fastest_micros(Work&& work) {
  long runs = 1;
  for (;;) {  // as many runs as fill a batch
    Clock::time_point start = Clock::now();
    for (long i = 0; i < runs; ++i)
      if (!work()) return -1;
    if (elapsed_ms(start) >= kBatchMs) break;
    runs *= 2;
  }
  double fastest = -1;
  for (int b = 0; b < batches; ++b) {
    Clock::time_point start = Clock::now();
    for (long i = 0; i < runs; ++i)
      if (!work()) return -1;
    double micros = elapsed_ms(start) * 1000 / static_cast<double>(runs);
    if (fastest < 0 || micros < fastest) fastest = micros;
  }
  return fastest;
}

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void start_library(int width, int height) {
  rx_set_dc(rx_headless_screen(rx::bench::kTankWidth, rx::bench::kTankHeight, 16));
  rx_init();
  rx_set_buffer_depth(16);
  rx_buffer_select(rx_buffer_create(width, height));
}

void stop_library() {
  rx_set_input_buffer(nullptr, 0);
  rx_set_decode_buffer(nullptr, 0);
  rx_buffer_release();
  rx_buffer_free(0);
  rx_shutdown();
}

double jpeg_decode(const std::string& assets) {
  Bytes file = read_file(assets + "/AQUARIUM.JPG");  // the InputBuffer is writable memory
  start_library(rx::bench::kTankWidth, rx::bench::kTankHeight);
  std::vector<uint8_t> strip(static_cast<size_t>(rx::bench::kTankWidth) * 3 * 16);
  rx_set_decode_buffer(strip.data(), static_cast<int32_t>(strip.size()));
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  double t = fastest_micros([] { return rx_show_jpeg(nullptr, RX_SHOW_FROM_MEMORY) == 0; });
  stop_library();
  return t;
}

double tank_frame(const std::string& assets) {
  std::string why;
  double t = -1;
  if (rx::bench::set_up_tank(assets, &why)) {
    const std::vector<fishtank::Fish> school = rx::bench::bench_school();
    t = fastest_micros([&] {
      rx::bench::compose_frame(school);
      return true;
    });
  } else {
    std::fprintf(stderr, "the tank did not load: %s\n", why.c_str());
  }
  rx::bench::tear_down_tank();
  return t;
}

// One frame per run; at the end of the flic it starts over.
double wheel_frame(const std::string& assets) {
  Bytes file = read_file(assets + "/WHEEL3.FLC");
  FlicContext first{};
  if (rx_flic_open_memory(file.data(), static_cast<int32_t>(file.size()), &first) != 0) return -1;
  start_library(first.width, first.height);
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  FlicContext flic = first;
  constexpr int32_t kFlags = RX_FLIC_NO_DELAY | RX_SHOW_FROM_MEMORY;
  double t = fastest_micros([&] {
    if (rx_flic_play(&flic, 1, kFlags) == 1) return true;
    flic = first;
    return rx_flic_play(&flic, 1, kFlags) == 1;
  });
  stop_library();
  return t;
}

struct Workload {
  const char* name;
  double (*run)(const std::string& assets);
};
constexpr Workload kWorkloads[] = {
    {"jpeg565_aquarium_640x480_420", jpeg_decode},
    {"frame_12fish", tank_frame},
    {"flic16_wheel3", wheel_frame},
};

}  // namespace

int main(int argc, char** argv) {
  std::string assets = ".";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--quick")
      batches = kQuickBatches;
    else
      assets = a;
  }
  int status = 0;
  for (const Workload& w : kWorkloads) {
    double micros = w.run(assets);
    if (micros < 0) {
      std::printf("%s failed\n", w.name);
      status = 1;
    } else {
      std::printf("%s %.2f\n", w.name, micros);
    }
    std::fflush(stdout);
  }
  std::printf("level %s\n", rx_cpu_level_name(rx_cpu_level()));  // as rx_init chose it
  return status;
}
