#pragma once
// The assembly drawing window "装配图": one container of a computed plan at a
// time, drawn in 3D, with its piles in a grid, three summary lines, a step
// slider that builds the container piece by piece, a pile stepper, spin,
// pan and view angle, printing, the loading details report and a jump to
// order management. Loading, statistics, drawing and the report come from
// the plan display core (PlanLoad.h, PlanSteps.h, PlanRenderer.h,
// LoadingReport.h); the window supplies inputs and shows results.
//
// The plan on show lives in the settings window (Form1->plan), which the
// self-service window draws from as well.

#include <QComboBox>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/UpDown.h"
#include "shell/Forms.h"
#include "view/PlanLoad.h"
#include "view/PlanRenderer.h"
#include "view/PlanShow.h"
#include "view/PlanSteps.h"

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;
class TADOConnection;
class TADOQuery;
class TDBGrid;
class TGLPanel;

// The order combo: a drop-down list whose items are refilled just before
// the list drops down. Typed characters are swallowed: a keystroke must not
// jump to another order and load its plan (the arrow keys, the space bar and
// the list itself still choose).
class TOrderCombo : public QComboBox {
    Q_OBJECT
public:
    explicit TOrderCombo(QWidget* parent = nullptr) : QComboBox(parent) {}
    std::function<void()> OnDropDown;
    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

class TForm8 : public QWidget {
    Q_OBJECT
public:
    // connection: the database; nullptr takes the main window's connection.
    explicit TForm8(TADOConnection* connection = nullptr, QWidget* parent = nullptr);
    ~TForm8() override;

    // Controls, named as the program knows them.
    TOrderCombo* ComboBox1;     // orders: padded number + name
    QLineEdit* Edit1;           // container number (read-only)
    TUpDown* UpDown1;           // container up-down, Min 1
    QLabel* Label3;             // "共 n 箱"
    QSlider* tb;                // step slider: pieces shown in build order
    TDBGrid* DBGrid1;           // piles (or pieces) of the container
    QPlainTextEdit* RE;         // summary or pile-step lines
    TGLPanel* GLPanel1;         // the drawing; a click stops spinning
    QPushButton* BitBtn2;       // view angle -135 / -45
    QPushButton* BitBtn5;       // "分堆" pile stepper
    QPushButton* BitBtn6;       // "全部" show all
    QPushButton* BitBtn1;       // spin, hint "旋转" / "停止"
    QPushButton* BitBtn4;       // "居中"
    QPushButton* SpeedButton2;  // "打印装配图"
    QPushButton* SpeedButton3;  // "装配清单"
    // "工作单": order management disables it while it shows a plan from its
    // own "查看装配图" and enables it again when it closes.
    QPushButton* SpeedButton1;
    QPushButton* BitBtn7;  // "退出"
    QCheckBox* CheckBox3;  // hidden, ticked: grid by pile
    QTimer* Timer1;        // spin tick, 20 ms
    QProgressBar* ProgressBar1;

    // Next pile the pile stepper shows, 0-based; the self-service window
    // steps its batches with the same counter.
    int heapStep = 0;

    // Fills the window with container 1 of the order's plan, as the new-order
    // window and order management do after a calculation and on
    // "查看装配图": ComboBox1 holds the order as its only item, Edit1 "1",
    // tb at 0, the build sequence, the pile lists with heapStep reset, the
    // summary lines, UpDown1's maximum and Label3 "共 n 箱"; then repaints.
    // It does not show the window; the caller does. An order without plan
    // rows shows "共 0 箱" and zero figures.
    void showPlanOf(const QString& orderNo);

    // The order chosen in ComboBox1 ("" when none).
    QString currentOrder() const;
    // The piles of the container on show.
    const tms::TPileLists& piles() const { return piles_; }
    // The view state (pan, base angle, spin angle) and whether it spins.
    const tms::TCamera& camera() const { return camera_; }
    bool spinning() const { return spinning_; }

    // "工作单" opens order management on the order through this; it is
    // Form7->openForOrder unless replaced.
    std::function<void(const QString& orderNo)> openOrderWindow;

    // Event handlers, named after their control and event.
    void ComboBox1Change();
    void ComboBox1DropDown();
    bool UpDown1Changing(int newValue);
    void tbChange();
    void BitBtn5Click();
    void BitBtn6Click();
    void DBGrid1CellClick(int row);
    void BitBtn1Click();
    void Timer1Timer();
    void BitBtn4Click();
    void BitBtn2Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton1Click();
    void CheckBox3Click();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QHBoxLayout* buildTopBar();
    QWidget* buildSide();
    bool isFirstReceiver(QObject* watched) const;
    tms::TPlanShow& plan();
    TADOConnection& conn() const { return *conn_; }
    // Loads container v of the order (a new order also reads the number of
    // containers); false when the plan could not be read.
    bool loadContainer(const std::string& order, int v, bool newOrder);
    void writeSummary(const std::string& order, int v);
    void setLines(const std::vector<std::string>& lines);
    void stopSpin();
    void repaintPanel();
    QVariant swatch(int row, const QString& field) const;

    TADOConnection* conn_;
    TADOQuery* ADOQuery2;     // the grid rows
    tms::TPlanShow ownPlan_;  // used only when there is no settings window
    tms::TPlanScene scene_;
    tms::TZXInfo zx_;  // the summary figures on show
    tms::TPlanRenderer renderer_;
    tms::TCamera camera_;
    bool spinning_ = false;
    tms::TPileLists piles_;
};
