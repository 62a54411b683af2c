// The loading details report: the bytes of stored plans against expected
// files written by hand from the report layout (tests/view/cases/<case>/:
// input.txt describes the catalogue rows and the order, expected.txt holds
// the GBK bytes; a mismatch leaves the produced bytes under the build
// folder), and the GBK column rules.

#include <gtest/gtest.h>

#include "tests/support/Golden.h"
#include "tests/support/TestDb.h"
#include "tests/view/PlanFixture.h"
#include "view/LoadingReport.h"

using namespace viewtest;

namespace {

std::string inputOf(const std::string& name) { return (golden::caseDir("view", name) / "input.txt").string(); }

}  // namespace

TEST(LoadingReport, CasesMatchTheirExpectedBytes) {
    const std::vector<std::string> cases = golden::cases("view");
    ASSERT_GE(cases.size(), 2u);
    for (const std::string& name : cases) {
        SCOPED_TRACE(name);
        TestDb db;
        const std::string order = storeCase(db.conn, inputOf(name));
        const tms::TLoadingReport r = tms::loadingReport(db.conn, order);
        ASSERT_FALSE(golden::read("view", name, "expected.txt").empty());
        EXPECT_TRUE(golden::matches("view", name, "expected.txt", r.bytes));
        EXPECT_EQ(tms::reportBytes(r.lines), r.bytes);
    }
}

// Report of the same plan twice gives the same bytes.
TEST(LoadingReport, SameEveryTime) {
    TestDb db;
    const std::string order = storeCase(db.conn, inputOf("two_containers"));
    EXPECT_EQ(tms::loadingReport(db.conn, order).bytes, tms::loadingReport(db.conn, order).bytes);
}

// Columns count GBK bytes; a character GBK lacks becomes "?" of one byte.
TEST(LoadingReport, GbkColumns) {
    EXPECT_EQ(tms::addSpaceBack("名称:", 12), "名称:       ");
    EXPECT_EQ(tms::addSpaceBack("A01", 2), "A01");
    EXPECT_EQ(tms::addSpaceFront("装配单", 10), "    装配单");
    EXPECT_EQ(tms::toGbk("甲"), std::string("\xBC\xD7"));
    EXPECT_EQ(tms::toGbk("a😀b"), "a?b");
    EXPECT_EQ(tms::fromGbk(tms::toGbk("纸箱甲 A")), "纸箱甲 A");
    EXPECT_EQ(tms::reportBytes({"a", "", "甲"}), std::string("a\r\n\r\n\xBC\xD7\r\n"));
    EXPECT_EQ(tms::delSpace("A01     订单"), "A01");
    EXPECT_EQ(tms::delSpace("A01"), "A01");
    EXPECT_EQ(tms::addSpace("A01").size(), 31u);
    EXPECT_EQ(tms::addSpace(std::string(30, 'x')).size(), 30u);
}
