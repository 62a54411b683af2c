#pragma once
// What the goods and container catalogues share with the windows that show
// their lists: the search routine, re-opening a list without losing an edit,
// and the data source through which several windows show one list at once.
// Below that, the pieces the two catalogue windows are built from alike:
// their controls, title sorting, the command states and the add, modify,
// delete and save flows.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QValidator>
#include <functional>
#include <initializer_list>

#include "platform/AdoDb.h"

class QColor;
class QGridLayout;
class QHBoxLayout;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QWidget;
class TDataSource;
class TDBEdit;
class TDBGrid;
class TDBNavigator;

namespace tms {

// True while the query holds an appended or edited record not yet posted.
bool hasPendingEdit(const TADOQuery* query);

// Re-opens `Query` as every row of `Table` (Field "*") or as the rows whose
// `Field` is like `Value` with "%" on both sides ("%" and "_" in the value
// are wildcards; the pattern is bound, so a quote is only a character).
// Does nothing and returns false while the query holds a pending edit.
bool fastfind(TADOQuery* Query, const QString& Table, const QString& Field, const QString& Value);

// Closes the query, gives it the text and opens it again; does nothing and
// returns false while the query holds a pending edit.
bool reopenQuery(TADOQuery* query, const QString& sql);

// Runs a look-up on the scratch query and tells whether it found any row;
// the query is left closed.
bool anyRow(TADOQuery* scratch, const QString& sql, const QVariantList& params);

// The colour a colour text "R,G,B" stands for; invalid when the text is not
// three numbers 0..255 joined by commas (blanks around it are ignored).
QColor colourOfText(const QString& text);

// The text colour that stays readable on `background`: white on a dark
// colour, black on a light one. Dark is judged by perceived brightness
// (0.299 R + 0.587 G + 0.114 B below 140), so a saturated blue counts as dark
// and a saturated yellow as light, which plain HSL lightness gets wrong.
QColor readableTextOn(const QColor& background);

// Paints the cells of a goods grid's colour column ("COLOR") on the colour
// their text stands for, the current row's too; a cell whose text is empty
// or no colour is painted as usual.
void paintGoodsColours(TDBGrid* grid);

// Whether a numeric entry field takes the key: digits, ".", Backspace and
// Enter, the keys that type no character (arrows, Delete, Tab) and the
// usual edit shortcuts (select all, copy, cut, paste, undo, redo; what a
// paste brings is held to the same rule by TNumericText).
bool acceptsNumericKey(const QKeyEvent* key);
// The text holds nothing a numeric field's keys would drop: only digits and
// "." (an empty text too).
bool isNumericText(const QString& text);

// The declared size of the catalogues' text fields, in characters.
inline constexpr int kTextFieldSize = 50;
// Every edit takes at most kTextFieldSize characters.
void limitToFieldSize(std::initializer_list<QLineEdit*> edits);
// At save: every text field of the record, by its stored value, holds at
// most kTextFieldSize characters. The first that does not shows
// "<caption>不能超过50个字符 请从新录入", takes the focus and answers false.
struct SizedField {
    QLineEdit* edit;
    QString field;
    QString caption;
};
bool textsFit(TADOQuery* list, std::initializer_list<SizedField> fields);

// ---------------------------------------------------------------- catalogue windows

// A catalogue's list: the query `queryName` on `connection`, reading `sql`
// and storing its edits in `table` by `key`, with its data source
// `sourceName`. Both belong to `owner`.
TDataSource* catalogueList(TADOConnection* connection, QObject* owner, const char* queryName, const char* sourceName,
                           const QString& sql, const QString& table, const QString& key);

// A data-aware edit of the record panel on `field` of the list.
TDBEdit* boundEdit(QWidget* panel, const char* name, TADOQuery* list, const char* field);
// One entry of the record panel: its caption, the control and, when the
// entry is required, a red "*". Entry group `group` of a row takes the grid
// columns 3*group to 3*group+2.
void placeField(QGridLayout* grid, int row, int group, const QString& caption, QWidget* control, bool required);

// The record navigator over the list (first, previous, next, last), at the
// left of the command row.
TDBNavigator* commandNavigator(QWidget* form, QHBoxLayout* commands, const char* name, TADOQuery* list);
// A command button, added to the command row after the ones before it.
QPushButton* commandButton(QWidget* form, QHBoxLayout* commands, const char* name, const char* text);

// The commands and controls follow the list's state. While a record is
// added or changed, the add, modify and delete buttons (`browseCommands`),
// the grid and the navigator are disabled (moving to another row would store
// the record unchecked) and save and cancel (`editCommands`) and the record
// controls enabled; in any other state the reverse. Tells whether a record
// is being added or changed.
bool followEditState(const TADOQuery* list, const QList<QWidget*>& browseCommands, const QList<QWidget*>& editCommands,
                     const QList<QWidget*>& recordControls, QWidget* grid, QWidget* navigator);

// "全部": every row of the catalogue `table`.
void listAll(TADOQuery* list, const QString& table);
// A key pressed in a search edit, before it reaches the edit (so `text` is
// the edit's text without it): Enter with a text that is not blank lists
// the rows whose `field` contains the text as it stands.
void searchOnEnter(TADOQuery* list, const QString& table, const QString& field, const QString& text, int key);
// A click on a column title: `descending` is flipped first, then the list
// is read again as `select` ordered by the column's field, followed by
// "  desc" when descending; a search in force is dropped. Nothing happens
// for a title without field or while a record is added or changed.
void sortByTitle(TADOQuery* list, const QString& select, const QString& fieldName, bool& descending);

// The list is open and has a current record to change or delete.
bool hasCurrentRecord(const TADOQuery* list);
// Deletes the list's current record once the user has confirmed `question`
// in the OK/Cancel box "确认信息" and `usedSql`, run on the scratch query
// with the record's stored `keyField`, has found nothing; when it finds a
// row, `refusal` is shown and nothing is deleted.
void deleteUnlessUsed(TADOQuery* list, TADOQuery* scratch, const QString& question, const QString& keyField,
                      const QString& usedSql, const QString& refusal);
// The same with several uses, checked in order: the first that finds a row
// shows its refusal.
struct TRecordUse {
    QString usedSql;
    QString refusal;
};
void deleteUnlessUsed(TADOQuery* list, TADOQuery* scratch, const QString& question, const QString& keyField,
                      std::initializer_list<TRecordUse> uses);

// The save checks each window makes alike; each one that fails shows its
// message and answers false.
// Every required entry holds more than blanks ("请录入完整信息").
bool entriesComplete(std::initializer_list<const QLineEdit*> required);
// A record that a computed plan uses keeps its measures: when `usedSql`
// finds a row for `number` and any measure's trimmed text differs from the
// one read when "修改" was pressed (`before`, in the same order), `refusal`.
bool measuresKept(TADOQuery* scratch, const QString& usedSql, const QString& number,
                  std::initializer_list<const QLineEdit*> measures, std::initializer_list<QString> before,
                  const QString& refusal);
// The number in `numberEdit` is not yet taken (`takenSql` finds no row for
// it); otherwise "该编号已存在 请从新输入" and the focus goes back to the edit.
bool numberFree(TADOQuery* scratch, const QString& takenSql, TDBEdit* numberEdit);
// The end of a save: the look-ups on the database (`lookups`, false after
// its refusal), then the post. A database error in a look-up shows in the
// error box; a failing post shows "保存出错 请检查录入数据!", or the database's
// own message when the file cannot take the write. Whatever stops
// the save leaves the record in edit or insert state.
void postChecked(TADOQuery* list, const std::function<bool()>& lookups);

// The window no longer shows the list: an add or change left open in it
// goes with the window, and the list itself stays open while another window
// still shows it.
void leaveList(TDataSource* source, const QObject* user);

}  // namespace tms

// The keys of a record panel: Enter moves the focus along a fixed chain of
// controls (the last one ends the chain), and the numeric edits drop every
// character but digits, ".", Backspace and Enter.
class TRecordKeys : public QObject {
    Q_OBJECT
public:
    TRecordKeys(const QList<QWidget*>& chain, const QList<QWidget*>& numeric, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> chain_;
    QList<QWidget*> numeric_;
};

// Holds a numeric edit to the rule of its keys also for the changes no key
// filter sees (paste by key, by the context menu or the mouse, a drop): a
// change that would leave a character other than digits and "." is refused
// as a whole and the text stays as it was. A text read from the database
// that breaks the rule is shown as it is and can still be corrected.
class TNumericText : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// One catalogue list shown by several windows at once. Each window that
// shows the list acquires it when it is shown and releases it when it is
// closed: the first opens the query, and only the last one out closes it and
// gives it back its default text, so closing one window never empties the
// list under another.
class TDataSource : public QObject {
    Q_OBJECT
public:
    TDataSource(TADOQuery* dataSet, const QString& defaultSql, QObject* parent = nullptr);

    TADOQuery* DataSet() const { return q_; }

    // Opens the list if it is closed; a window counts once however often it
    // acquires.
    void acquire(const QObject* user);
    // The window no longer shows the list; the last one closes it.
    void release(const QObject* user);
    // A record of the list is being added or changed.
    bool editing() const { return tms::hasPendingEdit(q_); }

private:
    QPointer<TADOQuery> q_;
    QString default_;
    QList<const QObject*> users_;
};
