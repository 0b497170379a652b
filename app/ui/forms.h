#pragma once
// The program's forms. Each is created once at start-up, in a fixed order, and lives as long as
// the main window, which holds every form (main_form.h): the database window in turn holds the
// dialogs only it opens, and the message boxes of the program's databases. User-interface thread
// only.

class TMainForm;

// Creates the main window (which runs its FormCreate) and then every other form in the start-up
// order. The forms are children of the main window and are destroyed with it; the caller owns the
// main window.
TMainForm* CreateForms();
// Forgets the database window's hooks into the main window after the main window has been
// destroyed.
void ForgetForms();
