// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Every handler of a menu item, tool button or dialog button runs its work
// through runCommand:
// - with BusyCursor::Show, the application-wide hourglass is shown while the
//   body runs and the default cursor comes back on every way out;
// - an error (dimora::Error or any other std::exception) ends the body; it is
//   shown as the general error report (title "Dimora3", error icon, one OK
//   button, the message with the full-stop rule) through platform(), after the
//   cursor is back; the program then goes on with whatever state the body had
//   reached. No exception leaves runCommand.
//
// A command that runs another command's body (a measurement running the
// recalculation, save-as running save) may call runCommand inside runCommand:
// the inner one restores its cursor and passes the error on, so the outermost
// command shows exactly one report and stops there.

#include <functional>

class QObject;

// Whether a command shows the hourglass while its body runs. Commands that
// only show a window or open a dialog run without it.
enum class BusyCursor { Show, DontShow };

void runCommand(const std::function<void()>& body, BusyCursor busyCursor = BusyCursor::Show);

// For a command that runs inside the handling of an input event, such as the
// focus change that a mouse press makes: runCommand without the hourglass,
// except that an error is reported only once that event has been handled,
// from the event loop (as long as `context` lives), after `beforeReport`. A
// modal box opened in the middle of a mouse press takes the mouse from the
// control being pressed, which then never sees its release.
void runCommandReportingLater(QObject* context, const std::function<void()>& body,
                              std::function<void()> beforeReport = {});

// True while the body of a command runs. A command that lets the event loop
// serve the windows meanwhile (the slice run, to keep its progress painted)
// relies on it to keep the windows it works with from being closed under it.
[[nodiscard]] bool commandRunning();

// Shows the hourglass for the lifetime of the object (for a stretch of work
// inside a command that does not show it as a whole).
class ScopedBusyCursor {
public:
    ScopedBusyCursor();
    ~ScopedBusyCursor();
    ScopedBusyCursor(const ScopedBusyCursor&) = delete;
    ScopedBusyCursor& operator=(const ScopedBusyCursor&) = delete;
};
