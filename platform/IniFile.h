#pragma once
// Small settings files of "[section]" headers and "key=value" lines.
// Section and key names compare case-insensitively, values are trimmed,
// a missing file, section or key reads as the default, and writing a key
// leaves every other line of the file as it was.

#include <QString>
#include <stdexcept>

class EIniFileError : public std::runtime_error {
public:
    explicit EIniFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

class TIniFile {
public:
    explicit TIniFile(const QString& fileName) : fileName_(fileName) {}
    const QString& FileName() const { return fileName_; }

    // Throws EIniFileError when the file is there but cannot be read.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Adds the section and the key when they are missing. The file is
    // replaced whole or not at all. Throws EIniFileError when it cannot be
    // written, a file without any write permission included.
    void WriteString(const QString& section, const QString& key, const QString& value);

private:
    QString fileName_;
};
