#include "view/Unit8.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "data/Unit7.h"
#include "engine/Holdwisep.h"
#include "engine/PlanRows.h"
#include "platform/AdoDb.h"
#include "platform/DbWidgets.h"
#include "platform/Dialogs.h"
#include "platform/ProgressFeed.h"
#include "platform/TextConvert.h"
#include "platform/WindowKit.h"
#include "shell/Unit4.h"
#include "view/GLPanel.h"
#include "view/LoadingReport.h"
#include "view/PlanLoad.h"
#include "view/PrintGLPanel.h"
#include "view/SpinButton.h"
#include "view/Unit3.h"

using tms::qs;
using tms::ss;
using tms::ui::button;
using tms::ui::named;

namespace {

const QString kSwatchField = QStringLiteral("swatch");  // no such column: the cell shows no text

// The swatch column keeps the goods colour on selected rows too (the
// selection would paint over a plain background).
class TSwatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant c = index.data(Qt::BackgroundRole);
        if (c.canConvert<QColor>() && c.value<QColor>().isValid())
            painter->fillRect(option.rect.adjusted(1, 1, -1, -1), c.value<QColor>());
    }
};

}  // namespace

// ------------------------------------------------------------ controls

void TOrderCombo::showPopup() {
    if (OnDropDown) OnDropDown();
    QComboBox::showPopup();
}

void TOrderCombo::keyPressEvent(QKeyEvent* e) {
    // The closed list would search its items for the typed text and pick
    // the first match.
    const QString text = e->text();
    if (e->key() != Qt::Key_Space && !text.isEmpty() && text.at(0).isPrint()) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

// ------------------------------------------------------------ window

TForm8::TForm8(TADOConnection* connection, QWidget* parent) : QWidget(parent) {
    if (!connection && Form4) connection = &Form4->ADOConnection1;
    conn_ = connection;
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("装配图"));
    ADOQuery2 = new TADOQuery(conn_, this);
    ADOQuery2->setObjectName(QStringLiteral("ADOQuery2"));

    QHBoxLayout* top = buildTopBar();

    // The drawing with the summary text right under it (printed together).
    GLPanel1 = new TGLPanel(this);
    GLPanel1->setObjectName(QStringLiteral("GLPanel1"));
    GLPanel1->setMinimumSize(400, 300);
    RE = new QPlainTextEdit(this);
    RE->setObjectName(QStringLiteral("RE"));
    {
        QFont f = RE->font();
        f.setPixelSize(16);
        RE->setFont(f);
        // Room for the six pile-step lines without a scroll bar.
        RE->setFixedHeight(QFontMetrics(f).lineSpacing() * 8 + 2 * RE->frameWidth());
    }
    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    left->addWidget(GLPanel1, 1);
    left->addWidget(RE);

    QWidget* sideBox = buildSide();

    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addWidget(sideBox);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(6, 6, 6, 6);
    lay->addLayout(top);
    lay->addLayout(body, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(20);

    GLPanel1->OnPaint = [this](TGLPanel*) {
        const tms::TPlanShow& p = plan();
        renderer_.draw(p.planArr, p.planCount, scene_, camera_);
    };
    GLPanel1->OnResize = [](TGLPanel*) {};  // the panel set the viewport
    GLPanel1->installEventFilter(this);
    if (GLPanel1->surface()) GLPanel1->surface()->installEventFilter(this);
    qApp->installEventFilter(this);  // the keypad pans wherever the focus is

    ComboBox1->OnDropDown = [this] { ComboBox1DropDown(); };
    connect(ComboBox1, &QComboBox::activated, this, [this](int) { ComboBox1Change(); });
    UpDown1->OnChanging = [this](int v) { return UpDown1Changing(v); };
    connect(tb, &QSlider::valueChanged, this, [this](int) { tbChange(); });
    connect(BitBtn5, &QPushButton::clicked, this, &TForm8::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TForm8::BitBtn6Click);
    connect(DBGrid1, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { DBGrid1CellClick(i.row()); });
    connect(BitBtn1, &QPushButton::clicked, this, &TForm8::BitBtn1Click);
    connect(Timer1, &QTimer::timeout, this, &TForm8::Timer1Timer);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm8::BitBtn4Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm8::BitBtn2Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm8::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TForm8::SpeedButton3Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm8::SpeedButton1Click);
    connect(BitBtn7, &QPushButton::clicked, this, &QWidget::close);
    connect(CheckBox3, &QCheckBox::clicked, this, &TForm8::CheckBox3Click);

    openOrderWindow = [](const QString& orderNo) {
        if (Form7) Form7->openForOrder(orderNo);
    };

    // The window takes the screen.
    tms::ui::fitFrameToScreen(this);
    camera_.baseAngle = -135;
}

// Top bar: order, container, printing, report, order management, exit.
QHBoxLayout* TForm8::buildTopBar() {
    auto* top = new QHBoxLayout;
    ComboBox1 = named(new TOrderCombo(this), "ComboBox1");
    ComboBox1->setEditable(false);
    ComboBox1->setMinimumContentsLength(40);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    tms::ui::captionedField(top, QStringLiteral("订单："), ComboBox1);
    top->addSpacing(16);
    Edit1 = named(new QLineEdit(QStringLiteral("1"), this), "Edit1");
    Edit1->setReadOnly(true);
    Edit1->setFixedWidth(48);
    Edit1->setAlignment(Qt::AlignRight);
    tms::ui::captionedField(top, QStringLiteral("货柜："), Edit1);
    UpDown1 = new TUpDown(QStringLiteral("UpDown1"), Qt::Horizontal, this);
    UpDown1->Associate = Edit1;
    UpDown1->Min = 1;
    UpDown1->Max = 1;
    Label3 = named(new QLabel(this), "Label3");
    Label3->setMinimumWidth(80);
    ProgressBar1 = named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedWidth(160);
    SpeedButton2 = button(this, "SpeedButton2", QStringLiteral("打印装配图"));
    SpeedButton3 = button(this, "SpeedButton3", QStringLiteral("装配清单"));
    SpeedButton1 = button(this, "SpeedButton1", QStringLiteral("工作单"));
    BitBtn7 = button(this, "BitBtn7", QStringLiteral("退出"));

    top->addWidget(UpDown1);
    top->addWidget(Label3);
    top->addStretch(1);
    top->addWidget(ProgressBar1);
    top->addSpacing(8);
    top->addWidget(SpeedButton2);
    top->addWidget(SpeedButton3);
    top->addWidget(SpeedButton1);
    top->addWidget(BitBtn7);
    return top;
}

// Side: legend, view and step controls, the pile grid.
QWidget* TForm8::buildSide() {
    QFrame* legend = tms::ui::shadingLegend(this, "Legend");

    BitBtn2 = button(this, "BitBtn2", QString());
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    BitBtn5 = button(this, "BitBtn5", QStringLiteral("分堆"));
    BitBtn6 = button(this, "BitBtn6", QStringLiteral("全部"));
    BitBtn1 = button(this, "BitBtn1", tms::kSpinCaption);
    BitBtn1->setToolTip(tms::kSpinCaption);
    BitBtn4 = button(this, "BitBtn4", QStringLiteral("居中"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn5);
    buttons->addWidget(BitBtn6);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn4);

    tb = named(new QSlider(Qt::Horizontal, this), "tb");
    tb->setPageStep(1);
    tb->setTickPosition(QSlider::NoTicks);
    tb->setRange(0, 0);

    CheckBox3 = named(new QCheckBox(QStringLiteral("合并同种货物"), this), "CheckBox3");
    CheckBox3->setChecked(true);
    CheckBox3->setVisible(false);

    DBGrid1 = named(new TDBGrid(this), "DBGrid1");
    DBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGrid1->setQuery(ADOQuery2);
    DBGrid1->setColumns({{kSwatchField, QString(), 50},
                         {QStringLiteral("GID"), QStringLiteral("编号"), 90},
                         {QStringLiteral("GOODSNAME"), QStringLiteral("名称"), 110},
                         {QStringLiteral("GOODSCOUNT"), QStringLiteral("数量"), 50},
                         {QStringLiteral("GOODSBFFS"), QStringLiteral("摆放方式"), 100}});
    DBGrid1->gridModel()->cellBackground = [this](int row, const QString& field) { return swatch(row, field); };
    DBGrid1->setItemDelegateForColumn(0, new TSwatchDelegate(DBGrid1));
    DBGrid1->horizontalHeader()->setStretchLastSection(true);

    auto* side = new QVBoxLayout;
    side->addWidget(legend);
    side->addLayout(buttons);
    side->addWidget(tb);
    side->addWidget(DBGrid1, 1);
    auto* sideBox = new QWidget(this);
    sideBox->setLayout(side);
    side->setContentsMargins(0, 0, 0, 0);
    sideBox->setFixedWidth(440);
    return sideBox;
}

TForm8::~TForm8() { qApp->removeEventFilter(this); }

tms::TPlanShow& TForm8::plan() { return Form1 ? Form1->plan : ownPlan_; }

QString TForm8::currentOrder() const {
    const int i = ComboBox1->currentIndex();
    if (i < 0) return QString();
    const QVariant data = ComboBox1->itemData(i);
    // The number is kept beside the text: a number with a space, or one that
    // fills the padded column, cannot be read back from the text.
    if (data.isValid()) return data.toString();
    return qs(tms::delSpace(ss(ComboBox1->currentText())));
}

void TForm8::setLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& l : lines) out << qs(l);
    RE->setPlainText(out.join(QLatin1Char('\n')));
}

void TForm8::writeSummary(const std::string& order, int v) {
    zx_ = tms::getZXInfo(conn(), order, v, zx_);
    setLines(tms::summaryLines(zx_));
}

void TForm8::repaintPanel() { GLPanel1->Invalidate(); }

void TForm8::stopSpin() { Timer1->stop(); }

bool TForm8::loadContainer(const std::string& order, int v, bool newOrder) {
    stopSpin();
    {
        const QSignalBlocker block(tb);
        tb->setValue(0);
    }
    try {
        tms::TCountOptions opt;
        opt.byPile = CheckBox3->isChecked();
        opt.grid = ADOQuery2;
        opt.progress = tms::ui::progressFeed(ProgressBar1);
        tms::countXYZ(conn(), order, v, plan(), scene_, opt);
        writeSummary(order, v);
        if (newOrder) {
            const int last = tms::storedContainerCount(conn(), order);
            UpDown1->Max = last;
            Label3->setText(QStringLiteral("共 %1 箱").arg(last));
        }
        // The slider (already at 0) counts the drawn pieces only: rows whose
        // goods left the catalogue are not drawn and get no step.
        {
            const QSignalBlocker block(tb);
            tb->setMaximum(plan().planCount);
        }
        renderer_.invalidate();
        repaintPanel();
        // The per-pile grid just opened holds the piles already.
        piles_ = opt.byPile && ADOQuery2->Active() ? tms::pilesOfGrid(*ADOQuery2) : tms::loadPiles(conn(), order, v);
        heapStep = 0;
        ProgressBar1->setValue(0);
        return true;
    } catch (const std::exception& e) {
        ProgressBar1->setValue(0);
        tms::ui::showError(QString::fromStdString(e.what()));
        return false;
    }
}

void TForm8::showPlanOf(const QString& orderNo) {
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItem(orderNo, orderNo);
        ComboBox1->setCurrentIndex(0);
    }
    UpDown1->setPosition(1);
    loadContainer(ss(orderNo), 1, true);
}

void TForm8::ComboBox1Change() {
    const QString order = currentOrder();
    UpDown1->setPosition(1);
    if (order.trimmed().isEmpty()) return;
    loadContainer(ss(order), 1, true);
}

void TForm8::ComboBox1DropDown() {
    std::vector<tms::TOrderItem> items;
    try {
        items = tms::listOrders(conn());
    } catch (const std::exception&) {
        return;  // the list stays as it was
    }
    if (items.empty()) return;
    const QString current = currentOrder();
    const QSignalBlocker block(ComboBox1);
    ComboBox1->clear();
    int keep = -1;
    for (const tms::TOrderItem& it : items) {
        const QString no = qs(it.no);
        if (no == current && keep < 0) keep = ComboBox1->count();
        ComboBox1->addItem(qs(tms::orderItemText(it)), no);
    }
    ComboBox1->setCurrentIndex(keep);
}

bool TForm8::UpDown1Changing(int v) {
    const QString order = currentOrder();
    if (v < UpDown1->Min || v > UpDown1->Max || order.trimmed().isEmpty()) return false;
    return loadContainer(ss(order), v, false);
}

void TForm8::tbChange() {
    tms::showUpTo(plan(), tb->value());
    repaintPanel();
}

void TForm8::BitBtn5Click() {
    const std::vector<std::string> lines = tms::pileStep(piles_, heapStep, plan());
    if (lines.empty()) return;
    setLines(lines);
    repaintPanel();
}

void TForm8::BitBtn6Click() {
    const QString order = currentOrder();
    if (order.trimmed().isEmpty()) return;
    stopSpin();
    tms::showAll(plan());
    heapStep = 0;
    repaintPanel();
    tms::ui::reportErrors([&] { writeSummary(ss(order), UpDown1->Position()); });
}

void TForm8::DBGrid1CellClick(int row) {
    if (!ADOQuery2->Active() || ADOQuery2->IsEmpty() || row < 0 || row >= ADOQuery2->RecordCount()) return;
    const bool byPile = CheckBox3->isChecked();
    const int col = ADOQuery2->fieldIndex(byPile ? QStringLiteral("GoodsFloor") : QStringLiteral("gid"));
    if (col < 0) return;
    const std::string key = ss(TADOQuery::displayText(ADOQuery2->cell(row, col)));
    std::vector<std::string> keys;
    if (DBGrid1->selectionModel()->selectedRows().size() > 1) {
        keys = plan().showFloors;
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    } else {
        keys = {key};
    }
    if (byPile)
        tms::showFloors(plan(), keys);
    else
        tms::showPieces(plan(), keys);
    repaintPanel();
}

QVariant TForm8::swatch(int row, const QString& field) const {
    if (field != kSwatchField || !ADOQuery2->Active()) return {};
    if (CheckBox3->isChecked()) {
        const int c = ADOQuery2->fieldIndex(QStringLiteral("color"));
        if (c < 0) return {};
        int rgb[3];
        if (!tms::swatchColor(ss(TADOQuery::displayText(ADOQuery2->cell(row, c))), rgb)) return {};
        return QColor(rgb[0], rgb[1], rgb[2]);
    }
    const int c = ADOQuery2->fieldIndex(QStringLiteral("gid"));
    if (c < 0) return {};
    const std::string id = ss(TADOQuery::displayText(ADOQuery2->cell(row, c)));
    const tms::TPlanShow& p = const_cast<TForm8*>(this)->plan();
    for (std::size_t i = 0; i < p.planArr.idArr.size() && i < p.planArr.colorArr.size(); ++i) {
        if (p.planArr.idArr[i] != id) continue;
        const tms::color& k = p.planArr.colorArr[i];
        auto byte = [](float f) { return std::clamp(static_cast<int>(255 * f), 0, 255); };
        return QColor(byte(k.red), byte(k.green), byte(k.blue));
    }
    return {};
}

void TForm8::BitBtn1Click() {
    if (currentOrder().trimmed().isEmpty()) return;
    tms::toggleSpinning(*BitBtn1, *Timer1, spinning_);
}

void TForm8::Timer1Timer() {
    if (spinning_) tms::advanceSpin(camera_);
    repaintPanel();
}

void TForm8::BitBtn4Click() {
    if (currentOrder().trimmed().isEmpty()) return;
    camera_.spinAngle = 0;
    camera_.panX = 0;
    camera_.panY = 0;
    camera_.baseAngle = -135;
    repaintPanel();
    Timer1->stop();
}

void TForm8::BitBtn2Click() {
    camera_.baseAngle = camera_.baseAngle == -135 ? -45 : -135;
    repaintPanel();
}

void TForm8::SpeedButton2Click() {
    if (currentOrder().trimmed().isEmpty()) return;
    PrintGLPanel(GLPanel1, RE);
}

void TForm8::SpeedButton3Click() {
    const QString order = currentOrder();
    if (order.trimmed().isEmpty() || !Form3) return;
    tms::ui::reportErrors([&] { Form3->showReport(tms::loadingReport(conn(), ss(order))); });
}

void TForm8::SpeedButton1Click() {
    const QString order = currentOrder();
    if (order.trimmed().isEmpty()) {
        tms::ui::showMessage(QStringLiteral("请选择一个工作单"));
        return;
    }
    if (openOrderWindow) openOrderWindow(order);
}

void TForm8::CheckBox3Click() {
    const QString order = currentOrder();
    if (order.trimmed().isEmpty()) return;
    tms::ui::reportErrors([&] {
        tms::TCountOptions opt;
        opt.byPile = CheckBox3->isChecked();
        opt.grid = ADOQuery2;
        tms::countXYZ(conn(), ss(order), UpDown1->Position(), plan(), scene_, opt);
    });
    repaintPanel();
}

void TForm8::showEvent(QShowEvent* e) {
    camera_.panX = camera_.panY = 0;
    camera_.spinAngle = 0;
    tms::setSpinning(*BitBtn1, *Timer1, spinning_, false);
    QWidget::showEvent(e);
}

void TForm8::closeEvent(QCloseEvent* e) {
    Timer1->stop();
    QWidget::closeEvent(e);
}

// A key the focus widget ignores travels on to its parents, and the
// application's filters see it again at each: pan once, at the first.
bool TForm8::isFirstReceiver(QObject* watched) const {
    QWidget* focus = QApplication::focusWidget();
    return watched == (focus && focus->window() == this ? focus : static_cast<const QObject*>(this));
}

bool TForm8::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress &&
        (watched == GLPanel1 || (GLPanel1->surface() && watched == GLPanel1->surface()))) {
        tms::setSpinning(*BitBtn1, *Timer1, spinning_, false);
    } else if (e->type() == QEvent::KeyRelease && watched->isWidgetType() &&
               static_cast<QWidget*>(watched)->window() == this && isFirstReceiver(watched)) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!k->isAutoRepeat() && (k->modifiers() & Qt::KeypadModifier)) {
            bool moved = true;
            switch (k->key()) {
            case Qt::Key_6: camera_.panX += 0.1f; break;
            case Qt::Key_4: camera_.panX -= 0.1f; break;
            case Qt::Key_8: camera_.panY += 0.1f; break;
            case Qt::Key_2: camera_.panY -= 0.1f; break;
            default: moved = false;
            }
            if (moved) repaintPanel();
        }
    }
    return QWidget::eventFilter(watched, e);
}
