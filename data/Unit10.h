#pragma once
// The new order window "新增订单": the order header, the container, the
// calculation type and placement mode, the goods with their amounts in
// loading order, and "计算保存", which stores the order, computes its plan
// and shows it in the drawing window. The goods grid shows the goods
// window's list, the container box the container window's list. The checks,
// the store and the calculation are data/OrderStore.h's; this window reads
// its controls and shows the outcome.

#include <QStringList>
#include <QWidget>

#include "data/OrderStore.h"
#include "platform/AdoDb.h"
#include "platform/FormWindow.h"
#include "platform/UpDown.h"
#include "shell/Forms.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TDBGrid;

class TForm10 : public tms::ui::FormWindow {
    Q_OBJECT
public:
    // Every query runs on `connection`; by default the main window's.
    explicit TForm10(TADOConnection* connection = nullptr, QWidget* parent = nullptr);
    ~TForm10() override;

    QLineEdit* Edit3;              // order number
    QLineEdit* Edit2;              // customer name
    QComboBox* DBLookupComboBox3;  // container; item data = its number
    QLineEdit* Edit4;              // destination
    QLineEdit* Edit12;             // consigner
    QDateEdit* DateTimePicker1;    // sailing date
    QRadioButton* RadioButton1;    // type A
    QRadioButton* RadioButton2;    // type B
    QRadioButton* RadioButton5;    // "无限制"
    QRadioButton* RadioButton3;    // "平放"
    QRadioButton* RadioButton4;    // "纵放"
    QLineEdit* txtAddL;
    QLineEdit* txtAddW;
    QLineEdit* txtAddH;
    QCheckBox* CheckBox1;    // "进行分堆计算"
    QCheckBox* CheckBox2;    // "尽量立放"
    TDBGrid* DBGrid3;        // goods
    QLineEdit* Edit5;        // goods search by number
    QLineEdit* Edit6;        // goods search by name
    QPushButton* Button9;    // "全部"
    QTreeWidget* ListView1;  // order lines
    QLineEdit* Edit1;        // amount of the next goods added
    TUpDown* UpDown1;
    QLabel* Label5;        // "数量:"
    QLabel* Label9;        // "总数量："
    QLabel* Label10;       // the total
    QPushButton* Button1;  // "添加"
    QPushButton* Button2;  // "移除"
    QPushButton* BitBtn2;  // up
    QPushButton* BitBtn3;  // down
    QPushButton* Button3;  // "计算保存"
    QPushButton* Button4;  // "退出"
    QPushButton* BitBtn1;  // "从新新增"
    QProgressBar* ProgressBar1;
    QLabel* Label1;  // busy label

    // Which window started the current calculation (see runSwitches).
    tms::TLaunchPath fromForm10 = tms::TLaunchPath::newOrder;

    void FormCreate();
    void FormShow() override;
    void FormClose() override;
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void RadioButton1Click();
    void DBGrid3TitleClick(const QString& fieldName);
    void Button9Click();
    void moveP(QTreeWidgetItem* item);
    void moveN(QTreeWidgetItem* item);

    // What the window holds, as "计算保存" reads it.
    tms::TOrderEntry entry() const;
    // Fills the container box from the container list, keeping the chosen
    // container.
    void fillContainers();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QGroupBox* buildHeader();
    QHBoxLayout* buildOptions();
    QHBoxLayout* buildGoods();
    QHBoxLayout* buildCommands();
    void connectControls();
    void clearEntries();
    void updateTotal();
    void swapLines(QTreeWidgetItem* item, QTreeWidgetItem* other);
    void setBusy(bool busy);

    TADOConnection* conn_;
    QStringList addedGoods_;  // goods number of each line
    bool sortDesc = false;
    QList<QWidget*> chain_;
};

// The switches of a calculation started now on `path`: the settings'
// constraints, the new-order window's pile and upright boxes as they stand
// (the defaults without that window) and progress on `bar`. The path is
// recorded in the new-order window's fromForm10.
tms::TEngineOptions runSwitches(tms::TLaunchPath path, QProgressBar* bar);
