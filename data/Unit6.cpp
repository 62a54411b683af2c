#include "data/Unit6.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Dialogs.h"
#include "platform/WindowKit.h"
#include "shell/Unit4.h"

QString TForm6::defaultSql() {
    return QStringLiteral(
        "select VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight,Model,VehicleRemark from "
        "HoldVehicles");
}

TForm6::TForm6(TADOConnection* connection, QWidget* parent) : FormWindow(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("货柜管理"));
    if (!connection && Form4) connection = &Form4->ADOConnection1;

    VehiclesDS = tms::catalogueList(connection, this, "VehiclesQuery", "VehiclesDS", defaultSql(),
                                    QStringLiteral("HoldVehicles"), QStringLiteral("VehicleNo"));
    VehiclesQuery = VehiclesDS->DataSet();
    ADOQuery4 = new TADOQuery(connection, this);

    buildControls();
    connect(VehiclesQuery, &TADOQuery::stateChanged, this, &TForm6::VehiclesDSStateChange);
    VehiclesDSStateChange();
    FormCreate();
}

TForm6::~TForm6() = default;

void TForm6::buildControls() {
    auto* root = new QVBoxLayout(this);

    Edit7 = tms::ui::searchEdit(this, "Edit7");
    Edit6 = tms::ui::searchEdit(this, "Edit6");
    Button10 = tms::ui::button(this, "Button10", QStringLiteral("全部"));
    root->addLayout(
        tms::ui::searchBar(this, {{QStringLiteral("编号："), Edit7}, {QStringLiteral("类型："), Edit6}}, Button10));

    goodsDBGRID = new TDBGrid(this);
    goodsDBGRID->setObjectName(QStringLiteral("goodsDBGRID"));
    goodsDBGRID->setQuery(VehiclesQuery);
    goodsDBGRID->setColumns({{QStringLiteral("VehicleNo"), QStringLiteral("编号"), 70},
                             {QStringLiteral("VehicleName"), QStringLiteral("类型"), 150},
                             {QStringLiteral("Model"), QStringLiteral("型号"), 70},
                             {QStringLiteral("ContainerL"), QStringLiteral("长(mm)"), 50},
                             {QStringLiteral("ContainerW"), QStringLiteral("宽(mm)"), 50},
                             {QStringLiteral("ContainerH"), QStringLiteral("高(mm)"), 50},
                             {QStringLiteral("MaxWeight"), QStringLiteral("载重(kg)"), -1}});
    root->addWidget(goodsDBGRID, 1);

    auto* panel = new QGroupBox(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(panel);
    DBEdit10 = tms::boundEdit(panel, "DBEdit10", VehiclesQuery, "VehicleNo");
    DBEdit11 = tms::boundEdit(panel, "DBEdit11", VehiclesQuery, "VehicleName");
    DBEdit1 = tms::boundEdit(panel, "DBEdit1", VehiclesQuery, "Model");
    DBEdit12 = tms::boundEdit(panel, "DBEdit12", VehiclesQuery, "ContainerL");
    DBEdit13 = tms::boundEdit(panel, "DBEdit13", VehiclesQuery, "ContainerW");
    DBEdit14 = tms::boundEdit(panel, "DBEdit14", VehiclesQuery, "ContainerH");
    DBEdit15 = tms::boundEdit(panel, "DBEdit15", VehiclesQuery, "MaxWeight");
    DBEdit2 = tms::boundEdit(panel, "DBEdit2", VehiclesQuery, "VehicleRemark");
    // The text fields hold at most their declared size.
    tms::limitToFieldSize({DBEdit10, DBEdit11, DBEdit1, DBEdit2});

    // Row 0: number, type, model; row 1: inner sizes and their unit; row 2:
    // load limit and its unit; row 3: remark.
    tms::placeField(grid, 0, 0, QStringLiteral("编号："), DBEdit10, true);
    tms::placeField(grid, 0, 1, QStringLiteral("类型："), DBEdit11, true);
    tms::placeField(grid, 0, 2, QStringLiteral("型号："), DBEdit1, false);
    tms::placeField(grid, 1, 0, QStringLiteral("长(mm)："), DBEdit12, true);
    tms::placeField(grid, 1, 1, QStringLiteral("宽(mm)："), DBEdit13, true);
    tms::placeField(grid, 1, 2, QStringLiteral("高(mm)："), DBEdit14, true);
    grid->addWidget(new QLabel(QStringLiteral("单位：毫米(mm)"), panel), 1, 9);
    tms::placeField(grid, 2, 0, QStringLiteral("载重(kg)："), DBEdit15, true);
    grid->addWidget(new QLabel(QStringLiteral("单位：公斤(kg)"), panel), 2, 3, 1, 3);
    tms::placeField(grid, 3, 0, QStringLiteral("备注："), DBEdit2, false);
    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c * 3 + 1, 1);
    root->addWidget(panel);

    auto* commands = new QHBoxLayout;
    DBNavigator1 = tms::commandNavigator(this, commands, "DBNavigator1", VehiclesQuery);
    SpeedButton10 = tms::commandButton(this, commands, "SpeedButton10", "新增");
    SpeedButton11 = tms::commandButton(this, commands, "SpeedButton11", "修改");
    SpeedButton12 = tms::commandButton(this, commands, "SpeedButton12", "删除");
    SpeedButton13 = tms::commandButton(this, commands, "SpeedButton13", "保存");
    SpeedButton14 = tms::commandButton(this, commands, "SpeedButton14", "取消");
    BitBtn1 = tms::commandButton(this, commands, "BitBtn1", "退出");
    root->addLayout(commands);

    recordControls_ = {DBEdit10, DBEdit11, DBEdit1, DBEdit12, DBEdit13, DBEdit14, DBEdit15, DBEdit2};
    new TRecordKeys(recordControls_, {DBEdit12, DBEdit13, DBEdit14, DBEdit15}, this);

    connect(Button10, &QPushButton::clicked, this, &TForm6::Button10Click);
    connect(goodsDBGRID, &TDBGrid::titleClicked, this, &TForm6::goodsDBGRIDTitleClick);
    connect(SpeedButton10, &QPushButton::clicked, this, &TForm6::SpeedButton10Click);
    connect(SpeedButton11, &QPushButton::clicked, this, &TForm6::SpeedButton11Click);
    connect(SpeedButton12, &QPushButton::clicked, this, &TForm6::SpeedButton12Click);
    connect(SpeedButton13, &QPushButton::clicked, this, &TForm6::SpeedButton13Click);
    connect(SpeedButton14, &QPushButton::clicked, this, &TForm6::SpeedButton14Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
}

// ---------------------------------------------------------------- lifecycle

void TForm6::FormCreate() { tms::ui::fitFrameToScreen(this); }

void TForm6::FormShow() {
    tms::ui::reportErrors([&] { VehiclesDS->acquire(this); });
}

void TForm6::FormClose() { tms::leaveList(VehiclesDS, this); }

// ---------------------------------------------------------------- search and sort

void TForm6::Button10Click() { tms::listAll(VehiclesQuery, QStringLiteral("HoldVehicles")); }

void TForm6::goodsDBGRIDTitleClick(const QString& fieldName) {
    tms::sortByTitle(VehiclesQuery, defaultSql(), fieldName, sortDesc);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Edit7 || watched == Edit6)) {
        // Only Enter searches; an empty box leaves the list as it is.
        tms::searchOnEnter(VehiclesQuery, QStringLiteral("HoldVehicles"),
                           watched == Edit7 ? QStringLiteral("vehicleNo") : QStringLiteral("VehicleName"),
                           static_cast<QLineEdit*>(watched)->text(), static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- record buttons

void TForm6::SpeedButton10Click() {
    if (!tms::ui::reportErrors([&] { VehiclesQuery->Append(); })) return;
    DBEdit10->setFocus();
    modifyMode = false;
}

void TForm6::SpeedButton11Click() {
    if (!tms::hasCurrentRecord(VehiclesQuery)) return;
    oldNumber = VehiclesQuery->FieldByName(QStringLiteral("VehicleNo")).AsString();
    oldLength = DBEdit12->text();
    oldWidth = DBEdit13->text();
    oldHeight = DBEdit14->text();
    oldMaxWeight = DBEdit15->text();
    if (!tms::ui::reportErrors([&] { VehiclesQuery->Edit(); })) return;
    modifyMode = true;
    DBEdit11->setFocus();
}

void TForm6::SpeedButton12Click() {
    // A saved self-service loading names its container too: without it the
    // loading could only be deleted.
    tms::deleteUnlessUsed(VehiclesQuery, ADOQuery4, QStringLiteral("确实要删除该箱体吗?"), QStringLiteral("VehicleNo"),
                          {{QStringLiteral("select vehicleNo  from HoldOrderForm where vehicleNo = ?"),
                            QStringLiteral("该箱体地以前有过定单 不能删除 请先整理该定单.")},
                           {QStringLiteral("select VehicleNo from HoldSelfHelpOrderForm where VehicleNo = ?"),
                            QStringLiteral("该箱体有已保存的自助装箱 不能删除 请先删除该自助装箱.")}});
}

void TForm6::SpeedButton13Click() {
    if (!tms::hasPendingEdit(VehiclesQuery)) return;
    if (!tms::entriesComplete({DBEdit10, DBEdit11, DBEdit15, DBEdit12, DBEdit13, DBEdit14})) return;
    if (!tms::textsFit(VehiclesQuery, {{DBEdit10, QStringLiteral("VehicleNo"), QStringLiteral("编号")},
                                       {DBEdit11, QStringLiteral("VehicleName"), QStringLiteral("类型")},
                                       {DBEdit1, QStringLiteral("Model"), QStringLiteral("型号")},
                                       {DBEdit2, QStringLiteral("VehicleRemark"), QStringLiteral("备注")}}))
        return;
    const QString taken = QStringLiteral("select * from HoldVehicles where vehicleNo = ?");
    tms::postChecked(VehiclesQuery, [&] {
        if (!modifyMode) return tms::numberFree(ADOQuery4, taken, DBEdit10);
        // A container that a computed plan uses keeps its inner size and
        // load limit.
        if (!tms::measuresKept(
                ADOQuery4,
                QStringLiteral("  select OrderFormNo from HoldOrderForm where vehicleno = ? and IsNeedCount = 0 "),
                oldNumber, {DBEdit12, DBEdit13, DBEdit14, DBEdit15}, {oldLength, oldWidth, oldHeight, oldMaxWeight},
                QStringLiteral("该车厢以前有过订单，修改该车厢的长、宽、高、载重，会影响以前装配结果的正确性,"
                               "因此不允许修改!")))
            return false;
        // A new number must be free, and a container that orders name keeps
        // its number so no order loses its container.
        if (DBEdit10->text() == oldNumber) return true;
        if (tms::anyRow(ADOQuery4, QStringLiteral("select vehicleNo from HoldOrderForm where vehicleNo = ?"),
                        {oldNumber})) {
            tms::ui::showMessage(QStringLiteral("该箱体以前有过定单 不能修改编号 请先整理该定单."));
            DBEdit10->setFocus();
            return false;
        }
        return DBEdit10->text().compare(oldNumber, Qt::CaseInsensitive) == 0 ||
               tms::numberFree(ADOQuery4, taken, DBEdit10);
    });
    // Saved: the user goes on in the list, not on the next button.
    if (!tms::hasPendingEdit(VehiclesQuery)) goodsDBGRID->setFocus();
}

void TForm6::SpeedButton14Click() {
    if (tms::hasPendingEdit(VehiclesQuery)) VehiclesQuery->Cancel();
    goodsDBGRID->setFocus();
}

// ---------------------------------------------------------------- state

void TForm6::VehiclesDSStateChange() {
    const bool editing =
        tms::followEditState(VehiclesQuery, {SpeedButton10, SpeedButton11, SpeedButton12},
                             {SpeedButton13, SpeedButton14}, recordControls_, goodsDBGRID, DBNavigator1);
    if (!editing) modifyMode = false;
}
