// The goods window driven as a user drives it: through its named controls,
// with the message boxes answered by a recorder.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include "data/Unit5.h"
#include "tests/data/CatalogueTesting.h"
#include "tests/support/WindowTestMain.h"

namespace {

struct Goods {
    QString no, name, brand, model, length, width, height, weight, remark;
    QColor colour = QColor(255, 0, 0);
    Qt::CheckState turn = Qt::Checked;
};

class GoodsWindow : public ::testing::Test {
protected:
    TestDb db;
    tms::ui::BoxRecorder boxes;
    std::unique_ptr<TForm5> form;

    void SetUp() override {
        form = std::make_unique<TForm5>(&db.conn);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get(), 20000));
    }

    void addGoodsRow(const QString& no, const QString& name, int l, int w, int h, int kg,
                     const QString& colour = "1,2,3") {
        db.conn.Execute(
            "insert into HoldGoods(GoodsNo,GoodsName,Upward,Length,Width,Height,Weight,COLOR) "
            "values (?,?,'1',?,?,?,?,?)",
            {no, name, l, w, h, kg, colour});
    }
    void reload() { form->Button9->click(); }

    // Fills the record panel of a record already in insert or edit state.
    void fill(const Goods& g) {
        typeInto(form->DBEdit1, g.no);
        typeInto(form->DBEdit2, g.name);
        typeInto(form->DBEdit3, g.brand);
        typeInto(form->DBEdit4, g.model);
        typeInto(form->DBEdit6, g.length);
        typeInto(form->DBEdit7, g.width);
        typeInto(form->DBEdit8, g.height);
        typeInto(form->DBEdit9, g.weight);
        typeInto(form->DBEdit5, g.remark);
        if (g.turn != Qt::PartiallyChecked) {
            form->DBCheckBox2->click();  // the first click decides it as ticked
            if (g.turn == Qt::Unchecked) form->DBCheckBox2->click();
        }
        if (g.colour.isValid()) {
            const QColor c = g.colour;
            form->chooseColor = [c](const QColor&) { return std::optional<QColor>(c); };
            form->BtnSelect->click();
        }
    }
    void add(const Goods& g) {
        form->SpeedButton5->click();
        fill(g);
        form->SpeedButton8->click();
    }
    static Goods box(const QString& no, const QString& l = "600", const QString& w = "400", const QString& h = "300") {
        return Goods{no, "纸箱", "", "", l, w, h, "25", ""};
    }
    int goodsRows() { return countRows(db.conn, "select * from HoldGoods"); }
};

TEST_F(GoodsWindow, AddsAGoodsAndShowsItColumnByColumn) {
    EXPECT_EQ(form->windowTitle(), "货物管理");
    add(Goods{"G'1", "大纸箱", "牌子", "7", "600", "400", "300", "25", "易碎", QColor(10, 20, 30), Qt::Unchecked});
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsBrowse);

    TADOQuery q(&db.conn);
    q.setSQL("select GoodsNo,GoodsName,Brand,Model,Upward,Length,Width,Height,Weight,COLOR,GoodsRemark from HoldGoods");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    const QStringList want = {"G'1", "大纸箱", "牌子", "7", "0", "600", "400", "300", "25", "10,20,30", "易碎"};
    for (int c = 0; c < want.size(); ++c) EXPECT_EQ(q.Fields(c).AsString(), want[c]) << c;

    // The grid: colour, number, name, brand, model, length, width, height, weight.
    auto* m = form->goodsDBGRID->model();
    const QStringList shown = {"10,20,30", "G'1", "大纸箱", "牌子", "7", "600", "400", "300", "25"};
    ASSERT_EQ(m->columnCount(), shown.size());
    for (int c = 0; c < shown.size(); ++c) EXPECT_EQ(m->index(0, c).data().toString(), shown[c]) << c;
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "颜色");
    EXPECT_EQ(m->headerData(8, Qt::Horizontal).toString(), "毛重(kg)");
}

TEST_F(GoodsWindow, SaveChecksComeInOrderAndKeepTheRecordOpen) {
    form->SpeedButton5->click();
    fill(Goods{"N1", "", "", "", "", "", "", "", "", QColor(), Qt::PartiallyChecked});
    auto saveSays = [&](const QString& text) {
        boxes.clear();
        form->SpeedButton8->click();
        EXPECT_EQ(boxes.texts(), QStringList{text});
        EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsInsert);
    };
    saveSays("请选择可否倒置");
    form->DBCheckBox2->click();
    saveSays("请选择颜色");
    // A colour typed by hand must be a proper "R,G,B".
    for (const char* bad : {"255,0", "1,2,3,4", "a,b,c", "300,0,0"}) {
        typeInto(form->DBEdit10, bad);
        saveSays("请选择颜色");
    }
    typeInto(form->DBEdit10, " 1,2,3 ");
    saveSays("请录入完整信息");
    typeInto(form->DBEdit2, "名");
    typeInto(form->DBEdit6, "100");
    typeInto(form->DBEdit7, "100");
    typeInto(form->DBEdit8, "99");
    saveSays("请录入完整信息");  // weight still missing
    typeInto(form->DBEdit9, "1");
    saveSays("您录入的货物体积太小，请从新录入");
    typeInto(form->DBEdit8, ".");  // the key filter lets a lone point through
    saveSays("'.' 不是有效的浮点数");
    EXPECT_EQ(boxes.boxes().last().kind, tms::ui::BoxKind::Error);
    typeInto(form->DBEdit8, "99");
    typeInto(form->DBEdit6, "1.2.3");
    saveSays("'1.2.3' 不是有效的浮点数");
    typeInto(form->DBEdit6, "100");
    EXPECT_EQ(goodsRows(), 0);
    typeInto(form->DBEdit8, "100");  // exactly one cubic decimetre
    boxes.clear();
    form->SpeedButton8->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(goodsRows(), 1);
}

TEST_F(GoodsWindow, VolumeUpperBoundIsInclusive) {
    add(box("BIG", "5000", "5000", "5001"));
    EXPECT_EQ(boxes.texts(), QStringList{"您录入的货物体积太大，请从新录入"});
    typeInto(form->DBEdit8, "5000");
    boxes.clear();
    form->SpeedButton8->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(goodsRows(), 1);
}

// Another copy of the program writing blames neither the input nor loses it:
// the message says why, and the entry is saved once the file is free.
TEST_F(GoodsWindow, ABusyFileIsNamedAndTheEntryKept) {
    TADOConnection other;
    other.Open(makeConnectionString(db.path, tms::kDatabasePassword));
    other.BeginTrans();
    add(box("B1"));
    other.RollbackTrans();
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].contains("另一个程序正在写入数据库")) << boxes.texts()[0].toStdString();
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsInsert);
    boxes.clear();
    form->SpeedButton8->click();
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(goodsRows(), 1);
}

TEST_F(GoodsWindow, DuplicateNumberAndValuesThatDoNotFitAreRefused) {
    addGoodsRow("A1", "旧", 600, 400, 300, 25);
    reload();
    add(box("a1"));  // numbers compare without regard to case
    EXPECT_EQ(boxes.texts(), QStringList{"该编号已存在 请从新输入"});
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit1);
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsInsert);

    typeInto(form->DBEdit1, "A2");
    for (const char* weight : {"2.5", "99999999999"}) {
        boxes.clear();
        typeInto(form->DBEdit9, weight);
        form->SpeedButton8->click();
        EXPECT_EQ(boxes.texts(), QStringList{"保存出错 请检查录入数据!"}) << weight;
        EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsInsert);
    }
    typeInto(form->DBEdit9, "3");
    typeInto(form->DBEdit4, "x7");  // the model number is an integer too
    boxes.clear();
    form->SpeedButton8->click();
    EXPECT_EQ(boxes.texts(), QStringList{"保存出错 请检查录入数据!"});
    EXPECT_EQ(goodsRows(), 1);
    form->SpeedButton9->click();
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(form->GoodsQuery->RecordCount(), 1);
}

TEST_F(GoodsWindow, DeleteAsksAndRefusesGoodsThatAnOrderUses) {
    addGoodsRow("U'1", "用过", 600, 400, 300, 25);
    addGoodsRow("F1", "空闲", 600, 400, 300, 25);
    addOrder(db.conn, "O1", "C1", 1, {"U'1"});
    reload();
    ASSERT_TRUE(form->GoodsQuery->Locate("GoodsNo", "U'1"));
    form->SpeedButton7->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"确实要删除该货物吗?", "该货物以前有过定单 不能删除 请先整理该定单."}));
    EXPECT_EQ(boxes.boxes().first().title, "确认信息");
    EXPECT_EQ(goodsRows(), 2);

    ASSERT_TRUE(form->GoodsQuery->Locate("GoodsNo", "F1"));
    boxes.answerNext(tms::ui::Answer::Cancel);
    form->SpeedButton7->click();
    EXPECT_EQ(goodsRows(), 2);
    form->SpeedButton7->click();
    EXPECT_EQ(goodsRows(), 1);
    EXPECT_EQ(form->GoodsQuery->RecordCount(), 1);

    // An empty list: nothing to ask about, nothing happens.
    db.conn.Execute("delete from HoldGoods");
    reload();
    boxes.clear();
    form->SpeedButton7->click();
    form->SpeedButton6->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsBrowse);
}

TEST_F(GoodsWindow, SizesOfGoodsInAComputedPlanCannotChange) {
    addGoodsRow("P1", "计划中", 600, 400, 300, 25);
    addGoodsRow("Q1", "未计算", 600, 400, 300, 25);
    addOrder(db.conn, "O1", "C1", 0, {"P1"});
    addOrder(db.conn, "O2", "C1", 1, {"Q1"});
    reload();
    const QString refused =
        "该货物以前有过定单,您修改该货物的长、宽、高、重量,会影响以前装配结果的正确性,因此不允许修改!";

    ASSERT_TRUE(form->GoodsQuery->Locate("GoodsNo", "P1"));
    form->SpeedButton6->click();
    EXPECT_FALSE(form->DBEdit1->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit2);
    typeInto(form->DBEdit6, "601");
    form->SpeedButton8->click();
    EXPECT_EQ(boxes.texts(), QStringList{refused});
    typeInto(form->DBEdit6, "600");  // changed back: only the name differs
    typeInto(form->DBEdit2, "新名");
    boxes.clear();
    form->SpeedButton8->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(cellOf(db.conn, "select GoodsName from HoldGoods where GoodsNo='P1'"), "新名");

    for (TDBEdit* e : {form->DBEdit7, form->DBEdit8, form->DBEdit9}) {
        boxes.clear();
        form->SpeedButton6->click();
        typeInto(e, "1" + e->text());
        form->SpeedButton8->click();
        EXPECT_EQ(boxes.texts(), QStringList{refused}) << e->objectName().toStdString();
        form->SpeedButton9->click();
    }

    // An order not yet computed does not hold the sizes.
    ASSERT_TRUE(form->GoodsQuery->Locate("GoodsNo", "Q1"));
    form->SpeedButton6->click();
    typeInto(form->DBEdit6, "700");
    boxes.clear();
    form->SpeedButton8->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(cellOf(db.conn, "select Length from HoldGoods where GoodsNo='Q1'"), "700");
}

TEST_F(GoodsWindow, SearchByNumberAndNameAndShowAll) {
    addGoodsRow("X-1", "大纸箱", 600, 400, 300, 25);
    addGoodsRow("X-2", "木箱", 600, 400, 300, 25);
    addGoodsRow("Y'3", "铁桶", 600, 400, 300, 25);
    reload();
    EXPECT_EQ(form->GoodsQuery->RecordCount(), 3);

    form->Edit5->setFocus();
    form->Edit5->setText("箱");
    QTest::keyClick(form->Edit5, Qt::Key_Return);
    EXPECT_EQ(columnOf(form->GoodsQuery, "GoodsNo"), (QStringList{"X-1", "X-2"}));

    form->Edit4->setText("'");  // a quote is only a character
    QTest::keyClick(form->Edit4, Qt::Key_Return);
    EXPECT_EQ(columnOf(form->GoodsQuery, "GoodsNo"), QStringList{"Y'3"});

    // Any key in an empty search box brings every row back.
    form->Edit4->clear();
    QTest::keyClick(form->Edit4, Qt::Key_Return);
    EXPECT_EQ(form->GoodsQuery->RecordCount(), 3);

    form->Edit4->setText("2");
    QTest::keyClick(form->Edit4, Qt::Key_Return);
    EXPECT_EQ(form->GoodsQuery->RecordCount(), 1);
    form->Button9->click();
    EXPECT_EQ(form->GoodsQuery->RecordCount(), 3);
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(GoodsWindow, SearchTextIsAPatternWhoseQuotesAreSafe) {
    addGoodsRow("A%1", "百分号", 600, 400, 300, 25);
    addGoodsRow("AB1", "普通", 600, 400, 300, 25);
    addGoodsRow("A_2", "下划线", 600, 400, 300, 25);
    addGoodsRow("O'B", "引号", 600, 400, 300, 25);
    reload();
    auto search = [&](const QString& text) {
        form->Edit4->setText(text);
        QTest::keyClick(form->Edit4, Qt::Key_Return);
        return columnOf(form->GoodsQuery, "GoodsNo");
    };
    // "%" stands for any text and "_" for any one character.
    EXPECT_EQ(search("%"), (QStringList{"A%1", "AB1", "A_2", "O'B"}));
    EXPECT_EQ(search("A_1"), (QStringList{"A%1", "AB1"}));
    EXPECT_EQ(search("A%2"), QStringList{"A_2"});
    // A quote is a character; letters match without regard to case.
    EXPECT_EQ(search("o'"), QStringList{"O'B"});
    EXPECT_EQ(search("ab"), QStringList{"AB1"});
    EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(GoodsWindow, TextFieldsHoldAtMostTheirDeclaredSize) {
    for (TDBEdit* e : {form->DBEdit1, form->DBEdit2, form->DBEdit3, form->DBEdit5, form->DBEdit10})
        EXPECT_EQ(e->maxLength(), 50) << e->objectName().toStdString();
    // Typing stops at the size, for Chinese characters as for letters.
    Goods g = box(QString(80, 'N'));
    g.name = QString(60, QChar(0x7BB1));
    g.brand = QString(51, 'b');
    g.remark = QString(70, 'r');
    add(g);
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
    TADOQuery q(&db.conn);
    q.setSQL("select GoodsNo,GoodsName,Brand,GoodsRemark from HoldGoods");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).AsString(), QString(50, 'N'));
    EXPECT_EQ(q.Fields(1).AsString(), QString(50, QChar(0x7BB1)));
    EXPECT_EQ(q.Fields(2).AsString(), QString(50, 'b'));
    EXPECT_EQ(q.Fields(3).AsString(), QString(50, 'r'));

    // A value longer than the size that reached the record another way is
    // refused at save, and nothing is written.
    form->SpeedButton6->click();
    form->GoodsQuery->FieldByName("GoodsRemark").SetValue(QString(51, 'x'));
    form->SpeedButton8->click();
    EXPECT_EQ(boxes.texts(), QStringList{"备注不能超过50个字符 请从新录入"});
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit5);
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsEdit);
    EXPECT_EQ(cellOf(db.conn, "select GoodsRemark from HoldGoods"), QString(50, 'r'));
    typeInto(form->DBEdit5, "短");
    boxes.clear();
    form->SpeedButton8->click();
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(cellOf(db.conn, "select GoodsRemark from HoldGoods"), "短");
}

TEST_F(GoodsWindow, AfterSaveOrCancelTheFocusIsOnTheList) {
    // The save button is pressed from the keyboard: it has the focus when
    // it goes disabled.
    form->SpeedButton5->click();
    fill(box("F1"));
    form->SpeedButton8->setFocus();
    QTest::keyClick(form->SpeedButton8, Qt::Key_Space);
    ASSERT_EQ(goodsRows(), 1);
    EXPECT_EQ(QApplication::focusWidget(), form->goodsDBGRID);
    // The next Space stays in the list instead of closing the window.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(form->isVisible());

    form->SpeedButton6->click();
    form->SpeedButton9->setFocus();
    QTest::keyClick(form->SpeedButton9, Qt::Key_Space);
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(QApplication::focusWidget(), form->goodsDBGRID);

    // A refused save keeps the focus in the record.
    form->SpeedButton5->click();
    fill(box("F1"));
    form->SpeedButton8->click();
    EXPECT_EQ(boxes.texts(), QStringList{"该编号已存在 请从新输入"});
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit1);
}

TEST_F(GoodsWindow, NumericFieldsTakeTheEditShortcutsAndCheckPastes) {
    form->SpeedButton5->click();
    QClipboard* clip = QApplication::clipboard();
    TDBEdit* length = form->DBEdit6;
    length->setFocus();
    QTest::keyClicks(length, "600");
    // Select all and copy, cut, undo.
    QTest::keySequence(length, QKeySequence::SelectAll);
    EXPECT_EQ(length->selectedText(), "600");
    QTest::keySequence(length, QKeySequence::Copy);
    EXPECT_EQ(clip->text(), "600");
    QTest::keySequence(length, QKeySequence::Cut);
    EXPECT_EQ(length->text(), "");
    EXPECT_EQ(form->GoodsQuery->FieldByName("Length").AsString(), "");
    QTest::keySequence(length, QKeySequence::Undo);
    EXPECT_EQ(length->text(), "600");

    // A paste is held to the rule of the keys: digits and "." go in, a text
    // with anything else is refused as a whole.
    clip->setText("25.5");
    length->end(false);
    QTest::keySequence(length, QKeySequence::Paste);
    EXPECT_EQ(length->text(), "60025.5");
    for (const char* bad : {"1a", "-5", " 7", "１２", "3\n4"}) {
        clip->setText(QString::fromUtf8(bad));
        QTest::keySequence(length, QKeySequence::Paste);
        EXPECT_EQ(length->text(), "60025.5") << bad;
    }
    EXPECT_EQ(form->GoodsQuery->FieldByName("Length").AsString(), "60025.5");

    // The same through the context menu's paste.
    auto menuPaste = [&](QLineEdit* e) {
        // The menu's paste is the action that shows the paste shortcut.
        std::unique_ptr<QMenu> menu(e->createStandardContextMenu());
        const QString shortcut = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        QAction* paste = nullptr;
        for (QAction* a : menu->actions())
            if (a->text().endsWith('\t' + shortcut)) paste = a;
        ASSERT_NE(paste, nullptr);
        paste->trigger();
    };
    QTest::keySequence(length, QKeySequence::SelectAll);
    clip->setText("12x");
    menuPaste(length);
    EXPECT_EQ(length->text(), "60025.5");
    clip->setText("800");
    menuPaste(length);
    EXPECT_EQ(length->text(), "800");
    EXPECT_EQ(form->GoodsQuery->FieldByName("Length").AsString(), "800");
    // Other fields take any paste.
    clip->setText("名-1 x");
    menuPaste(form->DBEdit2);
    EXPECT_EQ(form->DBEdit2->text(), "名-1 x");
}

TEST_F(GoodsWindow, TitleClicksToggleTheSortWhateverTheColumn) {
    addGoodsRow("B", "b", 700, 400, 300, 25);
    addGoodsRow("A", "a", 600, 400, 300, 25);
    addGoodsRow("C", "c", 800, 400, 300, 25);
    reload();
    emit form->goodsDBGRID->titleClicked("Length");
    EXPECT_TRUE(form->sortDescending());
    EXPECT_EQ(columnOf(form->GoodsQuery, "GoodsNo"), (QStringList{"C", "B", "A"}));
    emit form->goodsDBGRID->titleClicked("Length");
    EXPECT_EQ(columnOf(form->GoodsQuery, "GoodsNo"), (QStringList{"A", "B", "C"}));
    emit form->goodsDBGRID->titleClicked("GoodsNo");
    EXPECT_EQ(columnOf(form->GoodsQuery, "GoodsNo"), (QStringList{"C", "B", "A"}));
}

TEST_F(GoodsWindow, KeysOfTheRecordPanel) {
    form->SpeedButton5->click();
    form->DBEdit6->setFocus();
    QTest::keyClicks(form->DBEdit6, "1a2.-5 x");
    QTest::keyClick(form->DBEdit6, Qt::Key_Backspace);
    EXPECT_EQ(form->DBEdit6->text(), "12.");
    EXPECT_EQ(form->GoodsQuery->FieldByName("Length").AsString(), "12.");
    // Name and remark take anything.
    form->DBEdit2->setFocus();
    QTest::keyClicks(form->DBEdit2, "ab-1");
    EXPECT_EQ(form->DBEdit2->text(), "ab-1");

    // Enter walks the chain; the remark ends it.
    const QList<QWidget*> chain = {form->DBEdit1, form->DBEdit2, form->DBEdit3, form->DBEdit4, form->DBCheckBox2,
                                   form->DBEdit6, form->DBEdit7, form->DBEdit8, form->DBEdit9, form->DBEdit5};
    chain.first()->setFocus();
    for (int i = 1; i < chain.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), chain[i]) << i;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->DBEdit5);
}

TEST_F(GoodsWindow, ColourBoxAndButtonsFollowTheState) {
    addGoodsRow("C1", "c", 600, 400, 300, 25, "0,128,255");
    reload();
    // Browsing: the colour box shows the text but takes no typing.
    EXPECT_TRUE(form->DBEdit10->isEnabled());
    EXPECT_TRUE(form->DBEdit10->isReadOnly());
    EXPECT_FALSE(form->BtnSelect->isEnabled());
    EXPECT_FALSE(form->DBEdit2->isEnabled());
    EXPECT_TRUE(form->SpeedButton5->isEnabled());
    EXPECT_FALSE(form->SpeedButton8->isEnabled());

    form->SpeedButton6->click();
    EXPECT_FALSE(form->DBEdit10->isReadOnly());
    EXPECT_TRUE(form->BtnSelect->isEnabled());
    EXPECT_FALSE(form->SpeedButton5->isEnabled());
    EXPECT_TRUE(form->SpeedButton9->isEnabled());
    QColor offered;
    form->chooseColor = [&](const QColor& initial) {
        offered = initial;
        return std::optional<QColor>();  // cancelled: nothing changes
    };
    form->BtnSelect->click();
    EXPECT_EQ(offered, QColor(0, 128, 255));
    EXPECT_EQ(form->DBEdit10->text(), "0,128,255");
    form->chooseColor = [](const QColor&) { return std::optional<QColor>(QColor(7, 8, 9)); };
    form->BtnSelect->click();
    EXPECT_EQ(form->DBEdit10->text(), "7,8,9");
    EXPECT_EQ(form->DBEdit10->palette().color(QPalette::Base), QColor(7, 8, 9));
    form->SpeedButton8->click();
    EXPECT_EQ(cellOf(db.conn, "select COLOR from HoldGoods"), "7,8,9");
    EXPECT_FALSE(form->inModifyMode());
}

TEST_F(GoodsWindow, ColourCellIsPaintedWithTheGoodsColour) {
    addGoodsRow("R", "红", 600, 400, 300, 25, "255,0,0");
    addGoodsRow("G", "绿", 600, 400, 300, 25, "0,160,0");
    addGoodsRow("B", "蓝", 600, 400, 300, 25, "40,40,255");
    addGoodsRow("E", "无色", 600, 400, 300, 25, "");
    addGoodsRow("M", "坏色", 600, 400, 300, 25, "1,2,3,4");
    reload();
    auto* m = form->goodsDBGRID->model();
    EXPECT_EQ(m->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(m->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0, 160, 0));
    EXPECT_EQ(m->index(2, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(40, 40, 255));
    EXPECT_FALSE(m->index(3, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(m->index(4, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(m->index(0, 1).data(Qt::BackgroundRole).isValid());
    // The painted grid (saved for a look by eye when TMS_SHOT_DIR is set);
    // the current row's colour cell keeps its colour too.
    form->GoodsQuery->setRecNo(1);
    QApplication::processEvents();
    const QImage shot = form->grab().toImage();
    if (const QByteArray dir = qgetenv("TMS_SHOT_DIR"); !dir.isEmpty())
        shot.save(QString::fromLocal8Bit(dir) + "/goods.png");
    auto pixelIn = [&](int row, int column) {
        const QRect cell = form->goodsDBGRID->visualRect(m->index(row, column));
        return QColor(shot.pixel(form->goodsDBGRID->viewport()->mapTo(form.get(), cell.topLeft() + QPoint(2, 2))));
    };
    EXPECT_EQ(pixelIn(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(pixelIn(1, 0), QColor(0, 160, 0));
    EXPECT_NE(pixelIn(1, 1), QColor(0, 160, 0));
}

// The colour cells of the goods lists and of the self-service grid share
// this rule; HSL lightness would put black text on pure blue.
TEST(ColourCellText, FollowsPerceivedBrightness) {
    EXPECT_EQ(tms::readableTextOn(QColor(0, 0, 255)), QColor(Qt::white));
    EXPECT_EQ(tms::readableTextOn(QColor(40, 40, 255)), QColor(Qt::white));
    EXPECT_EQ(tms::readableTextOn(QColor(255, 0, 0)), QColor(Qt::white));
    EXPECT_EQ(tms::readableTextOn(QColor(255, 255, 0)), QColor(Qt::black));
    EXPECT_EQ(tms::readableTextOn(QColor(0, 255, 0)), QColor(Qt::black));
    // The threshold: a grey of 140 is light, one of 139 dark.
    EXPECT_EQ(tms::readableTextOn(QColor(140, 140, 140)), QColor(Qt::black));
    EXPECT_EQ(tms::readableTextOn(QColor(139, 139, 139)), QColor(Qt::white));
}

TEST_F(GoodsWindow, SharedListOutlivesThisWindowAndKeepsPendingEdits) {
    addGoodsRow("S1", "s", 600, 400, 300, 25);
    addGoodsRow("S2", "s", 600, 400, 300, 25);
    reload();
    QObject newOrder;  // another window showing the goods list
    form->GoodsDS->acquire(&newOrder);
    form->Edit4->setText("S2");
    QTest::keyClick(form->Edit4, Qt::Key_Return);
    form->close();
    EXPECT_TRUE(form->GoodsQuery->Active());
    EXPECT_EQ(columnOf(form->GoodsQuery, "GoodsNo"), QStringList{"S2"});

    form->show();
    form->SpeedButton6->click();
    typeInto(form->DBEdit2, "待存");
    // Neither a search nor a sort from any window throws the edit away.
    EXPECT_FALSE(tms::fastfind(form->GoodsQuery, "HoldGoods", "*", ""));
    form->Edit4->clear();
    QTest::keyClick(form->Edit4, Qt::Key_Return);
    form->Button9->click();
    emit form->goodsDBGRID->titleClicked("GoodsNo");
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsEdit);
    EXPECT_EQ(form->DBEdit2->text(), "待存");
    form->SpeedButton8->click();
    EXPECT_EQ(cellOf(db.conn, "select GoodsName from HoldGoods where GoodsNo='S2'"), "待存");

    // Closing with an edit open drops the edit, not the other window's list.
    form->SpeedButton6->click();
    form->close();
    EXPECT_EQ(form->GoodsQuery->State(), TDataSetState::dsBrowse);
    form->GoodsDS->release(&newOrder);
    EXPECT_FALSE(form->GoodsQuery->Active());
    EXPECT_EQ(form->GoodsQuery->SQLText(), TForm5::defaultSql());
}

}  // namespace

int main(int argc, char** argv) { return tms::test::runWindowTests(argc, argv); }
