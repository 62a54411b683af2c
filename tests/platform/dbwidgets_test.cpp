#include <QApplication>
#include <QHeaderView>
#include <QProgressBar>
#include <gtest/gtest.h>
#include <thread>

#include "platform/DbWidgets.h"
#include "platform/ProgressFeed.h"
#include "tests/support/TestDb.h"

class Widgets : public ::testing::Test {
protected:
    TestDb db;
    TADOQuery q{&db.conn};
    void SetUp() override {
        for (const char* n : {"A", "B", "C"})
            db.conn.Execute("insert into HoldGoods(GoodsNo,GoodsName,Upward) values (?,?,?)",
                            {n, QString("name ") + n, "1"});
        q.setSQL("select GoodsNo,GoodsName,Upward from HoldGoods order by GoodsNo");
        q.setUpdateTable("HoldGoods", {"GoodsNo"});
        q.Open();
    }
};

TEST_F(Widgets, GridFollowsAndMovesTheCurrentRow) {
    TDBGrid grid;
    grid.setQuery(&q);
    grid.setColumns({{"GoodsNo", "编号", 60}, {"GoodsName", "名称", -1}});
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "编号");
    q.Last();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    grid.setCurrentIndex(grid.model()->index(1, 0));
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 1), Qt::DisplayRole).toString(), "name B");
    QString clicked;
    QObject::connect(&grid, &TDBGrid::titleClicked, [&](const QString& f) { clicked = f; });
    emit grid.horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(clicked, "GoodsName");
}

TEST_F(Widgets, EditAndCheckBoxWriteOnlyWhileEditing) {
    TDBEdit edit;
    edit.bindField(&q, "GoodsName");
    TDBCheckBox box;
    box.bindField(&q, "Upward");
    EXPECT_EQ(edit.text(), "name A");
    EXPECT_EQ(box.checkState(), Qt::Checked);
    q.Next();
    EXPECT_EQ(edit.text(), "name B");

    q.Append();
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);  // undecided until clicked
    box.click();
    EXPECT_EQ(q.FieldByName("Upward").AsString(), "1");
    box.click();
    EXPECT_EQ(q.FieldByName("Upward").AsString(), "0");
    edit.setFocus();
    edit.selectAll();
    edit.insert("新的");  // as typed
    EXPECT_EQ(q.FieldByName("GoodsName").AsString(), "新的");
    q.Cancel();
    EXPECT_EQ(q.RecordCount(), 3);
}

// A run reports hundreds of steps a second; the bar shows the first, the
// last and a change of maximum at once, and in between at most one step per
// interval, so it still moves without a repaint for every step.
TEST(ProgressFeed, ShowsEdgesAtOnceAndThinsTheStepsBetween) {
    QProgressBar bar;
    int repaints = 0;
    QObject::connect(&bar, &QProgressBar::valueChanged, [&] { ++repaints; });
    auto feed = tms::ui::progressFeed(&bar, 1000);
    feed(240, 0);
    EXPECT_EQ(bar.maximum(), 240);
    for (int i = 1; i < 240; ++i) feed(240, i);
    EXPECT_LE(repaints, 2);  // the start, and at most one step within the second
    feed(240, 240);
    EXPECT_EQ(bar.value(), 240);
    feed(1500, 3);  // the plan write: a new maximum shows at once
    EXPECT_EQ(bar.maximum(), 1500);
    EXPECT_EQ(bar.value(), 3);

    auto quick = tms::ui::progressFeed(&bar, 5);
    quick(100, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    quick(100, 2);  // the interval has passed
    EXPECT_EQ(bar.value(), 2);

    // A bar that went away takes no more steps.
    auto* gone = new QProgressBar;
    auto orphan = tms::ui::progressFeed(gone);
    delete gone;
    orphan(10, 10);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
