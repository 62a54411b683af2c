#pragma once
// Exceptions

#include <stdexcept>
#include <string>

namespace tms::ora {

// The general exception class: every error of the library carries a message.
// A message may hold any character, a NUL among them (the lexer names the
// character it cannot read); what() gives a C string, so there a NUL is
// written as "#0" and the text is not cut short.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) { MakeShown(); }
    const char* what() const noexcept override { return shown_.empty() ? message_.c_str() : shown_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) {
        message_ = std::move(message);
        MakeShown();
    }

private:
    void MakeShown() {
        shown_.clear();
        if (message_.find('\0') == std::string::npos) return;
        for (char c : message_) {
            if (c == '\0')
                shown_ += "#0";
            else
                shown_ += c;
        }
    }
    std::string message_;
    std::string shown_;  // empty when the message has no NUL
};

// The silent abort: ends an operation without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception {
    using Exception::Exception;
};
class ERangeError : public Exception {
    using Exception::Exception;
};
class EOutOfMemory : public Exception {
    using Exception::Exception;
};
class EVariantError : public Exception {
    using Exception::Exception;
};
class EClassRegistryError : public Exception {
    using Exception::Exception;
};
// The class library's database exception; the library's own database error
// derives from it.
class EDatabaseError : public Exception {
    using Exception::Exception;
};

// An internal consistency failure. The message is the assertion text
// followed by the module that found it and the line: "text (MemData, line 12)".
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(std::string text, std::string module, int line);
    const std::string& Text() const noexcept { return text_; }
    const std::string& Module() const noexcept { return module_; }
    int Line() const noexcept { return line_; }

private:
    std::string text_;
    std::string module_;
    int line_;
};

[[noreturn]] void RaiseAssertion(const std::string& text, const char* module, int line);
[[noreturn]] void RaiseError(const std::string& message);  // the general exception

// Checks an internal condition; the failure names the module.
#define ORA_ASSERT(cond, module, text)                                       \
    do {                                                                     \
        if (!(cond)) ::tms::ora::RaiseAssertion((text), (module), __LINE__); \
    } while (0)

}  // namespace tms::ora
