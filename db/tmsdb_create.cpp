// Creates the program's database file, keyed with its password, when it is
// missing. An existing file is never touched.

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "platform/DbSchema.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tmsdb-create <database file>\n");
        return 2;
    }
    const QString path = args[1];
    if (QFileInfo::exists(path)) {
        std::printf("%s exists; left as it is\n", qPrintable(path));
        return 0;
    }
    QString error;
    if (!tms::createDatabase(path, QString::fromLatin1(tms::kDatabasePassword), true, &error)) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    std::printf("created %s\n", qPrintable(path));
    return 0;
}
