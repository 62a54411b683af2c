#include "view/Unit3.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "platform/Dialogs.h"
#include "platform/WindowKit.h"

namespace {
// The save dialog's filter.
const QString kFilter = QStringLiteral("Text files (*.txt *.TXT)");

// Replaces the file `path` by `bytes`: through a temporary copy renamed over
// it where the folder allows that, so a failed write leaves the file as it
// was; in a folder that takes no new file, an existing writable file is
// written in place. False with the reason in `error` when neither works.
bool replaceFile(const QString& path, const std::string& bytes, QString& error) {
    const qint64 n = static_cast<qint64>(bytes.size());
    QSaveFile out(path);
    out.setDirectWriteFallback(true);  // a folder without write permission
    if (out.open(QIODevice::WriteOnly)) {
        if (out.write(bytes.data(), n) == n && out.commit()) return true;
        error = out.errorString();
        return false;
    }
    error = out.errorString();
    // A folder that refuses new files for another reason than its
    // permissions (the fallback above takes only those).
    if (!QFileInfo(path).isFile()) return false;
    QFile direct(path);
    if (!direct.open(QIODevice::WriteOnly)) return false;
    if (direct.write(bytes.data(), n) == n && direct.flush()) return true;
    error = direct.errorString();
    return false;
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("装箱明细"));

    RE = new QPlainTextEdit(this);
    RE->setObjectName(QStringLiteral("RE"));
    RE->setLineWrapMode(QPlainTextEdit::NoWrap);
    RE->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    {
        // A font whose Chinese characters are two ASCII columns wide, so the
        // report's columns line up as they do in the saved file.
        QFont f;
        f.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("WenQuanYi Zen Hei Mono"),
                       QStringLiteral("monospace")});
        f.setStyleHint(QFont::Monospace);
        f.setPixelSize(13);
        RE->setFont(f);
    }
    BitBtn1 = new QPushButton(QStringLiteral("保存为文本"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("退出"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(RE, 1);
    lay->addLayout(buttons);

    SaveDialog1 = [this]() -> std::optional<QString> {
        const QString file = tms::ui::askSaveFileName(this, kFilter);
        if (file.isEmpty()) return std::nullopt;
        return file;
    };
    connect(BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QWidget::close);

    // The whole frame on the screen, from its top left corner.
    tms::ui::fitFrameToScreen(this);
}

void TForm3::showReport(const tms::TLoadingReport& report) {
    QStringList text;
    for (const std::string& l : report.lines) text << QString::fromStdString(l);
    RE->setPlainText(text.join(QLatin1Char('\n')));
    show();
    raise();
    activateWindow();
}

std::vector<std::string> TForm3::lines() const {
    const QString text = RE->toPlainText();
    std::vector<std::string> out;
    if (text.isEmpty()) return out;
    QStringList parts = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) parts.removeLast();  // a final line end starts no line
    for (const QString& p : parts) out.push_back(p.toStdString());
    return out;
}

void TForm3::BitBtn1Click() {
    const std::optional<QString> file = SaveDialog1 ? SaveDialog1() : std::nullopt;
    if (!file || file->isEmpty()) return;
    // The name exactly as entered; an existing file is replaced whole.
    QString error;
    if (!replaceFile(*file, tms::reportBytes(lines()), error))
        tms::ui::showError(QStringLiteral("无法创建文件 \"%1\"。\n%2").arg(*file, error));
}
