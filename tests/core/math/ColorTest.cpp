#include <gtest/gtest.h>

#include <cmath>

#include "core/math/Color.h"

namespace tge {
namespace {

TEST(ColorTest, ColorToDwordPacksAlphaRedGreenBlue) {
  EXPECT_EQ(ColorToDword(Color{1, 0.5f, 0, 1}), 0xFFFF8000u);
  EXPECT_EQ(ColorToDword(Color{0, 0, 0, 0}), 0x00000000u);
  EXPECT_EQ(ColorToDword(Color{1, 1, 1, 1}), 0xFFFFFFFFu);
  EXPECT_EQ(ColorToDword(Color{0, 0, 1, 0}), 0x000000FFu);
  EXPECT_EQ(ColorToDword(Color{0.8f, 0.8f, 0.8f, 0.8f}), 0xCCCCCCCCu);  // 204.5 -> 204
  EXPECT_EQ(ColorToDword(Color{0.2f, 0.1f, 0.001f, 0.5f}), 0x80331A00u);
}

TEST(ColorTest, ColorToDwordClampsOutOfRangeComponents) {
  EXPECT_EQ(ColorToDword(Color{1.2f, 1.2f, 1.2f, 1.0f}), 0xFFFFFFFFu);
  EXPECT_EQ(ColorToDword(Color{-3, 250, -0.0f, 2}), 0xFF00FF00u);
  EXPECT_EQ(ColorToDword(Color{0.999f, 0, 0, 0}), 0x00FF0000u);
  EXPECT_EQ(ColorToDword(Color{2, -1, 0.25f, 0}), 0x00FF0040u);
  // A component that is not a number packs as full.
  EXPECT_EQ(ColorToDword(Color{std::nanf(""), 0, 0, 1}), 0xFFFF0000u);
  EXPECT_EQ(ColorToDword(Color{0, 0, 0, std::nanf("")}), 0xFF000000u);
}

}  // namespace
}  // namespace tge
