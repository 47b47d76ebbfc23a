// The terminal's signals while the line editor may hold the terminal in its
// own modes (no echo, no line mode): the editor's library handles none of
// them, this module does.
//
// - Stop (Ctrl-Z, SIGTSTP, and SIGTTIN and SIGTTOU): the shell's modes go
//   back, this process stops by the signal's default action; on continuing in
//   the foreground the editor's modes come back and the line is to be drawn
//   again.
// - Window change (SIGWINCH): marked every time, for the editor to take the
//   new size.
// - Every catchable signal whose default action ends the process (SIGTERM,
//   SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGXCPU, the real-time signals, ...):
//   the shell's modes go back, then the signal ends this process with its
//   default action, so that the parent sees the true status. A signal that
//   was ignored (or had a handler) when the program started is left alone.
//
// No signal is ever sent to anything but this process. The handlers are
// async-signal-safe.
#pragma once

#include <csignal>
#include <termios.h>

namespace runtime::termsig {

// Installs the handlers, once; shell is the terminal's modes to give back.
void install(const termios& shell);

// The editor has switched the terminal to editor (its modes while a line is
// edited) / has put the shell's modes back.
void editorModesOn(const termios& editor);
void editorModesOff();

// Puts the shell's modes back if the editor holds the terminal in its own
// (a termination procedure: async-signal-safe).
void restoreShellModes();

// The marks of the events since they were last taken.
bool takeResized();
bool takeContinued();

// The signals that set those marks: held off while the key reader looks at
// the marks, and let in only during its wait (ppoll), so that none is missed.
const sigset_t& eventSignals();

} // namespace runtime::termsig
