#include "services/TextDatabase.h"

#include <algorithm>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"

namespace tge {
namespace {

// The least a stored node takes: parent, value and two empty strings.
constexpr std::int64_t kMinNodeBytes = 16;

// Every parent index names the root (-1) or a node of the list, and every
// chain of parents reaches the root.
bool ParentsAreSound(const std::vector<std::int32_t>& parents) {
  const auto count = static_cast<std::int64_t>(parents.size());
  for (std::int64_t i = 0; i < count; ++i) {
    std::int64_t at = i;
    for (std::int64_t steps = 0; at != -1; ++steps) {
      const std::int64_t parent = parents[static_cast<std::size_t>(at)];
      if (parent < -1 || parent >= count || steps >= count) return false;
      at = parent;
    }
  }
  return true;
}

}  // namespace

void TextNode::Serialize(SerializeStream& stream) {
  if (stream.GetVersion() < 1) return;
  stream.SerializeDword(&value_);
  stream.SerializeString(name_);
  stream.SerializeString(text_);
}

TextDatabase::TextDatabase() = default;

int TextDatabase::Read(const std::string& fileName) {
  SerializeStream stream;
  if (!stream.OpenAndLoad(fileName)) return FormatErrorMessage("Error Opening File: %s", fileName.c_str());
  if (!ReadStream(stream)) return FormatErrorMessage("Bad text database %s", fileName.c_str());
  fileName_ = fileName;
  return 1;
}

int TextDatabase::ReadMemory(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> copy(data, data + size);
  SerializeStream stream;
  return stream.OpenMemoryBuffer(copy.size(), "rb", copy.data()) && ReadStream(stream);
}

int TextDatabase::ReadStream(SerializeStream& stream) {
  std::uint32_t version = 0, format = 0, codePage = kDefaultCodePage, count = 0;
  stream.SerializeDword(&version);
  if (version > 1) stream.SerializeDword(&format);
  if (version > 2) stream.SerializeDword(&codePage);
  if (version >= 1) stream.SerializeDword(&count);
  if (stream.Failed() || count > (stream.GetSize() - stream.Tell()) / kMinNodeBytes) return 0;
  stream.SetVersion(static_cast<int>(std::min<std::uint32_t>(version, 0x7fffffff)));

  std::vector<std::int32_t> parents(count);
  std::vector<std::unique_ptr<TextNode>> nodes(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    stream.SerializeDword(&parents[i]);
    nodes[i] = std::make_unique<TextNode>();
    nodes[i]->Serialize(stream);
  }
  if (stream.Failed() || !ParentsAreSound(parents)) return 0;

  root_.children_.clear();
  for (std::uint32_t i = 0; i < count; ++i) {
    TextNode* parent = parents[i] == -1 ? &root_ : nodes[static_cast<std::size_t>(parents[i])].get();
    nodes[i]->parent_ = parent;
    parent->children_.push_back(nodes[i].get());
  }
  nodes_ = std::move(nodes);
  format_ = format;
  codePage_ = codePage;
  return 1;
}

const TextNode* TextDatabase::FindNode(const std::string& name) const {
  for (const auto& node : nodes_) {
    if (node->name_ == name) return node.get();
  }
  return nullptr;
}

}  // namespace tge
