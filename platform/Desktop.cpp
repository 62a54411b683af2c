#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "platform/Dialogs.h"

namespace tms::desktop {

namespace {

QString& dirOverride() {
    static QString d;
    return d;
}

OpenHandler& openSlot() {
    static OpenHandler h;
    return h;
}

// The first line a helper program prints, or "" when it cannot be run,
// fails or takes too long.
QString firstLineOf(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(1000);
        return QString();
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
}

// xdg-open itself only reports a missing handler after it has been started
// and has left, so the handler is asked for first: the file's type, then
// the program the desktop names for it.
bool openWithDesktop(const QString& file) {
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    const QString open = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (mime.isEmpty() || open.isEmpty()) return false;
    const QString type = firstLineOf(mime, {QStringLiteral("query"), QStringLiteral("filetype"), file});
    if (type.isEmpty()) return false;
    if (firstLineOf(mime, {QStringLiteral("query"), QStringLiteral("default"), type}).isEmpty()) return false;
    return QProcess::startDetached(open, {file});
}

QString withSlash(QString d) {
    if (!d.endsWith(QLatin1Char('/'))) d += QLatin1Char('/');
    return d;
}

}  // namespace

QString programDir() {
    if (!dirOverride().isEmpty()) return withSlash(dirOverride());
    return withSlash(QCoreApplication::applicationDirPath());
}

void setProgramDir(const QString& dir) { dirOverride() = dir; }

OpenResult openDocument(const QString& path, const QStringList& viewers) {
    QString file = path;
    file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!QFileInfo(file).isFile()) return OpenResult::Missing;
    if (const OpenHandler& h = openSlot()) {
        h(file);
        return OpenResult::Opened;
    }
    if (tms::ui::logToEnvironment(QStringLiteral("open"), QString(), file)) return OpenResult::Opened;
    file = QFileInfo(file).absoluteFilePath();
    if (openWithDesktop(file)) return OpenResult::Opened;
    for (const QString& viewer : viewers) {
        const QString program = QStandardPaths::findExecutable(viewer);
        if (!program.isEmpty() && QProcess::startDetached(program, {file})) return OpenResult::Opened;
    }
    return OpenResult::NoViewer;
}

OpenHandler setOpenHandler(OpenHandler handler) {
    OpenHandler previous = std::move(openSlot());
    openSlot() = std::move(handler);
    return previous;
}

}  // namespace tms::desktop
