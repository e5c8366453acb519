#include "core/files/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <array>

namespace tge {
namespace {

class MemoryFileSystemTest : public ::testing::Test {
 protected:
  ~MemoryFileSystemTest() override {
    for (FileHandle handle : handles_) memory_.Close(handle);
  }
  FileHandle Create(std::size_t size, void* data = nullptr) {
    handles_.push_back(memory_.CreateMemoryHandle(size, data));
    return handles_.back();
  }

  MemoryFileSystem& memory_ = GetMemoryFileSystem();
  std::vector<FileHandle> handles_;
};

TEST_F(MemoryFileSystemTest, OwnedBufferReadsToEofAndEndsInZero) {
  const FileHandle file = Create(10);
  std::uint8_t* data = memory_.GetData(file);
  for (int i = 0; i < 10; ++i) data[i] = static_cast<std::uint8_t>('a' + i);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(memory_.Eof(file), 0);
    char c = 0;
    ASSERT_EQ(memory_.Read(&c, 1, 1, file), 1u);
    EXPECT_EQ(c, 'a' + i);
  }
  EXPECT_EQ(memory_.Eof(file), 1);
  EXPECT_EQ(memory_.GetSize(file), 10);
  EXPECT_EQ(data[10], 0);
  EXPECT_EQ(memory_.GetCurrentData(file), data + 10);
}

TEST_F(MemoryFileSystemTest, SeeksFromEachOriginAndClipsToTheBuffer) {
  struct Case {
    std::int64_t from, offset;
    int origin;
    std::int64_t expected;
    int result;
  };
  const FileHandle file = Create(10);
  for (const Case& c : {Case{0, -4, kSeekEnd, 6, 0}, Case{2, 5, kSeekStart, 5, 0},
                        Case{2, 3, kSeekCurrent, 5, 0}, Case{2, 3, 7, 2, 0},
                        Case{2, 20, kSeekCurrent, 10, -1}, Case{2, -3, kSeekCurrent, 0, -1},
                        Case{2, 1, kSeekEnd, 10, -1}}) {
    memory_.Seek(file, c.from, kSeekStart);
    EXPECT_EQ(memory_.Seek(file, c.offset, c.origin), c.result) << c.offset << " " << c.origin;
    EXPECT_EQ(memory_.Tell(file), c.expected) << c.offset << " " << c.origin;
  }
}

TEST_F(MemoryFileSystemTest, TransfersStopAtTheEndWithShortCounts) {
  std::array<std::uint8_t, 16> block{};
  block.fill(0xEE);
  const FileHandle file = Create(8, block.data() + 4);  // guard bytes on both sides
  const std::array<std::uint8_t, 12> source{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(memory_.Write(source.data(), 4, 3, file), 2u);
  EXPECT_EQ(memory_.Tell(file), 8);
  EXPECT_EQ(memory_.Write(source.data(), 1, 1, file), 0u);
  EXPECT_EQ(block[3], 0xEE);
  EXPECT_EQ(block[12], 0xEE);

  memory_.Seek(file, 2, kSeekStart);
  std::array<std::uint16_t, 4> words{};
  words.fill(0xBEEF);
  EXPECT_EQ(memory_.Read(words.data(), 2, 4, file), 3u);
  EXPECT_EQ(words[2], 0x0807);
  EXPECT_EQ(words[3], 0xBEEF);
  EXPECT_EQ(memory_.Read(words.data(), 2, 1, file), 0u);
}

TEST_F(MemoryFileSystemTest, CallersBufferOutlivesTheHandle) {
  std::array<char, 4> buffer{'k', 'e', 'e', 'p'};
  const FileHandle file = memory_.CreateMemoryHandle(buffer.size(), buffer.data());
  EXPECT_EQ(memory_.GetData(file), reinterpret_cast<std::uint8_t*>(buffer.data()));
  EXPECT_EQ(memory_.Close(file), 0);
  EXPECT_EQ(memory_.Close(file), -1);
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), "keep");
  EXPECT_EQ(memory_.Open("anything", "rb"), kNoFile);
}

}  // namespace
}  // namespace tge
