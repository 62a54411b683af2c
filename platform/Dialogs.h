#pragma once
// The one way the program talks to the user in boxes: plain messages,
// OK/Cancel confirmations, the about box, the save dialog and the wait
// cursor.
//
// Tests answer the boxes instead of the user: in-process with a handler
// (BoxRecorder below), or in a child process through the environment:
// TMS_DIALOG_LOG=<file> makes every box append one line to that file,
// "<kind>\t<title>\t<text>" (line breaks of the text written as "\n"),
// instead of being shown, and TMS_DIALOG_ANSWER=cancel makes confirmations
// answer Cancel (they answer OK otherwise). Documents opened through
// tms::desktop are logged there as well, as "open\t\t<path>".

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tms::ui {

enum class BoxKind { Message, Warning, Error, Confirm, About };
enum class Answer { Ok, Cancel };

struct Box {
    BoxKind kind;
    QString title;
    QString text;
};

// Modal box with the text and an OK button, titled with the program's name.
void showMessage(const QString& text);
// Modal box with a title, an exclamation icon and an OK button.
void showWarning(const QString& title, const QString& text);
// The box for an error nothing else handled.
void showError(const QString& text);
// Modal OK/Cancel question; true only when the user chose OK.
bool confirm(const QString& title, const QString& text);
// Modal about box without an icon: the program's name and version, then one
// line under it.
void about(const QString& appText, const QString& line);

// The file dialog asking where to save, opening in the current folder with
// the given filter; an empty text when the user cancels. Its file list
// shows types, sizes and dates in the program's locale.
QString askSaveFileName(QWidget* parent, const QString& filter);

// Hourglass cursor for the lifetime of the object; nests.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool set_;
};

// A handler takes every box in place of the user. Returns the previous
// handler; an empty handler restores the real boxes.
using BoxHandler = std::function<Answer(const Box&)>;
BoxHandler setBoxHandler(BoxHandler handler);

// For tests: records every box while it lives and answers confirmations
// with `answer` (or with the answers queued by answerNext, first).
class BoxRecorder {
public:
    explicit BoxRecorder(Answer answer = Answer::Ok);
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    void answerNext(Answer a) { queued_.append(a); }
    const QList<Box>& boxes() const { return boxes_; }
    QStringList texts() const;
    void clear() { boxes_.clear(); }

private:
    Answer answer_;
    QList<Answer> queued_;
    QList<Box> boxes_;
    BoxHandler previous_;
};

// Writes one line to the TMS_DIALOG_LOG file when that is set; true if it
// was (used by the desktop services too).
bool logToEnvironment(const QString& kind, const QString& title, const QString& text);

}  // namespace tms::ui
