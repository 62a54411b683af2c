// The loading details report: the bytes of stored plans against expected
// files written by hand from the report layout (tests/view/cases/<case>/:
// input.txt describes the catalogue rows and the order, expected.txt holds
// the GBK bytes), and the GBK column rules.

#include <QDir>
#include <QFile>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "tests/support/TestDb.h"
#include "tests/view/PlanFixture.h"
#include "view/LoadingReport.h"

using namespace viewtest;

namespace {

QString casesDir() { return qEnvironmentVariable("TMS_SOURCE_DIR") + "/tests/view/cases"; }

std::string readBytes(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return std::string();
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// Lines of both texts side by side, for a readable failure.
std::string diff(const std::string& want, const std::string& got) {
    std::ostringstream out;
    std::istringstream a(tms::fromGbk(want)), b(tms::fromGbk(got));
    std::string x, y;
    int n = 0;
    while (true) {
        const bool ha = static_cast<bool>(std::getline(a, x)), hb = static_cast<bool>(std::getline(b, y));
        if (!ha && !hb) break;
        ++n;
        if (!ha || !hb || x != y) out << "line " << n << "\n  want [" << x << "]\n  got  [" << y << "]\n";
    }
    return out.str();
}

}  // namespace

TEST(LoadingReport, CasesMatchTheirExpectedBytes) {
    const QStringList cases = QDir(casesDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_GE(cases.size(), 2) << casesDir().toStdString();
    for (const QString& name : cases) {
        SCOPED_TRACE(name.toStdString());
        TestDb db;
        const std::string order = storeCase(db.conn, (casesDir() + "/" + name + "/input.txt").toStdString());
        const tms::TLoadingReport r = tms::loadingReport(db.conn, order);
        const std::string want = readBytes(casesDir() + "/" + name + "/expected.txt");
        ASSERT_FALSE(want.empty());
        EXPECT_EQ(r.bytes, want) << diff(want, r.bytes);
        EXPECT_EQ(tms::reportBytes(r.lines), r.bytes);
        if (qEnvironmentVariableIsSet("TMS_REPORT_DUMP")) {
            std::ofstream(qEnvironmentVariable("TMS_REPORT_DUMP").toStdString() + "/" + name.toStdString() + ".txt",
                          std::ios::binary)
                << r.bytes;
        }
    }
}

// Report of the same plan twice gives the same bytes.
TEST(LoadingReport, SameEveryTime) {
    TestDb db;
    const std::string order = storeCase(db.conn, (casesDir() + "/two_containers/input.txt").toStdString());
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
