// Builds little-endian test files field by field, and a temporary data
// folder ("<folder>/Data/") the resources load their files from.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tge::test {

class Bytes {
 public:
  Bytes& U32(std::uint32_t v) { return Raw(&v, 4); }
  Bytes& I32(std::int32_t v) { return Raw(&v, 4); }
  Bytes& F32(float v) { return Raw(&v, 4); }
  Bytes& U16(std::uint16_t v) { return Raw(&v, 2); }
  Bytes& Str(const std::string& s) {
    U32(static_cast<std::uint32_t>(s.size()));
    return Raw(s.data(), s.size());
  }
  Bytes& Raw(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    data.insert(data.end(), b, b + n);
    return *this;
  }
  std::vector<std::uint8_t> data;
};

class TempDataFolder {
 public:
  TempDataFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("tge_services_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "Data");
  }
  ~TempDataFolder() { std::filesystem::remove_all(root_); }

  // The data folder as the engine names it: ends in a separator.
  std::string Folder() const { return root_.string() + "/"; }
  std::filesystem::path Path(const std::string& relative) const { return root_ / relative; }
  void Write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream out(root_ / relative, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<std::uint8_t> Read(const std::string& relative) const {
    std::ifstream in(root_ / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path root_;
};

}  // namespace tge::test
