#include "data/Unit10.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/Unit5.h"
#include "data/Unit6.h"
#include "data/Unit7.h"
#include "engine/Holdwisep.h"
#include "platform/DbWidgets.h"
#include "platform/Dialogs.h"
#include "platform/ProgressFeed.h"
#include "platform/WindowKit.h"
#include "shell/Unit4.h"
#include "view/Unit8.h"

using tms::ui::button;
using tms::ui::captionedField;
using tms::ui::named;
using tms::ui::requiredCaption;

namespace {

// Columns of the order lines.
enum LineColumn { colNo, colName, colBrand, colModel, colAmount, colCount };

QString fieldText(TADOQuery* q, const char* field) {
    const int c = q->fieldIndex(QString::fromLatin1(field));
    return c < 0 ? QString() : TADOQuery::displayText(q->cell(q->RecNo(), c));
}

// Busy for the lifetime of the object, on every way out of the handler.
class BusyState {
public:
    explicit BusyState(std::function<void(bool)> set) : set_(std::move(set)) { set_(true); }
    ~BusyState() { set_(false); }
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

private:
    std::function<void(bool)> set_;
};

}  // namespace

// ---------------------------------------------------------------- window

TForm10::TForm10(TADOConnection* connection, QWidget* parent) : FormWindow(parent) {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("新增订单"));
    if (!connection && Form4) connection = &Form4->ADOConnection1;
    conn_ = connection;
    buildControls();
    FormCreate();
}

TForm10::~TForm10() = default;

void TForm10::buildControls() {
    auto* root = new QVBoxLayout(this);
    root->addWidget(buildHeader());
    root->addLayout(buildOptions());
    root->addLayout(buildGoods(), 1);
    root->addLayout(buildCommands());

    chain_ = {Edit3,           Edit2,        DBLookupComboBox3, Edit4, Edit12,
              DateTimePicker1, RadioButton5, RadioButton1,      Edit1, Button1};
    for (QWidget* w : chain_) w->installEventFilter(this);
    for (QWidget* w : {txtAddL, txtAddW, txtAddH, Edit5, Edit6}) w->installEventFilter(this);
    connectControls();
    RadioButton1Click();
}

// Header of the order.
QGroupBox* TForm10::buildHeader() {
    auto* header = new QGroupBox(QStringLiteral("订单信息"), this);
    auto* hg = new QGridLayout(header);
    Edit3 = named(new QLineEdit(this), "Edit3");
    Edit2 = named(new QLineEdit(this), "Edit2");
    DBLookupComboBox3 = named(new QComboBox(this), "DBLookupComboBox3");
    DBLookupComboBox3->setMinimumWidth(160);
    Edit4 = named(new QLineEdit(this), "Edit4");
    Edit12 = named(new QLineEdit(this), "Edit12");
    DateTimePicker1 = named(new QDateEdit(this), "DateTimePicker1");
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTimePicker1->setCalendarPopup(true);
    tms::limitToFieldSize({Edit3, Edit2, Edit4, Edit12});
    captionedField(hg, 0, 0, requiredCaption(QStringLiteral("订单编号:")), Edit3);
    captionedField(hg, 0, 2, QStringLiteral("客户名称:"), Edit2);
    captionedField(hg, 0, 4, requiredCaption(QStringLiteral("货柜:")), DBLookupComboBox3);
    captionedField(hg, 1, 0, QStringLiteral("目的地:"), Edit4);
    captionedField(hg, 1, 2, QStringLiteral("委托运输:"), Edit12);
    captionedField(hg, 1, 4, QStringLiteral("开航日期:"), DateTimePicker1);
    for (int c : {1, 3, 5}) hg->setColumnStretch(c, 1);
    return header;
}

// Calculation type, placement mode, margins and the two boxes.
QHBoxLayout* TForm10::buildOptions() {
    auto* options = new QHBoxLayout;
    auto* types = new QGroupBox(QStringLiteral("计算类型"), this);
    auto* tl = new QVBoxLayout(types);
    RadioButton1 =
        named(new QRadioButton(QStringLiteral("A类型（计算一个选定的货柜，最多能装多少同种货物（不用指定货物数量））"),
                               types),
              "RadioButton1");
    RadioButton2 = named(
        new QRadioButton(QStringLiteral("B类型（计算一定数量的一种或多种货物，最少能装多少只选定的货柜））"), types),
        "RadioButton2");
    RadioButton1->setChecked(true);
    tl->addWidget(RadioButton1);
    tl->addWidget(RadioButton2);
    options->addWidget(types, 3);

    auto* modes = new QGroupBox(QStringLiteral("摆放方式设定"), this);
    auto* ml = new QVBoxLayout(modes);
    RadioButton5 = named(new QRadioButton(QStringLiteral("无限制"), modes), "RadioButton5");
    RadioButton3 = named(new QRadioButton(QStringLiteral("平放"), modes), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("纵放"), modes), "RadioButton4");
    RadioButton5->setChecked(true);
    ml->addWidget(RadioButton5);
    ml->addWidget(RadioButton3);
    ml->addWidget(RadioButton4);
    options->addWidget(modes, 1);

    auto* margins = new QGroupBox(QStringLiteral("膨胀尺寸(mm)"), this);
    auto* mg = new QGridLayout(margins);
    txtAddL = named(new QLineEdit(this), "txtAddL");
    txtAddW = named(new QLineEdit(this), "txtAddW");
    txtAddH = named(new QLineEdit(this), "txtAddH");
    int row = 0;
    for (auto [e, text] :
         {std::pair{txtAddL, "增加长度:"}, std::pair{txtAddW, "增加宽度:"}, std::pair{txtAddH, "增加高度:"}}) {
        e->setText(QStringLiteral("0"));
        // Whole millimetres only; a paste that breaks the rule is refused.
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), e));
        captionedField(mg, row++, 0, QString::fromUtf8(text), e);
    }
    options->addWidget(margins, 1);

    auto* boxes = new QVBoxLayout;
    CheckBox1 = named(new QCheckBox(QStringLiteral("进行分堆计算"), this), "CheckBox1");
    CheckBox1->setChecked(true);
    CheckBox2 = named(new QCheckBox(QStringLiteral("尽量立放"), this), "CheckBox2");
    boxes->addWidget(CheckBox1);
    boxes->addWidget(CheckBox2);
    boxes->addStretch(1);
    options->addLayout(boxes);
    return options;
}

// Goods list, the add and move buttons, the order lines.
QHBoxLayout* TForm10::buildGoods() {
    auto* middle = new QHBoxLayout;
    auto* goods = new QVBoxLayout;
    Edit5 = named(new QLineEdit(this), "Edit5");
    Edit6 = named(new QLineEdit(this), "Edit6");
    Edit5->setToolTip(QStringLiteral("按回车查询"));
    Edit6->setToolTip(QStringLiteral("按回车查询"));
    Button9 = button(this, "Button9", QStringLiteral("全部"));
    goods->addLayout(tms::ui::searchBar(this, {{QStringLiteral("编号："), Edit5}, {QStringLiteral("名称："), Edit6}},
                                        Button9, tms::ui::TBarFill::spread));
    DBGrid3 = named(new TDBGrid(this), "DBGrid3");
    if (Form5) DBGrid3->setQuery(Form5->GoodsQuery);
    DBGrid3->setColumns({{QStringLiteral("GoodsNo"), QStringLiteral("编号"), 80},
                         {QStringLiteral("GoodsName"), QStringLiteral("名称"), 120},
                         {QStringLiteral("Brand"), QStringLiteral("品牌"), 80},
                         {QStringLiteral("Model"), QStringLiteral("产品型号"), 70},
                         {QStringLiteral("Length"), QStringLiteral("长(mm)"), 60},
                         {QStringLiteral("Width"), QStringLiteral("宽(mm)"), 60},
                         {QStringLiteral("Height"), QStringLiteral("高(mm)"), 60},
                         {QStringLiteral("Weight"), QStringLiteral("毛重(kg)"), -1}});
    goods->addWidget(DBGrid3, 1);
    middle->addLayout(goods, 3);

    auto* commands = new QVBoxLayout;
    commands->addStretch(1);
    Edit1 = named(new QLineEdit(this), "Edit1");
    Edit1->setText(QStringLiteral("200"));
    Edit1->setValidator(new TNumericText(Edit1));
    Edit1->setMaximumWidth(70);
    UpDown1 = new TUpDown(QStringLiteral("UpDown1"), Qt::Vertical, this);
    UpDown1->Associate = Edit1;
    UpDown1->Min = 0;
    UpDown1->Max = tms::kMaxAmount;
    UpDown1->ClampToRange = true;
    auto* amount = new QHBoxLayout;
    Label5 = named(captionedField(amount, QStringLiteral("数量:"), Edit1), "Label5");
    amount->addWidget(UpDown1);
    // Type A hides the amount; its room stays, so the goods and the lines
    // beside it do not move when the type changes.
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, Edit1, UpDown1}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    commands->addLayout(amount);
    Button1 = button(this, "Button1", QStringLiteral("添加"));
    Button2 = button(this, "Button2", QStringLiteral("移除"));
    BitBtn2 = button(this, "BitBtn2", QStringLiteral("上移"));
    BitBtn3 = button(this, "BitBtn3", QStringLiteral("下移"));
    for (QPushButton* b : {Button1, Button2, BitBtn2, BitBtn3}) commands->addWidget(b);
    commands->addStretch(1);
    middle->addLayout(commands);

    auto* lines = new QVBoxLayout;
    ListView1 = named(new QTreeWidget(this), "ListView1");
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(colCount);
    ListView1->setHeaderLabels({QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("品牌"),
                                QStringLiteral("型号"), QStringLiteral("数量")});
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    lines->addWidget(ListView1, 1);
    auto* total = new QHBoxLayout;
    Label9 = named(new QLabel(QStringLiteral("总数量："), this), "Label9");
    Label10 = named(new QLabel(this), "Label10");
    total->addWidget(Label9);
    total->addWidget(Label10, 1);
    lines->addLayout(total);
    middle->addLayout(lines, 2);
    return middle;
}

// Progress and the window's commands.
QHBoxLayout* TForm10::buildCommands() {
    auto* bottom = new QHBoxLayout;
    ProgressBar1 = named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setValue(0);
    Label1 = named(new QLabel(QStringLiteral("正在计算，请稍候……"), this), "Label1");
    Label1->setVisible(false);
    BitBtn1 = button(this, "BitBtn1", QStringLiteral("从新新增"));
    Button3 = button(this, "Button3", QStringLiteral("计算保存"));
    Button4 = button(this, "Button4", QStringLiteral("退出"));
    bottom->addWidget(ProgressBar1, 1);
    bottom->addWidget(Label1);
    bottom->addWidget(BitBtn1);
    bottom->addWidget(Button3);
    bottom->addWidget(Button4);
    return bottom;
}

void TForm10::connectControls() {
    connect(Button1, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(DBGrid3, &QAbstractItemView::doubleClicked, this, &TForm10::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm10::Button2Click);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &TForm10::Button2Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm10::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm10::BitBtn3Click);
    connect(Button3, &QPushButton::clicked, this, &TForm10::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QWidget::close);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm10::BitBtn1Click);
    connect(RadioButton1, &QRadioButton::toggled, this, &TForm10::RadioButton1Click);
    connect(DBGrid3, &TDBGrid::titleClicked, this, &TForm10::DBGrid3TitleClick);
    connect(Button9, &QPushButton::clicked, this, &TForm10::Button9Click);
    // After any change in a search box, an all-blank box shows every goods.
    for (QLineEdit* e : {Edit5, Edit6})
        connect(e, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (text.trimmed().isEmpty()) Button9Click();
        });
    connect(DBLookupComboBox3, &QComboBox::activated, this, [this](int index) {
        // Choosing a container moves the container list to its record.
        if (Form6 && Form6->VehiclesQuery->Active() && !tms::hasPendingEdit(Form6->VehiclesQuery))
            Form6->VehiclesQuery->Locate(QStringLiteral("VehicleNo"), DBLookupComboBox3->itemData(index));
    });
    if (Form6) {
        connect(Form6->VehiclesQuery, &TADOQuery::dataReset, this, &TForm10::fillContainers);
        connect(Form6->VehiclesQuery, &TADOQuery::rowChanged, this, &TForm10::fillContainers);
    }
}

// ---------------------------------------------------------------- lifecycle

void TForm10::FormCreate() {
    if (const QScreen* s = screen()) resize(s->availableGeometry().size());
}

void TForm10::FormShow() {
    if (windowState() == Qt::WindowNoState) setWindowState(Qt::WindowMaximized);
    tms::ui::reportErrors([&] {
        if (Form5) Form5->GoodsDS->acquire(this);
        if (Form6) Form6->VehiclesDS->acquire(this);
    });
    fillContainers();
    clearEntries();
    fromForm10 = tms::TLaunchPath::newOrder;
}

void TForm10::FormClose() {
    if (Form6) Form6->VehiclesDS->release(this);
    if (Form5) Form5->GoodsDS->release(this);
    addedGoods_.clear();
}

void TForm10::clearEntries() {
    ListView1->clear();
    addedGoods_.clear();
    for (QLineEdit* e : {Edit3, Edit2, Edit4, Edit12}) e->clear();
    DateTimePicker1->setDate(QDate::currentDate());
    Label10->clear();
}

void TForm10::BitBtn1Click() { clearEntries(); }

void TForm10::fillContainers() {
    if (!Form6) return;
    const QVariant chosen = DBLookupComboBox3->currentData();
    const QString chosenText = DBLookupComboBox3->currentText();
    QSignalBlocker block(DBLookupComboBox3);
    DBLookupComboBox3->clear();
    TADOQuery* q = Form6->VehiclesQuery;
    if (q->Active()) {
        const int no = q->fieldIndex(QStringLiteral("VehicleNo"));
        const int name = q->fieldIndex(QStringLiteral("VehicleName"));
        for (int r = 0; no >= 0 && name >= 0 && r < q->RecordCount(); ++r) {
            const QVariant key = q->cell(r, no);
            if (key.isNull()) continue;  // a record being added
            DBLookupComboBox3->addItem(TADOQuery::displayText(q->cell(r, name)), key);
        }
    }
    // The chosen container stays chosen while the list shows others; its
    // number decides at calculation time.
    int at = -1;
    if (chosen.isValid()) {
        for (int i = 0; i < DBLookupComboBox3->count() && at < 0; ++i)
            if (DBLookupComboBox3->itemData(i).toString() == chosen.toString()) at = i;
        if (at < 0) {
            DBLookupComboBox3->addItem(chosenText, chosen);
            at = DBLookupComboBox3->count() - 1;
        }
    }
    DBLookupComboBox3->setCurrentIndex(at);
}

// ---------------------------------------------------------------- keys

bool TForm10::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == Edit5 || watched == Edit6) {
        const QString text = static_cast<QLineEdit*>(watched)->text();
        if (Form5)
            tms::searchOnEnter(Form5->GoodsQuery, QStringLiteral("HoldGoods"),
                               watched == Edit5 ? QStringLiteral("GoodsNo") : QStringLiteral("GoodsName"), text,
                               key->key());
        // Enter in a blank box shows every goods again, as a box emptied by
        // typing does.
        if (enter && text.trimmed().isEmpty()) Button9Click();
        return false;
    }
    if (watched == txtAddL || watched == txtAddW || watched == txtAddH)
        return !tms::acceptsNumericKey(key) || key->text() == QLatin1String(".");
    if (watched == Edit1 && !enter && !tms::acceptsNumericKey(key)) return true;
    const int at = static_cast<int>(chain_.indexOf(static_cast<QWidget*>(watched)));
    if (!enter || at < 0 || at + 1 >= chain_.size()) return QWidget::eventFilter(watched, event);
    // The next control that can take the focus: under type A the hidden
    // amount box is passed by.
    for (int i = at + 1; i < chain_.size(); ++i) {
        if (chain_[i]->isVisibleTo(this) && chain_[i]->isEnabled()) {
            chain_[i]->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    return true;
}

// ---------------------------------------------------------------- lines

void TForm10::Button1Click() {
    if (RadioButton1->isChecked() && ListView1->topLevelItemCount() > 0) {
        tms::ui::showMessage(QStringLiteral("对应A类计算，只能添加一种货物"));
        return;
    }
    if (!Form5) return;
    TADOQuery* q = Form5->GoodsQuery;
    if (!q->Active() || q->IsEmpty() || q->RecNo() < 0) return;
    const QString number = fieldText(q, "GoodsNo");
    if (number.isEmpty()) return;  // a record being added in the goods window
    if (addedGoods_.contains(number)) {
        tms::ui::showMessage(QStringLiteral("该货物已经添加 请重新选择或者修改该货物的数量"));
        return;
    }
    auto* item = new QTreeWidgetItem(ListView1);
    item->setText(colNo, number);
    item->setText(colName, fieldText(q, "GoodsName"));
    item->setText(colBrand, fieldText(q, "Brand"));
    item->setText(colModel, fieldText(q, "Model"));
    item->setText(colAmount, Edit1->text());
    addedGoods_.append(number);
    updateTotal();
}

void TForm10::Button2Click() {
    QTreeWidgetItem* item = ListView1->currentItem();
    if (!item || !item->isSelected()) {
        tms::ui::showMessage(QStringLiteral("请选择要移出的货物"));
        return;
    }
    addedGoods_.removeOne(item->text(colNo));
    delete item;
    updateTotal();
}

void TForm10::updateTotal() {
    if (!RadioButton2->isChecked()) return;
    long long sum = 0;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        sum += tms::amountOf(ListView1->topLevelItem(i)->text(colAmount)).value_or(0);
    Label10->setText(QString::number(sum) + QStringLiteral(" 件"));
}

void TForm10::swapLines(QTreeWidgetItem* item, QTreeWidgetItem* other) {
    for (int c = 0; c < colCount; ++c) {
        const QString t = item->text(c);
        item->setText(c, other->text(c));
        other->setText(c, t);
    }
    ListView1->setFocus();
    ListView1->setCurrentItem(other);
    other->setSelected(true);
}

void TForm10::moveP(QTreeWidgetItem* item) {
    const int at = ListView1->indexOfTopLevelItem(item);
    if (at > 0) swapLines(item, ListView1->topLevelItem(at - 1));
}

void TForm10::moveN(QTreeWidgetItem* item) {
    const int at = ListView1->indexOfTopLevelItem(item);
    if (at >= 0 && at + 1 < ListView1->topLevelItemCount()) swapLines(item, ListView1->topLevelItem(at + 1));
}

void TForm10::BitBtn2Click() {
    if (QTreeWidgetItem* item = ListView1->currentItem(); item && item->isSelected()) moveP(item);
}

void TForm10::BitBtn3Click() {
    if (QTreeWidgetItem* item = ListView1->currentItem(); item && item->isSelected()) moveN(item);
}

void TForm10::RadioButton1Click() {
    const bool typeB = !RadioButton1->isChecked();
    Edit1->setVisible(typeB);
    UpDown1->setVisible(typeB);
    Label5->setVisible(typeB);
    updateTotal();
}

// ---------------------------------------------------------------- goods list

void TForm10::DBGrid3TitleClick(const QString& fieldName) {
    if (Form5) tms::sortByTitle(Form5->GoodsQuery, QStringLiteral("select * from HoldGoods"), fieldName, sortDesc);
}

void TForm10::Button9Click() {
    if (Form5) tms::listAll(Form5->GoodsQuery, QStringLiteral("HoldGoods"));
}

// ---------------------------------------------------------------- compute and save

tms::TOrderEntry TForm10::entry() const {
    tms::TOrderEntry e;
    e.orderNo = Edit3->text();
    e.name = Edit2->text();
    e.destination = Edit4->text();
    e.consigner = Edit12->text();
    e.sailDate = DateTimePicker1->date();
    if (DBLookupComboBox3->currentIndex() >= 0) e.vehicleNo = DBLookupComboBox3->currentData().toString();
    e.typeA = RadioButton1->isChecked();
    // Tested in the order unrestricted, flat, upright.
    e.loadingMode = RadioButton5->isChecked()   ? tms::TLoadingMode::unrestricted
                    : RadioButton3->isChecked() ? tms::TLoadingMode::flat
                    : RadioButton4->isChecked() ? tms::TLoadingMode::upright
                                                : tms::TLoadingMode::unrestricted;
    e.addL = txtAddL->text();
    e.addW = txtAddW->text();
    e.addH = txtAddH->text();
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ListView1->topLevelItem(i);
        e.lines.append({item->text(colNo), item->text(colAmount)});
    }
    return e;
}

void TForm10::setBusy(bool busy) {
    for (QWidget* w : QList<QWidget*>{Button1, Button2, Button3, Button4, BitBtn1}) w->setEnabled(!busy);
    Label1->setVisible(busy);
    if (!busy) ProgressBar1->setValue(0);
    // The run holds the event loop until it ends and only the bar repaints
    // itself as it moves: lay out and paint the busy state now, or the user
    // would see neither the label nor the disabled buttons.
    if (busy && isVisible()) {
        if (layout()) layout()->activate();
        repaint();
    }
}

tms::TEngineOptions runSwitches(tms::TLaunchPath path, QProgressBar* bar) {
    tms::TEngineOptions sw;
    sw.path = path;
    if (Form1) {
        sw.weightRestrict = Form1->CheckBox2->isChecked();
        sw.directionRestrict = Form1->CheckBox3->isChecked();
    }
    if (Form10) {
        sw.pileCalc = Form10->CheckBox1->isChecked();
        sw.preferUpright = Form10->CheckBox2->isChecked();
        Form10->fromForm10 = path;
    }
    sw.progress = tms::ui::progressFeed(bar, 40, true);
    return sw;
}

void TForm10::Button3Click() {
    if (!Form1 || !conn_) return;
    const tms::TEngineOptions sw = runSwitches(tms::TLaunchPath::newOrder, ProgressBar1);

    tms::TOrderOutcome out;
    {
        BusyState busy([this](bool on) { setBusy(on); });
        tms::ui::WaitCursor wait;
        out = tms::computeNewOrder(*conn_, Form1->engine, entry(), sw);
    }
    switch (out.kind) {
    case tms::TOrderOutcome::Kind::refused:
        tms::ui::showMessage(out.message);
        if (out.focus == tms::TOrderField::orderNo) Edit3->setFocus();
        if (out.focus == tms::TOrderField::container) DBLookupComboBox3->setFocus();
        return;
    case tms::TOrderOutcome::Kind::failed: tms::ui::showError(out.message); return;
    case tms::TOrderOutcome::Kind::stored: break;
    }
    if (Form7) Form7->reload();
    if (Form8) {
        Form8->showPlanOf(out.orderNo);
        Form8->show();
        Form8->raise();
        Form8->activateWindow();
    }
    if (!out.message.isEmpty()) tms::ui::showMessage(out.message);
}
