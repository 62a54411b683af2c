#pragma once
// File helpers for tests that watch what a run leaves on disk: a file's
// content hash, and the system's temporary folder pointed elsewhere for a
// while.

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>

// SHA-256 of the file's bytes; empty when it cannot be read.
inline QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Points TMPDIR at `folder` while it lives; then TMPDIR is as it was before
// (unset again when it was unset), whatever a test set in between.
class TmpdirOverride {
public:
    explicit TmpdirOverride(const QString& folder) : saved_(qgetenv("TMPDIR")) { qputenv("TMPDIR", folder.toUtf8()); }
    ~TmpdirOverride() {
        if (saved_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", saved_);
    }
    TmpdirOverride(const TmpdirOverride&) = delete;
    TmpdirOverride& operator=(const TmpdirOverride&) = delete;

private:
    QByteArray saved_;
};
