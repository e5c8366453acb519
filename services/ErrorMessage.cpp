#include "services/ErrorMessage.h"

#include <cstdarg>
#include <cstdio>

namespace tge {
namespace {

char gErrorMessage[kErrorMessageSize] = {};

}  // namespace

int FormatErrorMessage(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(gErrorMessage, sizeof gErrorMessage, format, arguments);
  va_end(arguments);
  return 0;
}

const char* GetErrorMessage() { return gErrorMessage; }

void ClearErrorMessage() { gErrorMessage[0] = '\0'; }

}  // namespace tge
