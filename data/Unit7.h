#pragma once
// The order management window "订单管理": the stored orders with their
// container, the lines of the current order, search and sort, the edit of
// the header's descriptive fields, delete, recalculation ("计算") and the
// drawing of a computed order ("查看装配图"). The drawing window also opens it
// as an order picker (openForOrder). The recalculation and the delete are
// data/OrderStore.h's; this window reads the current order and shows the
// outcome.

#include <QString>
#include <QWidget>

#include "platform/AdoDb.h"
#include "platform/FormWindow.h"
#include "shell/Forms.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class TDataSource;
class TDBEdit;
class TDBGrid;
class TDBNavigator;

class TForm7 : public tms::ui::FormWindow {
    Q_OBJECT
public:
    // Every query runs on `connection`; by default the main window's.
    explicit TForm7(TADOConnection* connection = nullptr, QWidget* parent = nullptr);
    ~TForm7() override;

    TADOQuery* MasterQuery;  // the orders
    TADOQuery* SaleQuery;    // the lines of the current order

    TDBGrid* DBGrid5;
    TDBGrid* DBGrid6;
    TDBEdit* DBEdit19;  // OrderFormNo
    TDBEdit* DBEdit21;  // OrderFormName
    TDBEdit* DBEdit20;  // SailDate
    TDBEdit* DBEdit2;   // Destination
    TDBEdit* DBEdit3;   // Consigner
    TDBEdit* z;         // VehicleNo
    TDBEdit* DBEdit23;  // VehicleName
    TDBEdit* DBEdit1;   // CountType
    TDBEdit* DBEdit4;   // LoadingType
    TDBEdit* DBEdit5;   // IsDirectionRestrict
    TDBEdit* DBEdit6;   // IsWeightRestrict
    TDBNavigator* DBNavigator1;

    QPushButton* Button3;   // "新增"
    QPushButton* Button5;   // "修改"
    QPushButton* Button6;   // "保存"
    QPushButton* Button7;   // "取消"
    QPushButton* Button4;   // "删除"
    QPushButton* Button2;   // "查看装配图"
    QPushButton* Button1;   // "计算"
    QPushButton* BitBtn4;   // "退出"
    QLineEdit* Edit11;      // search by number
    QLineEdit* Edit10;      // search by name
    QPushButton* Button12;  // "全部"
    QProgressBar* PB;

    // The placement mode of the order being recalculated.
    int loadingType = 0;

    // "工作单" of the drawing window: closes the window if it is open, then
    // shows it window-modal over the drawing, filtered to the order, with
    // "查看装配图" disabled while it is open in this mode.
    void openForOrder(const QString& orderNo);
    // Reads the list again when the window shows it, keeping the current
    // order (a new order stored elsewhere appears at once).
    void reload();

    void FormShow() override;
    void FormClose() override;
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button12Click();
    void DBGrid5TitleClick(const QString& fieldName);
    void MasterDSStateChange();
    void MasterDSDataChange();

    bool pickerMode() const { return picker_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    // Reads the orders again under the search and sort in force and makes
    // `current` the current order when it is listed (else the first).
    void openMaster(const QString& current = QString());
    void openLines();
    void filterBy(const QString& field, const QString& text);
    QString currentOrder() const;
    void showPlan(const QString& orderNo);

    TADOConnection* conn_;
    bool sortDesc = false;
    QString sortField_;
    QString filterField_;  // empty: no filter
    QString filterText_;
    bool picker_ = false;
    QList<QWidget*> chain_;
};
