#include "data/Catalogue.h"

#include <QColor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QWidget>

#include "data/OrderStore.h"
#include "platform/Codes.h"
#include "platform/DbWidgets.h"
#include "platform/WindowKit.h"

namespace tms {

namespace {

// Table and column names go into the text as they are, so only plain names
// are taken.
void requireName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!re.match(name).hasMatch()) throw EDatabaseError(QStringLiteral("'%1' 不是有效的名称").arg(name));
}

// Keeps a coloured cell in its colour when its row is the selected one.
class ColourCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        const QVariant background = index.data(Qt::BackgroundRole);
        if (background.isValid()) {
            o.state &= ~QStyle::State_Selected;
            // The colour text stays readable on dark colours.
            o.palette.setColor(QPalette::Text, readableTextOn(background.value<QColor>()));
        }
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
        // The text is a pattern between two "%": "%" and "_" in it are
        // wildcards. It is bound, so a quote is only a character.
        Query->SQLAdd(QStringLiteral("select * from ") + Table + QStringLiteral(" where ") + Field +
                      QStringLiteral(" like ?"));
        Query->bind(1, likePattern(Value));
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

QColor readableTextOn(const QColor& background) {
    // Integer weights in thousandths, so the threshold is exact.
    const int luma = (299 * background.red() + 587 * background.green() + 114 * background.blue()) / 1000;
    return luma < 140 ? QColor(Qt::white) : QColor(Qt::black);
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
    // The edit shortcuts type a control character; they are let through.
    for (QKeySequence::StandardKey k : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                                        QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo})
        if (key->matches(k)) return true;
    const QString text = key->text();
    if (text.isEmpty()) return true;
    if (text.size() == 1 &&
        ((text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')) || text[0] == QLatin1Char('.')))
        return true;
    switch (key->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape: return true;
    default: return false;
    }
}

bool isNumericText(const QString& text) {
    for (const QChar c : text)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.'))) return false;
    return true;
}

void limitToFieldSize(std::initializer_list<QLineEdit*> edits) {
    for (QLineEdit* e : edits) e->setMaxLength(kTextFieldSize);
}

bool textsFit(TADOQuery* list, std::initializer_list<SizedField> fields) {
    for (const SizedField& f : fields) {
        // The stored value, not the edit: an edit shows at most its limit of
        // a longer value that came from elsewhere.
        const int c = list->fieldIndex(f.field);
        if (c < 0 || list->Fields(c).AsString().size() <= kTextFieldSize) continue;
        ui::showMessage(QStringLiteral("%1不能超过%2个字符 请从新录入").arg(f.caption).arg(kTextFieldSize));
        f.edit->setFocus();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- catalogue windows

TDataSource* catalogueList(TADOConnection* connection, QObject* owner, const char* queryName, const char* sourceName,
                           const QString& sql, const QString& table, const QString& key) {
    auto* query = ui::named(new TADOQuery(connection, owner), queryName);
    query->setSQL(sql);
    query->setUpdateTable(table, {key});
    return ui::named(new TDataSource(query, sql, owner), sourceName);
}

TDBEdit* boundEdit(QWidget* panel, const char* name, TADOQuery* list, const char* field) {
    auto* e = ui::named(new TDBEdit(panel), name);
    e->bindField(list, QString::fromLatin1(field));
    return e;
}

void placeField(QGridLayout* grid, int row, int group, const QString& caption, QWidget* control, bool required) {
    ui::captionedField(grid, row, group * 3, caption, control);
    if (!required) return;
    auto* star = new QLabel(QStringLiteral("*"), grid->parentWidget());
    star->setStyleSheet(QStringLiteral("color: red"));
    grid->addWidget(star, row, group * 3 + 2);
}

TDBNavigator* commandNavigator(QWidget* form, QHBoxLayout* commands, const char* name, TADOQuery* list) {
    auto* navigator = ui::named(new TDBNavigator(form), name);
    navigator->setQuery(list);
    commands->addWidget(navigator);
    commands->addStretch(1);
    return navigator;
}

QPushButton* commandButton(QWidget* form, QHBoxLayout* commands, const char* name, const char* text) {
    QPushButton* b = ui::button(form, name, QString::fromUtf8(text));
    b->setAutoDefault(false);
    commands->addWidget(b);
    return b;
}

bool followEditState(const TADOQuery* list, const QList<QWidget*>& browseCommands, const QList<QWidget*>& editCommands,
                     const QList<QWidget*>& recordControls, QWidget* grid, QWidget* navigator) {
    // The order matters where a control that has the focus is disabled: the
    // focus moves on to the next control enabled at that moment.
    const bool editing = hasPendingEdit(list);
    for (QWidget* w : browseCommands) w->setEnabled(!editing);
    for (QWidget* w : editCommands) w->setEnabled(editing);
    for (QWidget* w : recordControls) w->setEnabled(editing);
    grid->setEnabled(!editing);
    navigator->setEnabled(!editing);
    return editing;
}

void listAll(TADOQuery* list, const QString& table) {
    ui::reportErrors([&] { fastfind(list, table, QStringLiteral("*"), QString()); });
}

void searchOnEnter(TADOQuery* list, const QString& table, const QString& field, const QString& text, int key) {
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !text.trimmed().isEmpty())
        ui::reportErrors([&] { fastfind(list, table, field, text); });
}

void sortByTitle(TADOQuery* list, const QString& select, const QString& fieldName, bool& descending) {
    if (fieldName.isEmpty() || hasPendingEdit(list)) return;
    descending = !descending;
    QString sql = select + QStringLiteral(" order by ") + fieldName;
    if (descending) sql += QStringLiteral("  desc");
    ui::reportErrors([&] { reopenQuery(list, sql); });
}

bool hasCurrentRecord(const TADOQuery* list) { return list->Active() && !list->IsEmpty(); }

void deleteUnlessUsed(TADOQuery* list, TADOQuery* scratch, const QString& question, const QString& keyField,
                      const QString& usedSql, const QString& refusal) {
    deleteUnlessUsed(list, scratch, question, keyField, {{usedSql, refusal}});
}

void deleteUnlessUsed(TADOQuery* list, TADOQuery* scratch, const QString& question, const QString& keyField,
                      std::initializer_list<TRecordUse> uses) {
    if (!hasCurrentRecord(list)) return;
    if (!ui::confirm(QStringLiteral("确认信息"), question)) return;
    ui::reportErrors([&] {
        // The stored key: that is what other tables name the record by.
        const QString key = list->FieldByName(keyField).AsString();
        for (const TRecordUse& use : uses) {
            if (anyRow(scratch, use.usedSql, {key})) {
                ui::showMessage(use.refusal);
                return;
            }
        }
        if (!list->IsEmpty()) list->Delete();
    });
}

bool entriesComplete(std::initializer_list<const QLineEdit*> required) {
    for (const QLineEdit* e : required) {
        if (e->text().trimmed().isEmpty()) {
            ui::showMessage(QStringLiteral("请录入完整信息"));
            return false;
        }
    }
    return true;
}

bool measuresKept(TADOQuery* scratch, const QString& usedSql, const QString& number,
                  std::initializer_list<const QLineEdit*> measures, std::initializer_list<QString> before,
                  const QString& refusal) {
    Q_ASSERT(measures.size() == before.size());
    if (!anyRow(scratch, usedSql, {number})) return true;
    auto old = before.begin();
    for (auto e = measures.begin(); e != measures.end() && old != before.end(); ++e, ++old) {
        if ((*e)->text().trimmed() != old->trimmed()) {
            ui::showMessage(refusal);
            return false;
        }
    }
    return true;
}

bool numberFree(TADOQuery* scratch, const QString& takenSql, TDBEdit* numberEdit) {
    if (!anyRow(scratch, takenSql, {numberEdit->text()})) return true;
    ui::showMessage(QStringLiteral("该编号已存在 请从新输入"));
    numberEdit->setFocus();
    return false;
}

void postChecked(TADOQuery* list, const std::function<bool()>& lookups) {
    bool passed = false;
    if (!ui::reportErrors([&] { passed = lookups(); }) || !passed) return;
    try {
        list->Post();
    } catch (const EDatabaseError& e) {
        ui::showMessage(e.shownAs(QStringLiteral("保存出错 请检查录入数据!")));
    }
}

void leaveList(TDataSource* source, const QObject* user) {
    TADOQuery* list = source->DataSet();
    if (hasPendingEdit(list)) list->Cancel();
    source->release(user);
}

}  // namespace tms

TRecordKeys::TRecordKeys(const QList<QWidget*>& chain, const QList<QWidget*>& numeric, QObject* parent)
    : QObject(parent), chain_(chain), numeric_(numeric) {
    for (QWidget* w : chain_) w->installEventFilter(this);
    for (QWidget* w : numeric_) {
        if (!chain_.contains(w)) w->installEventFilter(this);
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->setValidator(new TNumericText(e));
    }
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

QValidator::State TNumericText::validate(QString& input, int&) const {
    return tms::isNumericText(input) ? Acceptable : Invalid;
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
