#include "shell/SourceDescription.h"

#include <gtest/gtest.h>

namespace tilbo {
namespace {

// The frame's other texts are checked on the real quadrangle (frmMainTest).
TEST(FileSizeText, BytesKilobytesAndMegabytesCutNotRounded) {
  EXPECT_EQ(FileSizeText(999), "999 bytes, ");
  EXPECT_EQ(FileSizeText(1000), "1kB, ");
  EXPECT_EQ(FileSizeText(12345), "12.34kB, ");
  EXPECT_EQ(FileSizeText(1500), "1.5kB, ");
  EXPECT_EQ(FileSizeText(1000000), "1MB, ");
  EXPECT_EQ(FileSizeText(1234567), "1.234MB, ");
}

}  // namespace
}  // namespace tilbo
