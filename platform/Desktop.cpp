#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

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

void openDocument(const QString& path) {
    QString file = path;
    file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!QFileInfo(file).isFile()) return;
    if (const OpenHandler& h = openSlot()) {
        h(file);
        return;
    }
    if (tms::ui::logToEnvironment(QStringLiteral("open"), QString(), file)) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::cleanPath(file)));
}

OpenHandler setOpenHandler(OpenHandler handler) {
    OpenHandler previous = std::move(openSlot());
    openSlot() = std::move(handler);
    return previous;
}

}  // namespace tms::desktop
