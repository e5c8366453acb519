// The text database: a tree of named texts read with the resource library,
// where dialogs, widgets and resources look their texts up by name. The
// program only reads this format. A file is checked whole (counts, parent
// indices, no parent cycles) before it replaces what the database held.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tge {

class SerializeStream;

class TextNode {
 public:
  TextNode() = default;
  TextNode(std::string name, std::int32_t value) : value_(value), name_(std::move(name)) {}
  virtual ~TextNode() = default;
  TextNode(const TextNode&) = delete;
  TextNode& operator=(const TextNode&) = delete;

  // Value, name and text, from the stream's version 1 on.
  virtual void Serialize(SerializeStream& stream);

  std::int32_t GetValue() const { return value_; }
  const std::string& GetName() const { return name_; }
  const std::string& GetText() const { return text_; }
  const TextNode* GetParent() const { return parent_; }
  const std::vector<TextNode*>& GetChildren() const { return children_; }

 private:
  friend class TextDatabase;

  std::int32_t value_ = -1;
  std::string name_;
  std::string text_;
  TextNode* parent_ = nullptr;
  std::vector<TextNode*> children_;
};

class TextDatabase {
 public:
  static constexpr std::uint32_t kDefaultCodePage = 1252;

  TextDatabase();

  // 0 when the file cannot be opened or is bad; the database then keeps
  // what it held.
  int Read(const std::string& fileName);
  // The same from bytes in memory.
  int ReadMemory(const std::uint8_t* data, std::size_t size);

  // The first node read whose name matches exactly; never the root.
  const TextNode* FindNode(const std::string& name) const;

  const TextNode& GetRoot() const { return root_; }
  // The nodes read, without the root.
  std::size_t GetNodeCount() const { return nodes_.size(); }
  const std::string& GetFileName() const { return fileName_; }
  std::uint32_t GetFormat() const { return format_; }
  std::uint32_t GetCodePage() const { return codePage_; }

 private:
  int ReadStream(SerializeStream& stream);

  std::string fileName_;
  std::vector<std::unique_ptr<TextNode>> nodes_;
  TextNode root_{"Word Tessary", 0};
  std::uint32_t format_ = 0;
  std::uint32_t codePage_ = kDefaultCodePage;
};

}  // namespace tge
