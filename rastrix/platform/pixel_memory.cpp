#include "platform/pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace rx::platform {

namespace {

constexpr size_t kAlign = 32;                   // the widest vector store
constexpr size_t kHugePage = size_t{2} << 20;   // x86-64 and arm64 huge pages
constexpr size_t kMappedFrom = 4 * kHugePage;   // below this calloc is as good

uint8_t* aligned(void* block, size_t to) {
  const uintptr_t start = reinterpret_cast<uintptr_t>(block);
  return reinterpret_cast<uint8_t*>((start + to - 1) / to * to);
}

}  // namespace

PixelMemory reserve_pixels(size_t bytes) {
  const size_t rounded = (bytes + kAlign - 1) / kAlign * kAlign;
  if (rounded < kMappedFrom) {
    // calloc hands big blocks over as fresh zero pages: nothing is cleared
    // by hand, and untouched rows cost nothing.
    void* block = std::calloc(1, rounded + kAlign);
    return {block, 0, block ? aligned(block, kAlign) : nullptr};
  }
  // Fresh anonymous pages are zero; one huge page of slack lets the pixels
  // start on a huge-page boundary.
  const size_t reserved = (rounded + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
  void* block = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return {nullptr, 0, nullptr};
  uint8_t* pixels = aligned(block, kHugePage);
#ifdef MADV_HUGEPAGE
  madvise(pixels, reserved - static_cast<size_t>(pixels - static_cast<uint8_t*>(block)),
          MADV_HUGEPAGE);  // advice only: without huge pages the block still works
#endif
  return {block, reserved, pixels};
}

void release_pixels(const PixelMemory& memory) {
  if (memory.reserved == 0)
    std::free(memory.block);
  else
    munmap(memory.block, memory.reserved);
}

}  // namespace rx::platform
