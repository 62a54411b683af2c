#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

namespace {

// The file's lines as they stand, each with its own line end; `exists`
// tells a missing file from an empty one.
QList<QByteArray> readLines(const QString& fileName, bool* exists) {
    QFileInfo fi(fileName);
    *exists = fi.exists();
    if (!*exists) return {};
    QFile f(fileName);
    if (fi.isDir() || !f.open(QIODevice::ReadOnly)) throw EIniFileError(QStringLiteral("cannot read ") + fileName);
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError) throw EIniFileError(QStringLiteral("cannot read ") + fileName);
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype nl = all.indexOf('\n', start);
        qsizetype end = nl < 0 ? all.size() : nl + 1;
        lines.append(all.mid(start, end - start));
        start = end;
    }
    return lines;
}

QString text(const QByteArray& line) { return QString::fromUtf8(line).trimmed(); }

// The name of a "[name]" line, or a null string for any other line.
QString sectionName(const QString& t) {
    if (!t.startsWith(QLatin1Char('['))) return QString();
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return QString();
    QString name = t.mid(1, close - 1).trimmed();
    return name.isNull() ? QStringLiteral("") : name;
}

bool isComment(const QString& t) { return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')); }

bool keyLine(const QString& t, QString* key, QString* value) {
    if (isComment(t)) return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    *key = t.left(eq).trimmed();
    *value = t.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

struct Found {
    qsizetype section = -1;        // line of the section header
    qsizetype key = -1;            // line of the key
    qsizetype lastInSection = -1;  // last non-blank line of the section
    QString value;
};

Found find(const QList<QByteArray>& lines, const QString& section, const QString& key) {
    Found f;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString t = text(lines[i]);
        const QString s = sectionName(t);
        if (!s.isNull()) {
            if (inSection) break;  // the first section of that name is the one
            inSection = sameName(s, section.trimmed());
            if (inSection) f.section = f.lastInSection = i;
            continue;
        }
        if (!inSection) continue;
        if (!t.isEmpty()) f.lastInSection = i;
        QString k, v;
        if (f.key < 0 && keyLine(t, &k, &v) && sameName(k, key.trimmed())) {
            f.key = i;
            f.value = v;
        }
    }
    return f;
}

QByteArray lineEnd(const QList<QByteArray>& lines) {
    return !lines.isEmpty() && lines.first().endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
}

QByteArray endingOf(const QByteArray& line, const QByteArray& fallback) {
    if (line.endsWith("\r\n")) return "\r\n";
    if (line.endsWith('\n')) return "\n";
    return fallback;
}

}  // namespace

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    bool exists = false;
    const QList<QByteArray> lines = readLines(fileName_, &exists);
    const Found f = find(lines, section, key);
    return f.key < 0 ? def : f.value;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    bool exists = false;
    QList<QByteArray> lines = readLines(fileName_, &exists);
    if (exists) {
        const QFileDevice::Permissions p = QFile::permissions(fileName_);
        if (!(p & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)))
            throw EIniFileError(QStringLiteral("read-only file ") + fileName_);
    }
    const QByteArray eol = lineEnd(lines);
    const Found f = find(lines, section, key);
    const QByteArray v = value.trimmed().toUtf8();
    if (f.key >= 0) {
        const QString t = text(lines[f.key]);
        const QByteArray k = t.left(t.indexOf(QLatin1Char('='))).trimmed().toUtf8();
        lines[f.key] = k + '=' + v + endingOf(lines[f.key], eol);
    } else {
        if (!lines.isEmpty() && !lines.last().endsWith('\n')) lines.last() += eol;
        const QByteArray keyText = key.trimmed().toUtf8() + '=' + v + eol;
        if (f.section >= 0) {
            lines.insert(f.lastInSection + 1, keyText);
        } else {
            lines.append('[' + section.trimmed().toUtf8() + ']' + eol);
            lines.append(keyText);
        }
    }
    QSaveFile out(fileName_);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly)) throw EIniFileError(QStringLiteral("cannot write ") + fileName_);
    for (const QByteArray& l : lines) out.write(l);
    if (!out.commit()) throw EIniFileError(QStringLiteral("cannot write ") + fileName_);
}
