// The program: module start-up, the application object, the eleven windows
// in their fixed order, the message loop, and the way out.

#include <QApplication>
#include <exception>

#include "oracle/OraModules.h"
#include "oracle/OraPlatform.h"
#include "platform/Dialogs.h"
#include "shell/JPEG.h"
#include "shell/Startup.h"
#include "shell/Unit4.h"
#include "view/GLPanel.h"

namespace {

// An error that escapes an event handler is shown in the error box and the
// program goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            tms::ui::showError(QString::fromUtf8(e.what()));
        } catch (...) {
            tms::ui::showError(QStringLiteral("未知错误"));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    tms::ora::startupModules();
    JPEG::registerFileFormats();

    // Every GL surface of the program: legacy OpenGL 2.1, 8 bits per colour,
    // 24-bit depth, double buffer. Must be set before the application exists.
    TGLPanel::setDefaultSurfaceFormat();

    int status = 1;  // the database could not be opened
    {
        TApplication app(argc, argv);
        setApplicationHelpFile();
        QCoreApplication::setApplicationName(QStringLiteral("舱易通"));
        loadQtTranslation();
        // The data-access library's warnings appear in the program's boxes
        // while the application object lives.
        tms::ora::SetWarningHook([](const std::string& title, const std::string& text) {
            tms::ui::showWarning(QString::fromUtf8(title.c_str()), QString::fromUtf8(text.c_str()));
        });
        if (createForms()) {
            Form4->show();
            status = app.exec();
        }
        destroyForms();
        tms::ora::SetWarningHook(nullptr);
    }
    tms::ora::shutdownModules();
    return status;
}
