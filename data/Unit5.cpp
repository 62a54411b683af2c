#include "Unit5.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "Codes.h"
#include "Dialogs.h"
#include "Unit4.h"

namespace {

const char* const kSaveFailed = "保存出错 请检查录入数据!";

QLabel* label(const QString& text, QWidget* parent, const QString& name = {}) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) l->setObjectName(name);
    return l;
}

QLabel* star(QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("*"), parent);
    l->setStyleSheet(QStringLiteral("color: red"));
    return l;
}

}  // namespace

QString TForm5::defaultSql() {
    return QStringLiteral(
        "select GoodsNo,GoodsName,Brand,Model,Upward,Length,Width,Height,Weight,COLOR,GoodsRemark\n"
        "from HoldGoods");
}

TForm5::TForm5(TADOConnection* connection, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("货物管理"));
    if (!connection && Form4) connection = &Form4->ADOConnection1;

    GoodsQuery = new TADOQuery(connection, this);
    GoodsQuery->setObjectName(QStringLiteral("GoodsQuery"));
    GoodsQuery->setSQL(defaultSql());
    GoodsQuery->setUpdateTable(QStringLiteral("HoldGoods"), {QStringLiteral("GoodsNo")});
    GoodsDS = new TDataSource(GoodsQuery, defaultSql(), this);
    GoodsDS->setObjectName(QStringLiteral("GoodsDS"));
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

    // Search bar.
    auto* search = new QHBoxLayout;
    Edit4 = new QLineEdit(this);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit5 = new QLineEdit(this);
    Edit5->setObjectName(QStringLiteral("Edit5"));
    for (QLineEdit* e : {Edit4, Edit5}) {
        e->setToolTip(QStringLiteral("按回车查询"));
        e->setMaximumWidth(180);
        e->installEventFilter(this);
    }
    Button9 = new QPushButton(QStringLiteral("全部"), this);
    Button9->setObjectName(QStringLiteral("Button9"));
    search->addWidget(label(QStringLiteral("编号："), this));
    search->addWidget(Edit4);
    search->addSpacing(12);
    search->addWidget(label(QStringLiteral("名称："), this));
    search->addWidget(Edit5);
    search->addWidget(Button9);
    search->addStretch(1);
    root->addLayout(search);

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
    auto makeEdit = [&](const char* name, const char* field) {
        auto* e = new TDBEdit(panel);
        e->setObjectName(QString::fromLatin1(name));
        e->bindField(GoodsQuery, QString::fromLatin1(field));
        return e;
    };
    DBEdit1 = makeEdit("DBEdit1", "GoodsNo");
    DBEdit2 = makeEdit("DBEdit2", "GoodsName");
    DBEdit2->setMaxLength(100);
    DBEdit3 = makeEdit("DBEdit3", "Brand");
    DBEdit4 = makeEdit("DBEdit4", "Model");
    DBCheckBox2 = new TDBCheckBox(panel);
    DBCheckBox2->setObjectName(QStringLiteral("DBCheckBox2"));
    DBCheckBox2->setText(QStringLiteral("可倒置"));
    DBCheckBox2->bindField(GoodsQuery, QStringLiteral("Upward"));
    DBEdit6 = makeEdit("DBEdit6", "Length");
    DBEdit7 = makeEdit("DBEdit7", "Width");
    DBEdit8 = makeEdit("DBEdit8", "Height");
    DBEdit9 = makeEdit("DBEdit9", "Weight");
    DBEdit5 = makeEdit("DBEdit5", "GoodsRemark");
    DBEdit10 = makeEdit("DBEdit10", "COLOR");
    DBEdit10->setAutoFillBackground(true);
    BtnSelect = new QPushButton(QStringLiteral("选择.."), panel);
    BtnSelect->setObjectName(QStringLiteral("BtnSelect"));

    // Row 0: number, name, brand, model; row 1: the turn box; row 2: sizes
    // and weight; row 3: remark and colour; row 4: the unit notes.
    auto place = [&](int row, int col, const QString& caption, QWidget* w, bool required) {
        grid->addWidget(label(caption, panel), row, col * 3, Qt::AlignRight);
        grid->addWidget(w, row, col * 3 + 1);
        if (required) grid->addWidget(star(panel), row, col * 3 + 2);
    };
    place(0, 0, QStringLiteral("编号："), DBEdit1, true);
    place(0, 1, QStringLiteral("名称："), DBEdit2, true);
    place(0, 2, QStringLiteral("品牌："), DBEdit3, false);
    place(0, 3, QStringLiteral("产品型号："), DBEdit4, false);
    grid->addWidget(DBCheckBox2, 1, 1);
    place(2, 0, QStringLiteral("长(mm)："), DBEdit6, true);
    place(2, 1, QStringLiteral("宽(mm)："), DBEdit7, true);
    place(2, 2, QStringLiteral("高(mm)："), DBEdit8, true);
    place(2, 3, QStringLiteral("毛重(kg)："), DBEdit9, true);
    place(3, 0, QStringLiteral("备注："), DBEdit5, false);
    grid->addWidget(label(QStringLiteral("颜色："), panel), 3, 3, Qt::AlignRight);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(DBEdit10, 1);
    colourRow->addWidget(BtnSelect);
    grid->addLayout(colourRow, 3, 4);
    grid->addWidget(label(QStringLiteral("注意:长度单位毫米(mm)"), panel), 4, 0, 1, 3);
    grid->addWidget(label(QStringLiteral("重量单位(kg)"), panel), 4, 3, 1, 3);
    for (int c = 0; c < 4; ++c) grid->setColumnStretch(c * 3 + 1, 1);
    root->addWidget(panel);

    // Navigator and command buttons.
    auto* commands = new QHBoxLayout;
    DBNavigator1 = new TDBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setQuery(GoodsQuery);
    commands->addWidget(DBNavigator1);
    commands->addStretch(1);
    auto makeButton = [&](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        commands->addWidget(b);
        return b;
    };
    SpeedButton5 = makeButton("SpeedButton5", "增加");
    SpeedButton6 = makeButton("SpeedButton6", "修改");
    SpeedButton7 = makeButton("SpeedButton7", "删除");
    SpeedButton8 = makeButton("SpeedButton8", "保存");
    SpeedButton9 = makeButton("SpeedButton9", "取消");
    BitBtn1 = makeButton("BitBtn1", "退出");
    root->addLayout(commands);

    recordControls_ = {DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit6, DBEdit7,
                       DBEdit8, DBEdit9, DBEdit5, DBCheckBox2};
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

void TForm5::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm5::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TForm5::FormShow() {
    try {
        GoodsDS->acquire(this);
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
    }
    if (const QScreen* s = screen()) resize(s->geometry().size());
}

void TForm5::FormClose() {
    // An add or change left open here goes with the window; the list itself
    // stays open while another window still shows it.
    if (tms::hasPendingEdit(GoodsQuery)) GoodsQuery->Cancel();
    GoodsDS->release(this);
}

// ---------------------------------------------------------------- search and sort

void TForm5::Button9Click() {
    tms::reportErrors([&] { tms::fastfind(GoodsQuery, QStringLiteral("HoldGoods"), QStringLiteral("*"), QString()); });
}

void TForm5::searchKeyDown(QLineEdit* edit, const QString& field, int key) {
    // Runs before the key reaches the edit: the text is the one before it.
    const QString text = edit->text();
    tms::reportErrors([&] {
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !text.trimmed().isEmpty())
            tms::fastfind(GoodsQuery, QStringLiteral("HoldGoods"), field, text);
        if (text.trimmed().isEmpty())
            tms::fastfind(GoodsQuery, QStringLiteral("HoldGoods"), QStringLiteral("*"), QString());
    });
}

void TForm5::goodsDBGRIDTitleClick(const QString& fieldName) {
    if (fieldName.isEmpty() || tms::hasPendingEdit(GoodsQuery)) return;
    sortDesc = !sortDesc;
    QString sql = QStringLiteral(
                      "select GoodsNo,GoodsName,Brand,Model,Upward,Length,Width,Height,Weight,GoodsRemark,Color "
                      "from HoldGoods order by ") +
                  fieldName;
    if (sortDesc) sql += QStringLiteral("  desc");
    tms::reportErrors([&] { tms::reopenQuery(GoodsQuery, sql); });
}

// ---------------------------------------------------------------- record buttons

void TForm5::SpeedButton5Click() {
    try {
        GoodsQuery->Append();
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
        return;
    }
    DBEdit1->setFocus();
}

void TForm5::SpeedButton6Click() {
    if (!GoodsQuery->Active() || GoodsQuery->IsEmpty()) return;
    oldLength = DBEdit6->text();
    oldWidth = DBEdit7->text();
    oldHeight = DBEdit8->text();
    oldWeight = DBEdit9->text();
    try {
        GoodsQuery->Edit();
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
        return;
    }
    DBEdit1->setEnabled(false);
    modifyMode = true;
    DBEdit2->setFocus();
}

void TForm5::SpeedButton7Click() {
    if (!GoodsQuery->Active() || GoodsQuery->IsEmpty()) return;
    if (!tms::ui::confirm(QStringLiteral("确认信息"), QStringLiteral("确实要删除该货物吗?"))) return;
    try {
        // The stored number: the order lines name the goods by it.
        const QString number = GoodsQuery->FieldByName(QStringLiteral("GoodsNo")).AsString();
        if (tms::anyRow(ADOQuery4, QStringLiteral("select OrderFormNo  from HoldOrderFormList where GoodsNo = ?"), {number})) {
            tms::ui::showMessage(QStringLiteral("该货物以前有过定单 不能删除 请先整理该定单."));
            return;
        }
        if (!GoodsQuery->IsEmpty()) GoodsQuery->Delete();
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
    }
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
    const QString number = DBEdit1->text().trimmed();
    const QString length = DBEdit6->text().trimmed();
    const QString width = DBEdit7->text().trimmed();
    const QString height = DBEdit8->text().trimmed();
    const QString weight = DBEdit9->text().trimmed();
    if (number.isEmpty() || DBEdit2->text().trimmed().isEmpty() || length.isEmpty() || width.isEmpty() ||
        height.isEmpty() || weight.isEmpty()) {
        tms::ui::showMessage(QStringLiteral("请录入完整信息"));
        return;
    }
    double volume = 1;
    for (const QString& t : {length, width, height}) {
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok) {
            tms::ui::showError(QStringLiteral("'%1' is not a valid floating point value").arg(t));
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
    try {
        if (modifyMode) {
            // Goods that a computed plan uses keep their sizes and weight.
            const QString stored = GoodsQuery->FieldByName(QStringLiteral("GoodsNo")).AsString();
            const bool computed = tms::anyRow(
                ADOQuery4,                 QStringLiteral("select HoldOrderForm.OrderFormNo  from HoldOrderForm, HoldOrderFormList "
                               "where HoldOrderForm.OrderFormNo = HoldOrderFormList.OrderFormNo "
                               "and HoldOrderForm.IsNeedCount = 0 and GoodsNo = ?"),
                {stored});
            if (computed && (length != oldLength.trimmed() || width != oldWidth.trimmed() ||
                             height != oldHeight.trimmed() || weight != oldWeight.trimmed())) {
                tms::ui::showMessage(QStringLiteral(
                    "该货物以前有过定单,您修改该货物的长、宽、高、重量,会影响以前装配结果的正确性,因此不允许修改!"));
                return;
            }
        } else if (tms::anyRow(ADOQuery4, QStringLiteral("select * from HoldGoods where GoodsNo = ?"), {DBEdit1->text()})) {
            tms::ui::showMessage(QStringLiteral("该编号已存在 请从新输入"));
            DBEdit1->setFocus();
            return;
        }
    } catch (const EDatabaseError& e) {
        tms::ui::showError(e.message());
        return;
    }
    try {
        GoodsQuery->Post();
    } catch (const EDatabaseError&) {
        tms::ui::showMessage(QString::fromUtf8(kSaveFailed));
    }
}

void TForm5::SpeedButton9Click() {
    if (tms::hasPendingEdit(GoodsQuery)) GoodsQuery->Cancel();
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
    p.setColor(QPalette::Text, QColor(r, g, b).lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black));
    DBEdit10->setPalette(p);
}

// ---------------------------------------------------------------- state

void TForm5::GoodsDSStateChange() {
    const bool editing = tms::hasPendingEdit(GoodsQuery);
    if (!editing) modifyMode = false;
    SpeedButton5->setEnabled(!editing);
    SpeedButton6->setEnabled(!editing);
    SpeedButton7->setEnabled(!editing);
    SpeedButton8->setEnabled(editing);
    SpeedButton9->setEnabled(editing);
    for (QWidget* w : recordControls_) w->setEnabled(editing);
    BtnSelect->setEnabled(editing);
    // The colour edit stays enabled but takes typing only while editing.
    DBEdit10->setReadOnly(!editing);
    DBEdit10->setPalette(palette());
    // Moving to another row would store the pending record unchecked.
    goodsDBGRID->setEnabled(!editing);
    DBNavigator1->setEnabled(!editing);
}

// ---------------------------------------------------------------- keys

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Edit4 || watched == Edit5)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == Edit4) searchKeyDown(Edit4, QStringLiteral("GoodsNo"), key);
        else searchKeyDown(Edit5, QStringLiteral("GoodsName"), key);
    }
    return QWidget::eventFilter(watched, event);
}
