#pragma once
// The add-goods dialog "添加货物" of the self-service window: the user picks
// a goods from the goods list (the goods window's own list and cursor),
// types an amount and chooses a fill order and an orientation; OK places the
// batch into the self-service window's loading, piece by piece until one
// finds no room, and the placed part becomes one row of its batch grid.
// Shown, not modally, by the self-service window once a container is
// chosen; it only acts on that window's loading as it stands at OK.

#include <QGroupBox>
#include <QWidget>
#include <optional>

#include "platform/FormWindow.h"
#include "selfhelp/SelfLoading.h"
#include "shell/Forms.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class TDBGrid;

// A titled group of exclusive choices; no item is chosen until the user
// picks one.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);
    // The chosen item, -1 when none is.
    int ItemIndex() const;
    QString itemText(int index) const;

private:
    QButtonGroup* group_;
};

class TForm11 : public tms::ui::FormWindow {
    Q_OBJECT
public:
    // The goods come from `goods`' list, by default the goods window's.
    explicit TForm11(TForm5* goods = nullptr, QWidget* parent = nullptr);

    QLineEdit* EditGoodsNo;
    QPushButton* BtnQueryNo;
    QLineEdit* EditGoodsName;
    QPushButton* BtnQueryName;
    QPushButton* BtnGoodsAll;
    TDBGrid* goodsDBGRID;
    QLineEdit* EditNum;
    TRadioGroup* RGPlaceDirection;  // fill order
    TRadioGroup* RGPlaceType;       // orientation
    QPushButton* BBOk;
    QPushButton* BBCancel;

    void FormShow() override;
    void FormClose() override;
    void BtnQueryNoClick();
    void BtnQueryNameClick();
    void BtnGoodsAllClick();
    void BBOkClick();
    void BBCancelClick();

protected:
private:
    // The goods row the grid stands on; none when the list is closed or empty.
    std::optional<tms::SelfGoods> currentGoods() const;
    void search(QLineEdit* edit, const QString& field);
    // After a refused OK, the focus goes to the entry that was refused.
    void focusRefused(tms::TBatchEntry entry);

    TForm5* goods_;
};
