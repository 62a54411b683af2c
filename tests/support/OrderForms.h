#pragma once
// The windows the order flow needs, made as the program has them: the
// settings dialog (weight constraint on, direction constraint off), the
// goods, container and order lists, the drawing window and the new-order
// window, all on one connection and reachable through their globals. When
// the set goes they are closed and deleted, the new-order window first, and
// the globals cleared. For window tests and the window benchmarks.

#include <QCheckBox>
#include <QList>
#include <QWidget>

#include "data/Unit10.h"
#include "data/Unit5.h"
#include "data/Unit6.h"
#include "data/Unit7.h"
#include "engine/Holdwisep.h"
#include "platform/AdoDb.h"
#include "view/Unit8.h"

class OrderForms {
public:
    explicit OrderForms(TADOConnection* conn) {
        Form1 = new TForm1;
        Form1->CheckBox2->setChecked(true);
        Form1->CheckBox3->setChecked(false);
        Form5 = new TForm5(conn);
        Form6 = new TForm6(conn);
        Form7 = new TForm7(conn);
        Form8 = new TForm8(conn);
        Form10 = new TForm10(conn);
    }
    ~OrderForms() {
        for (QWidget* w : QList<QWidget*>{Form10, Form8, Form7, Form6, Form5, Form1}) w->close();
        delete Form10;
        delete Form8;
        delete Form7;
        delete Form6;
        delete Form5;
        delete Form1;
        Form10 = nullptr;
        Form8 = nullptr;
        Form7 = nullptr;
        Form6 = nullptr;
        Form5 = nullptr;
        Form1 = nullptr;
    }
    OrderForms(const OrderForms&) = delete;
    OrderForms& operator=(const OrderForms&) = delete;
};
