#pragma once
// What the goods and container catalogues share with the windows that show
// their lists: the search routine, re-opening a list without losing an edit,
// and the data source through which several windows show one list at once.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "AdoDb.h"
#include "Dialogs.h"

class QColor;
class QKeyEvent;
class QWidget;
class TDBGrid;

namespace tms {

// True while the query holds an appended or edited record not yet posted.
bool hasPendingEdit(const TADOQuery* query);

// Re-opens `Query` as every row of `Table` (Field "*") or as the rows whose
// `Field` contains `Value` ("like" with "%" on both sides; the value is
// bound, so a quote in it is only a character). Does nothing and returns
// false while the query holds a pending edit.
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

// Paints the cells of a goods grid's colour column ("COLOR") on the colour
// their text stands for, the current row's too; a cell whose text is empty
// or no colour is painted as usual.
void paintGoodsColours(TDBGrid* grid);

// Runs a piece of a handler's work; a database error ends it in the error
// box instead of escaping into the event loop.
template <class Work>
void reportErrors(Work&& work) {
    try {
        work();
    } catch (const EDatabaseError& e) {
        ui::showError(e.message());
    }
}

// Whether a numeric entry field takes the key: digits, ".", Backspace and
// Enter, and the keys that type no character (arrows, Delete, Tab).
bool acceptsNumericKey(const QKeyEvent* key);

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
    QString defaultSQL() const { return default_; }

    // Opens the list if it is closed; a window counts once however often it
    // acquires.
    void acquire(const QObject* user);
    // The window no longer shows the list; the last one closes it.
    void release(const QObject* user);
    bool isUsedBy(const QObject* user) const { return users_.contains(user); }
    int userCount() const { return static_cast<int>(users_.size()); }
    // A record of the list is being added or changed.
    bool editing() const { return tms::hasPendingEdit(q_); }

private:
    QPointer<TADOQuery> q_;
    QString default_;
    QList<const QObject*> users_;
};
