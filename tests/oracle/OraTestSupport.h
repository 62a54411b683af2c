#pragma once
// Shared helpers of the data-access library tests.

#include <chrono>
#include <dirent.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "oracle/KaParser.h"
#include "oracle/OraException.h"
#include "oracle/OraModules.h"

namespace oratest {

// Runs the library's module start-up before the tests of a program and its
// shutdown after them.
class ModulesEnvironment : public ::testing::Environment {
public:
    void SetUp() override { tms::ora::startupModules(); }
    void TearDown() override { tms::ora::shutdownModules(); }
};

using Lexeme = std::pair<int32_t, std::string>;

// Every lexeme up to and including the end.
inline std::vector<Lexeme> LexAll(tms::ora::TParser& parser) {
    std::vector<Lexeme> out;
    for (;;) {
        std::string text;
        int32_t code = parser.GetNext(text);
        out.emplace_back(code, text);
        if (code == tms::ora::LexEnd) break;
    }
    return out;
}

// The threads of this process, from the kernel's task list.
inline int ThreadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

// The thread count once it is `expected`, or what it is after two seconds:
// a thread just joined may stay in the kernel's task list for a moment.
inline int ThreadCountReaching(int expected) {
    int n = ThreadCount();
    for (int i = 0; i < 200 && n != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = ThreadCount();
    }
    return n;
}

// The message of the library error a step raises, or "(no error)".
template <typename F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const tms::ora::Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

// Releases a shared object at the end of a scope.
template <typename T>
struct Held {
    T* p;
    explicit Held(T* object) : p(object) {}
    ~Held() { p->Release(); }
    T* operator->() const { return p; }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
};

}  // namespace oratest
