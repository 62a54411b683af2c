#pragma once
// The goods window: the goods catalogue with its search bar, its grid whose
// first column shows each goods' colour, and the record panel where goods
// are added, changed and deleted. Its list (GoodsQuery through GoodsDS) is
// also the goods list of the new-order window and of the self-service
// add-goods dialog.

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

#include "data/Catalogue.h"
#include "platform/AdoDb.h"
#include "platform/DbWidgets.h"
#include "platform/FormWindow.h"
#include "shell/Forms.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TForm5 : public tms::ui::FormWindow {
    Q_OBJECT
public:
    // Every query runs on `connection`; by default the main window's.
    explicit TForm5(TADOConnection* connection = nullptr, QWidget* parent = nullptr);
    ~TForm5() override;

    // The goods list and its data source, shared with other windows: a
    // window that shows the list acquires GoodsDS when shown and releases it
    // when closed.
    TADOQuery* GoodsQuery;
    TDataSource* GoodsDS;

    // The text the goods list reads when nobody has searched or sorted.
    static QString defaultSql();

    TDBGrid* goodsDBGRID;
    QLineEdit* Edit4;  // search by number
    QLineEdit* Edit5;  // search by name
    QPushButton* Button9;

    TDBEdit* DBEdit1;          // GoodsNo
    TDBEdit* DBEdit2;          // GoodsName
    TDBEdit* DBEdit3;          // Brand
    TDBEdit* DBEdit4;          // Model
    TDBCheckBox* DBCheckBox2;  // Upward
    TDBEdit* DBEdit6;          // Length
    TDBEdit* DBEdit7;          // Width
    TDBEdit* DBEdit8;          // Height
    TDBEdit* DBEdit9;          // Weight
    TDBEdit* DBEdit5;          // GoodsRemark
    TDBEdit* DBEdit10;         // COLOR
    QPushButton* BtnSelect;
    TDBNavigator* DBNavigator1;

    QPushButton* SpeedButton5;  // add
    QPushButton* SpeedButton6;  // modify
    QPushButton* SpeedButton7;  // delete
    QPushButton* SpeedButton8;  // save
    QPushButton* SpeedButton9;  // cancel
    QPushButton* BitBtn1;       // close

    // The colour chooser; replaceable so the window can be driven without a
    // person at the dialog. Returns nothing when the choice is cancelled.
    std::function<std::optional<QColor>(const QColor& initial)> chooseColor;

    void FormShow() override;
    void FormClose() override;
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void Button9Click();
    void BtnSelectClick();
    void goodsDBGRIDTitleClick(const QString& fieldName);
    void GoodsDSStateChange();

    bool sortDescending() const { return sortDesc; }
    bool inModifyMode() const { return modifyMode; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // The scratch query for look-ups, on the same connection.
    TADOQuery* ADOQuery4;
    bool sortDesc = false;
    bool modifyMode = false;
    QString oldLength, oldWidth, oldHeight, oldWeight;
    QList<QWidget*> recordControls_;
};
