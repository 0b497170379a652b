#pragma once
// The program's message loop. Only the main window's close ends the program (its FormCloseQuery
// writes the settings, stops the engine and closes the database first): a message box, dialog or
// progress window that closes ends nothing, also while the database window stands in for the
// hidden main window and is the only window shown. User-interface thread only.

class QWidget;

// Runs the application's message loop until `mainWindow` has closed; returns the loop's exit code.
int RunMessageLoop(QWidget& mainWindow);
