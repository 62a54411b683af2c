#include "data/Unit7.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include "data/Catalogue.h"
#include "data/OrderStore.h"
#include "data/Unit10.h"
#include "engine/Holdwisep.h"
#include "platform/DbWidgets.h"
#include "platform/Dialogs.h"
#include "platform/WindowKit.h"
#include "shell/Unit4.h"
#include "view/Unit8.h"

namespace {

const QString kOrderNo = QStringLiteral("OrderFormNo");

void showPlanWindow(const QString& orderNo) {
    if (!Form8) return;
    Form8->showPlanOf(orderNo);
    Form8->show();
    Form8->raise();
    Form8->activateWindow();
}

}  // namespace

TForm7::TForm7(TADOConnection* connection, QWidget* parent) : FormWindow(parent) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("订单管理"));
    if (!connection && Form4) connection = &Form4->ADOConnection1;
    conn_ = connection;

    MasterQuery = new TADOQuery(connection, this);
    MasterQuery->setObjectName(QStringLiteral("MasterQuery"));
    MasterQuery->setSQL(tms::orderListSql(QString(), QString(), false));
    // Edits of the header go to the order table; the joined and text
    // columns are not written.
    MasterQuery->setUpdateTable(QStringLiteral("HoldOrderForm"), {kOrderNo});
    SaleQuery = new TADOQuery(connection, this);
    SaleQuery->setObjectName(QStringLiteral("SaleQuery"));
    SaleQuery->setSQL(tms::orderLinesSql());

    buildControls();
    connect(MasterQuery, &TADOQuery::stateChanged, this, &TForm7::MasterDSStateChange);
    connect(MasterQuery, &TADOQuery::currentChanged, this, &TForm7::MasterDSDataChange);
    connect(MasterQuery, &TADOQuery::dataReset, this, &TForm7::MasterDSDataChange);
    MasterDSStateChange();
    MasterDSDataChange();
    tms::ui::fitFrameToScreen(this);
}

TForm7::~TForm7() = default;

void TForm7::buildControls() {
    auto* root = new QVBoxLayout(this);

    Edit11 = tms::ui::searchEdit(this, "Edit11");
    Edit10 = tms::ui::searchEdit(this, "Edit10");
    Button12 = tms::ui::button(this, "Button12", QStringLiteral("全部"));
    root->addLayout(
        tms::ui::searchBar(this, {{QStringLiteral("编号："), Edit11}, {QStringLiteral("名称："), Edit10}}, Button12));

    DBGrid5 = new TDBGrid(this);
    DBGrid5->setObjectName(QStringLiteral("DBGrid5"));
    DBGrid5->setQuery(MasterQuery);
    DBGrid5->setColumns({{kOrderNo, QStringLiteral("订单编号"), 100},
                         {QStringLiteral("OrderFormName"), QStringLiteral("工作单名称"), 130},
                         {QStringLiteral("VehicleName"), QStringLiteral("箱体名称"), 110},
                         {QStringLiteral("CountTypeText"), QStringLiteral("计算类型"), 70},
                         {QStringLiteral("LoadingTypeText"), QStringLiteral("摆放方式"), 70},
                         {QStringLiteral("DirectionText"), QStringLiteral("方向约束"), 70},
                         {QStringLiteral("WeightText"), QStringLiteral("重量约束"), 70},
                         {QStringLiteral("BestStandText"), QStringLiteral("尽量立放"), 70},
                         {QStringLiteral("AddL"), QStringLiteral("膨胀长度(mm)"), 100},
                         {QStringLiteral("AddW"), QStringLiteral("膨胀宽度(mm)"), 100},
                         {QStringLiteral("AddH"), QStringLiteral("膨胀高度(mm)"), -1}});
    DBGrid5->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid5->setEditTriggers(QAbstractItemView::NoEditTriggers);
    root->addWidget(DBGrid5, 3);

    DBGrid6 = new TDBGrid(this);
    DBGrid6->setObjectName(QStringLiteral("DBGrid6"));
    DBGrid6->setQuery(SaleQuery);
    DBGrid6->setColumns({{kOrderNo, QStringLiteral("订单编号"), 100},
                         {QStringLiteral("GoodsName"), QStringLiteral("货物名称"), 130},
                         {QStringLiteral("Amount"), QStringLiteral("货物数量"), 70},
                         {QStringLiteral("Brand"), QStringLiteral("货物品牌"), 90},
                         {QStringLiteral("Model"), QStringLiteral("货物型号"), 70},
                         {QStringLiteral("Length"), QStringLiteral("长度(mm)"), 70},
                         {QStringLiteral("Width"), QStringLiteral("宽度(mm)"), 70},
                         {QStringLiteral("Height"), QStringLiteral("高(mm)"), 70},
                         {QStringLiteral("Weight"), QStringLiteral("重量(kg)"), -1}});
    DBGrid6->setEditTriggers(QAbstractItemView::NoEditTriggers);
    root->addWidget(DBGrid6, 2);

    auto* panel = new QGroupBox(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(panel);
    DBEdit19 = tms::boundEdit(panel, "DBEdit19", MasterQuery, "OrderFormNo");
    DBEdit21 = tms::boundEdit(panel, "DBEdit21", MasterQuery, "OrderFormName");
    DBEdit20 = tms::boundEdit(panel, "DBEdit20", MasterQuery, "SailDate");
    DBEdit2 = tms::boundEdit(panel, "DBEdit2", MasterQuery, "Destination");
    DBEdit3 = tms::boundEdit(panel, "DBEdit3", MasterQuery, "Consigner");
    z = tms::boundEdit(panel, "z", MasterQuery, "VehicleNo");
    DBEdit23 = tms::boundEdit(panel, "DBEdit23", MasterQuery, "VehicleName");
    DBEdit1 = tms::boundEdit(panel, "DBEdit1", MasterQuery, "CountTypeText");
    DBEdit4 = tms::boundEdit(panel, "DBEdit4", MasterQuery, "LoadingTypeText");
    DBEdit5 = tms::boundEdit(panel, "DBEdit5", MasterQuery, "DirectionText");
    DBEdit6 = tms::boundEdit(panel, "DBEdit6", MasterQuery, "WeightText");
    tms::limitToFieldSize({DBEdit21, DBEdit2, DBEdit3});
    for (TDBEdit* e : {DBEdit19, DBEdit21, DBEdit20, DBEdit2, DBEdit3, z, DBEdit23, DBEdit1, DBEdit4, DBEdit5, DBEdit6})
        e->setEnabled(false);
    tms::placeField(grid, 0, 0, QStringLiteral("工作单编号："), DBEdit19, false);
    tms::placeField(grid, 0, 1, QStringLiteral("工作单名称："), DBEdit21, false);
    tms::placeField(grid, 0, 2, QStringLiteral("订单日期："), DBEdit20, false);
    tms::placeField(grid, 1, 0, QStringLiteral("目的地："), DBEdit2, false);
    tms::placeField(grid, 1, 1, QStringLiteral("委托方："), DBEdit3, false);
    auto* vehicle = new QHBoxLayout;
    vehicle->addWidget(z);
    vehicle->addWidget(DBEdit23, 1);
    auto* vehicleBox = new QWidget(panel);
    vehicleBox->setLayout(vehicle);
    vehicle->setContentsMargins(0, 0, 0, 0);
    tms::placeField(grid, 1, 2, QStringLiteral("货柜信息："), vehicleBox, false);
    tms::placeField(grid, 2, 0, QStringLiteral("计算类型："), DBEdit1, false);
    tms::placeField(grid, 2, 1, QStringLiteral("摆放方式："), DBEdit4, false);
    tms::placeField(grid, 2, 2, QStringLiteral("方向约束："), DBEdit5, false);
    tms::placeField(grid, 3, 0, QStringLiteral("重量约束："), DBEdit6, false);
    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c * 3 + 1, 1);
    root->addWidget(panel);

    auto* commands = new QHBoxLayout;
    DBNavigator1 = tms::commandNavigator(this, commands, "DBNavigator1", MasterQuery);
    Button3 = tms::commandButton(this, commands, "Button3", "新增");
    Button5 = tms::commandButton(this, commands, "Button5", "修改");
    Button6 = tms::commandButton(this, commands, "Button6", "保存");
    Button7 = tms::commandButton(this, commands, "Button7", "取消");
    Button4 = tms::commandButton(this, commands, "Button4", "删除");
    Button2 = tms::commandButton(this, commands, "Button2", "查看装配图");
    Button1 = tms::commandButton(this, commands, "Button1", "计算");
    BitBtn4 = tms::commandButton(this, commands, "BitBtn4", "退出");
    Button1->setEnabled(false);
    root->addLayout(commands);
    PB = new QProgressBar(this);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setMaximum(100);
    PB->setValue(0);
    root->addWidget(PB);

    new TRecordKeys({DBEdit19, DBEdit21, DBEdit20, DBEdit2, DBEdit3, Button6}, {}, this);

    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm7::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm7::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm7::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm7::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm7::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm7::Button7Click);
    connect(Button12, &QPushButton::clicked, this, &TForm7::Button12Click);
    connect(BitBtn4, &QPushButton::clicked, this, &QWidget::close);
    connect(DBGrid5, &TDBGrid::titleClicked, this, &TForm7::DBGrid5TitleClick);
    connect(DBGrid5, &TDBGrid::failed, this, [](const QString&) { tms::ui::showMessage(QStringLiteral("保存出错")); });
}

// ---------------------------------------------------------------- lifecycle

void TForm7::FormShow() {
    if (!MasterQuery->Active()) openMaster();
}

void TForm7::FormClose() {
    if (Form8) Form8->SpeedButton1->setEnabled(true);
    if (tms::hasPendingEdit(MasterQuery)) MasterQuery->Cancel();
    MasterQuery->Close();
    SaleQuery->Close();
    // The list opens whole again: its search boxes show no search either.
    filterField_.clear();
    filterText_.clear();
    Edit11->clear();
    Edit10->clear();
    picker_ = false;
    Button2->setEnabled(true);
}

// The picker's modality goes only once the window is hidden: changed while
// it is still visible, Qt keeps the window as the application's modal
// window after it hides, and no window takes input any more. Every way of
// closing (its "退出", the title bar, openForOrder) hides it first. A window
// the window system merely minimises keeps its modality.
void TForm7::hideEvent(QHideEvent* event) {
    FormWindow::hideEvent(event);
    if (event->spontaneous()) return;
    setWindowModality(Qt::NonModal);
    if (QWindow* w = windowHandle()) w->setTransientParent(nullptr);
}

void TForm7::openForOrder(const QString& orderNo) {
    if (isVisible()) close();
    filterField_ = kOrderNo;
    filterText_ = orderNo;
    picker_ = true;
    // Modal to the drawing window it was opened from.
    setWindowModality(Qt::WindowModal);
    if (Form8 && Form8->isVisible()) {
        winId();
        if (QWindow* w = windowHandle()) w->setTransientParent(Form8->windowHandle());
    }
    show();
    raise();
    activateWindow();
}

void TForm7::reload() {
    if (isVisible() && MasterQuery->Active() && !tms::hasPendingEdit(MasterQuery)) openMaster(currentOrder());
}

// ---------------------------------------------------------------- the lists

QString TForm7::currentOrder() const {
    if (!MasterQuery->Active() || MasterQuery->IsEmpty() || MasterQuery->RecNo() < 0) return {};
    return TADOQuery::displayText(MasterQuery->cell(MasterQuery->RecNo(), MasterQuery->fieldIndex(kOrderNo)));
}

void TForm7::openMaster(const QString& current) {
    tms::ui::reportErrors([&] {
        MasterQuery->Close();
        MasterQuery->setSQL(tms::orderListSql(filterField_, sortField_, sortDesc));
        if (!filterField_.isEmpty()) MasterQuery->bind(1, tms::likePattern(filterText_));
        MasterQuery->Open();
        if (!current.isEmpty()) MasterQuery->Locate(kOrderNo, current, true);
    });
    MasterDSDataChange();
}

void TForm7::openLines() {
    tms::ui::reportErrors([&] {
        SaleQuery->Close();
        const QString order = currentOrder();
        if (order.isEmpty()) return;
        SaleQuery->setSQL(tms::orderLinesSql());
        SaleQuery->bind(1, order);
        SaleQuery->Open();
    });
}

void TForm7::MasterDSDataChange() {
    if (tms::hasPendingEdit(MasterQuery)) return;
    openLines();
    // A plan to compute offers "计算", a computed one "查看装配图"; the picker
    // of the drawing window never offers the drawing.
    bool needsCount = false;
    const bool any = !currentOrder().isEmpty();
    if (any) {
        const int c = MasterQuery->fieldIndex(QStringLiteral("IsNeedCount"));
        needsCount = MasterQuery->cell(MasterQuery->RecNo(), c).toInt() == 1;
    }
    Button1->setEnabled(any && needsCount);
    Button2->setEnabled(any && !needsCount && !picker_);
}

void TForm7::MasterDSStateChange() {
    // The order number and the read-only code texts never take typing.
    tms::followEditState(MasterQuery, {Button4, Button5}, {Button6, Button7}, {DBEdit21, DBEdit20, DBEdit2, DBEdit3},
                         DBGrid5, DBNavigator1);
}

void TForm7::filterBy(const QString& field, const QString& text) {
    if (tms::hasPendingEdit(MasterQuery)) return;
    filterField_ = field;
    filterText_ = text;
    openMaster();
}

bool TForm7::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Edit11 || watched == Edit10)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QString text = static_cast<QLineEdit*>(watched)->text();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !text.trimmed().isEmpty())
            filterBy(watched == Edit11 ? kOrderNo : QStringLiteral("OrderFormName"), text);
    }
    return QWidget::eventFilter(watched, event);
}

void TForm7::Button12Click() { filterBy(QString(), QString()); }

void TForm7::DBGrid5TitleClick(const QString& fieldName) {
    if (fieldName.isEmpty() || tms::hasPendingEdit(MasterQuery)) return;
    sortDesc = !sortDesc;
    sortField_ = fieldName;
    openMaster();
}

// ---------------------------------------------------------------- header

void TForm7::Button5Click() {
    if (!tms::hasCurrentRecord(MasterQuery)) return;
    if (!tms::ui::reportErrors([&] { MasterQuery->Edit(); })) return;
    DBEdit21->setFocus();
}

void TForm7::Button6Click() {
    if (!tms::hasPendingEdit(MasterQuery)) return;
    if (!tms::textsFit(MasterQuery, {{DBEdit21, QStringLiteral("OrderFormName"), QStringLiteral("工作单名称")},
                                     {DBEdit2, QStringLiteral("Destination"), QStringLiteral("目的地")},
                                     {DBEdit3, QStringLiteral("Consigner"), QStringLiteral("委托方")}}))
        return;
    // The sailing date is a date, as the new-order window stores it.
    const QString date = MasterQuery->FieldByName(QStringLiteral("SailDate")).AsString();
    QString failure = tms::isDateText(date) ? QString() : QStringLiteral("保存出错");
    if (failure.isEmpty()) {
        try {
            MasterQuery->FieldByName(QStringLiteral("SailDate")).SetValue(date.trimmed());
            MasterQuery->Post();
        } catch (const EDatabaseError& e) {
            failure = e.shownAs(QStringLiteral("保存出错"));
        }
    }
    if (!failure.isEmpty()) {
        tms::ui::showMessage(failure);
        MasterQuery->Cancel();
    }
}

void TForm7::Button7Click() {
    if (tms::hasPendingEdit(MasterQuery)) MasterQuery->Cancel();
}

// ---------------------------------------------------------------- commands

void TForm7::Button3Click() {
    if (!Form10) return;
    Form10->show();
    Form10->raise();
    Form10->activateWindow();
}

void TForm7::Button4Click() {
    if (!tms::hasCurrentRecord(MasterQuery) || tms::hasPendingEdit(MasterQuery)) return;
    const QString order = currentOrder();
    if (tms::ui::confirm(QStringLiteral("确认信息"), QStringLiteral("确实要删除该定单吗?")))
        tms::ui::reportErrors([&] { tms::deleteOrder(*conn_, order); });
    // Either way both lists are read again, from the first order.
    openMaster();
}

void TForm7::Button2Click() {
    const QString order = currentOrder();
    if (order.isEmpty() || picker_) return;
    // "工作单" comes back when this window closes.
    if (Form8) Form8->SpeedButton1->setEnabled(false);
    showPlanWindow(order);
}

void TForm7::Button1Click() {
    const QString order = currentOrder();
    if (order.isEmpty() || !Form1 || tms::hasPendingEdit(MasterQuery)) return;
    loadingType = MasterQuery->FieldByName(QStringLiteral("LoadingType")).AsInteger();

    const tms::TEngineOptions sw = runSwitches(tms::TLaunchPath::recalculation, PB);
    tms::TOrderOutcome out;
    {
        tms::ui::WaitCursor wait;
        Button1->setEnabled(false);
        out = tms::recalculateOrder(*conn_, Form1->engine, order, sw);
        PB->setValue(0);
    }
    // The list shows the new state at once, with the order still current.
    openMaster(order);
    switch (out.kind) {
    case tms::TOrderOutcome::Kind::refused: tms::ui::showMessage(out.message); return;
    case tms::TOrderOutcome::Kind::failed: tms::ui::showError(out.message); return;
    case tms::TOrderOutcome::Kind::stored: break;
    }
    showPlanWindow(order);
    if (!out.message.isEmpty()) tms::ui::showMessage(out.message);
}
