#include "Catalogue.h"

#include <QColor>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <QRegularExpression>
#include <QStyledItemDelegate>

#include "Codes.h"
#include "DbWidgets.h"

namespace tms {

namespace {

// Table and column names go into the text as they are, so only plain names
// are taken.
void requireName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!re.match(name).hasMatch()) throw EDatabaseError(QStringLiteral("'%1' is not a valid name").arg(name));
}

// Keeps a coloured cell in its colour when its row is the selected one.
class ColourCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        if (index.data(Qt::BackgroundRole).isValid()) o.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, o, index);
    }
};

}  // namespace

bool hasPendingEdit(const TADOQuery* query) {
    if (!query) return false;
    const TDataSetState s = query->State();
    return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert;
}

bool fastfind(TADOQuery* Query, const QString& Table, const QString& Field, const QString& Value) {
    if (hasPendingEdit(Query)) return false;
    requireName(Table);
    Query->Close();
    Query->SQLClear();
    if (Field == QLatin1String("*")) {
        Query->SQLAdd(QStringLiteral("select * from ") + Table);
    } else {
        requireName(Field);
        Query->SQLAdd(QStringLiteral("select * from ") + Table + QStringLiteral(" where ") + Field +
                      QStringLiteral(" like ?"));
        Query->bind(1, QStringLiteral("%") + Value + QStringLiteral("%"));
    }
    Query->Open();
    return true;
}

bool reopenQuery(TADOQuery* query, const QString& sql) {
    if (hasPendingEdit(query)) return false;
    query->Close();
    query->setSQL(sql);
    query->Open();
    return true;
}

bool anyRow(TADOQuery* scratch, const QString& sql, const QVariantList& params) {
    scratch->Close();
    scratch->setSQL(sql);
    scratch->setParams(params);
    scratch->Open();
    const bool any = !scratch->IsEmpty();
    scratch->Close();
    return any;
}

QColor colourOfText(const QString& text) {
    const auto rgb = parseColorText(text.trimmed().toStdString());
    if (!rgb) return {};
    int r, g, b;
    TColor2RGB(RGB2TColor(rgb->r, rgb->g, rgb->b), r, g, b);
    return QColor(r, g, b);
}

void paintGoodsColours(TDBGrid* grid) {
    TDBGridModel* model = grid->gridModel();
    model->cellBackground = [model](int row, const QString& field) -> QVariant {
        if (field.compare(QLatin1String("COLOR"), Qt::CaseInsensitive) != 0 || !model->query()) return {};
        const TADOQuery* q = model->query();
        const int c = q->fieldIndex(field);
        if (c < 0) return {};
        const QColor colour = colourOfText(TADOQuery::displayText(q->cell(row, c)));
        return colour.isValid() ? QVariant(colour) : QVariant();
    };
    for (int i = 0; i < model->columns().size(); ++i)
        if (model->fieldAt(i).compare(QLatin1String("COLOR"), Qt::CaseInsensitive) == 0)
            grid->setItemDelegateForColumn(i, new ColourCellDelegate(grid));
}

bool acceptsNumericKey(const QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Return:
        case Qt::Key_Enter: return true;
        default: break;
    }
    if (key->matches(QKeySequence::Paste)) return false;
    const QString text = key->text();
    if (text.isEmpty()) return true;
    if (text.size() == 1 && ((text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')) || text[0] == QLatin1Char('.')))
        return true;
    switch (key->key()) {
        case Qt::Key_Delete:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape: return true;
        default: return false;
    }
}

}  // namespace tms

TRecordKeys::TRecordKeys(const QList<QWidget*>& chain, const QList<QWidget*>& numeric, QObject* parent)
    : QObject(parent), chain_(chain), numeric_(numeric) {
    for (QWidget* w : chain_) w->installEventFilter(this);
    for (QWidget* w : numeric_)
        if (!chain_.contains(w)) w->installEventFilter(this);
}

bool TRecordKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* w = static_cast<QWidget*>(watched);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        const int at = static_cast<int>(chain_.indexOf(w));
        if (at < 0) return false;
        if (at + 1 < chain_.size()) chain_[at + 1]->setFocus(Qt::TabFocusReason);
        return true;
    }
    return numeric_.contains(w) && !tms::acceptsNumericKey(key);
}

TDataSource::TDataSource(TADOQuery* dataSet, const QString& defaultSql, QObject* parent)
    : QObject(parent), q_(dataSet), default_(defaultSql) {}

void TDataSource::acquire(const QObject* user) {
    if (q_ && !q_->Active()) q_->Open();
    if (!users_.contains(user)) users_.append(user);
}

void TDataSource::release(const QObject* user) {
    users_.removeAll(user);
    if (!users_.isEmpty() || !q_) return;
    q_->Close();
    q_->setSQL(default_);
}
