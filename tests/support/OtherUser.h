#pragma once
// For tests of files and folders without write permission: the test runs
// as root in some places, and root writes everywhere. While an AsOtherUser
// lives, files are opened as the unprivileged user "nobody" (the effective
// user and group change, for every thread); without root it does nothing,
// as the permissions then hold by themselves. `shareFolder` opens a folder
// and those above it within `root` for that user to read and pass.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <sys/stat.h>
#include <unistd.h>

class AsOtherUser {
public:
    AsOtherUser() : root_(::geteuid() == 0) {
        if (!root_) return;
        if (::setegid(kNobody) != 0 || ::seteuid(kNobody) != 0) root_ = false;
    }
    ~AsOtherUser() {
        if (!root_) return;
        [[maybe_unused]] const int u = ::seteuid(0);
        [[maybe_unused]] const int g = ::setegid(0);
    }
    AsOtherUser(const AsOtherUser&) = delete;
    AsOtherUser& operator=(const AsOtherUser&) = delete;

    static void setMode(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }
    static void shareFolder(const QString& root, const QString& folder) {
        for (QString d = QFileInfo(folder).absoluteFilePath(); d.startsWith(root); d = QFileInfo(d).absolutePath()) {
            setMode(d, 0755);
            if (d == root) break;
        }
    }

private:
    static constexpr uid_t kNobody = 65534;
    bool root_;
};
