// The version text and the per-operation result messages.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "rastrix.h"

namespace {

TEST(Version, IsThreeNumbers) {
  std::string v = rx_version();
  int dots = 0;
  for (char c : v) {
    if (c == '.') ++dots;
    else EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c))) << v;
  }
  EXPECT_EQ(dots, 2) << v;
}

TEST(ResultMessage, SameCodeMeansDifferentThingsPerOperation) {
  std::string pcx = rx_result_message(RX_OP_SHOW_PCX, 4);
  std::string jpeg = rx_result_message(RX_OP_SHOW_JPEG, 4);
  EXPECT_NE(pcx, jpeg);
  EXPECT_NE(pcx.find("outside"), std::string::npos);
  EXPECT_NE(jpeg.find("decode buffer"), std::string::npos);
  EXPECT_NE(std::string(rx_result_message(RX_OP_SHOW_JPEG, RX_JPEG_TRUNCATED)).find("truncated"),
            std::string::npos);
  EXPECT_NE(std::string(rx_result_message(RX_OP_FLIC_OPEN, RX_FLIC_TOO_WIDE)).find("wider"),
            std::string::npos);
}

TEST(ResultMessage, EveryDocumentedPictureResultIsKnown) {
  for (int32_t r = 0; r <= RX_PCX_BAD_SIZE; ++r)
    EXPECT_STRNE(rx_result_message(RX_OP_SHOW_PCX, r), "unknown result") << r;
  for (int32_t r = 0; r <= RX_JPEG_BAD_LENGTH; ++r)
    EXPECT_STRNE(rx_result_message(RX_OP_SHOW_JPEG, r), "unknown result") << r;
  for (int32_t r : {0, -1, -2, -3})
    EXPECT_STRNE(rx_result_message(RX_OP_FLIC_OPEN, r), "unknown result") << r;
}

TEST(ResultMessage, CountsAndHandlesAreRanges) {
  EXPECT_STREQ(rx_result_message(RX_OP_BUFFER_CREATE, 0), rx_result_message(RX_OP_BUFFER_CREATE, 31));
  EXPECT_STRNE(rx_result_message(RX_OP_BUFFER_CREATE, 31), rx_result_message(RX_OP_BUFFER_CREATE, -1));
  EXPECT_STREQ(rx_result_message(RX_OP_FLIC_PLAY, 1), rx_result_message(RX_OP_FLIC_PLAY, 5000));
  EXPECT_STRNE(rx_result_message(RX_OP_FLIC_PLAY, 0), rx_result_message(RX_OP_FLIC_PLAY, 1));
}

TEST(ResultMessage, UnknownPairsSaySo) {
  EXPECT_STREQ(rx_result_message(0, 0), "unknown operation");
  EXPECT_STREQ(rx_result_message(-7, 0), "unknown operation");
  EXPECT_STREQ(rx_result_message(RX_OP_SHOW_PCX, 99), "unknown result");
  EXPECT_STREQ(rx_result_message(RX_OP_BUFFER_CREATE, 32), "unknown result");
  EXPECT_STREQ(rx_result_message(RX_OP_SHOW_JPEG, INT32_MIN), "unknown result");
}

}  // namespace
