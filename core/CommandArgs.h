// Typed access to packed argument blocks. A block holds a command's arguments
// one after another with nothing between them, so fields are often unaligned:
// every read and write goes through memcpy. A getter writes its result into
// the same block from offset 0.
//
// Two argument kinds do not live in the block as values: a String command's
// whole block is one std::string, and a TreePath travels as the resolved
// object pointer in a pointer-sized slot.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace tge {

class CommandArgs {
 public:
  explicit CommandArgs(void* block) : block_(static_cast<std::uint8_t*>(block)) {}

  bool IsNull() const { return block_ == nullptr; }
  void* Data() const { return block_; }

  template <class T>
  T Get(std::size_t offset = 0) const {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, block_ + offset, sizeof(T));
    return value;
  }

  template <class T>
  void Set(const T& value, std::size_t offset = 0) const {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(block_ + offset, &value, sizeof(T));
  }

  template <class T>
  T* GetPointer(std::size_t offset = 0) const {
    return static_cast<T*>(Get<void*>(offset));
  }

  // The block of a String command is the text-string object itself.
  std::string& AsString() const { return *reinterpret_cast<std::string*>(block_); }

  // A String128 argument: NUL-terminated text in 128 bytes, read without
  // running past them when the terminator is missing.
  std::string GetText128(std::size_t offset = 0) const {
    const char* text = reinterpret_cast<const char*>(block_ + offset);
    return std::string(text, strnlen(text, 128));
  }

 private:
  std::uint8_t* block_;
};

// Builds a block for a sender: values are appended in argument order.
class ArgumentBlock {
 public:
  template <class T>
  ArgumentBlock& Push(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    const std::size_t at = bytes_.size();
    bytes_.resize(at + sizeof(T));
    std::memcpy(bytes_.data() + at, &value, sizeof(T));
    return *this;
  }

  ArgumentBlock& PushPointer(const void* pointer) { return Push(pointer); }

  // 128 bytes of NUL-terminated text; longer text is cut to 127 characters.
  ArgumentBlock& PushText128(const std::string& text) {
    char field[128] = {};
    std::memcpy(field, text.data(), text.size() < 127 ? text.size() : 127);
    return Push(field);
  }

  void* Data() { return bytes_.data(); }
  std::size_t Size() const { return bytes_.size(); }
  CommandArgs Args() { return CommandArgs(bytes_.data()); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace tge
