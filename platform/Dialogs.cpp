#include "platform/Dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStringList>

namespace tms::ui {

namespace {

BoxHandler& handlerSlot() {
    static BoxHandler h;
    return h;
}

QString kindName(BoxKind k) {
    switch (k) {
    case BoxKind::Message: return QStringLiteral("message");
    case BoxKind::Warning: return QStringLiteral("warning");
    case BoxKind::Error: return QStringLiteral("error");
    case BoxKind::Confirm: return QStringLiteral("confirm");
    case BoxKind::About: return QStringLiteral("about");
    }
    return QString();
}

// The answer of a box taken by a handler or by the environment log, or
// nothing when the box is to be shown for real.
bool answeredElsewhere(const Box& box, Answer& answer) {
    if (const BoxHandler& h = handlerSlot()) {
        answer = h(box);
        return true;
    }
    if (logToEnvironment(kindName(box.kind), box.title, box.text)) {
        answer = qgetenv("TMS_DIALOG_ANSWER").trimmed().toLower() == "cancel" ? Answer::Cancel : Answer::Ok;
        return true;
    }
    return false;
}

QWidget* boxParent() { return QApplication::activeWindow(); }

QString programTitle() { return QCoreApplication::applicationName(); }

// Room in a window manager's title bar besides the title: the window's icon
// and its minimise, maximise and close buttons.
constexpr int kTitleBarButtons = 120;

// Widens a box whose text is short to the width its title needs in the
// title bar (a bold face, as title bars commonly use), so that the title
// is shown whole rather than cut to "…".
void leaveRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont bold = box.font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

void showBox(BoxKind kind, QMessageBox::Icon icon, const QString& title, const QString& text) {
    Answer ignored;
    if (answeredElsewhere({kind, title, text}, ignored)) return;
    QMessageBox box(icon, title, text, QMessageBox::Ok, boxParent());
    leaveRoomForTitle(box);
    box.exec();
}

// The file dialog's list with its size, type and date columns written in
// the program's locale: the toolkit's list writes them in the system's,
// English under a C locale, and names a folder's type only in English.
class TLocalFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files) return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        switch (index.column()) {
        case 1: return info.isDir() ? QString() : QLocale().formattedDataSize(info.size());
        case 2:
            if (info.isDir()) return QStringLiteral("文件夹");
            break;
        case 3: return QLocale().toString(info.lastModified(), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

bool logToEnvironment(const QString& kind, const QString& title, const QString& text) {
    const QString path = qEnvironmentVariable("TMS_DIALOG_LOG");
    if (path.isEmpty()) return false;
    QFile f(path);
    if (f.open(QIODevice::Append | QIODevice::Text)) {
        QString t = text;
        t.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        f.write((kind + QLatin1Char('\t') + title + QLatin1Char('\t') + t + QLatin1Char('\n')).toUtf8());
    }
    return true;
}

void showMessage(const QString& text) { showBox(BoxKind::Message, QMessageBox::NoIcon, programTitle(), text); }

void showWarning(const QString& title, const QString& text) {
    showBox(BoxKind::Warning, QMessageBox::Warning, title, text);
}

void showError(const QString& text) { showBox(BoxKind::Error, QMessageBox::Critical, programTitle(), text); }

bool confirm(const QString& title, const QString& text) {
    Answer a = Answer::Cancel;
    if (answeredElsewhere({BoxKind::Confirm, title, text}, a)) return a == Answer::Ok;
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel, boxParent());
    box.setDefaultButton(QMessageBox::Ok);
    leaveRoomForTitle(box);
    return box.exec() == QMessageBox::Ok;
}

void about(const QString& appText, const QString& line) {
    const QString title = QStringLiteral("关于 ") + appText;
    const QString text = appText + QLatin1Char('\n') + line;
    Answer ignored;
    if (answeredElsewhere({BoxKind::About, title, text}, ignored)) return;
    // The program has no icon of its own to show here, and the box shows
    // none in its place.
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, boxParent());
    box.setObjectName(QStringLiteral("AboutBox"));
    leaveRoomForTitle(box);
    box.exec();
}

QString askSaveFileName(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A desktop's own dialog would take no proxy and speak the system's
    // language.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new TLocalFileColumns(&dialog));
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.selectedFiles().value(0);
}

WaitCursor::WaitCursor() : set_(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    if (set_) QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    if (set_) QApplication::restoreOverrideCursor();
}

BoxHandler setBoxHandler(BoxHandler handler) {
    BoxHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}

BoxRecorder::BoxRecorder(Answer answer) : answer_(answer) {
    previous_ = setBoxHandler([this](const Box& b) {
        boxes_.append(b);
        if (b.kind != BoxKind::Confirm) return Answer::Ok;
        return queued_.isEmpty() ? answer_ : queued_.takeFirst();
    });
}

BoxRecorder::~BoxRecorder() { setBoxHandler(std::move(previous_)); }

QStringList BoxRecorder::texts() const {
    QStringList out;
    for (const Box& b : boxes_) out << b.text;
    return out;
}

}  // namespace tms::ui
