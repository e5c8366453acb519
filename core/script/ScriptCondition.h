// Conditions of the script language: "( A op B )" where A is a getter call on
// an object path and B a getter call or a number, or "( A )" alone. A value
// is a value-type id and the first 4 bytes the getter wrote; only Int,
// Dword, Float and Bool values compare, and a Bool only with a Bool.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tge {

class Object;

enum class ScriptOperator { kNone, kEqual, kGreater, kGreaterEqual, kLess, kLessEqual };

struct ScriptValue {
  std::int32_t type = 0;  // a ValueTypeId; 0 = no value
  std::uint32_t bits = 0;
};

bool CompareScriptValues(const ScriptValue& left, ScriptOperator op, const ScriptValue& right);

// A condition's operands as read from the text; they point into it.
struct ConditionText {
  std::string_view left;
  std::string_view right;
  ScriptOperator op = ScriptOperator::kNone;
  bool readable = false;  // false when the text ends inside it: never true
};

// Reads the condition that follows "if" or "else if" at pos; pos is left on
// the character that ended its last operand.
ConditionText ReadCondition(std::string_view text, std::size_t& pos);
bool EvaluateCondition(Object& context, const ConditionText& condition, Object* sender);

}  // namespace tge
