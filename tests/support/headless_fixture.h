// A fresh library on a fresh headless screen for every test.
#pragma once

#include <gtest/gtest.h>

#include "platform/headless_controls.h"
#include "platform/platform.h"
#include "rastrix.h"

namespace rx::support {

// Frees every buffer and shuts the library down, so tests start clean.
void reset_library();

class HeadlessTest : public ::testing::Test {
 protected:
  // Screen depth of the headless desktop; override to change.
  virtual int32_t desktop_bits() const { return 32; }
  void SetUp() override;
  void TearDown() override;
  RxDC dc_ = nullptr;
};

// The same on desktops of other depths.
class EightBitDesktop : public HeadlessTest {
  int32_t desktop_bits() const override { return 8; }
};
class FourBitDesktop : public HeadlessTest {
  int32_t desktop_bits() const override { return 4; }
};
class SixteenBitDesktop : public HeadlessTest {
  int32_t desktop_bits() const override { return 16; }
};

// Creates and selects a buffer of the given depth; returns its handle.
int32_t make_buffer(int32_t bits, int32_t width, int32_t height);

}  // namespace rx::support
