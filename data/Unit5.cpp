#include "data/Unit5.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Codes.h"
#include "platform/Dialogs.h"
#include "platform/WindowKit.h"
#include "shell/Unit4.h"

QString TForm5::defaultSql() {
    return QStringLiteral(
        "select GoodsNo,GoodsName,Brand,Model,Upward,Length,Width,Height,Weight,COLOR,GoodsRemark\n"
        "from HoldGoods");
}

TForm5::TForm5(TADOConnection* connection, QWidget* parent) : FormWindow(parent) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("货物管理"));
    if (!connection && Form4) connection = &Form4->ADOConnection1;

    GoodsDS = tms::catalogueList(connection, this, "GoodsQuery", "GoodsDS", defaultSql(), QStringLiteral("HoldGoods"),
                                 QStringLiteral("GoodsNo"));
    GoodsQuery = GoodsDS->DataSet();
    ADOQuery4 = new TADOQuery(connection, this);

    chooseColor = [this](const QColor& initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, this);
        if (!c.isValid()) return std::nullopt;
        return c;
    };

    buildControls();
    connect(GoodsQuery, &TADOQuery::stateChanged, this, &TForm5::GoodsDSStateChange);
    GoodsDSStateChange();
}

TForm5::~TForm5() = default;

void TForm5::buildControls() {
    auto* root = new QVBoxLayout(this);

    Edit4 = tms::ui::searchEdit(this, "Edit4");
    Edit5 = tms::ui::searchEdit(this, "Edit5");
    for (QLineEdit* e : {Edit4, Edit5}) e->setToolTip(QStringLiteral("按回车查询"));
    Button9 = tms::ui::button(this, "Button9", QStringLiteral("全部"));
    root->addLayout(
        tms::ui::searchBar(this, {{QStringLiteral("编号："), Edit4}, {QStringLiteral("名称："), Edit5}}, Button9));

    // The list.
    goodsDBGRID = new TDBGrid(this);
    goodsDBGRID->setObjectName(QStringLiteral("goodsDBGRID"));
    goodsDBGRID->setQuery(GoodsQuery);
    goodsDBGRID->setColumns({{QStringLiteral("COLOR"), QStringLiteral("颜色"), 60},
                             {QStringLiteral("GoodsNo"), QStringLiteral("编号"), -1},
                             {QStringLiteral("GoodsName"), QStringLiteral("名称"), -1},
                             {QStringLiteral("Brand"), QStringLiteral("品牌"), -1},
                             {QStringLiteral("Model"), QStringLiteral("货物型号"), -1},
                             {QStringLiteral("Length"), QStringLiteral("长(mm)"), -1},
                             {QStringLiteral("Width"), QStringLiteral("宽(mm)"), -1},
                             {QStringLiteral("Height"), QStringLiteral("高(mm)"), -1},
                             {QStringLiteral("Weight"), QStringLiteral("毛重(kg)"), -1}});
    // The colour cell stands on the goods' own colour.
    tms::paintGoodsColours(goodsDBGRID);
    root->addWidget(goodsDBGRID, 1);

    // Record panel.
    auto* panel = new QGroupBox(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(panel);
    DBEdit1 = tms::boundEdit(panel, "DBEdit1", GoodsQuery, "GoodsNo");
    DBEdit2 = tms::boundEdit(panel, "DBEdit2", GoodsQuery, "GoodsName");
    DBEdit3 = tms::boundEdit(panel, "DBEdit3", GoodsQuery, "Brand");
    DBEdit4 = tms::boundEdit(panel, "DBEdit4", GoodsQuery, "Model");
    DBCheckBox2 = new TDBCheckBox(panel);
    DBCheckBox2->setObjectName(QStringLiteral("DBCheckBox2"));
    DBCheckBox2->setText(QStringLiteral("可倒置"));
    DBCheckBox2->bindField(GoodsQuery, QStringLiteral("Upward"));
    DBEdit6 = tms::boundEdit(panel, "DBEdit6", GoodsQuery, "Length");
    DBEdit7 = tms::boundEdit(panel, "DBEdit7", GoodsQuery, "Width");
    DBEdit8 = tms::boundEdit(panel, "DBEdit8", GoodsQuery, "Height");
    DBEdit9 = tms::boundEdit(panel, "DBEdit9", GoodsQuery, "Weight");
    DBEdit5 = tms::boundEdit(panel, "DBEdit5", GoodsQuery, "GoodsRemark");
    DBEdit10 = tms::boundEdit(panel, "DBEdit10", GoodsQuery, "COLOR");
    DBEdit10->setAutoFillBackground(true);
    BtnSelect = new QPushButton(QStringLiteral("选择.."), panel);
    // The text fields hold at most their declared size.
    tms::limitToFieldSize({DBEdit1, DBEdit2, DBEdit3, DBEdit5, DBEdit10});
    BtnSelect->setObjectName(QStringLiteral("BtnSelect"));

    // Row 0: number, name, brand, model; row 1: the turn box; row 2: sizes
    // and weight; row 3: remark and colour; row 4: the unit notes.
    tms::placeField(grid, 0, 0, QStringLiteral("编号："), DBEdit1, true);
    tms::placeField(grid, 0, 1, QStringLiteral("名称："), DBEdit2, true);
    tms::placeField(grid, 0, 2, QStringLiteral("品牌："), DBEdit3, false);
    tms::placeField(grid, 0, 3, QStringLiteral("产品型号："), DBEdit4, false);
    grid->addWidget(DBCheckBox2, 1, 1);
    tms::placeField(grid, 2, 0, QStringLiteral("长(mm)："), DBEdit6, true);
    tms::placeField(grid, 2, 1, QStringLiteral("宽(mm)："), DBEdit7, true);
    tms::placeField(grid, 2, 2, QStringLiteral("高(mm)："), DBEdit8, true);
    tms::placeField(grid, 2, 3, QStringLiteral("毛重(kg)："), DBEdit9, true);
    tms::placeField(grid, 3, 0, QStringLiteral("备注："), DBEdit5, false);
    grid->addWidget(new QLabel(QStringLiteral("颜色："), panel), 3, 3, Qt::AlignRight);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(DBEdit10, 1);
    colourRow->addWidget(BtnSelect);
    grid->addLayout(colourRow, 3, 4);
    grid->addWidget(new QLabel(QStringLiteral("注意:长度单位毫米(mm)"), panel), 4, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("重量单位(kg)"), panel), 4, 3, 1, 3);
    for (int c = 0; c < 4; ++c) grid->setColumnStretch(c * 3 + 1, 1);
    root->addWidget(panel);

    // Navigator and command buttons.
    auto* commands = new QHBoxLayout;
    DBNavigator1 = tms::commandNavigator(this, commands, "DBNavigator1", GoodsQuery);
    SpeedButton5 = tms::commandButton(this, commands, "SpeedButton5", "增加");
    SpeedButton6 = tms::commandButton(this, commands, "SpeedButton6", "修改");
    SpeedButton7 = tms::commandButton(this, commands, "SpeedButton7", "删除");
    SpeedButton8 = tms::commandButton(this, commands, "SpeedButton8", "保存");
    SpeedButton9 = tms::commandButton(this, commands, "SpeedButton9", "取消");
    BitBtn1 = tms::commandButton(this, commands, "BitBtn1", "退出");
    root->addLayout(commands);

    // The colour button is enabled with the record controls; the colour
    // edit itself never is disabled.
    recordControls_ = {DBEdit1, DBEdit2, DBEdit3, DBEdit4,     DBEdit6,  DBEdit7,
                       DBEdit8, DBEdit9, DBEdit5, DBCheckBox2, BtnSelect};
    new TRecordKeys({DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBCheckBox2, DBEdit6, DBEdit7, DBEdit8, DBEdit9, DBEdit5},
                    {DBEdit6, DBEdit7, DBEdit8, DBEdit9}, this);

    connect(Button9, &QPushButton::clicked, this, &TForm5::Button9Click);
    connect(goodsDBGRID, &TDBGrid::titleClicked, this, &TForm5::goodsDBGRIDTitleClick);
    connect(BtnSelect, &QPushButton::clicked, this, &TForm5::BtnSelectClick);
    connect(SpeedButton5, &QPushButton::clicked, this, &TForm5::SpeedButton5Click);
    connect(SpeedButton6, &QPushButton::clicked, this, &TForm5::SpeedButton6Click);
    connect(SpeedButton7, &QPushButton::clicked, this, &TForm5::SpeedButton7Click);
    connect(SpeedButton8, &QPushButton::clicked, this, &TForm5::SpeedButton8Click);
    connect(SpeedButton9, &QPushButton::clicked, this, &TForm5::SpeedButton9Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
}

// ---------------------------------------------------------------- lifecycle

void TForm5::FormShow() {
    tms::ui::reportErrors([&] { GoodsDS->acquire(this); });
    tms::ui::fitFrameToScreen(this);
}

void TForm5::FormClose() { tms::leaveList(GoodsDS, this); }

// ---------------------------------------------------------------- search and sort

void TForm5::Button9Click() { tms::listAll(GoodsQuery, QStringLiteral("HoldGoods")); }

void TForm5::goodsDBGRIDTitleClick(const QString& fieldName) {
    tms::sortByTitle(
        GoodsQuery,
        QStringLiteral("select GoodsNo,GoodsName,Brand,Model,Upward,Length,Width,Height,Weight,GoodsRemark,Color "
                       "from HoldGoods"),
        fieldName, sortDesc);
}

// ---------------------------------------------------------------- record buttons

void TForm5::SpeedButton5Click() {
    if (!tms::ui::reportErrors([&] { GoodsQuery->Append(); })) return;
    DBEdit1->setFocus();
}

void TForm5::SpeedButton6Click() {
    if (!tms::hasCurrentRecord(GoodsQuery)) return;
    oldLength = DBEdit6->text();
    oldWidth = DBEdit7->text();
    oldHeight = DBEdit8->text();
    oldWeight = DBEdit9->text();
    if (!tms::ui::reportErrors([&] { GoodsQuery->Edit(); })) return;
    DBEdit1->setEnabled(false);
    modifyMode = true;
    DBEdit2->setFocus();
}

void TForm5::SpeedButton7Click() {
    tms::deleteUnlessUsed(GoodsQuery, ADOQuery4, QStringLiteral("确实要删除该货物吗?"), QStringLiteral("GoodsNo"),
                          QStringLiteral("select OrderFormNo  from HoldOrderFormList where GoodsNo = ?"),
                          QStringLiteral("该货物以前有过定单 不能删除 请先整理该定单."));
}

void TForm5::SpeedButton8Click() {
    if (!tms::hasPendingEdit(GoodsQuery)) return;
    if (DBCheckBox2->checkState() == Qt::PartiallyChecked) {
        tms::ui::showMessage(QStringLiteral("请选择可否倒置"));
        return;
    }
    // A colour text that is not "R,G,B" could be neither drawn nor painted.
    const QString colour = DBEdit10->text().trimmed();
    if (colour.isEmpty() || !tms::colourOfText(colour).isValid()) {
        tms::ui::showMessage(QStringLiteral("请选择颜色"));
        return;
    }
    if (!tms::entriesComplete({DBEdit1, DBEdit2, DBEdit6, DBEdit7, DBEdit8, DBEdit9})) return;
    double volume = 1;
    for (const TDBEdit* e : {DBEdit6, DBEdit7, DBEdit8}) {
        const QString t = e->text().trimmed();
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok) {
            tms::ui::showError(notAFloatText(t));
            return;
        }
        volume *= v;
    }
    if (volume < 1000000.0) {
        tms::ui::showMessage(QStringLiteral("您录入的货物体积太小，请从新录入"));
        return;
    }
    if (volume > 125000000000.0) {
        tms::ui::showMessage(QStringLiteral("您录入的货物体积太大，请从新录入"));
        return;
    }
    if (!tms::textsFit(GoodsQuery, {{DBEdit1, QStringLiteral("GoodsNo"), QStringLiteral("编号")},
                                    {DBEdit2, QStringLiteral("GoodsName"), QStringLiteral("名称")},
                                    {DBEdit3, QStringLiteral("Brand"), QStringLiteral("品牌")},
                                    {DBEdit5, QStringLiteral("GoodsRemark"), QStringLiteral("备注")},
                                    {DBEdit10, QStringLiteral("COLOR"), QStringLiteral("颜色")}}))
        return;
    tms::postChecked(GoodsQuery, [&] {
        if (!modifyMode)
            return tms::numberFree(ADOQuery4, QStringLiteral("select * from HoldGoods where GoodsNo = ?"), DBEdit1);
        // Goods that a computed plan uses keep their sizes and weight.
        return tms::measuresKept(
            ADOQuery4,
            QStringLiteral("select HoldOrderForm.OrderFormNo  from HoldOrderForm, HoldOrderFormList "
                           "where HoldOrderForm.OrderFormNo = HoldOrderFormList.OrderFormNo "
                           "and HoldOrderForm.IsNeedCount = 0 and GoodsNo = ?"),
            GoodsQuery->FieldByName(QStringLiteral("GoodsNo")).AsString(), {DBEdit6, DBEdit7, DBEdit8, DBEdit9},
            {oldLength, oldWidth, oldHeight, oldWeight},
            QStringLiteral(
                "该货物以前有过定单,您修改该货物的长、宽、高、重量,会影响以前装配结果的正确性,因此不允许修改!"));
    });
    // Saved: the user goes on in the list (the save button that had the
    // focus is disabled now, and the next control would be "退出").
    if (!tms::hasPendingEdit(GoodsQuery)) goodsDBGRID->setFocus();
}

void TForm5::SpeedButton9Click() {
    if (tms::hasPendingEdit(GoodsQuery)) GoodsQuery->Cancel();
    goodsDBGRID->setFocus();
}

void TForm5::BtnSelectClick() {
    if (!tms::hasPendingEdit(GoodsQuery) || !chooseColor) return;
    const QColor initial = tms::colourOfText(DBEdit10->text());
    const std::optional<QColor> chosen = chooseColor(initial.isValid() ? initial : QColor(Qt::white));
    if (!chosen || !chosen->isValid()) return;
    int r, g, b;
    tms::TColor2RGB(chosen->red() + 256 * chosen->green() + 65536 * chosen->blue(), r, g, b);
    GoodsQuery->FieldByName(QStringLiteral("COLOR")).SetValue(QString::fromStdString(tms::colorText(r, g, b)));
    QPalette p = DBEdit10->palette();
    p.setColor(QPalette::Base, QColor(r, g, b));
    p.setColor(QPalette::Text, tms::readableTextOn(QColor(r, g, b)));
    DBEdit10->setPalette(p);
}

// ---------------------------------------------------------------- state

void TForm5::GoodsDSStateChange() {
    const bool editing = tms::followEditState(GoodsQuery, {SpeedButton5, SpeedButton6, SpeedButton7},
                                              {SpeedButton8, SpeedButton9}, recordControls_, goodsDBGRID, DBNavigator1);
    if (!editing) modifyMode = false;
    // The colour edit stays enabled but takes typing only while editing.
    DBEdit10->setReadOnly(!editing);
    DBEdit10->setPalette(palette());
}

// ---------------------------------------------------------------- keys

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Edit4 || watched == Edit5)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Runs before the key reaches the edit: the text is the one before it.
        const QString text = static_cast<QLineEdit*>(watched)->text();
        tms::searchOnEnter(GoodsQuery, QStringLiteral("HoldGoods"),
                           watched == Edit4 ? QStringLiteral("GoodsNo") : QStringLiteral("GoodsName"), text, key);
        // A blank search edit lists every goods again, whatever the key.
        if (text.trimmed().isEmpty()) Button9Click();
    }
    return QWidget::eventFilter(watched, event);
}
