// The names of the input ids, which scripts see: an Input object bound to an
// input raises "OnInput" followed by the input's name. Inputs without a name
// read as the empty text.
#pragma once
#include <array>

#include "services/input/InputState.h"

namespace tge {

class InputNameTable {
 public:
  static constexpr int kMaxNameLength = 20;

  InputNameTable();

  // The empty text for unnamed inputs and for ids outside 0..511.
  const char* GetName(int input) const;

 private:
  void SetName(int input, const char* name);

  std::array<std::array<char, kMaxNameLength + 1>, kInputCount> names_{};
};

}  // namespace tge
