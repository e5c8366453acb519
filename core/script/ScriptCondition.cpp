// Conditions: "if ( A op B )". The text is skipped up to '(' and the blank
// after it; A runs up to the first of "!)<=>" (a '(' inside it reaches to the
// next ')'); the operator follows, then a blank, then B. A B that starts with
// a character not above '9' is a Float constant; anything else is a getter
// call like A.
//
// A getter call is "path.Getter(argument)". The getter gets a zeroed block at
// least as large as its arguments (a text-string object for a String getter)
// and its value is the first 4 bytes, typed by its first argument. Getters
// that take a Pointer or a TreePath cannot be called here: the text has no
// object to give them.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/CommandRegistry.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/script/ScriptCondition.h"
#include "core/script/ScriptInterpreter.h"
#include "core/script/ScriptText.h"

namespace tge {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

std::string_view ReadOperand(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && std::string_view("!)<=>").find(text[pos]) == kNone) {
    if (text[pos] != '(') {
      ++pos;
      continue;
    }
    const std::size_t close = text.find(')', pos);
    pos = close == kNone ? text.size() : close + 1;
  }
  return text.substr(start, pos - start);
}

// After the next blank or tab from pos; the end of the text without one.
std::size_t AfterBlank(std::string_view text, std::size_t pos) {
  const std::size_t blank = text.find_first_of(" \t", pos);
  return blank == kNone ? text.size() : blank + 1;
}

ScriptOperator ReadOperator(std::string_view text, std::size_t& pos) {
  const char c = text[pos];
  const bool orEqual = pos + 1 < text.size() && text[pos + 1] == '=';
  switch (c) {
    case '=':
      ++pos;
      return ScriptOperator::kEqual;
    case '>':
      pos += orEqual ? 2 : 1;
      return orEqual ? ScriptOperator::kGreaterEqual : ScriptOperator::kGreater;
    case '<':
      pos += orEqual ? 2 : 1;
      return orEqual ? ScriptOperator::kLessEqual : ScriptOperator::kLess;
    default:  // ')' or '!'
      return ScriptOperator::kNone;
  }
}

bool TakesObjects(const CommandRecord& record) {
  return std::any_of(record.argumentTypes.begin(), record.argumentTypes.end(),
                     [](std::int32_t type) { return type == kValuePointer || type == kValueTreePath; });
}

bool TakesText(const CommandRecord& record) {
  return std::find(record.argumentTypes.begin(), record.argumentTypes.end(), kValueString) !=
         record.argumentTypes.end();
}

class GetterCall {
 public:
  // False when the operand names no object or no getter this can call.
  bool Prepare(Object& context, std::string_view operand, Object* sender) {
    const std::size_t dot = operand.find('.');
    if (dot == kNone || dot >= kStatementPathChars) return false;
    Object* target = ResolveScriptPath(context, operand.substr(0, dot), sender);
    if (target == nullptr) return false;
    const std::string_view call = operand.substr(dot + 1);
    const std::size_t open = call.find('(');
    const std::string_view name = call.substr(0, open);
    if (name.size() >= kConditionNameChars) return false;
    record_ = FindCommand(FindCommandId(target, name));
    if (record_ == nullptr || TakesObjects(*record_)) return false;
    target_.Set(target);
    if (open != kNone) argument_ = ArgumentText(call.substr(open + 1));
    return true;
  }

  ScriptValue Send(bool withArgument) {
    ScriptValue value;
    value.type = record_->argumentCount > 0 ? record_->argumentTypes[0] : kValueNone;
    const bool useArgument = withArgument && record_->argumentCount > 1;
    if (TakesText(*record_)) {
      std::string text(useArgument ? argument_ : std::string_view());
      Execute(&text);
      value.bits = text.empty() ? 0 : 1;
      return value;
    }
    alignas(16) std::uint8_t block[kScriptBlockBytes] = {};
    if (useArgument && value.type == kValueDword) {
      const std::int32_t number = ParseLong32(argument_);
      std::memcpy(block, &number, sizeof(number));
    } else if (useArgument && !argument_.empty()) {
      std::memcpy(block, argument_.data(), std::min(argument_.size(), kConditionArgumentChars - 1));
    }
    Execute(block);
    std::memcpy(&value.bits, block, sizeof(value.bits));
    return value;
  }

 private:
  // Blanks and quotes skipped, then up to a blank, ')' or a quote.
  static std::string_view ArgumentText(std::string_view text) {
    const std::size_t start = std::min(text.find_first_not_of(" \""), text.size());
    text.remove_prefix(start);
    return text.substr(0, text.find_first_of(" )\""));
  }

  void Execute(void* block) {
    if (Object* target = target_.Get()) ExecuteDataCommand(*target, static_cast<std::uint32_t>(record_->id), block);
  }

  ObjectRef<> target_;
  const CommandRecord* record_ = nullptr;
  std::string_view argument_;
};

struct Order {
  bool comparable = false;
  bool equal = false;
  bool greater = false;
  bool less = false;
};

template <class T>
Order OrderOf(T left, T right) {
  return {true, left == right, left > right, left < right};
}

float AsFloat(const ScriptValue& value) {
  float number = 0;
  switch (value.type) {
    case kValueInt:
      return static_cast<float>(static_cast<std::int32_t>(value.bits));
    case kValueDword:
      return static_cast<float>(value.bits);
    default:
      std::memcpy(&number, &value.bits, sizeof(number));
      return number;
  }
}

bool IsInteger(std::int32_t type) { return type == kValueInt || type == kValueDword; }

Order Compare(const ScriptValue& left, const ScriptValue& right) {
  if (left.type == kValueBool || right.type == kValueBool) {
    return {left.type == right.type, left.type == right.type && left.bits == right.bits, false, false};
  }
  if (left.type == kValueInt && right.type == kValueInt) {
    return OrderOf(static_cast<std::int32_t>(left.bits), static_cast<std::int32_t>(right.bits));
  }
  if (IsInteger(left.type) && IsInteger(right.type)) return OrderOf(left.bits, right.bits);
  const bool numeric = (IsInteger(left.type) || left.type == kValueFloat) &&
                       (IsInteger(right.type) || right.type == kValueFloat);
  if (!numeric) return {};
  return OrderOf(AsFloat(left), AsFloat(right));
}

}  // namespace

bool CompareScriptValues(const ScriptValue& left, ScriptOperator op, const ScriptValue& right) {
  const Order order = Compare(left, right);
  if (!order.comparable) return false;
  switch (op) {
    case ScriptOperator::kEqual:
      return order.equal;
    case ScriptOperator::kGreater:
      return order.greater;
    case ScriptOperator::kGreaterEqual:
      return order.equal || order.greater;
    case ScriptOperator::kLess:
      return order.less;
    case ScriptOperator::kLessEqual:
      return order.equal || order.less;
    case ScriptOperator::kNone:
      break;
  }
  return false;
}

ConditionText ReadCondition(std::string_view text, std::size_t& pos) {
  ConditionText condition;
  pos = text.find('(', pos);
  if (pos == kNone) {
    pos = text.size();
    return condition;
  }
  pos = AfterBlank(text, pos + 1);
  condition.left = ReadOperand(text, pos);
  if (pos >= text.size()) return condition;
  condition.readable = true;
  condition.op = ReadOperator(text, pos);
  if (condition.op != ScriptOperator::kNone) {
    pos = AfterBlank(text, pos);
    condition.right = ReadOperand(text, pos);
  }
  return condition;
}

bool EvaluateCondition(Object& context, const ConditionText& condition, Object* sender) {
  if (!condition.readable) return false;
  GetterCall left;
  if (!left.Prepare(context, condition.left, sender)) return false;
  const ScriptValue leftValue = left.Send(true);
  if (condition.op == ScriptOperator::kNone) return left.Send(false).bits != 0;
  const std::string_view rightText = condition.right;
  ScriptValue rightValue{kValueFloat, 0};
  if (rightText.empty() || rightText[0] <= '9') {
    const float number = ParseFloat(rightText);
    std::memcpy(&rightValue.bits, &number, sizeof(number));
  } else {
    GetterCall right;
    if (!right.Prepare(context, rightText, sender)) return false;
    rightValue = right.Send(true);
  }
  return CompareScriptValues(leftValue, condition.op, rightValue);
}

}  // namespace tge
