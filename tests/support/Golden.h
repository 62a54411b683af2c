#pragma once
// Expected-output tests driven by data. A case is a folder
//
//     tests/<area>/cases/<case>/
//
// holding its input files and the exact bytes the code must produce from
// them (by convention "input…" and "expected…"). A test lists the cases of
// its area, reads a case's input, runs the code and compares the bytes:
//
//     for (const std::string& c : golden::cases("report")) {
//         SCOPED_TRACE(c);
//         const std::string out = reportOf(golden::read("report", c, "input.txt"));
//         EXPECT_TRUE(golden::matches("report", c, "expected.txt", out));
//     }
//
// On a mismatch the actual bytes are written under the build folder,
// tests/actual/<area>/<case>/<file>, and the failure names that file and the
// first differing byte, so the two can be compared with any diff tool. An
// accepted change is taken over by copying the actual file onto the
// expected one. Plain C++ (no Qt), so every test program can use it.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace golden {

namespace fs = std::filesystem;

// Set for every test program by tms_add_test.
inline fs::path sourceRoot() { return fs::path(TMS_GOLDEN_SOURCE_DIR); }
inline fs::path actualRoot() { return fs::path(TMS_GOLDEN_ACTUAL_DIR); }

inline fs::path caseDir(const std::string& area, const std::string& name) {
    return sourceRoot() / "tests" / area / "cases" / name;
}

// The case folders of an area, sorted by name. An area without cases is a
// mistake of the test (a moved folder would otherwise test nothing).
inline std::vector<std::string> cases(const std::string& area) {
    const fs::path dir = sourceRoot() / "tests" / area / "cases";
    std::vector<std::string> out;
    if (fs::is_directory(dir))
        for (const fs::directory_entry& e : fs::directory_iterator(dir))
            if (e.is_directory()) out.push_back(e.path().filename().string());
    if (out.empty()) throw std::runtime_error("no cases in " + dir.string());
    std::sort(out.begin(), out.end());
    return out;
}

// The bytes of one file of a case, exactly as stored.
inline std::string read(const std::string& area, const std::string& name, const std::string& file) {
    const fs::path p = caseDir(area, name) / file;
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Where the actual bytes of a mismatch are written.
inline fs::path actualPath(const std::string& area, const std::string& name, const std::string& file) {
    return actualRoot() / area / name / file;
}

// Compares `actual` with the expected file byte for byte.
inline ::testing::AssertionResult matches(const std::string& area, const std::string& name,
                                          const std::string& expectedFile, const std::string& actual) {
    const std::string expected = read(area, name, expectedFile);
    const fs::path out = actualPath(area, name, expectedFile);
    if (actual == expected) {
        std::error_code ec;
        fs::remove(out, ec);  // no stale file from an earlier failure
        return ::testing::AssertionSuccess();
    }
    const auto diff = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    const std::size_t at = static_cast<std::size_t>(diff.first - expected.begin());
    std::error_code ec;
    fs::create_directories(out.parent_path(), ec);
    std::ofstream(out, std::ios::binary).write(actual.data(), static_cast<std::streamsize>(actual.size()));
    std::ostringstream why;
    why << (caseDir(area, name) / expectedFile).string() << ": " << actual.size() << " bytes produced, "
        << expected.size() << " expected, first difference at byte " << at << "; the produced bytes are in "
        << out.string();
    return ::testing::AssertionFailure() << why.str();
}

}  // namespace golden
