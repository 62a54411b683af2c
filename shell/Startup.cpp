#include "shell/Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "data/Unit10.h"
#include "data/Unit2.h"
#include "data/Unit5.h"
#include "data/Unit6.h"
#include "data/Unit7.h"
#include "engine/Holdwisep.h"
#include "platform/Dialogs.h"
#include "selfhelp/SelpHelpOrderForm9.h"
#include "selfhelp/Unit11.h"
#include "shell/Unit4.h"
#include "view/Shading.h"
#include "view/Unit3.h"
#include "view/Unit8.h"

namespace {

template <typename T>
void destroy(T*& form) {
    delete form;
    form = nullptr;
}

}  // namespace

bool createForms() {
    tms::setShadingMessage([](const std::string& text) { tms::ui::showMessage(QString::fromStdString(text)); });
    Form4 = new TForm4;
    if (Form4->connectionFailed()) return false;
    Form1 = new TForm1;
    Form5 = new TForm5;
    Form6 = new TForm6;
    Form7 = new TForm7;
    Form8 = new TForm8;
    Form10 = new TForm10;
    Form2 = new TForm2;
    Form3 = new TForm3;
    Form9 = new TForm9;
    Form11 = new TForm11;
    return true;
}

void destroyForms() {
    destroy(Form11);
    destroy(Form9);
    destroy(Form3);
    destroy(Form2);
    destroy(Form10);
    destroy(Form8);
    destroy(Form7);
    destroy(Form6);
    destroy(Form5);
    destroy(Form1);
    destroy(Form4);
}

void setApplicationHelpFile() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->setProperty("HelpFile", QString::fromLatin1(kApplicationHelpFile));
}

bool loadQtTranslation() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    // Only the toolkit's own texts follow it: the program writes its numbers
    // and dates itself (QString::number, fixed date formats), never by the
    // locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
