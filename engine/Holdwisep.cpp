#include "engine/Holdwisep.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/WindowKit.h"

using tms::ui::button;
using tms::ui::named;

namespace {

const QString kSection = QStringLiteral("setup");
const QString kSettingsError = QStringLiteral("系统文件错误 请检查配置");

// A switch is on only when its value reads "1" once trimmed.
bool isOn(const QString& value) { return value.trimmed() == QLatin1String("1"); }

QString valueOf(const QCheckBox* box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("设置"));

    CheckBox1 = named(new QCheckBox(QStringLiteral("起用体积约束"), this), "CheckBox1");
    CheckBox1->setEnabled(false);
    CheckBox2 = named(new QCheckBox(QStringLiteral("起用重量约束 "), this), "CheckBox2");
    CheckBox3 = named(new QCheckBox(QStringLiteral("起用方向约束"), this), "CheckBox3");
    CheckBox4 = named(new QCheckBox(QStringLiteral("起用重心约束"), this), "CheckBox4");
    CheckBox4->setVisible(false);
    for (QCheckBox* b : {CheckBox1, CheckBox2}) b->setChecked(true);

    BitBtn1 = button(this, "BitBtn1", QStringLiteral("确定"));
    BitBtn2 = button(this, "BitBtn2", QStringLiteral("取消"));
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 12);
    layout->addWidget(CheckBox1);
    layout->addWidget(CheckBox2);
    layout->addWidget(CheckBox3);
    layout->addWidget(CheckBox4);
    layout->addSpacing(12);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));

    FormCreate();
}

QString TForm1::settingsFile() { return tms::desktop::programDir() + QStringLiteral("setup.ini"); }

void TForm1::FormCreate() {
    // A switch whose value could not be read keeps its design state.
    try {
        TIniFile ini(settingsFile());
        CheckBox2->setChecked(isOn(ini.ReadString(kSection, QStringLiteral("weight"), QString())));
        CheckBox3->setChecked(isOn(ini.ReadString(kSection, QStringLiteral("direction"), QString())));
        CheckBox4->setChecked(isOn(ini.ReadString(kSection, QStringLiteral("center"), QString())));
    } catch (const std::exception&) {
        tms::ui::showMessage(kSettingsError);
    }
}

void TForm1::BitBtn1Click() {
    try {
        TIniFile ini(settingsFile());
        ini.WriteString(kSection, QStringLiteral("weight"), valueOf(CheckBox2));
        ini.WriteString(kSection, QStringLiteral("direction"), valueOf(CheckBox3));
        ini.WriteString(kSection, QStringLiteral("center"), valueOf(CheckBox4));
    } catch (const std::exception&) {
        tms::ui::showMessage(kSettingsError);
        return;  // the dialog stays open
    }
    close();
}

void TForm1::BitBtn2Click() { close(); }
