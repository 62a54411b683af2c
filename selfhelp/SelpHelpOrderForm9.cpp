#include "selfhelp/SelpHelpOrderForm9.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QOpenGLWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "data/Catalogue.h"
#include "engine/Holdwisep.h"
#include "platform/Dialogs.h"
#include "platform/TextConvert.h"
#include "platform/WindowKit.h"
#include "selfhelp/Unit11.h"
#include "shell/Unit4.h"
#include "view/GLPanel.h"
#include "view/PrintGLPanel.h"
#include "view/SpinButton.h"
#include "view/Unit8.h"

using tms::qs;
using tms::ui::button;
using tms::ui::captionedField;
using tms::ui::named;

namespace {

const QString kChoose = QStringLiteral("－－请选择－－");

TADOConnection* defaultConnection(TADOConnection* given) {
    if (given) return given;
    return Form4 ? &Form4->ADOConnection1 : nullptr;
}

}  // namespace

void TDropDownCombo::showPopup() {
    emit dropDown();
    QComboBox::showPopup();
}

TForm9::TForm9(TADOConnection* connection, QWidget* parent)
    : FormWindow(parent), conn_(defaultConnection(connection)), store_(*conn_) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("自助装箱"));
    buildControls();
    tms::ui::fitFrameToScreen(this);
}

TForm9::~TForm9() = default;

void TForm9::buildControls() {
    auto* root = new QGridLayout(this);

    // Left: the drawing, the piece slider and the summary right under it (the
    // print takes the panel and the strip of the summary's height below it).
    auto* left = new QVBoxLayout;
    GLPanel1 = new TGLPanel(this);
    GLPanel1->setObjectName(QStringLiteral("GLPanel1"));
    GLPanel1->setMinimumSize(400, 300);
    GLPanel1->OnPaint = [this](TGLPanel*) { renderer_.draw(drawArr_, drawCount_, scene_, camera_); };
    GLPanel1->OnResize = [](TGLPanel*) {};  // the panel set the viewport to its client area
    left->addWidget(GLPanel1, 1);
    tb = new QSlider(Qt::Horizontal, this);
    tb->setObjectName(QStringLiteral("tb"));
    tb->setRange(0, 0);
    tb->setPageStep(1);
    left->addWidget(tb);
    RE = new QPlainTextEdit(this);
    RE->setObjectName(QStringLiteral("RE"));
    RE->setReadOnly(true);
    QFont reFont = RE->font();
    reFont.setPixelSize(15);
    RE->setFont(reFont);
    // Room for the longest summary (nine lines after a batch) without a
    // scroll bar.
    RE->setFixedHeight(QFontMetrics(reFont).lineSpacing() * 11 + 2 * RE->frameWidth() + 12);
    left->addWidget(RE);
    root->addLayout(left, 0, 0);

    root->addWidget(buildSidePanel(), 0, 1);

    // Bottom: the batch grid across the window.
    SG = new QTableWidget(1, 11, this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->horizontalHeader()->hide();
    SG->verticalHeader()->hide();
    SG->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG->setSelectionMode(QAbstractItemView::SingleSelection);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setFixedHeight(170);
    const int widths[11] = {90, 50, 170, 120, 60, 70, 70, 70, 70, 120, 120};
    for (int c = 0; c < 11; ++c) SG->setColumnWidth(c, widths[c]);
    SG->horizontalHeader()->setStretchLastSection(true);
    root->addWidget(SG, 1, 0, 1, 2);
    root->setColumnStretch(0, 1);
    root->setRowStretch(0, 1);
    clearGrid();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(20);

    GLPanel1->installEventFilter(this);
    if (QWidget* s = GLPanel1->surface()) s->installEventFilter(this);

    connect(BBNewSelfHelp, &QPushButton::clicked, this, &TForm9::BBNewSelfHelpClick);
    connect(CBBVehicles, &QComboBox::activated, this, &TForm9::CBBVehiclesChange);
    connect(BBAddGoods, &QPushButton::clicked, this, &TForm9::BBAddGoodsClick);
    connect(BBSave, &QPushButton::clicked, this, &TForm9::BBSaveClick);
    connect(CBOrderForm, &TDropDownCombo::dropDown, this, &TForm9::CBOrderFormDropDown);
    connect(CBOrderForm, &QComboBox::activated, this, &TForm9::CBOrderFormChange);
    connect(BBDelete, &QPushButton::clicked, this, &TForm9::BBDeleteClick);
    connect(SG, &QTableWidget::cellClicked, this, [this](int row, int) { SGSelectCell(row); });
    connect(SG, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) { SGSelectCell(row); });
    connect(tb, &QSlider::valueChanged, this, &TForm9::tbChange);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm9::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TForm9::BitBtn6Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm9::BitBtn1Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm9::BitBtn4Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm9::BitBtn2Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm9::SpeedButton2Click);
    connect(BitBtn7, &QPushButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &TForm9::Timer1Timer);
}

// Right: new loading, saved loadings, view buttons, legend.
QWidget* TForm9::buildSidePanel() {
    auto* right = new QVBoxLayout;
    auto* newBox = named(new QGroupBox(QStringLiteral("新增自助"), this), "GroupBox1");
    auto* ng = new QGridLayout(newBox);
    BBNewSelfHelp = button(newBox, "BBNewSelfHelp", QStringLiteral("新增自助"));
    CBBVehicles = named(new QComboBox(newBox), "CBBVehicles");
    BBAddGoods = button(newBox, "BBAddGoods", QStringLiteral("添加货物...."));
    EditNo = named(new QLineEdit(newBox), "EditNo");
    EditNo->setMaxLength(tms::kTextFieldSize);
    BBSave = button(newBox, "BBSave", QStringLiteral("保存"));
    ng->addWidget(BBNewSelfHelp, 0, 0, 1, 2);
    captionedField(ng, 1, 0, QStringLiteral("选择箱柜："), CBBVehicles);
    ng->addWidget(BBAddGoods, 2, 0, 1, 2);
    captionedField(ng, 3, 0, QStringLiteral("装箱名称："), EditNo);
    ng->addWidget(BBSave, 4, 0, 1, 2);
    ng->setColumnStretch(1, 1);
    right->addWidget(newBox);

    auto* savedBox = named(new QGroupBox(this), "GroupBox2");
    auto* sg = new QGridLayout(savedBox);
    CBOrderForm = named(new TDropDownCombo(savedBox), "CBOrderForm");
    BBDelete = button(savedBox, "BBDelete", QStringLiteral("删除"));
    captionedField(sg, 0, 0, QStringLiteral("已存装箱："), CBOrderForm);
    sg->addWidget(BBDelete, 1, 0, 1, 2);
    sg->setColumnStretch(1, 1);
    right->addWidget(savedBox);

    auto* viewBox = named(new QGroupBox(this), "GroupBox3");
    auto* vg = new QGridLayout(viewBox);
    BitBtn2 = button(viewBox, "BitBtn2", QString());
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    BitBtn5 = button(viewBox, "BitBtn5", QStringLiteral("分堆"));
    BitBtn6 = button(viewBox, "BitBtn6", QStringLiteral("全部"));
    BitBtn1 = button(viewBox, "BitBtn1", tms::kSpinCaption);
    BitBtn4 = button(viewBox, "BitBtn4", QStringLiteral("居中"));
    SpeedButton2 = button(viewBox, "SpeedButton2", QStringLiteral("打印装配图"));
    BitBtn7 = button(viewBox, "BitBtn7", QStringLiteral("退出"));
    // A glyph button of the view bar: its caption is its hint.
    for (QPushButton* b : {BitBtn5, BitBtn6, BitBtn1, BitBtn4, SpeedButton2, BitBtn7}) b->setToolTip(b->text());
    vg->addWidget(BitBtn2, 0, 0);
    vg->addWidget(BitBtn5, 0, 1);
    vg->addWidget(BitBtn6, 0, 2);
    vg->addWidget(BitBtn1, 0, 3);
    vg->addWidget(BitBtn4, 1, 0);
    vg->addWidget(SpeedButton2, 1, 1, 1, 2);
    vg->addWidget(BitBtn7, 1, 3);
    right->addWidget(viewBox);

    right->addWidget(tms::ui::shadingLegend(this, "Panel3"));
    right->addStretch(1);
    auto* rightHost = new QWidget(this);
    rightHost->setLayout(right);
    rightHost->setFixedWidth(340);
    return rightHost;
}

// ---------------------------------------------------------------- lifecycle

bool TForm9::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == GLPanel1 || (GLPanel1->surface() && watched == GLPanel1->surface())))
        GLPanel1Click();
    return QWidget::eventFilter(watched, event);
}

void TForm9::FormShow() {
    camera_.spinAngle = 0;
    tms::setSpinning(*BitBtn1, *Timer1, spinning_, false);
    clearGrid();
    enableNewLoading(false);
    LoadVehicles();
    CBBVehicles->setCurrentIndex(0);
    {
        const QSignalBlocker block(CBOrderForm);
        CBOrderForm->clear();
        CBOrderForm->addItem(kChoose);
        CBOrderForm->setCurrentIndex(0);
    }
    RE->clear();
    EditNo->clear();
    const QSignalBlocker block(tb);
    tb->setMaximum(0);
    if (GLPanel1->surface()) GLPanel1->surface()->installEventFilter(this);
    redraw();
}

// The controls of a loading being built: its container, the add-goods
// button, its name and the save button are usable together or not at all.
void TForm9::enableNewLoading(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{CBBVehicles, BBAddGoods, EditNo, BBSave}) w->setEnabled(on);
}

void TForm9::FormClose() {
    Timer1->stop();
    spinning_ = false;
    FreeSource();
    syncDrawing();
}

void TForm9::LoadVehicles() {
    CBBVehicles->clear();
    CBBVehicles->addItem(kChoose);
    std::vector<std::string> numbers;
    if (!tms::ui::reportErrors([&] { numbers = store_.vehicleNumbers(); })) return;
    for (const std::string& n : numbers) CBBVehicles->addItem(qs(n));
}

void TForm9::FreeSource() {
    // An add-goods dialog still open would add to what is dropped here.
    if (Form11 && Form11->isVisible()) Form11->close();
    loading_.reset();
    scene_ = tms::TPlanScene{};
}

// ---------------------------------------------------------------- new loading, container

void TForm9::BBNewSelfHelpClick() {
    {
        const QSignalBlocker block(CBOrderForm);
        if (CBOrderForm->count() == 0) CBOrderForm->addItem(kChoose);
        CBOrderForm->setCurrentIndex(0);
    }
    clearGrid();
    enableNewLoading(true);
    {
        const QSignalBlocker block(tb);
        tb->setMaximum(0);
        tb->setValue(0);
    }
    CBBVehicles->setCurrentIndex(0);
    EditNo->clear();
    RE->clear();
    FreeSource();
    syncDrawing();
}

void TForm9::CBBVehiclesChange(int index) {
    if (index <= 0) return;
    curVehicleNo = CBBVehicles->itemText(index);
    getVehicleInfo();
}

void TForm9::getVehicleInfo() {
    std::optional<tms::TVehicleSize> size;
    const bool read = tms::ui::reportErrors([&] { size = store_.vehicleSize(curVehicleNo.toStdString()); });
    if (read && !size) tms::ui::showMessage(QString::fromUtf8(tms::kVehicleMissing));
    if (!read || !size) {
        // No container is set up: adding goods asks for one.
        loading_.reset();
    } else {
        loading_.setContainer(curVehicleNo.toStdString(), size->L, size->W, size->H);
    }
    syncDrawing();
}

void TForm9::BBAddGoodsClick() {
    if (CBBVehicles->currentIndex() <= 0 || !loading_.hasContainer() || loading_.viewOnly()) {
        tms::ui::showMessage(QStringLiteral("请先选择一个箱柜"));
        return;
    }
    CBBVehicles->setEnabled(false);
    if (!Form11) return;
    Form11->show();
    Form11->raise();
    Form11->activateWindow();
}

void TForm9::batchAdded(const tms::TBatchResult& r) {
    if (r.placed <= 0 || loading_.batches().empty()) return;
    appendGridRow(loading_.batches().back());
    CBBVehicles->setEnabled(false);
    setSummary(r.summary);
    syncDrawing();
}

void TForm9::piecesChanged() {
    const QSignalBlocker block(tb);
    tb->setMaximum(static_cast<int>(loading_.pieceArr().size()));
}

// ---------------------------------------------------------------- grid and summary

void TForm9::clearGrid() {
    const QSignalBlocker block(SG);
    SG->clearContents();
    SG->setRowCount(1);
    const auto& titles = tms::gridTitles();
    for (int c = 0; c < 11; ++c) {
        auto* item = new QTableWidgetItem(QString::fromUtf8(titles[c]));
        item->setBackground(palette().color(QPalette::Button));
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
        SG->setItem(0, c, item);
    }
}

void TForm9::appendGridRow(const tms::SelfBatch& b) {
    const QSignalBlocker block(SG);
    const int r = SG->rowCount();
    SG->setRowCount(r + 1);
    const auto texts = tms::gridTexts(b);
    for (int c = 0; c < 11; ++c) SG->setItem(r, c, new QTableWidgetItem(qs(texts[c])));
    // The colour cell stands on the batch colour, its text kept readable.
    const QColor colour = tms::colourOfText(qs(b.colorText));
    if (colour.isValid()) {
        QTableWidgetItem* cell = SG->item(r, 0);
        cell->setBackground(colour);
        cell->setForeground(tms::readableTextOn(colour));
    }
}

void TForm9::setSummary(const std::string& text) { RE->setPlainText(qs(text)); }

QString TForm9::GetZXL() const { return qs(loading_.GetZXL()); }

int TForm9::GetAllGoodsNum() const { return loading_.GetAllGoodsNum(); }

// ---------------------------------------------------------------- drawing

void TForm9::syncDrawing() {
    // The sizes as the drawing keeps them, in float.
    scene_ = loading_.hasContainer() ? tms::containerScene(static_cast<float>(loading_.containerL()),
                                                           static_cast<float>(loading_.containerH()),
                                                           static_cast<float>(loading_.containerW()))
                                     : tms::TPlanScene{};
    const auto& pieces = loading_.pieceArr();
    const std::size_t n = pieces.size();
    drawArr_ = tms::TArr{};
    tms::sizeArr(drawArr_, n);
    for (std::size_t i = 0; i < n; ++i) {
        const tms::TgoodsinfoSelf& p = pieces[i];
        drawArr_.seqArr[i] = static_cast<int>(i) + 1;
        drawArr_.idArr[i] = std::to_string(p.ListId);
        drawArr_.goodsNoArr[i] = p.GoodsNo;
        tms::color& c = drawArr_.colorArr[i];
        c.red = p.red;
        c.green = p.green;
        c.blue = p.blue;
        c.alpha = p.alpha;
        c.shown = p.shown;
        c.pileKey = std::to_string(p.batch);
        drawArr_.placeArr[i] = p.placeText;
        drawArr_.floorArr[i] = std::to_string(p.batch);
        drawArr_.vertArr[i] = p.verts;
    }
    drawCount_ = static_cast<int>(n);
    redraw();
}

void TForm9::syncShown() {
    const auto& pieces = loading_.pieceArr();
    if (pieces.size() != drawArr_.colorArr.size()) {
        syncDrawing();
        return;
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        drawArr_.colorArr[i].alpha = pieces[i].alpha;
        drawArr_.colorArr[i].shown = pieces[i].shown;
    }
    redraw();
}

void TForm9::redraw() { GLPanel1->Invalidate(); }

// ---------------------------------------------------------------- showing pieces

void TForm9::SGSelectCell(int row) {
    if (row < 1 || row >= SG->rowCount()) return;
    const QTableWidgetItem* cell = SG->item(row, 1);
    if (!cell) return;
    bool ok = false;
    const int batch = cell->text().toInt(&ok);
    if (!ok) return;
    loading_.showBatch(batch);
    syncShown();
}

void TForm9::tbChange(int position) {
    loading_.showUpTo(position);
    syncShown();
}

int& TForm9::heapStep() { return Form8 ? Form8->heapStep : ownHeapStep_; }

void TForm9::BitBtn5Click() {
    const int nb = static_cast<int>(loading_.batches().size());
    if (nb < 2) return;
    int& step = heapStep();
    step = loading_.stepBatches(step);
    if (Form1) Form1->plan.showFloors = loading_.batchKeys(step);
    setSummary(loading_.stepSummary(step));
    syncShown();
}

void TForm9::BitBtn6Click() {
    if (loading_.pieceArr().empty()) return;
    Timer1->stop();
    loading_.showAll();
    heapStep() = 0;
    setSummary(loading_.loadingSummary());
    syncShown();
}

// ---------------------------------------------------------------- view

bool TForm9::comboShowsText() const { return !CBOrderForm->currentText().trimmed().isEmpty(); }

void TForm9::BitBtn1Click() {
    if (!comboShowsText()) return;
    tms::toggleSpinning(*BitBtn1, *Timer1, spinning_);
}

void TForm9::BitBtn4Click() {
    if (!comboShowsText()) return;
    camera_.spinAngle = 0;
    camera_.baseAngle = -135;
    redraw();
    Timer1->stop();
}

void TForm9::BitBtn2Click() {
    camera_.baseAngle = camera_.baseAngle != -135 ? -135 : -45;
    redraw();
}

void TForm9::GLPanel1Click() { tms::setSpinning(*BitBtn1, *Timer1, spinning_, false); }

void TForm9::SpeedButton2Click() {
    if (!comboShowsText()) return;
    PrintGLPanel(GLPanel1, RE);
}

void TForm9::Timer1Timer() {
    if (spinning_) tms::advanceSpin(camera_);
    redraw();
}

// ---------------------------------------------------------------- saved loadings

void TForm9::BBSaveClick() {
    tms::TSelfSaveResult r;
    if (!tms::ui::reportErrors([&] { r = store_.save(EditNo->text().toStdString(), loading_); })) return;
    if (!r.ok) {
        // The checks speak in their own words; anything else is the
        // database's error, and nothing was written.
        if (r.refused != tms::TSelfSaveCheck::none)
            tms::ui::showMessage(qs(r.message));
        else
            tms::ui::showError(qs(r.message));
        // A name that is missing or taken is typed again right there.
        if (EditNo->isEnabled() &&
            (r.refused == tms::TSelfSaveCheck::noName || r.refused == tms::TSelfSaveCheck::nameTaken)) {
            EditNo->setFocus();
            EditNo->selectAll();
        }
        return;
    }
    enableNewLoading(false);
    // The saved loading is finished: an add-goods dialog still open would
    // add batches that are shown but can never be saved.
    if (Form11 && Form11->isVisible()) Form11->close();
    tms::ui::showMessage(qs(r.message));
}

void TForm9::CBOrderFormDropDown() {
    std::vector<std::string> names;
    if (!tms::ui::reportErrors([&] { names = store_.list(); })) return;
    const QSignalBlocker block(CBOrderForm);
    CBOrderForm->clear();
    CBOrderForm->addItem(kChoose);
    for (const std::string& n : names) CBOrderForm->addItem(qs(n));
    CBOrderForm->setCurrentIndex(-1);
}

void TForm9::resetView() {
    loading_.reset();
    clearGrid();
    RE->clear();
    {
        const QSignalBlocker block(tb);
        tb->setMaximum(0);
        tb->setValue(0);
    }
    EditNo->clear();
    CBBVehicles->setCurrentIndex(0);
    enableNewLoading(false);
    syncDrawing();
}

void TForm9::CBOrderFormChange(int index) {
    if (index <= 0) return;
    {
        const QSignalBlocker block(tb);
        tb->setValue(0);
    }
    FreeSource();
    const std::string name = CBOrderForm->itemText(index).toStdString();
    tms::TSelfLoadResult r;
    r.status = tms::TSelfLoadStatus::failed;
    tms::ui::reportErrors([&] { r = store_.load(name, loading_); });
    if (!r.vehicleNo.empty()) curVehicleNo = qs(r.vehicleNo);
    if (r.status == tms::TSelfLoadStatus::failed && !r.message.empty())
        tms::ui::showError(qs(r.message));
    else if (!r.message.empty())
        tms::ui::showMessage(qs(r.message));
    if (r.status != tms::TSelfLoadStatus::ok) {
        // Nothing of the loading can be shown: nothing of before stays either.
        resetView();
        return;
    }
    clearGrid();
    for (const tms::SelfBatch& b : loading_.batches()) appendGridRow(b);
    piecesChanged();
    setSummary(loading_.loadingSummary());
    for (QWidget* w : {static_cast<QWidget*>(BBAddGoods), static_cast<QWidget*>(BBSave), static_cast<QWidget*>(EditNo)})
        w->setEnabled(false);
    EditNo->clear();
    CBBVehicles->setCurrentIndex(0);
    CBBVehicles->setEnabled(false);
    syncDrawing();
}

void TForm9::BBDeleteClick() {
    const std::string check =
        tms::TSelfStore::deleteCheck(CBOrderForm->currentText().toStdString(), CBOrderForm->currentIndex() == 0);
    if (!check.empty()) {
        tms::ui::showMessage(qs(check));
        return;
    }
    if (!tms::ui::confirm(QStringLiteral("确认信息"), QStringLiteral("确实要删除该装箱吗?"))) return;
    tms::TSelfDeleteResult r;
    if (!tms::ui::reportErrors([&] { r = store_.remove(CBOrderForm->currentText().toStdString()); })) return;
    if (!r.ok) {
        tms::ui::showError(qs(r.message));
        return;
    }
    {
        const QSignalBlocker block(CBOrderForm);
        CBOrderForm->setCurrentIndex(0);
    }
    FreeSource();
    RE->clear();
    {
        const QSignalBlocker block(tb);
        tb->setValue(0);
    }
    syncDrawing();
}
