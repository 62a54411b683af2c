// The expected-output helper: cases are found, equal bytes pass, and a
// mismatch fails, says where and leaves the actual bytes for inspection.

#include <gtest/gtest.h>

#include "tests/support/Golden.h"

namespace {

// ASCII letters to upper case, every other byte as it is.
std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

TEST(Golden, EveryCaseOfTheAreaMatchesItsExpectedBytes) {
    const std::vector<std::string> names = golden::cases("support");
    EXPECT_EQ(names, (std::vector<std::string>{"empty", "upper"}));
    for (const std::string& c : names) {
        SCOPED_TRACE(c);
        EXPECT_TRUE(golden::matches("support", c, "expected.txt", upper(golden::read("support", c, "input.txt"))));
        EXPECT_FALSE(std::filesystem::exists(golden::actualPath("support", c, "expected.txt")));
    }
}

TEST(Golden, AMismatchNamesTheFirstDifferenceAndKeepsTheActualBytes) {
    const std::string wrong = "CARTON B\n箱 1\n";
    const ::testing::AssertionResult r = golden::matches("support", "upper", "expected.txt", wrong);
    EXPECT_FALSE(r);
    EXPECT_NE(std::string(r.message()).find("first difference at byte 7"), std::string::npos) << r.message();
    const std::filesystem::path out = golden::actualPath("support", "upper", "expected.txt");
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), wrong);
    // A later match removes it again.
    EXPECT_TRUE(golden::matches("support", "upper", "expected.txt", "CARTON A\n箱 1\n"));
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_THROW(golden::read("support", "upper", "missing.txt"), std::runtime_error);
    EXPECT_THROW(golden::cases("no-such-area"), std::runtime_error);
}
