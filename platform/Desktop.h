#pragma once
// Where the program lives and the desktop's "open" action for documents.

#include <QString>
#include <QStringList>
#include <functional>

namespace tms::desktop {

// The running program's folder with a trailing "/", where its database
// folder, setup.ini and help file are.
QString programDir();
// For tests: use another folder as the program's folder ("" restores).
void setProgramDir(const QString& dir);

enum class OpenResult {
    Opened,    // a program was started on the file
    Missing,   // there is no such file; nothing was tried
    NoViewer,  // nothing on this machine could open it
};

// Opens the file with the program the desktop names for its type (asked of
// xdg-mime, started through xdg-open) or, when the desktop names none or
// cannot start it, with the first of `viewers` found on the search path;
// does not wait for the program. Saying what went wrong is the caller's.
// Logged instead of opened when TMS_DIALOG_LOG is set (see Dialogs.h).
OpenResult openDocument(const QString& path, const QStringList& viewers = {});

// For tests: takes every open request in place of the desktop. Returns the
// previous handler; an empty handler restores the desktop.
using OpenHandler = std::function<void(const QString& path)>;
OpenHandler setOpenHandler(OpenHandler handler);

}  // namespace tms::desktop
