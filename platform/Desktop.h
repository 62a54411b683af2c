#pragma once
// Where the program lives and the desktop's "open" action for documents.

#include <QString>

#include <functional>

namespace tms::desktop {

// The running program's folder with a trailing "/", where its database
// folder, setup.ini and help file are.
QString programDir();
// For tests: use another folder as the program's folder ("" restores).
void setProgramDir(const QString& dir);

// Opens the file with the desktop's open action and does not wait. A
// missing file opens nothing and says nothing. Logged instead of opened
// when TMS_DIALOG_LOG is set (see Dialogs.h).
void openDocument(const QString& path);

// For tests: takes every open request in place of the desktop. Returns the
// previous handler; an empty handler restores the desktop.
using OpenHandler = std::function<void(const QString& path)>;
OpenHandler setOpenHandler(OpenHandler handler);

}  // namespace tms::desktop
