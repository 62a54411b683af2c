#include "oracle/OraException.h"

namespace tms::ora {

EAssertionFailed::EAssertionFailed(std::string text, std::string module, int line)
    : Exception(text + " (" + module + ", line " + std::to_string(line) + ")"),
      text_(std::move(text)),
      module_(std::move(module)),
      line_(line) {}

void RaiseAssertion(const std::string& text, const char* module, int line) {
    throw EAssertionFailed(text, module, line);
}

void RaiseError(const std::string& message) { throw Exception(message); }

}  // namespace tms::ora
