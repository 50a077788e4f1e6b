// Runs a GTK dialog as a modal one. On the GUI thread it waits in a nested loop, which keeps
// serving the calls other threads marshal; from another thread the dialog is shown on the GUI
// thread, which goes on with its own loop, and the caller waits for the answer.
#pragma once

#include <functional>

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
class CWnd;

// make builds the dialog on the GUI thread (nullptr: nothing to show); take reads it there once
// it has answered, just before it is destroyed. Returns the GTK response, GTK_RESPONSE_NONE when
// nothing was shown.
int RunGtkDialog(const std::function<GtkWidget*()>& make, const std::function<void(GtkWidget*, int)>& take);

// The visible GTK window a dialog of pParent (else of the application's main window) belongs to.
GtkWindow* GtkOwnerWindow(CWnd* pParent);
