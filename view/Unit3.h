#pragma once
// The loading details window "装箱明细": the fixed-column report of an order
// (LoadingReport.h) in an editable text box, saved as a text file in the
// Chinese code page GBK with CR LF line ends.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "shell/Forms.h"
#include "view/LoadingReport.h"

class QPlainTextEdit;
class QPushButton;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    QPlainTextEdit* RE;    // the report; the user may edit it before saving
    QPushButton* BitBtn1;  // "保存为文本"
    QPushButton* BitBtn2;  // "退出"

    // Puts the report's lines into RE and shows the window (not modal).
    void showReport(const tms::TLoadingReport& report);
    // The lines of RE as they stand.
    std::vector<std::string> lines() const;

    // The save dialog (SaveDialog1): the chosen file name, or nothing when
    // the user cancels. Tests replace it.
    std::function<std::optional<QString>()> SaveDialog1;

    void BitBtn1Click();
};
