#include "platform/DbWidgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QToolButton>

// ---------------------------------------------------------------- model

TDBGridModel::TDBGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDBGridModel::setQuery(TADOQuery* q) {
    for (auto& c : links_) disconnect(c);
    links_.clear();
    q_ = q;
    if (q) {
        links_ << connect(q, &TADOQuery::dataReset, this, &TDBGridModel::reset);
        links_ << connect(q, &TADOQuery::rowChanged, this,
                          [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
        links_ << connect(q, &TADOQuery::fieldChanged, this, [this](int) {
            if (q_ && q_->RecNo() >= 0) emit dataChanged(index(q_->RecNo(), 0), index(q_->RecNo(), columnCount() - 1));
        });
    }
    reset();
}

void TDBGridModel::setColumns(const QList<TDBGridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

void TDBGridModel::reset() {
    beginResetModel();
    endResetModel();
}

QString TDBGridModel::fieldAt(int column) const {
    if (!columns_.isEmpty()) return column >= 0 && column < columns_.size() ? columns_[column].fieldName : QString();
    return q_ ? q_->fieldNames().value(column) : QString();
}

int TDBGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !q_) return 0;
    return q_->RecordCount();
}

int TDBGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    if (!columns_.isEmpty()) return static_cast<int>(columns_.size());
    return q_ ? q_->FieldCount() : 0;
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const {
    if (!q_ || !index.isValid()) return {};
    const QString field = fieldAt(index.column());
    if (role == Qt::DisplayRole) {
        const int c = q_->fieldIndex(field);
        return c < 0 ? QVariant() : QVariant(TADOQuery::displayText(q_->cell(index.row(), c)));
    }
    if (role == Qt::BackgroundRole && cellBackground) return cellBackground(index.row(), field);
    return {};
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Vertical) return {};
    if (!columns_.isEmpty()) return section < columns_.size() ? QVariant(columns_[section].title) : QVariant();
    return q_ ? QVariant(q_->fieldNames().value(section)) : QVariant();
}

// ---------------------------------------------------------------- grid

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), model_(new TDBGridModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit titleClicked(model_->fieldAt(section)); });
    connect(model_, &QAbstractItemModel::modelReset, this, &TDBGrid::followCursor);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& cur) {
        if (syncing_ || !cur.isValid() || !model_->query()) return;
        TADOQuery* q = model_->query();
        if (q->RecNo() == cur.row()) return;
        // Moving off a pending edit posts it, as the catalogues expect; a
        // failed post keeps the row where it was.
        try {
            q->setRecNo(cur.row());
        } catch (const EDatabaseError& e) {
            followCursor();
            emit failed(e.message());
        }
    });
}

void TDBGrid::setQuery(TADOQuery* q) {
    model_->setQuery(q);
    if (q) connect(q, &TADOQuery::currentChanged, this, &TDBGrid::followCursor, Qt::UniqueConnection);
    followCursor();
}

void TDBGrid::setColumns(const QList<TDBGridColumn>& columns) {
    model_->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].width > 0) setColumnWidth(i, columns[i].width);
}

void TDBGrid::followCursor() {
    TADOQuery* q = model_->query();
    const int row = q ? q->RecNo() : -1;
    syncing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex idx = model_->index(row, std::max(0, currentIndex().column()));
        // A view already on that row (the user moved there) keeps its
        // selection: setting the current index again would reduce a
        // multi-row selection to this row.
        if (currentIndex().row() != row) setCurrentIndex(idx);
        scrollTo(idx);
    } else {
        clearSelection();
    }
    syncing_ = false;
}

// ---------------------------------------------------------------- edit

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (loading_ || !q_) return;
        const auto st = q_->State();
        if (st != TDataSetState::dsEdit && st != TDataSetState::dsInsert) return;
        const int c = q_->fieldIndex(field_);
        if (c >= 0) q_->Fields(c).SetValue(text);
    });
}

void TDBEdit::bindField(TADOQuery* q, const QString& field) {
    if (q_) disconnect(q_, nullptr, this, nullptr);
    q_ = q;
    field_ = field;
    if (q) {
        connect(q, &TADOQuery::currentChanged, this, &TDBEdit::refresh);
        connect(q, &TADOQuery::stateChanged, this, &TDBEdit::refresh);
        connect(q, &TADOQuery::dataReset, this, &TDBEdit::refresh);
        connect(q, &TADOQuery::fieldChanged, this, [this](int c) {
            if (q_ && q_->fieldIndex(field_) == c) refresh();
        });
    }
    refresh();
}

void TDBEdit::refresh() {
    QString text;
    if (q_ && q_->Active()) {
        const int c = q_->fieldIndex(field_);
        if (c >= 0) text = q_->Fields(c).AsString();
    }
    if (text == this->text()) return;
    loading_ = true;
    setText(text);
    loading_ = false;
}

// ---------------------------------------------------------------- check box

TDBCheckBox::TDBCheckBox(QWidget* parent) : QCheckBox(parent) {
    setTristate(true);
    connect(this, &QCheckBox::clicked, this, [this]() {
        if (loading_ || !q_) return;
        // A click on the undecided state decides it as ticked.
        if (checkState() == Qt::PartiallyChecked) {
            loading_ = true;
            setCheckState(Qt::Checked);
            loading_ = false;
        }
        const auto st = q_->State();
        if (st != TDataSetState::dsEdit && st != TDataSetState::dsInsert) {
            refresh();
            return;
        }
        const int c = q_->fieldIndex(field_);
        if (c >= 0) q_->Fields(c).SetValue(checkState() == Qt::Checked ? on_ : off_);
    });
}

void TDBCheckBox::bindField(TADOQuery* q, const QString& field, const QString& checkedValue,
                            const QString& uncheckedValue) {
    if (q_) disconnect(q_, nullptr, this, nullptr);
    q_ = q;
    field_ = field;
    on_ = checkedValue;
    off_ = uncheckedValue;
    if (q) {
        connect(q, &TADOQuery::currentChanged, this, &TDBCheckBox::refresh);
        connect(q, &TADOQuery::stateChanged, this, &TDBCheckBox::refresh);
        connect(q, &TADOQuery::dataReset, this, &TDBCheckBox::refresh);
        connect(q, &TADOQuery::fieldChanged, this, [this](int c) {
            if (q_ && q_->fieldIndex(field_) == c) refresh();
        });
    }
    refresh();
}

void TDBCheckBox::refresh() {
    Qt::CheckState st = Qt::PartiallyChecked;
    if (q_ && q_->Active() && !q_->IsEmpty()) {
        const int c = q_->fieldIndex(field_);
        const QString v = c >= 0 ? q_->Fields(c).AsString().trimmed() : QString();
        if (v == on_)
            st = Qt::Checked;
        else if (v == off_)
            st = Qt::Unchecked;
    }
    loading_ = true;
    setCheckState(st);
    loading_ = false;
}

// ---------------------------------------------------------------- navigator

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    const struct {
        const char* name;
        const char* text;
        void (TADOQuery::*move)();
    } items[] = {{"NavFirst", "|◀", &TADOQuery::First},
                 {"NavPrior", "◀", &TADOQuery::Prior},
                 {"NavNext", "▶", &TADOQuery::Next},
                 {"NavLast", "▶|", &TADOQuery::Last}};
    for (const auto& it : items) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(it.name));
        b->setText(QString::fromUtf8(it.text));
        b->setMinimumWidth(28);
        lay->addWidget(b);
        buttons_ << b;
        auto move = it.move;
        connect(b, &QToolButton::clicked, this, [this, move]() {
            if (!q_ || !q_->Active()) return;
            try {
                (q_.data()->*move)();
            } catch (const EDatabaseError& e) {
                emit failed(e.message());
            }
        });
    }
    update();
}

void TDBNavigator::setQuery(TADOQuery* q) {
    if (q_) disconnect(q_, nullptr, this, nullptr);
    q_ = q;
    if (q) {
        connect(q, &TADOQuery::currentChanged, this, &TDBNavigator::update);
        connect(q, &TADOQuery::dataReset, this, &TDBNavigator::update);
        connect(q, &TADOQuery::stateChanged, this, &TDBNavigator::update);
    }
    update();
}

void TDBNavigator::update() {
    const bool any = q_ && q_->Active() && q_->RecordCount() > 0;
    const int row = any ? q_->RecNo() : -1;
    const int last = any ? q_->RecordCount() - 1 : -1;
    buttons_[0]->setEnabled(any && row > 0);
    buttons_[1]->setEnabled(any && row > 0);
    buttons_[2]->setEnabled(any && row < last);
    buttons_[3]->setEnabled(any && row < last);
}
