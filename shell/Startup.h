#pragma once
// The windows of the program, made and destroyed as a whole.

// Creates the eleven windows in their fixed order, the main window first.
// When the main window cannot open the database, nothing more is created
// and the result is false.
bool createForms();
// Destroys every window there is, in the reverse order.
void destroyForms();
