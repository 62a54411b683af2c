#pragma once
// The windows of the program, made and destroyed as a whole.

// Creates the eleven windows in their fixed order, the main window first.
// When the main window cannot open the database, nothing more is created
// and the result is false.
bool createForms();
// Destroys every window there is, in the reverse order.
void destroyForms();

// The application's help-file property ("HelpFile"): a fixed absolute path
// ending in "HOLDWSHP.CHM". Nothing opens it; the help button opens
// help.CHM beside the program.
inline constexpr const char* kApplicationHelpFile = "/usr/share/doc/cangyitong/HOLDWSHP.CHM";
void setApplicationHelpFile();

// Makes Chinese (China) the default locale, so that the standard dialogs
// show their dates and sizes in Chinese, and loads Qt's own Chinese texts
// into the application, so that its standard buttons ("确定", "取消"), the
// colour and file dialogs and the edit menus speak the program's language.
// False when the texts are not installed; the program then runs with Qt's
// English texts.
bool loadQtTranslation();
