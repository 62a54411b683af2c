#pragma once
// The self-service loading window "自助装箱": the user starts a new loading,
// chooses a container, adds batches of goods through the add-goods dialog,
// looks at them in 3D, steps through them and saves the loading under a
// name; saved loadings are listed, opened for viewing and deleted.
//
// The window only supplies inputs and shows results: the loading itself
// (container, pieces, batches, free spaces, texts) is a tms::TSelfLoading it
// owns, the database work goes through tms::TSelfStore, and the drawing is
// the plan renderer's, fed with the window's own drawing arrays and its own
// container outline (the assembly drawing's container on show is never read
// or written here). The batch stepper shares the assembly drawing's step
// counter (Form8->heapStep) and the keys shown (Form1->plan.showFloors).

#include <QComboBox>
#include <QWidget>

#include "platform/FormWindow.h"
#include "selfhelp/SelfLoading.h"
#include "selfhelp/SelfStore.h"
#include "shell/Forms.h"
#include "view/PlanRenderer.h"
#include "view/PlanShow.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTableWidget;
class QTimer;
class TADOConnection;
class TGLPanel;

// A drop-down list that says when its list is about to open (the saved
// loadings are read afresh each time).
class TDropDownCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void dropDown();
};

class TForm9 : public tms::ui::FormWindow {
    Q_OBJECT
public:
    // Every statement runs on `connection`; by default the main window's.
    explicit TForm9(TADOConnection* connection = nullptr, QWidget* parent = nullptr);
    ~TForm9() override;

    // Controls, named as the program knows them.
    TGLPanel* GLPanel1;
    QSlider* tb;                  // piece slider
    QPlainTextEdit* RE;           // summary text
    QTableWidget* SG;             // batch grid, titles in row 0
    TDropDownCombo* CBOrderForm;  // saved loadings
    QPushButton* BBDelete;
    QPushButton* BBNewSelfHelp;
    QComboBox* CBBVehicles;  // container of a new loading
    QPushButton* BBAddGoods;
    QLineEdit* EditNo;  // name the loading is saved under
    QPushButton* BBSave;
    QPushButton* BitBtn2;       // view angle
    QPushButton* BitBtn5;       // batch stepper, "分堆"
    QPushButton* BitBtn6;       // all pieces, "全部"
    QPushButton* BitBtn1;       // spin, "旋转" / "停止"
    QPushButton* BitBtn4;       // centre, "居中"
    QPushButton* SpeedButton2;  // print, "打印装配图"
    QPushButton* BitBtn7;       // close, "退出"
    QTimer* Timer1;             // 20 ms spin tick

    // The loading being built or viewed; the add-goods dialog places its
    // batches into it and then calls batchAdded.
    tms::TSelfLoading& loading() { return loading_; }
    const tms::TSelfLoading& loading() const { return loading_; }
    // A batch the add-goods dialog placed (r.placed > 0): its grid row, the
    // summary, the container fixed, the drawing redrawn.
    void batchAdded(const tms::TBatchResult& r);
    // The slider's range follows the pieces of the loading.
    void piecesChanged();

    // The view as the spin timer and the view buttons left it.
    const tms::TCamera& camera() const { return camera_; }
    const tms::TPlanScene& scene() const { return scene_; }
    bool spinning() const { return spinning_; }

    // Sets up the container curVehicleNo: its size from the catalogue, the
    // outline, the first free space. A container that is not in the
    // catalogue shows "该箱柜不存在，可能已经删除!" and leaves none set up.
    void getVehicleInfo();
    // Drops the pieces, batches, spaces and the container; an add-goods
    // dialog left open is closed, so it never acts on what was dropped.
    void FreeSource();
    QString GetZXL() const;
    int GetAllGoodsNum() const;
    void LoadVehicles();

    void FormShow() override;
    void FormClose() override;
    void BBNewSelfHelpClick();
    void CBBVehiclesChange(int index);
    void BBAddGoodsClick();
    void SGSelectCell(int row);
    void tbChange(int position);
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn1Click();
    void BitBtn4Click();
    void BitBtn2Click();
    void SpeedButton2Click();
    void Timer1Timer();
    void GLPanel1Click();
    void BBSaveClick();
    void CBOrderFormDropDown();
    void CBOrderFormChange(int index);
    void BBDeleteClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildSidePanel();
    void enableNewLoading(bool on);
    void setSummary(const std::string& text);
    void clearGrid();
    void appendGridRow(const tms::SelfBatch& b);
    // The drawing arrays and the outline from the loading; then a repaint.
    void syncDrawing();
    void redraw();
    // Only the shown flags and alphas changed.
    void syncShown();
    // The view controls act only while the saved-loading combo shows a text.
    bool comboShowsText() const;
    // A load that found nothing to show: the window as after a reset.
    void resetView();
    int& heapStep();

    TADOConnection* conn_;
    tms::TSelfStore store_;
    tms::TSelfLoading loading_;
    QString curVehicleNo;

    tms::TPlanRenderer renderer_{tms::TOutline::first};  // the container's lines, then the pieces
    tms::TArr drawArr_;
    int drawCount_ = 0;
    tms::TPlanScene scene_;
    tms::TCamera camera_;
    bool spinning_ = false;
    int ownHeapStep_ = 0;  // used only when there is no assembly drawing window
};
