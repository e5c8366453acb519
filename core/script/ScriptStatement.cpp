// One statement: "Command(arguments)" sent to a resolved target. The
// command's argument types are flattened into components (a Vector3 is three
// Floats, a Plane a Vector3's three and one more), the arguments are cut at
// ',' and ')' and each is converted by the next component into a zeroed
// 1024-byte block. A String command receives a text-string object instead of
// the block.
//
// The first argument may instead be a getter call on another object
// ("this.SetPosition(/Player.GetPosition())"): the getter fills the block and
// the block goes on unchanged. That is allowed only where both commands take
// plain data, since a text-string object or an object pointer cannot travel
// through raw bytes. A command that takes a Pointer cannot be sent from a
// script at all: the language has no way to write one. Nor can one whose
// block holds an object (ExecuteDataCommand).
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/script/ScriptInterpreter.h"
#include "core/script/ScriptStatement.h"
#include "core/script/ScriptText.h"

namespace tge {
namespace {

constexpr std::size_t kNone = std::string_view::npos;
// Eight arguments of sixteen floats (Matrix4) at most.
constexpr std::size_t kMaxComponents = 128;
constexpr std::size_t kString128Bytes = 128;

struct Components {
  std::array<std::int32_t, kMaxComponents> types{};
  std::size_t count = 0;
  bool hasPointer = false;
  bool hasString = false;
  bool hasObjectData = false;  // a String, TreePath or Pointer
  bool hasTreePath = false;

  void Add(std::int32_t type, int depth) {
    const ValueType* valueType = FindValueType(type);
    if (valueType == nullptr) return;
    if (valueType->components.size() == 1 && valueType->components[0] == type) {
      hasPointer = hasPointer || type == kValuePointer;
      hasString = hasString || type == kValueString;
      hasTreePath = hasTreePath || type == kValueTreePath;
      hasObjectData = hasObjectData || hasPointer || hasString || hasTreePath;
      if (count < kMaxComponents) types[count++] = type;
      return;
    }
    for (std::int32_t component : valueType->components) {
      if (depth < 2) Add(component, depth + 1);
    }
  }
};

Components Flatten(const CommandRecord& record) {
  Components components;
  for (std::int32_t type : record.argumentTypes) components.Add(type, 0);
  return components;
}

class BlockWriter {
 public:
  explicit BlockWriter(std::uint8_t* block) : block_(block) {}

  template <class T>
  bool Put(const T& value) {
    if (offset_ + sizeof(T) > kScriptBlockBytes) return false;
    std::memcpy(block_ + offset_, &value, sizeof(T));
    offset_ += sizeof(T);
    return true;
  }

  // The characters and a terminating zero in width bytes, or directly
  // followed by the next argument when width is 0; cut to fit the block.
  bool PutText(std::string_view text, std::size_t width) {
    const std::size_t room = kScriptBlockBytes - offset_;
    const std::size_t slot = width != 0 ? width : text.size() + 1;
    if (room == 0 || (width != 0 && slot > room)) return false;
    const std::size_t count = std::min({text.size(), slot - 1, room - 1});
    std::memcpy(block_ + offset_, text.data(), count);
    block_[offset_ + count] = 0;
    offset_ += std::min(slot, room);
    return true;
  }

  std::size_t Written() const { return offset_; }

 private:
  std::uint8_t* block_;
  std::size_t offset_ = 0;
};

std::string_view DropQuotes(std::string_view token, bool trailing) {
  if (token.starts_with('"')) token.remove_prefix(1);
  if (trailing && token.ends_with('"')) token.remove_suffix(1);
  return token;
}

Object* ResolveTreePath(Object& context, std::string_view token, Object* sender) {
  token = DropQuotes(token, false);
  if (token.size() >= kTreePathChars) return nullptr;
  if (sender != nullptr && token.starts_with("local")) {
    return token.starts_with("local/") ? Object::ResolveObjectPath(&context, token.substr(5), sender, nullptr)
                                       : sender;
  }
  return Object::ResolveObjectPath(&context, token, nullptr, nullptr);
}

// Converts each argument by the next component; the bytes written.
std::size_t PackArguments(Object& context, const Components& components, std::string_view arguments,
                          Object* sender, std::uint8_t* block) {
  BlockWriter writer(block);
  std::size_t pos = 0;
  for (std::size_t i = 0; i < components.count && pos <= arguments.size(); ++i) {
    const std::int32_t type = components.types[i];
    const bool text = type == kValueString || type == kValueString128;
    if (!text) pos = SkipBlanks(arguments, pos);
    std::size_t end = arguments.find_first_of(",)", pos);
    if (end == kNone) end = arguments.size();
    const std::string_view token = arguments.substr(pos, end - pos);
    pos = end + 1;
    bool written = true;
    switch (type) {
      case kValueFloat:
        written = writer.Put(ParseFloat(token));
        break;
      case kValueString:
        written = writer.PutText(DropQuotes(token, true), 0);
        break;
      case kValueString128:
        written = writer.PutText(DropQuotes(token, true), kString128Bytes);
        break;
      case kValueTreePath:
        written = writer.Put(ResolveTreePath(context, token, sender));
        break;
      default:  // Int, Dword and Bool
        written = writer.Put(ParseLong32(token));
    }
    if (!written) break;
  }
  return writer.Written();
}

bool TakesPlainData(const CommandRecord& record) { return !Flatten(record).hasObjectData; }

// "path.Getter(raw)" as the first argument: the raw text goes into the block
// unconverted, the getter fills it, and the outer command gets it as it is.
int SendThroughGetter(Object& context, Object& target, const CommandRecord& outer, std::string_view arguments,
                      std::uint8_t* block) {
  const std::size_t dot = arguments.find('.');
  if (dot == kNone || dot >= kNestedGetterPathChars || !TakesPlainData(outer)) return 0;
  Object* source = Object::ResolveObjectPath(&context, arguments.substr(0, dot), nullptr, nullptr);
  const std::string_view call = arguments.substr(dot + 1);
  const std::size_t open = call.find('(');
  if (source == nullptr || open == kNone) return 0;
  const CommandRecord* getter = FindCommand(FindCommandId(source, call.substr(0, open)));
  if (getter == nullptr || !TakesPlainData(*getter)) return 0;
  std::string_view raw = call.substr(open + 1);
  raw = raw.substr(0, std::min(raw.find_first_of(") "), kScriptBlockBytes - 1));
  std::memcpy(block, raw.data(), raw.size());
  ExecuteDataCommand(*source, static_cast<std::uint32_t>(getter->id), block);
  ExecuteDataCommand(target, static_cast<std::uint32_t>(outer.id), block);
  return 1;
}

}  // namespace

// What sending a statement's command to one class takes: the record, its
// flattened arguments and, when no argument depends on the tree, the packed
// block's bytes.
struct StatementPlan {
  int classId = -1;
  std::uint64_t generation = 0;
  const CommandRecord* record = nullptr;
  Components components;
  bool nested = false;  // the first argument is a getter call
  bool constant = false;
  std::vector<std::uint8_t> packed;
};

CompiledStatement::CompiledStatement(std::string_view text) {
  text = text.substr(0, text.find(';'));
  const std::size_t open = text.find('(');
  if (open == kNone) return;
  readable_ = true;
  name_ = text.substr(0, open);
  arguments_ = text.substr(SkipBlanks(text, open + 1));
}

void CompiledStatement::ReservePlan() {
  if (!readable_ || plan_) return;
  plan_ = std::make_unique<StatementPlan>();
  plan_->packed.reserve(kReservedPlanBytes);
}

CompiledStatement::CompiledStatement(CompiledStatement&&) noexcept = default;
CompiledStatement& CompiledStatement::operator=(CompiledStatement&&) noexcept = default;
CompiledStatement::~CompiledStatement() = default;

const StatementPlan* CompiledStatement::PlanFor(Object& target) {
  const std::uint64_t generation = CommandRegistryGeneration();
  if (plan_ && plan_->classId == target.GetClassId() && plan_->generation == generation) {
    return plan_->record != nullptr ? plan_.get() : nullptr;
  }
  if (!plan_) plan_ = std::make_unique<StatementPlan>();
  StatementPlan& plan = *plan_;
  plan.classId = target.GetClassId();
  plan.generation = generation;
  plan.record = FindCommand(FindCommandId(&target, name_));
  plan.packed.clear();
  if (plan.record == nullptr) return nullptr;
  plan.components = Flatten(*plan.record);
  const Components& components = plan.components;
  const std::int32_t first = components.count > 0 ? components.types[0] : kValueNone;
  plan.nested = components.count > 0 && !arguments_.empty() && (arguments_[0] > '9' || arguments_[0] == '/') &&
                first != kValueString && first != kValueString128 && first != kValueTreePath;
  plan.constant = !components.hasTreePath;
  if (plan.constant && !plan.nested && components.count > 0 && !arguments_.empty()) {
    alignas(16) std::uint8_t block[kScriptBlockBytes] = {};
    // Without a TreePath neither the context nor the sender is read.
    const std::size_t written = PackArguments(target, components, arguments_, nullptr, block);
    plan.packed.assign(block, block + written);
  }
  return &plan;
}

int CompiledStatement::Send(Object& context, Object& target, Object* sender) {
  if (!readable_) return 0;
  const StatementPlan* plan = PlanFor(target);
  if (plan == nullptr || plan->components.hasPointer) return 0;
  const Components& components = plan->components;
  const std::uint32_t id = static_cast<std::uint32_t>(plan->record->id);

  // The packed bytes, then zeros: two copies of a length known only at run
  // time, which beat clearing the whole block first.
  alignas(16) std::uint8_t block[kScriptBlockBytes];
  const std::size_t packed = plan->packed.size();
  if (packed != 0) std::memcpy(block, plan->packed.data(), packed);
  std::memset(block + packed, 0, kScriptBlockBytes - packed);
  if (plan->nested) return SendThroughGetter(context, target, *plan->record, arguments_, block);
  if (!plan->constant && components.count > 0 && !arguments_.empty()) {
    PackArguments(context, components, arguments_, sender, block);
  }
  // A String handler reads its argument as a text-string object, also when
  // the statement wrote no text.
  if (!components.hasString) {
    ExecuteDataCommand(target, id, block);
    return 1;
  }
  const char* characters = reinterpret_cast<const char*>(block);
  std::string textArgument(characters, strnlen(characters, kScriptBlockBytes));
  ExecuteDataCommand(target, id, &textArgument);
  return 1;
}

}  // namespace tge
