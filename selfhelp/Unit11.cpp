#include "selfhelp/Unit11.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/Catalogue.h"
#include "data/Unit5.h"
#include "platform/DbWidgets.h"
#include "platform/Dialogs.h"
#include "platform/WindowKit.h"
#include "selfhelp/SelpHelpOrderForm9.h"

using tms::ui::button;
using tms::ui::captionedField;
using tms::ui::named;

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
    auto* lay = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        lay->addWidget(b);
    }
    group_->setExclusive(true);
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

QString TRadioGroup::itemText(int index) const {
    const QAbstractButton* b = group_->button(index);
    return b ? b->text() : QString();
}

TForm11::TForm11(TForm5* goods, QWidget* parent) : FormWindow(parent), goods_(goods ? goods : Form5) {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("添加货物"));
    auto* root = new QVBoxLayout(this);

    // Search bar.
    EditGoodsNo = named(new QLineEdit(this), "EditGoodsNo");
    EditGoodsName = named(new QLineEdit(this), "EditGoodsName");
    for (QLineEdit* e : {EditGoodsNo, EditGoodsName}) {
        e->setToolTip(QStringLiteral("按回车查询"));
        e->setMaxLength(tms::kTextFieldSize);
    }
    BtnQueryNo = button(this, "BtnQueryNo", QStringLiteral("查询"));
    BtnQueryName = button(this, "BtnQueryName", QStringLiteral("查询"));
    BtnGoodsAll = button(this, "BtnGoodsAll", QStringLiteral("全部"));
    root->addLayout(tms::ui::searchBar(
        this,
        {{QStringLiteral("编号:"), EditGoodsNo, BtnQueryNo}, {QStringLiteral("名称:"), EditGoodsName, BtnQueryName}},
        BtnGoodsAll, tms::ui::TBarFill::spread));

    // The goods list.
    goodsDBGRID = named(new TDBGrid(this), "goodsDBGRID");
    goodsDBGRID->setSelectionBehavior(QAbstractItemView::SelectRows);
    if (goods_) goodsDBGRID->setQuery(goods_->GoodsQuery);
    goodsDBGRID->setColumns({{QStringLiteral("COLOR"), QStringLiteral("颜色"), 60},
                             {QStringLiteral("GoodsNo"), QStringLiteral("编号"), -1},
                             {QStringLiteral("GoodsName"), QStringLiteral("名称"), 135},
                             {QStringLiteral("Model"), QStringLiteral("货物型号"), 82},
                             {QStringLiteral("Length"), QStringLiteral("长(mm)"), -1},
                             {QStringLiteral("Width"), QStringLiteral("宽(mm)"), -1},
                             {QStringLiteral("Height"), QStringLiteral("高(mm)"), -1},
                             {QStringLiteral("Weight"), QStringLiteral("毛重(kg)"), -1}});
    tms::paintGoodsColours(goodsDBGRID);
    root->addWidget(goodsDBGRID, 1);

    // Amount, fill order and orientation.
    auto* amount = new QHBoxLayout;
    EditNum = named(new QLineEdit(this), "EditNum");
    EditNum->setMaxLength(12);
    captionedField(amount, QStringLiteral("数量:"), EditNum);
    amount->addStretch(1);
    root->addLayout(amount);

    auto* choices = new QHBoxLayout;
    QStringList fills, places;
    for (const tms::FillOrder& f : tms::fillOrders()) fills << QString::fromUtf8(f.text);
    for (int n = 1; n <= 6; ++n) places << QString::fromStdString(tms::placeTextOf(n));
    RGPlaceDirection = named(new TRadioGroup(QStringLiteral("摆放方向"), fills, this), "RGPlaceDirection");
    RGPlaceType = named(new TRadioGroup(QStringLiteral("摆放方式"), places, this), "RGPlaceType");
    choices->addWidget(RGPlaceDirection, 1);
    choices->addWidget(RGPlaceType, 1);
    root->addLayout(choices);

    auto* buttons = new QHBoxLayout;
    BBOk = button(this, "BBOk", QStringLiteral("确定"));
    BBCancel = button(this, "BBCancel", QStringLiteral("取消"));
    buttons->addStretch(1);
    buttons->addWidget(BBOk);
    buttons->addWidget(BBCancel);
    root->addLayout(buttons);

    resize(820, 620);

    connect(BtnQueryNo, &QPushButton::clicked, this, &TForm11::BtnQueryNoClick);
    connect(BtnQueryName, &QPushButton::clicked, this, &TForm11::BtnQueryNameClick);
    connect(BtnGoodsAll, &QPushButton::clicked, this, &TForm11::BtnGoodsAllClick);
    connect(BBOk, &QPushButton::clicked, this, &TForm11::BBOkClick);
    connect(BBCancel, &QPushButton::clicked, this, &TForm11::BBCancelClick);
}

void TForm11::FormShow() {
    if (goods_) tms::ui::reportErrors([&] { goods_->GoodsDS->acquire(this); });
}

void TForm11::FormClose() {
    if (!goods_) return;
    // The search edits keep their text; the list shows every goods again.
    if (goods_->GoodsQuery->Active()) tms::listAll(goods_->GoodsQuery, QStringLiteral("HoldGoods"));
    tms::leaveList(goods_->GoodsDS, this);
}

void TForm11::search(QLineEdit* edit, const QString& field) {
    if (!goods_) return;
    // The text is a pattern between two "%" (a quote in it is only a character).
    if (edit->text().isEmpty())
        tms::listAll(goods_->GoodsQuery, QStringLiteral("HoldGoods"));
    else
        tms::ui::reportErrors(
            [&] { tms::fastfind(goods_->GoodsQuery, QStringLiteral("HoldGoods"), field, edit->text()); });
}

void TForm11::BtnQueryNoClick() { search(EditGoodsNo, QStringLiteral("GoodsNo")); }

void TForm11::BtnQueryNameClick() { search(EditGoodsName, QStringLiteral("GoodsName")); }

void TForm11::BtnGoodsAllClick() {
    if (goods_) tms::listAll(goods_->GoodsQuery, QStringLiteral("HoldGoods"));
    EditGoodsNo->clear();
    EditGoodsName->clear();
}

void TForm11::BBCancelClick() { close(); }

std::optional<tms::SelfGoods> TForm11::currentGoods() const {
    if (!goods_) return std::nullopt;
    TADOQuery* q = goods_->GoodsQuery;
    if (!q->Active() || q->IsEmpty() || q->RecNo() < 0) return std::nullopt;
    const auto text = [q](const char* field) {
        const int c = q->fieldIndex(QString::fromLatin1(field));
        return c < 0 ? QString() : TADOQuery::displayText(q->cell(q->RecNo(), c));
    };
    // A measure that is no number counts as 0 and is refused with the sizes.
    const auto number = [&](const char* field) {
        bool ok = false;
        const double v = text(field).trimmed().toDouble(&ok);
        return ok ? v : 0.0;
    };
    tms::SelfGoods g;
    g.GoodsNo = text("GoodsNo").toStdString();
    g.GoodsName = text("GoodsName").toStdString();
    g.Length = number("Length");
    g.Width = number("Width");
    g.Height = number("Height");
    g.Weight = number("Weight");
    g.Color = text("COLOR").toStdString();
    return g;
}

void TForm11::BBOkClick() {
    TForm9* window = Form9;
    if (!window) return;
    const std::optional<tms::SelfGoods> goods = currentGoods();
    // Checks the input and that the window still has a container of a new
    // loading (it may have been reset while this dialog was open); a refused
    // input changes nothing and the dialog stays open.
    tms::TBatchResult r;
    {
        // A batch of thousands of pieces takes a while to place and draw.
        tms::ui::WaitCursor wait;
        r = window->loading().placeBatch(goods ? &*goods : nullptr, EditNum->text().toStdString(),
                                         RGPlaceDirection->ItemIndex(), RGPlaceType->ItemIndex());
        if (r.accepted && r.placed > 0) window->batchAdded(r);
    }
    if (!r.accepted) {
        tms::ui::showMessage(QString::fromStdString(r.message));
        focusRefused(r.refused);
        return;
    }
    if (!r.message.empty()) tms::ui::showMessage(QString::fromStdString(r.message));
    window->piecesChanged();
    close();
}

void TForm11::focusRefused(tms::TBatchEntry entry) {
    // The user goes on where the refused entry is: the amount (selected, so
    // typing replaces it), a choice group or the goods list.
    switch (entry) {
    case tms::TBatchEntry::amount:
        EditNum->setFocus();
        EditNum->selectAll();
        break;
    case tms::TBatchEntry::fillOrder:
    case tms::TBatchEntry::placeType: {
        TRadioGroup* group = entry == tms::TBatchEntry::fillOrder ? RGPlaceDirection : RGPlaceType;
        if (auto* first = group->findChild<QRadioButton*>()) first->setFocus();
        break;
    }
    case tms::TBatchEntry::goods: goodsDBGRID->setFocus(); break;
    case tms::TBatchEntry::none: break;
    }
}
