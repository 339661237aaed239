#include "framework/IStateBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const IStateBuffer& buffer) {
  return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

void Fill(IStateBuffer& buffer, const std::vector<uint8_t>& bytes) {
  buffer.ResizeZeroFilled(static_cast<int32_t>(bytes.size()));
  std::memcpy(buffer.Data(), bytes.data(), bytes.size());
}

TEST(StateBuffer, ValuesAreLittleEndianDoublesAtAnyOffset) {
  IStateBuffer buffer;
  EXPECT_EQ(buffer.AppendBytes("\x01", 1), true);
  EXPECT_EQ(buffer.AppendValue(1000.0), 9);
  EXPECT_EQ(buffer.AppendValue(-2.5), 17);
  EXPECT_EQ(Bytes(buffer),
            (std::vector<uint8_t>{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x8F, 0x40, 0x00, 0x00,
                                  0x00, 0x00, 0x00, 0x00, 0x04, 0xC0}));
  double v = 0.0;
  EXPECT_EQ(buffer.ReadValue(1, v), 9);
  EXPECT_EQ(v, 1000.0);
  EXPECT_EQ(buffer.ReadValue(9, v), 17);
  EXPECT_EQ(v, -2.5);
}

TEST(StateBuffer, ReadsOutsideTheBytesFail) {
  IStateBuffer buffer;
  buffer.AppendValue(1.0);
  double v = 7.0;
  EXPECT_EQ(buffer.ReadValue(1, v), -1);
  EXPECT_EQ(buffer.ReadValue(-1, v), -1);
  EXPECT_EQ(buffer.ReadValue(std::numeric_limits<int32_t>::max() - 2, v), -1);
  EXPECT_EQ(v, 7.0);
  int32_t i = 0;
  EXPECT_EQ(buffer.ReadInt32(4, i), 8);
  EXPECT_EQ(buffer.ReadInt32(5, i), -1);
}

TEST(StateBuffer, StringsAreLengthPrefixed) {
  IStateBuffer buffer;
  EXPECT_EQ(buffer.AppendString("Kick"), 8);
  EXPECT_EQ(buffer.AppendString(""), 12);
  EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{4, 0, 0, 0, 'K', 'i', 'c', 'k', 0, 0, 0, 0}));
  char text[16] = "junk";
  EXPECT_EQ(buffer.ReadString(0, text, sizeof text), 8);
  EXPECT_STREQ(text, "Kick");
  EXPECT_EQ(buffer.ReadString(8, text, sizeof text), 12);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(buffer.ReadString(12, text, sizeof text), -1);
}

TEST(StateBuffer, StringEndsAtAnEmbeddedNulAndIsCutToTheDestination) {
  IStateBuffer buffer;
  Fill(buffer, {6, 0, 0, 0, 'a', 'b', 0, 'c', 'd', 'e', 0xAA});
  char text[8];
  EXPECT_EQ(buffer.ReadString(0, text, sizeof text), 10);  // the position still skips all six bytes
  EXPECT_STREQ(text, "ab");
  Fill(buffer, {6, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f'});
  char small[4];
  EXPECT_EQ(buffer.ReadString(0, small, sizeof small), 10);
  EXPECT_STREQ(small, "abc");
}

TEST(StateBuffer, DamagedStringLengthsAreRejected) {
  IStateBuffer buffer;
  char text[8] = "junk";
  Fill(buffer, {0xFC, 0xFF, 0xFF, 0xFF, 'a', 'b'});  // −4 would move the reader back onto itself
  EXPECT_EQ(buffer.ReadString(0, text, sizeof text), -1);
  EXPECT_STREQ(text, "");
  Fill(buffer, {3, 0, 0, 0, 'a', 'b'});  // one byte short
  EXPECT_EQ(buffer.ReadString(0, text, sizeof text), -1);
  Fill(buffer, {0xFF, 0xFF, 0xFF, 0x7F, 'a'});  // a length that would overflow a position
  EXPECT_EQ(buffer.ReadString(0, text, sizeof text), -1);
  Fill(buffer, {2, 0, 0});
  EXPECT_EQ(buffer.ReadString(0, text, sizeof text), -1);
}

TEST(StateBuffer, HeaderReplacesEverything) {
  IStateBuffer buffer;
  buffer.AppendValue(5.0);
  EXPECT_TRUE(buffer.WriteChunkHeader());
  EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
}

TEST(StateBuffer, ResizeZeroFilledReportsTheOldSize) {
  IStateBuffer buffer;
  buffer.AppendInt32(0x04030201);
  buffer.AppendInt32(-1);
  EXPECT_EQ(buffer.ResizeZeroFilled(4), 8);
  EXPECT_EQ(buffer.ResizeZeroFilled(6), 4);
  EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{1, 2, 3, 4, 0, 0}));
}

}  // namespace
