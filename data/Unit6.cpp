#include "Unit6.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "Dialogs.h"
#include "Unit4.h"

namespace {

QLabel* label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

QLabel* star(QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("*"), parent);
    l->setStyleSheet(QStringLiteral("color: red"));
    return l;
}

}  // namespace

QString TForm6::defaultSql() {
    return QStringLiteral(
        "select VehicleNo,VehicleName,ContainerL,ContainerW,ContainerH,MaxWeight,Model,VehicleRemark from HoldVehicles");
}

TForm6::TForm6(TADOConnection* connection, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("货柜管理"));
    if (!connection && Form4) connection = &Form4->ADOConnection1;

    VehiclesQuery = new TADOQuery(connection, this);
    VehiclesQuery->setObjectName(QStringLiteral("VehiclesQuery"));
    VehiclesQuery->setSQL(defaultSql());
    VehiclesQuery->setUpdateTable(QStringLiteral("HoldVehicles"), {QStringLiteral("VehicleNo")});
    VehiclesDS = new TDataSource(VehiclesQuery, defaultSql(), this);
    VehiclesDS->setObjectName(QStringLiteral("VehiclesDS"));
    ADOQuery4 = new TADOQuery(connection, this);

    buildControls();
    connect(VehiclesQuery, &TADOQuery::stateChanged, this, &TForm6::VehiclesDSStateChange);
    VehiclesDSStateChange();
    FormCreate();
}

TForm6::~TForm6() = default;

void TForm6::buildControls() {
    auto* root = new QVBoxLayout(this);

    auto* search = new QHBoxLayout;
    Edit7 = new QLineEdit(this);
    Edit7->setObjectName(QStringLiteral("Edit7"));
    Edit6 = new QLineEdit(this);
    Edit6->setObjectName(QStringLiteral("Edit6"));
    for (QLineEdit* e : {Edit7, Edit6}) {
        e->setMaximumWidth(180);
        e->installEventFilter(this);
    }
    Button10 = new QPushButton(QStringLiteral("全部"), this);
    Button10->setObjectName(QStringLiteral("Button10"));
    search->addWidget(label(QStringLiteral("编号："), this));
    search->addWidget(Edit7);
    search->addSpacing(12);
    search->addWidget(label(QStringLiteral("类型："), this));
    search->addWidget(Edit6);
    search->addWidget(Button10);
    search->addStretch(1);
    root->addLayout(search);

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
    auto makeEdit = [&](const char* name, const char* field) {
        auto* e = new TDBEdit(panel);
        e->setObjectName(QString::fromLatin1(name));
        e->bindField(VehiclesQuery, QString::fromLatin1(field));
        return e;
    };
    DBEdit10 = makeEdit("DBEdit10", "VehicleNo");
    DBEdit11 = makeEdit("DBEdit11", "VehicleName");
    DBEdit1 = makeEdit("DBEdit1", "Model");
    DBEdit12 = makeEdit("DBEdit12", "ContainerL");
    DBEdit13 = makeEdit("DBEdit13", "ContainerW");
    DBEdit14 = makeEdit("DBEdit14", "ContainerH");
    DBEdit15 = makeEdit("DBEdit15", "MaxWeight");
    DBEdit2 = makeEdit("DBEdit2", "VehicleRemark");

    auto place = [&](int row, int col, const QString& caption, QWidget* w, bool required) {
        grid->addWidget(label(caption, panel), row, col * 3, Qt::AlignRight);
        grid->addWidget(w, row, col * 3 + 1);
        if (required) grid->addWidget(star(panel), row, col * 3 + 2);
    };
    place(0, 0, QStringLiteral("编号："), DBEdit10, true);
    place(0, 1, QStringLiteral("类型："), DBEdit11, true);
    place(0, 2, QStringLiteral("型号："), DBEdit1, false);
    place(1, 0, QStringLiteral("长(mm)："), DBEdit12, true);
    place(1, 1, QStringLiteral("宽(mm)："), DBEdit13, true);
    place(1, 2, QStringLiteral("高(mm)："), DBEdit14, true);
    grid->addWidget(label(QStringLiteral("单位：毫米(mm)"), panel), 1, 9);
    place(2, 0, QStringLiteral("载重(kg)："), DBEdit15, true);
    grid->addWidget(label(QStringLiteral("单位：公斤(kg)"), panel), 2, 3, 1, 3);
    place(3, 0, QStringLiteral("备注："), DBEdit2, false);
    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c * 3 + 1, 1);
    root->addWidget(panel);

    auto* commands = new QHBoxLayout;
    DBNavigator1 = new TDBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setQuery(VehiclesQuery);
    commands->addWidget(DBNavigator1);
    commands->addStretch(1);
    auto makeButton = [&](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        commands->addWidget(b);
        return b;
    };
    SpeedButton10 = makeButton("SpeedButton10", "新增");
    SpeedButton11 = makeButton("SpeedButton11", "修改");
    SpeedButton12 = makeButton("SpeedButton12", "删除");
    SpeedButton13 = makeButton("SpeedButton13", "保存");
    SpeedButton14 = makeButton("SpeedButton14", "取消");
    BitBtn1 = makeButton("BitBtn1", "退出");
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

void TForm6::FormCreate() {
    if (const QScreen* s = screen()) resize(s->geometry().size());
}

void TForm6::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm6::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TForm6::FormShow() {
    try {
        VehiclesDS->acquire(this);
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
    }
}

void TForm6::FormClose() {
    // An add or change left open here goes with the window; the list itself
    // stays open while another window still shows it.
    if (tms::hasPendingEdit(VehiclesQuery)) VehiclesQuery->Cancel();
    VehiclesDS->release(this);
}

// ---------------------------------------------------------------- search and sort

void TForm6::Button10Click() {
    tms::reportErrors(
        [&] { tms::fastfind(VehiclesQuery, QStringLiteral("HoldVehicles"), QStringLiteral("*"), QString()); });
}

void TForm6::goodsDBGRIDTitleClick(const QString& fieldName) {
    if (fieldName.isEmpty() || tms::hasPendingEdit(VehiclesQuery)) return;
    sortDesc = !sortDesc;
    QString sql = defaultSql() + QStringLiteral(" order by ") + fieldName;
    if (sortDesc) sql += QStringLiteral("  desc");
    tms::reportErrors([&] { tms::reopenQuery(VehiclesQuery, sql); });
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Edit7 || watched == Edit6)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* edit = static_cast<QLineEdit*>(watched);
        // Only Enter searches; an empty box leaves the list as it is.
        const QString field = watched == Edit7 ? QStringLiteral("vehicleNo") : QStringLiteral("VehicleName");
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !edit->text().trimmed().isEmpty())
            tms::reportErrors([&] { tms::fastfind(VehiclesQuery, QStringLiteral("HoldVehicles"), field, edit->text()); });
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- record buttons

void TForm6::SpeedButton10Click() {
    try {
        VehiclesQuery->Append();
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
        return;
    }
    DBEdit10->setFocus();
    modifyMode = false;
}

void TForm6::SpeedButton11Click() {
    if (!VehiclesQuery->Active() || VehiclesQuery->IsEmpty()) return;
    oldNumber = VehiclesQuery->FieldByName(QStringLiteral("VehicleNo")).AsString();
    oldLength = DBEdit12->text();
    oldWidth = DBEdit13->text();
    oldHeight = DBEdit14->text();
    oldMaxWeight = DBEdit15->text();
    try {
        VehiclesQuery->Edit();
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
        return;
    }
    modifyMode = true;
    DBEdit11->setFocus();
}

void TForm6::SpeedButton12Click() {
    if (!VehiclesQuery->Active() || VehiclesQuery->IsEmpty()) return;
    if (!tms::ui::confirm(QStringLiteral("确认信息"), QStringLiteral("确实要删除该箱体吗?"))) return;
    try {
        // The stored number: the orders name the container by it.
        const QString number = VehiclesQuery->FieldByName(QStringLiteral("VehicleNo")).AsString();
        if (tms::anyRow(ADOQuery4, QStringLiteral("select vehicleNo  from HoldOrderForm where vehicleNo = ?"),
                        {number})) {
            tms::ui::showMessage(QStringLiteral("该箱体地以前有过定单 不能删除 请先整理该定单."));
            return;
        }
        VehiclesQuery->Delete();
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
    }
}

void TForm6::SpeedButton13Click() {
    if (!tms::hasPendingEdit(VehiclesQuery)) return;
    const QString number = DBEdit10->text().trimmed();
    const QString length = DBEdit12->text().trimmed();
    const QString width = DBEdit13->text().trimmed();
    const QString height = DBEdit14->text().trimmed();
    const QString maxWeight = DBEdit15->text().trimmed();
    if (number.isEmpty() || DBEdit11->text().trimmed().isEmpty() || maxWeight.isEmpty() || length.isEmpty() ||
        width.isEmpty() || height.isEmpty()) {
        tms::ui::showMessage(QStringLiteral("请录入完整信息"));
        return;
    }
    try {
        if (modifyMode) {
            // A container that a computed plan uses keeps its inner size and
            // load limit.
            const bool computed = tms::anyRow(
                ADOQuery4,
                QStringLiteral("  select OrderFormNo from HoldOrderForm where vehicleno = ? and IsNeedCount = 0 "),
                {oldNumber});
            if (computed && (length != oldLength.trimmed() || width != oldWidth.trimmed() ||
                             height != oldHeight.trimmed() || maxWeight != oldMaxWeight.trimmed())) {
                tms::ui::showMessage(QStringLiteral("该车厢以前有过订单，修改该车厢的长、宽、高、载重，会影响以前装配结果的正确性,"
                                                    "因此不允许修改!"));
                return;
            }
            // A new number must be free, and a container that orders name
            // keeps its number so no order loses its container.
            if (DBEdit10->text() != oldNumber) {
                if (tms::anyRow(ADOQuery4, QStringLiteral("select vehicleNo from HoldOrderForm where vehicleNo = ?"),
                                {oldNumber})) {
                    tms::ui::showMessage(QStringLiteral("该箱体以前有过定单 不能修改编号 请先整理该定单."));
                    DBEdit10->setFocus();
                    return;
                }
                if (DBEdit10->text().compare(oldNumber, Qt::CaseInsensitive) != 0 &&
                    tms::anyRow(ADOQuery4, QStringLiteral("select * from HoldVehicles where vehicleNo = ?"),
                                {DBEdit10->text()})) {
                    tms::ui::showMessage(QStringLiteral("该编号已存在 请从新输入"));
                    DBEdit10->setFocus();
                    return;
                }
            }
        } else if (tms::anyRow(ADOQuery4, QStringLiteral("select * from HoldVehicles where vehicleNo = ?"),
                               {DBEdit10->text()})) {
            tms::ui::showMessage(QStringLiteral("该编号已存在 请从新输入"));
            DBEdit10->setFocus();
            return;
        }
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
        return;
    }
    try {
        VehiclesQuery->Post();
    } catch (const EDatabaseError&) {
        tms::ui::showMessage(QStringLiteral("保存出错 请检查录入数据!"));
    }
}

void TForm6::SpeedButton14Click() {
    if (tms::hasPendingEdit(VehiclesQuery)) VehiclesQuery->Cancel();
}

// ---------------------------------------------------------------- state

void TForm6::VehiclesDSStateChange() {
    const bool editing = tms::hasPendingEdit(VehiclesQuery);
    if (!editing) modifyMode = false;
    SpeedButton10->setEnabled(!editing);
    SpeedButton11->setEnabled(!editing);
    SpeedButton12->setEnabled(!editing);
    SpeedButton13->setEnabled(editing);
    SpeedButton14->setEnabled(editing);
    for (QWidget* w : recordControls_) w->setEnabled(editing);
    // Moving to another row would store the pending record unchecked.
    goodsDBGRID->setEnabled(!editing);
    DBNavigator1->setEnabled(!editing);
}
