#pragma once
// The program's forms. Each is created once at start-up, in a fixed order, and lives as long as
// the main window, which owns the program's own forms (main_form.h). User-interface thread only.

class TMainForm;

// GameInfoForm and DatabaseForm are declared with their classes (gamedb/ui).

// Creates the main window (which runs its FormCreate) and then every other form in the start-up
// order. The forms are children of the main window and are destroyed with it; the caller owns the
// main window.
TMainForm* CreateForms();
// Forgets the database forms' pointers and the installed progress, prompt and chooser after the
// main window has been destroyed.
void ForgetForms();
