#pragma once
// The settings dialog "设置": the weight and direction constraints (and the
// unused centre-of-gravity switch) kept in setup.ini beside the program.
// Calculations read CheckBox2 and CheckBox3 at the moment they run, so a
// change the user cancelled still governs this run of the program.
// The same window holds the loading engine's state that the launchers fill
// and the drawings read.

#include <QWidget>

#include "engine/HoldEngine.h"
#include "view/PlanShow.h"

class QCheckBox;
class QPushButton;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    QCheckBox* CheckBox1;  // volume constraint: always on
    QCheckBox* CheckBox2;  // weight constraint
    QCheckBox* CheckBox3;  // direction constraint
    QCheckBox* CheckBox4;  // centre of gravity: hidden, read by no calculation
    QPushButton* BitBtn1;  // OK: save and close
    QPushButton* BitBtn2;  // cancel: close, keep the states

    // Free spaces, pieces, containers and the optimiser; lives as long as
    // the program, whatever became of the settings.
    tms::THoldEngine engine;
    // The plan on show (curBox, planArr, planCount, showFloors), shared by
    // the assembly drawing and the self-service window.
    tms::TPlanShow plan;

    // setup.ini in the program's folder.
    static QString settingsFile();

    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();
};
