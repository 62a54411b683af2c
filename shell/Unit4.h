#pragma once
// The main window: the button bar that opens every other window, the
// picture under it, and the program's one database connection, which is
// closed and compacted when the program ends.

#include <QImage>
#include <QWidget>

#include "platform/AdoDb.h"
#include "shell/Forms.h"

class QToolButton;

// A picture stretched over the whole control.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage picture_;
};

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    // The connection every query of every window runs on.
    TADOConnection ADOConnection1;

    QWidget* Panel1;
    QToolButton* SpeedButton2;   // containers
    QToolButton* SpeedButton3;   // goods
    QToolButton* SpeedButton4;   // order management
    QToolButton* SpeedButton1;   // new order
    QToolButton* SpeedButton5;   // assembly drawing
    QToolButton* SpeedButton10;  // self-service loading
    QToolButton* SpeedButton9;   // settings
    QToolButton* SpeedButton6;   // help
    QToolButton* SpeedButton7;   // about
    QToolButton* SpeedButton8;   // exit
    TImage* Image1;

    // The database file and the connection text, from the program's folder.
    static QString databaseFile();
    static QString connectionText();

    // True when the connection could not be opened at creation; the
    // program then ends before any other window is made.
    bool connectionFailed() const { return connectionFailed_; }

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void SpeedButton10Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    // Closes the connection and compacts the database, once; silent.
    void shutdown();

    bool connectionFailed_ = false;
    bool shutDown_ = false;
};
