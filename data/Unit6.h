#pragma once
// The container window: the container catalogue with its search bar, its
// grid and the record panel where containers are added, changed and
// deleted. Its list (VehiclesQuery through VehiclesDS) is also the
// container choice of the new-order window and of the self-service window.

#include <QWidget>

#include "data/Catalogue.h"
#include "platform/AdoDb.h"
#include "platform/DbWidgets.h"
#include "platform/FormWindow.h"
#include "shell/Forms.h"

class QLineEdit;
class QPushButton;

class TForm6 : public tms::ui::FormWindow {
    Q_OBJECT
public:
    // Every query runs on `connection`; by default the main window's.
    explicit TForm6(TADOConnection* connection = nullptr, QWidget* parent = nullptr);
    ~TForm6() override;

    // The container list and its data source, shared with other windows: a
    // window that shows the list acquires VehiclesDS when shown and releases
    // it when closed.
    TADOQuery* VehiclesQuery;
    TDataSource* VehiclesDS;

    // The text the container list reads when nobody has searched or sorted.
    static QString defaultSql();

    TDBGrid* goodsDBGRID;
    QLineEdit* Edit7;  // search by number
    QLineEdit* Edit6;  // search by type
    QPushButton* Button10;

    TDBEdit* DBEdit10;  // VehicleNo
    TDBEdit* DBEdit11;  // VehicleName
    TDBEdit* DBEdit1;   // Model
    TDBEdit* DBEdit12;  // ContainerL
    TDBEdit* DBEdit13;  // ContainerW
    TDBEdit* DBEdit14;  // ContainerH
    TDBEdit* DBEdit15;  // MaxWeight
    TDBEdit* DBEdit2;   // VehicleRemark
    TDBNavigator* DBNavigator1;

    QPushButton* SpeedButton10;  // add
    QPushButton* SpeedButton11;  // modify
    QPushButton* SpeedButton12;  // delete
    QPushButton* SpeedButton13;  // save
    QPushButton* SpeedButton14;  // cancel
    QPushButton* BitBtn1;        // close

    void FormCreate();
    void FormShow() override;
    void FormClose() override;
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    void SpeedButton14Click();
    void Button10Click();
    void goodsDBGRIDTitleClick(const QString& fieldName);
    void VehiclesDSStateChange();

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
    QString oldNumber, oldLength, oldWidth, oldHeight, oldMaxWeight;
    QList<QWidget*> recordControls_;
};
