#pragma once
// Data-aware controls over a TADOQuery: a grid that follows and moves the
// query's current row, an edit and a check box bound to one field of the
// current record, and a navigator with first/prior/next/last.

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QWidget>
#include <functional>

#include "platform/AdoDb.h"

struct TDBGridColumn {
    QString fieldName;
    QString title;
    int width = -1;  // pixels; -1 leaves the default
};

// Rows of a query as a table; columns either listed or every field.
class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDBGridModel(QObject* parent = nullptr);
    void setQuery(TADOQuery* q);
    TADOQuery* query() const { return q_; }
    void setColumns(const QList<TDBGridColumn>& columns);
    const QList<TDBGridColumn>& columns() const { return columns_; }
    // Field name of a view column ("" if none).
    QString fieldAt(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Optional background for a cell (row, field) -> colour; invalid = default.
    std::function<QVariant(int row, const QString& field)> cellBackground;

private:
    void reset();
    QPointer<TADOQuery> q_;
    QList<TDBGridColumn> columns_;
    QList<QMetaObject::Connection> links_;
};

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    void setQuery(TADOQuery* q);
    void setColumns(const QList<TDBGridColumn>& columns);
    TDBGridModel* gridModel() const { return model_; }

signals:
    // The title of a column was clicked: the column's field name.
    void titleClicked(const QString& fieldName);
    // Moving off a pending edit tried to post it and the post failed.
    void failed(const QString& message);

private:
    void followCursor();
    TDBGridModel* model_;
    bool syncing_ = false;
};

// An edit showing one field of the current record; typing writes the field
// while the query is in edit or insert state.
class TDBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);
    void bindField(TADOQuery* q, const QString& field);

private:
    void refresh();
    QPointer<TADOQuery> q_;
    QString field_;
    bool loading_ = false;
};

// A check box over a text field: ticked writes `checkedValue`, not ticked
// `uncheckedValue`; any other stored value (a new record's NULL) shows the
// third, undecided state.
class TDBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TDBCheckBox(QWidget* parent = nullptr);
    void bindField(TADOQuery* q, const QString& field, const QString& checkedValue = QStringLiteral("1"),
                   const QString& uncheckedValue = QStringLiteral("0"));

private:
    void refresh();
    QPointer<TADOQuery> q_;
    QString field_, on_, off_;
    bool loading_ = false;
};

// First, prior, next and last buttons.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent = nullptr);
    void setQuery(TADOQuery* q);

signals:
    // A move tried to post a pending edit and the post failed.
    void failed(const QString& message);

private:
    void update();
    QPointer<TADOQuery> q_;
    QList<QWidget*> buttons_;
};
