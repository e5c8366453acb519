// The test movie (tests/support/VideoFixture.h) written once per test program into
// a temporary folder, and the colour probes its pictures are checked with.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "tests/support/VideoFixture.h"

namespace tge::test {

constexpr std::uint32_t kMovieRed = 0xFFFF0000;
constexpr std::uint32_t kMovieBlue = 0xFF0000FF;
// Compression shifts flat colours a little.
constexpr int kMovieTolerance = 24;

// A folder of its own for the test program, removed at exit.
struct TestMovieFolder {
  TestMovieFolder()
      : path(std::filesystem::temp_directory_path() / ("tge-movie-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~TestMovieFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
};

// The path of the one-second movie; empty (with a test failure) when it
// cannot be written.
inline const std::string& TestMoviePath() {
  static const TestMovieFolder folder;
  static const std::string path = [] {
    const std::string file = (folder.path / "movie.mpg").string();
    std::string error;
    if (tools::WriteTestMovie(file, tools::TestMovie{}, error)) return file;
    ADD_FAILURE() << "test movie: " << error;
    return std::string();
  }();
  return path;
}

}  // namespace tge::test
