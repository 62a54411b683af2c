#pragma once
// The data-access library's own platform layer: the facilities the library
// takes from the operating system and the class library (exceptions and
// assertions, format settings, date-time values, critical sections, events,
// mutexes, the millisecond tick, the class registry, the process-detach hook
// chain, the warning hook, ANSI <-> UTF-16 conversion, streams and the loader
// of shared libraries). Plain C++; no toolkit.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ora {

// ---------------------------------------------------------------------------
// Exceptions

// The general exception class: every error of the library carries a message.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }

private:
    std::string message_;
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
#define ORA_ASSERT(cond, module, text)                              \
    do {                                                            \
        if (!(cond)) ::ora::RaiseAssertion((text), (module), __LINE__); \
    } while (0)

// ---------------------------------------------------------------------------
// Small text helpers (ordinal, byte-wise; letters a-z/A-Z only)

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
std::string Trim(std::string_view s);  // drops bytes <= ' ' at both ends
bool SameText(std::string_view a, std::string_view b);
std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);  // upper-case, at least digits

// Format with %s, %d, %x and %% (the message tables use %s and %d).
using FormatArg = std::variant<int64_t, std::string>;
std::string Format(std::string_view format, std::initializer_list<FormatArg> args);

// ---------------------------------------------------------------------------
// Format settings: process-wide, replaceable (tests set their own).

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '-';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "yyyy-mm-dd";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);
void ResetFormatSettings();  // back to the defaults above

// Floating-point text with the decimal separator of the settings: up to 15
// significant digits, no thousand separators, exponent form for very large or
// small values.
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& fs);
// Parses a decimal number written with the settings' decimal separator.
bool TryStrToFloat(std::string_view text, double& value);
bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& fs);
double StrToFloat(std::string_view text);  // EConvertError on bad text
bool TryStrToInt64(std::string_view text, int64_t& value);
int64_t StrToInt64(std::string_view text);

// ---------------------------------------------------------------------------
// Date-time: days since 1899-12-30, the fraction is the time of day. For a
// negative value the integral part is the day (counted back from 1899-12-30)
// and the absolute value of the fraction is the time, so -1.25 is 1899-12-29
// 06:00.

using TDateTime = double;

TDateTime EncodeDate(int year, int month, int day);  // EConvertError when invalid
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
// A date part and a time part joined by the sign rule: date + time for a
// non-negative date, date - time otherwise.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
bool IsLeapYear(int year);

// Tokens: yyyy yy m mm d dd h hh n nn s ss z zzz am/pm a/p ampm, "/" and ":"
// for the separators, text between quotes as it stands.
std::string FormatDateTime(std::string_view format, TDateTime value);
std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& fs);
// The short date, then the long time when the time is not midnight.
std::string DateTimeToStr(TDateTime value);
// Date in the order of the short date format, with the date separator, and
// an optional time "h:n[:s]" with an optional AM/PM text.
bool TryStrToDateTime(std::string_view text, TDateTime& value);
bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view text);

// ---------------------------------------------------------------------------
// Root object and class registry

class TObject;

// A class reference: its name, its parent and (for registered classes) a
// constructor that makes a new object of the class.
struct TClassDesc {
    const char* Name;
    const TClassDesc* Parent;
    TObject* (*Create)();
    bool InheritsFrom(const TClassDesc* other) const;
};

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassDesc* StaticClass();
    virtual const TClassDesc* ClassType() const { return StaticClass(); }
    const char* ClassName() const { return ClassType()->Name; }
};

// Declares the class reference of a class (inside its body). The matching
// definition is ORA_DEFINE_CLASS in the source file.
#define ORA_DECLARE_CLASS(Self)                                           \
public:                                                                   \
    static const ::ora::TClassDesc* StaticClass();                        \
    const ::ora::TClassDesc* ClassType() const override { return StaticClass(); }

#define ORA_DEFINE_CLASS(Self, Parent, Creator)                           \
    const ::ora::TClassDesc* Self::StaticClass() {                        \
        static const ::ora::TClassDesc desc{#Self, Parent::StaticClass(), Creator}; \
        return &desc;                                                     \
    }

// The process-wide registry of classes that can be found by name. Registering
// the same class again changes nothing; another class under a taken name is
// refused.
void RegisterClass(const TClassDesc* cls);
void UnRegisterClass(const TClassDesc* cls);
const TClassDesc* GetClass(std::string_view name);   // nullptr when absent
const TClassDesc* FindClass(std::string_view name);  // EClassRegistryError when absent
std::vector<const TClassDesc*> RegisteredClasses();  // in registration order

// ---------------------------------------------------------------------------
// Synchronisation

constexpr uint32_t INFINITE = 0xFFFFFFFFu;
enum class TWaitResult { Signaled, Timeout };

// A critical section: a recursive lock.
class TCriticalSection {
public:
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }
    // std lock adaptors
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

// An event object with manual or automatic reset.
class TEvent {
public:
    TEvent(bool manualReset, bool initialState);
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(uint32_t timeoutMs);
    bool IsSet();

private:
    std::mutex mutex_;
    std::condition_variable cond_;
    bool manualReset_;
    bool signaled_;
};

// A mutex object: owned by one thread at a time, re-entrant, waited on with a
// time-out.
class TMutex {
public:
    TWaitResult WaitFor(uint32_t timeoutMs);
    void Release() { mutex_.unlock(); }

private:
    std::recursive_timed_mutex mutex_;
};

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t GetTickCount();

// ---------------------------------------------------------------------------
// Process-detach hooks: a chain of plain procedures, each installer keeping
// the previous one and calling it afterwards. The chain is fired once.

using TDetachHook = void (*)();

class TProcessDetachChain {
public:
    // Installs a hook and returns the one installed before (maybe nullptr).
    TDetachHook Install(TDetachHook hook);
    TDetachHook Current() const { return current_.load(); }
    // Runs the current hook; only the first call does anything.
    void Fire();
    bool Fired() const { return fired_.load(); }

private:
    std::atomic<TDetachHook> current_{nullptr};
    std::atomic<bool> fired_{false};
};

// The chain of the process; it is fired when the process exits.
TProcessDetachChain& ProcessDetachChain();

// ---------------------------------------------------------------------------
// Warnings: the message boxes the library shows ("Warning", exclamation icon)
// go through one replaceable hook. Without a hook the text goes to stderr.

using TWarningHook = std::function<void(const std::string& title, const std::string& text)>;
TWarningHook SetWarningHook(TWarningHook hook);  // returns the previous hook
void ShowWarning(const std::string& text, const std::string& title = "Warning");

// ---------------------------------------------------------------------------
// Text conversion between the ANSI code page (GBK by default) and UTF-16.
// Bytes the code page cannot read become U+FFFD; characters it cannot write
// become "?".

void SetAnsiCodePage(const std::string& iconvName);
std::string AnsiCodePage();
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);

// ---------------------------------------------------------------------------
// Streams (the parts the library reads)

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; fewer only at the end of the data.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;
    virtual void SetPosition(int64_t position) = 0;
};

// A stream over a byte string held in memory.
class TStringStream : public TStream {
public:
    explicit TStringStream(std::string data) : data_(std::move(data)) {}
    int32_t Read(void* buffer, int32_t count) override;
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    int64_t Position() const override { return position_; }
    void SetPosition(int64_t position) override;
    const std::string& DataString() const { return data_; }

private:
    std::string data_;
    int64_t position_ = 0;
};

// ---------------------------------------------------------------------------
// Shared libraries, loaded by their file names (the names the library uses,
// extension included) and entry points looked up by name.

using HMODULE = void*;
HMODULE LoadLibrary(const std::string& fileName);  // nullptr on failure
void* GetProcAddress(HMODULE module, const std::string& name);  // nullptr when missing
bool FreeLibrary(HMODULE module);

// ---------------------------------------------------------------------------
// The operating-system version flag set at start-up: true on a system of the
// NT line, whose wide-character system calls the library may use.

bool IsNTPlatform();

// Module start-up and shutdown of the platform layer.
void OraPlatformStartup();
void OraPlatformShutdown();

}  // namespace ora
