// Start-up of the program.
#pragma once

// Creates the windows that live from start-up to the end, after the main window and in this
// order: the about box, the confirmation and message dialogs, the proxy login, the URL editor,
// the condition editor (its Help opens the main window's help page) and the filter dialog.
void CreateSharedWindows();

#include <QString>

// Runs the program: the main window (which creates the settings object), the shared windows,
// the message loop until the main window is closed; the main window is destroyed at the end,
// which writes the settings file. The application object must exist. A report named on the
// command line (report not empty) is opened as Open opens it.
int RunQuarrylog(const QString& report = QString());
