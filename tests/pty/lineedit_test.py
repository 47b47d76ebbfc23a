#!/usr/bin/env python3
"""Line editing in a real pseudo-terminal.

Drives rpncalc, and the reader-only helper rpncalc_lineecho (which shows the
exact text the console reader returned as "read [...]"), through a pty the
way a person at a terminal would: typing, cursor keys, Up/Down, Ctrl-L,
Ctrl-D. With --editing on the build has libedit and every editing case must
work; with --editing off the same terminal must get plain lines, editing keys
arriving as ordinary bytes. The cases where standard input or standard output
is not a terminal run in both builds and compare the bytes exactly.

Exit status: 0 all cases passed, 1 a case failed, 77 no pseudo-terminals here.
"""

import argparse
import fcntl
import os
import re
import resource
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

PROMPT = b" 21Jul03 Enter calc, or HELP: "
UP, DOWN, LEFT, RIGHT = b"\x1b[A", b"\x1b[B", b"\x1b[D", b"\x1b[C"
CTRL_C = b"\x03"
FIVE = b" Result =5.0000000000000,       5.\r\r\n"
CTRL_A, CTRL_D, CTRL_L, CTRL_P, BACKSPACE = b"\x01", b"\x04", b"\x0c", b"\x10", b"\x7f"
ENTER = b"\r"
TIMEOUT = 15.0  # generous: the sanitizer build starts slowly on a busy machine

# A result line as the program writes it, seen through the terminal's output
# processing (each CR LF the program writes arrives as CR CR LF).
RESULT = re.compile(rb" Result =(.{15}),       (\S*)\r\r\n")


class Failure(Exception):
    pass


def check(cond, what, seen=b""):
    if not cond:
        raise Failure(what + ("\n  output so far: %r" % seen if seen else ""))


class Session:
    """One program run with a pty on standard input, standard output or both."""

    def __init__(self, program, tty_in=True, tty_out=True, home=None, raw_output=False,
                 term="xterm", nonblocking=False, lang="C.UTF-8", size=(24, 80), limit=None,
                 tty_err=False):
        self.master, slave = os.openpty()
        if nonblocking:
            # The program inherits its terminal in non-blocking mode, as from
            # another program that shares it.
            fcntl.fcntl(slave, fcntl.F_SETFL, fcntl.fcntl(slave, fcntl.F_GETFL) | os.O_NONBLOCK)
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", size[0], size[1], 0, 0))
        if raw_output:
            # No output processing, so the bytes the program writes arrive unchanged.
            attrs = termios.tcgetattr(slave)
            attrs[1] &= ~termios.OPOST
            termios.tcsetattr(slave, termios.TCSANOW, attrs)
        self.home = home or tempfile.mkdtemp(prefix="rpncalc-pty-")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "TERM": term, "HOME": self.home}
        if lang is not None:
            env["LANG"] = lang
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        tty_fd = 0 if tty_in else 1

        def controlling_terminal():
            # In the new session the pty becomes the controlling terminal, so
            # that Ctrl-C typed on it sends SIGINT as at a real terminal.
            fcntl.ioctl(tty_fd, termios.TIOCSCTTY, 0)
            if limit is not None:  # an address-space limit, in bytes
                resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        self.proc = subprocess.Popen(
            program if isinstance(program, list) else [program],
            stdin=slave if tty_in else subprocess.PIPE,
            stdout=slave if tty_out else subprocess.PIPE,
            stderr=slave if tty_err else subprocess.PIPE,
            cwd=self.home, env=env, start_new_session=True,
            preexec_fn=controlling_terminal)
        # Kept open to see the terminal's file flags after the run.
        self.slave = slave
        self.seen = b""   # everything read from the terminal so far
        self.pos = 0      # how much of it the expectations have used up

    def send(self, data):
        os.write(self.master, data)

    def _read_more(self, deadline):
        left = deadline - time.monotonic()
        if left <= 0:
            return False
        ready, _, _ = select.select([self.master], [], [], left)
        if not ready:
            return False
        try:
            data = os.read(self.master, 4096)
        except OSError:  # the program has closed its side
            return False
        if not data:
            return False
        self.seen += data
        return True

    def expect(self, pattern, what):
        """Waits for pattern (bytes or compiled regex) past the last match;
        returns the bytes skipped before it and the match."""
        regex = pattern if hasattr(pattern, "search") else re.compile(re.escape(pattern))
        deadline = time.monotonic() + TIMEOUT
        while True:
            m = regex.search(self.seen, self.pos)
            if m:
                before = self.seen[self.pos:m.start()]
                self.pos = m.end()
                return before, m
            if not self._read_more(deadline):
                raise Failure("no %s within %.0f s\n  output so far: %r"
                              % (what, TIMEOUT, self.seen))

    def drain(self, seconds=0.3):
        deadline = time.monotonic() + seconds
        while self._read_more(deadline):
            pass
        return self.seen[self.pos:]

    def finish(self, quiet=True):
        """Waits for the program to end; returns its exit status. With quiet,
        standard error must be empty; self.err holds it."""
        deadline = time.monotonic() + TIMEOUT
        while True:  # wait4, for the peak memory of this run (max_rss, KiB)
            pid, wstatus, usage = os.wait4(self.proc.pid, os.WNOHANG)
            if pid:
                break
            if time.monotonic() > deadline:
                self.proc.kill()
                self.proc.wait()
                raise Failure("the program did not end\n  output so far: %r" % self.seen)
            self._read_more(time.monotonic() + 0.05)
        status = self.proc.returncode = os.waitstatus_to_exitcode(wstatus)
        self.max_rss = usage.ru_maxrss
        self.drain(0.2)
        self.final_lflag = termios.tcgetattr(self.master)[3]
        self.final_flags = fcntl.fcntl(self.slave, fcntl.F_GETFL)
        self.err = self.proc.stderr.read() if self.proc.stderr else b""
        self.close()
        check(not quiet or self.err == b"", "standard error is not empty: %r" % self.err)
        return status

    def close(self):
        if self.master >= 0:
            os.close(self.master)
            self.master = -1
        if self.slave >= 0:
            os.close(self.slave)
            self.slave = -1

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.close()


def read_line(s, keys, expected):
    """At a prompt, types keys and Enter; checks the reader got expected."""
    s.expect(PROMPT, "prompt")
    s.send(keys + ENTER)
    _, m = s.expect(re.compile(rb"read \[(.*?)\]\r\r\n"), "echo of the line read")
    check(m.group(1) == expected,
          "typed %r: the program read [%s], expected [%s]"
          % (keys, m.group(1).decode("latin-1"), expected.decode("latin-1")))


def line_mode_kept(s):
    wanted = termios.ICANON | termios.ECHO
    check(s.final_lflag & wanted == wanted, "the terminal was left without line mode and echo")


def end_with_ctrl_d(s, at_prompt=False):
    if not at_prompt:
        s.expect(PROMPT, "prompt")
    s.send(CTRL_D)
    status = s.finish()
    check(status == 0, "Ctrl-D on an empty line: exit status %d, expected 0" % status)
    line_mode_kept(s)


# --- cases with line editing ------------------------------------------------

def dialogue_and_recall(calc, echo):
    """2 3 +, then Up and Enter: the recalled line is drawn after the prompt
    and its result line equals the first; Ctrl-D ends with status 0."""
    s = Session(calc)
    try:
        before, _ = s.expect(PROMPT, "first prompt")
        check(before == b"", "output before the first prompt: %r" % before)
        s.send(b"2 3 +" + ENTER)
        # The editor echoes the line and its newline; the program then writes
        # its own line end, so an empty line shows before the result.
        between, first = s.expect(RESULT, "first result line")
        check(between == b"2 3 +\r\n\r\r\n",
              "between the prompt and the result: %r" % between, s.seen)
        s.expect(PROMPT, "second prompt")
        s.send(UP)
        s.expect(b"2 3 +", "the recalled line drawn after Up")
        s.send(ENTER)
        _, second = s.expect(RESULT, "second result line")
        check(second.group(0) == first.group(0),
              "result lines differ: %r and %r" % (first.group(0), second.group(0)))
        s.expect(PROMPT, "third prompt")
        check(s.seen.count(PROMPT) == 3, "the prompt is not shown once per line", s.seen)
        end_with_ctrl_d(s, at_prompt=True)
        check(s.seen.endswith(b"\r\r\n"), "no line end after Ctrl-D", s.seen)
    finally:
        s.kill()


def edited_line_is_evaluated(calc, evaluator):
    """1 5 +, three times Left, 2: the program evaluates 1 25 +."""
    s = Session(calc)
    try:
        s.expect(PROMPT, "prompt")
        s.send(b"1 5 +" + LEFT * 3 + b"2" + ENTER)
        _, m = s.expect(RESULT, "result line")
        # The editor redrew the line with the 2 inserted before the 5.
        check(b"25 +" in s.seen[:m.start()], "the edited line was not drawn", s.seen)
        if evaluator:
            check(m.group(0) == b" Result =26.000000000000,       26.\r\r\n",
                  "1 25 + did not give 26: %r" % m.group(0))
        end_with_ctrl_d(s)
    finally:
        s.kill()


def editing_keys(echo):
    """What the reader receives after the usual editing keys."""
    cases = [
        (b"1 5 +" + LEFT * 3 + b"2", b"1 25 +"),          # insert in the middle
        (b"2 3 +" + CTRL_A + b"4 ", b"4 2 3 +"),          # insert at the start
        (b"abc" + BACKSPACE, b"ab"),                      # delete before the cursor
        (b"abc" + LEFT * 2 + CTRL_D, b"ac"),              # delete under the cursor
        (b"abc" + LEFT + RIGHT + b"d", b"abcd"),          # back to the end
        (b"12" + b"\x1bOD" + b".", b"1.2"),               # Left in application mode
        (b"abc" + CTRL_D, b"abc"),                        # Ctrl-D on a non-empty line
        (b"abc" + CTRL_A + b"\x06\x05d", b"abcd"),        # Ctrl-F, then Ctrl-E to the end
        (b"abc" + b"\x02\x02\x0b" + b"x", b"ax"),         # Ctrl-K deletes to the end
        (b"abc" + b"\x02\x15" + b"x", b"x"),              # Ctrl-U deletes the whole line
        (b"x" * 300, b"x" * 256),                         # kept: the first 256
        (b"0 " + b"\xc3\xa9", b"0 <C3><A9>"),             # UTF-8 passes through
        (b"\xe9", b"<E9>"),                                # so does a byte that is not UTF-8,
        (b"1\xe9\xc3" + LEFT + b"2", b"1<E9>2<C3>"),        # also mid-line and edited
    ]
    s = Session(echo)
    try:
        for keys, expected in cases:
            read_line(s, keys, expected)
        end_with_ctrl_d(s)
    finally:
        s.kill()


def history_keys(echo):
    """Up and Down walk through the lines of this run."""
    s = Session(echo)
    try:
        for line in (b"1", b"2", b"3"):
            read_line(s, line, line)
        read_line(s, UP + UP + DOWN, b"3")
        read_line(s, UP, b"3")                 # the same line again is not kept twice,
        read_line(s, UP + UP, b"2")            # so the one before is two steps back
        read_line(s, UP * 2, b"3")
        read_line(s, UP * 9, b"1")             # Up stops at the oldest line
        read_line(s, CTRL_P + b" 7", b"1 7")   # recall, then edit
        read_line(s, DOWN + b"5", b"5")        # below the newest: an empty line
        end_with_ctrl_d(s)
    finally:
        s.kill()


def prompt_redrawn(echo):
    """Ctrl-L clears the screen and draws the prompt and the line again."""
    s = Session(echo)
    try:
        s.expect(PROMPT, "prompt")
        s.send(b"42")
        s.expect(b"42", "echo of 42")
        s.send(CTRL_L)
        s.expect(re.compile(re.escape(PROMPT) + rb"(\x1b\[[0-9;]*[A-Za-z])*42"),
                 "prompt and line drawn again after Ctrl-L")
        s.send(ENTER)
        s.expect(b"read [42]", "the line read")
        end_with_ctrl_d(s)
    finally:
        s.kill()


def editor_modes_on(s):
    lflag = termios.tcgetattr(s.master)[3]
    check(lflag & (termios.ICANON | termios.ECHO) == 0,
          "the editor reads keys with the terminal in line mode or echoing", s.seen)


def stop_and_continue(calc):
    """Under a shell with job control, Ctrl-Z and fg twice on one line: after
    each fg the editor has its modes back and draws the line again, and the
    line edited after it is evaluated; the shell keeps its own modes."""
    bash = shutil.which("bash")
    if bash is None:
        print("note: no bash here; stop_and_continue not run")
        return
    shell_prompt = re.compile(rb"\$ $")
    s = Session([bash, "--norc", "--noprofile", "-i"], tty_err=True)  # its prompt
    try:
        s.send(b"PS1='$ '; '" + calc.encode() + b"'" + ENTER)
        s.expect(PROMPT, "prompt")
        s.send(b"1 5 +")
        s.expect(b"1 5 +", "echo of 1 5 +")
        for n in (1, 2):
            s.send(b"\x1a")
            s.expect(b"Stopped", "the shell's report of the stop number %d" % n)
            s.expect(shell_prompt, "the shell's prompt")
            s.send(b"fg" + ENTER)
            s.expect(re.compile(re.escape(PROMPT) + rb"(\x1b\[[0-9;]*[A-Za-z]|\r)*1 5 \+"),
                     "prompt and line drawn again after fg number %d" % n)
            editor_modes_on(s)
        s.send(LEFT * 3 + b"2" + ENTER)
        _, m = s.expect(RESULT, "result line")
        check(m.group(0) == b" Result =26.000000000000,       26.\r\r\n",
              "1 25 + gave %r" % m.group(0))
        s.expect(PROMPT, "prompt")
        s.send(CTRL_D)
        s.expect(shell_prompt, "the shell's prompt after the program")
        s.send(b"exit" + ENTER)
        status = s.finish(quiet=False)
        check(status == 0, "the shell ended with status %d" % status)
        line_mode_kept(s)
    finally:
        s.kill()


def resized_twice(calc):
    """Two window changes while one line is edited: the line is drawn again
    after each, for the new width, and the line wider than the window is still
    edited and evaluated."""
    s = Session(calc)
    try:
        s.expect(PROMPT, "prompt")
        line = b"1 5 +" + b" 0 +" * 6
        s.send(line)
        s.expect(line, "echo of the line")
        for cols in (60, 50):
            fcntl.ioctl(s.master, termios.TIOCSWINSZ, struct.pack("HHHH", 24, cols, 0, 0))
            s.expect(PROMPT, "the prompt drawn again at %d columns" % cols)
        s.send(CTRL_A + b"2" + ENTER)
        _, m = s.expect(RESULT, "result line")
        check(m.group(0) == b" Result =26.000000000000,       26.\r\r\n",
              "21 5 + ... gave %r" % m.group(0))
        end_with_ctrl_d(s)
    finally:
        s.kill()


def no_files(echo):
    """No start-up file is read and no history file is written."""
    home = tempfile.mkdtemp(prefix="rpncalc-pty-home-")
    # Were this read, typing 7 would delete instead.
    with open(os.path.join(home, ".editrc"), "w") as f:
        f.write("bind 7 ed-delete-prev-char\nrpncalc:bind 7 ed-delete-prev-char\n")
    s = Session(echo, home=home)
    try:
        read_line(s, b"17", b"17")
        end_with_ctrl_d(s)
    finally:
        s.kill()
    left = sorted(os.listdir(home))
    check(left == [".editrc"], "files appeared in HOME and the working folder: %r" % left)


# --- cases without line editing ---------------------------------------------

def plain_terminal(calc, echo):
    """Without libedit a terminal gets plain lines: editing keys are bytes."""
    s = Session(echo)
    try:
        read_line(s, b"2 3 +", b"2 3 +")
        read_line(s, UP, b"<1B>[A")
        read_line(s, b"1 5 +" + LEFT, b"1 5 +<1B>[D")
        end_with_ctrl_d(s)
    finally:
        s.kill()
    s = Session(calc)
    try:
        s.expect(PROMPT, "prompt")
        s.send(b"0" + ENTER)
        between, m = s.expect(RESULT, "result line")
        check(between == b"0\r\n\r\r\n", "between the prompt and the result: %r" % between)
        check(m.group(0) == b" Result =0.00000000E+000,       0.\r\r\n",
              "result line for 0: %r" % m.group(0))
        end_with_ctrl_d(s)
    finally:
        s.kill()


# --- Ctrl-C, failures and odd terminals (both builds) --------------------------

def interrupt_keeps_registers(calc):
    """2 3 +, then 4 5 typed and Ctrl-C (twice: the second on the fresh, empty
    line): each drops the line being typed and shows a fresh prompt below it,
    the program goes on, and 0 + gives 5: the registers are kept."""
    s = Session(calc)
    try:
        s.expect(PROMPT, "prompt")
        s.send(b"2 3 +" + ENTER)
        s.expect(RESULT, "first result line")
        s.expect(PROMPT, "second prompt")
        s.send(b"4 5")
        s.expect(b"4 5", "echo of 4 5")
        for n in (1, 2):
            s.send(CTRL_C)
            between, _ = s.expect(PROMPT, "a fresh prompt after Ctrl-C number %d" % n)
            check(between.endswith(b"\r\r\n"), "no line end before the fresh prompt: %r"
                  % between, s.seen)
        s.send(b"0 +" + ENTER)
        _, m = s.expect(RESULT, "result line after Ctrl-C")
        check(m.group(0) == FIVE, "0 + after Ctrl-C gave %r, expected 5" % m.group(0), s.seen)
        end_with_ctrl_d(s)
    finally:
        s.kill()


def modes_after_signals(calc):
    """A signal that ends the program while it waits for a line, part of it
    typed: the terminal is back in line mode with echo for the shell that
    follows. A fault is reported with status 255; any other signal ends the
    program by itself, so that its parent sees that signal."""
    report = re.compile(rb"Unhandled exception\nat [0-9A-F]{8} -> ACCESS_VIOLATION\n")
    cases = [(signal.SIGSEGV, 255, report)] + [
        (sig, -sig, re.compile(b"")) for sig in
        (signal.SIGUSR1, signal.SIGALRM, signal.SIGXCPU, signal.SIGRTMIN + 2)]
    for sig, want, err in cases:
        s = Session(calc)
        try:
            s.expect(PROMPT, "prompt")
            s.send(b"12")
            s.expect(b"12", "echo of 12")
            s.proc.send_signal(sig)
            status = s.finish(quiet=False)
            check(status == want, "signal %d: exit status %d, expected %d" % (sig, status, want))
            check(err.fullmatch(s.err), "signal %d: standard error %r" % (sig, s.err))
            line_mode_kept(s)
        finally:
            s.kill()


def calculator_pid(session_leader, calc):
    """The pid of the program calc in the session that session_leader leads."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        for name in os.listdir("/proc"):
            try:
                if (name.isdigit() and os.getsid(int(name)) == session_leader
                        and os.readlink("/proc/%s/exe" % name) == calc):
                    return int(name)
            except OSError:
                pass
        time.sleep(0.05)
    raise Failure("no process of %s found" % calc)


def signals_stay_with_the_calculator(calc):
    """Under a wrapper shell, signals sent to the program alone reach nobody
    else (the wrapper's traps never fire), and the wrapper goes on and sees the
    program's true status: 124 from timeout's SIGTERM, 128 + n for SIGHUP and
    SIGQUIT. SIGWINCH and SIGINT (the line is dropped) leave it running."""
    script = ('trap "echo trapped" INT WINCH HUP TERM QUIT; timeout --foreground 3 "$0"; '
              'echo "after $?"; "$0"; echo "after $?"; "$0"; echo "after $?"')
    s = Session(["/bin/sh", "-c", script, calc])
    try:
        for sig, want in ((None, b"after 124"), (signal.SIGHUP, b"after 129"),
                          (signal.SIGQUIT, b"after 131")):
            s.expect(PROMPT, "prompt")
            s.send(b"12")
            s.expect(b"12", "echo of 12")
            if sig is not None:
                pid = calculator_pid(s.proc.pid, calc)
                for other in (signal.SIGWINCH, signal.SIGINT):
                    os.kill(pid, other)
                s.expect(PROMPT, "a fresh prompt after SIGINT")
                os.kill(pid, sig)
            s.expect(want, want.decode())
        status = s.finish(quiet=False)
        check(status == 0, "the wrapper ended with status %d" % status)
        check(b"trapped" not in s.seen, "a signal reached the wrapper", s.seen)
        line_mode_kept(s)
    finally:
        s.kill()


def undecodable_keys(calc):
    """A key the locale cannot decode, alone on a line and in the middle of
    one, in C (LANG unset), POSIX, a locale that is not installed, and a UTF-8
    locale given a Latin-1 byte: the program says what it says to the same
    bytes from a pipe, and the session and its registers go on."""
    for lang, key in ((None, "\u00e9".encode()), ("POSIX", "\u00a3".encode()),
                      ("xx_XX.UTF-8", "\u00b2".encode()), ("C.UTF-8", b"\xe9")):
        lines = [b"7 STO", key, b"1 " + key + b" 2 +", b"RCL"]
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
        piped = subprocess.run([calc], input=b"".join(l + b"\n" for l in lines), env=env,
                               stdout=subprocess.PIPE, timeout=TIMEOUT).stdout
        # Seen through the terminal's output processing: CR LF as CR CR LF.
        answers = [a.replace(b"\r\n", b"\r\r\n") for a in piped.split(PROMPT)[1:-1]]
        check(len(answers) == len(lines), "LANG=%s: the piped run: %r" % (lang, piped))
        s = Session(calc, lang=lang)
        try:
            s.expect(PROMPT, "prompt")
            for line, answer in zip(lines, answers):
                s.send(line + ENTER)
                before, _ = s.expect(PROMPT, "the prompt after %r" % line)
                check(before.endswith(answer), "LANG=%s, typed %r: %r, through a pipe %r"
                      % (lang, line, before, answer))
            end_with_ctrl_d(s, at_prompt=True)
        finally:
            s.kill()


def huge_window(calc, sanitized):
    """A terminal that reports 65535 x 65535 under an address-space limit (not
    in a sanitizer build, whose shadow memory needs more): the prompt comes,
    a line longer than any editor grid is evaluated as through a pipe, and the
    peak memory stays small. Back at 24 x 80 the editor serves again."""
    s = Session(calc, size=(65535, 65535), limit=None if sanitized else 256 << 20)
    try:
        s.expect(PROMPT, "prompt")
        s.send(b"2 3 +" + b" " * 1500 + ENTER)
        _, m = s.expect(RESULT, "result line of the long line")
        check(m.group(0) == FIVE, "2 3 + and 1500 blanks gave %r" % m.group(0))
        s.expect(PROMPT, "prompt")
        fcntl.ioctl(s.master, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
        s.send(b"0 +" + ENTER)
        _, m = s.expect(RESULT, "result line")
        check(m.group(0) == FIVE, "0 + gave %r" % m.group(0))
        end_with_ctrl_d(s)
        check(s.max_rss < 64 * 1024, "peak memory %d KiB" % s.max_rss)
    finally:
        s.kill()


def odd_terminals(calc):
    """An unknown terminal type: not a word on standard error, lines are still
    read. A terminal inherited in non-blocking mode: the program waits for the
    late input instead of ending, and leaves the terminal's flags as it found
    them."""
    for what, options in (("unknown TERM", {"term": "no-such-terminal-rpncalc"}),
                          ("non-blocking terminal", {"nonblocking": True})):
        s = Session(calc, **options)
        try:
            s.expect(PROMPT, "prompt (%s)" % what)
            time.sleep(0.3)
            s.send(b"2 3 +" + ENTER)
            _, m = s.expect(RESULT, "result line (%s)" % what)
            check(m.group(0) == FIVE, "%s: 2 3 + gave %r" % (what, m.group(0)))
            end_with_ctrl_d(s)  # standard error empty
            if options.get("nonblocking"):
                check(s.final_flags & os.O_NONBLOCK, "the terminal was made blocking")
        finally:
            s.kill()


# --- one side not a terminal (both builds) ------------------------------------

def piped_output(calc, echo):
    """Standard input a terminal, standard output a pipe: plain lines, and
    exactly the bytes of a piped run on the pipe."""
    s = Session(echo, tty_out=False)
    try:
        for keys in (b"2 3 +", UP, b"1 5 +" + LEFT + b"2"):
            s.send(keys + ENTER)
        s.send(CTRL_D)  # end of input on a terminal in line mode
        out, err = s.proc.communicate(timeout=TIMEOUT)
        check(err == b"", "standard error: %r" % err)
        check(s.proc.returncode == 0, "exit status %d" % s.proc.returncode)
        p = PROMPT
        expected = (p + b"\r\nread [2 3 +]\r\n" + p + b"\r\nread [<1B>[A]\r\n"
                    + p + b"\r\nread [1 5 +<1B>[D2]\r\n" + p + b"\r\n")
        check(out == expected, "output on the pipe:\n  %r\nexpected\n  %r" % (out, expected))
    finally:
        s.kill()


def piped_input(calc, echo):
    """Standard input a pipe, standard output a terminal: the bytes on the
    terminal are those of a piped run, and the input is taken as it is."""
    zero = b" Result =0.00000000E+000,       0.\r\n"
    runs = [
        # Lines whose value is 0 with or without the evaluator; the empty
        # line ends the run before the escape bytes.
        (calc, b"0\n0,0;0\r\n\n\x1b[A\n",
         (PROMPT + b"\r\n" + zero) * 2 + PROMPT + b"\r\n"),
        # The reader takes the bytes of editing keys as they come.
        (echo, b"2 3 +\n\x1b[A\n\x04\n",
         PROMPT + b"\r\nread [2 3 +]\r\n" + PROMPT + b"\r\nread [<1B>[A]\r\n"
         + PROMPT + b"\r\nread [<04>]\r\n" + PROMPT + b"\r\n"),
    ]
    for program, lines, expected in runs:
        s = Session(program, tty_in=False, raw_output=True)
        try:
            s.proc.stdin.write(lines)
            s.proc.stdin.close()
            status = s.finish()
            check(status == 0, "exit status %d" % status)
            check(s.seen == expected,
                  "bytes on the terminal:\n  %r\nexpected\n  %r" % (s.seen, expected))
        finally:
            s.kill()


def evaluator_present(calc):
    """Whether lines are evaluated yet: 2 3 + piped gives 5."""
    run = subprocess.run([calc], input=b"2 3 +\n", stdout=subprocess.PIPE, timeout=TIMEOUT)
    return b" Result =5.0000000000000,       5.\r\n" in run.stdout


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--calc", required=True)
    ap.add_argument("--echo", required=True)
    ap.add_argument("--editing", choices=("on", "off"), required=True)
    ap.add_argument("--case", help="run only this case")
    args = ap.parse_args()
    try:
        m, sl = os.openpty()
        os.close(m)
        os.close(sl)
    except OSError as e:
        print("SKIPPED: no pseudo-terminals on this machine (%s)" % e)
        return 77

    calc, echo = os.path.abspath(args.calc), os.path.abspath(args.echo)
    with open(calc, "rb") as f:
        sanitized = b"__asan_init" in f.read()
    if args.editing == "on":
        evaluator = evaluator_present(calc)
        cases = [
            ("dialogue_and_recall", lambda: dialogue_and_recall(calc, echo)),
            ("edited_line_is_evaluated", lambda: edited_line_is_evaluated(calc, evaluator)),
            ("editing_keys", lambda: editing_keys(echo)),
            ("history_keys", lambda: history_keys(echo)),
            ("prompt_redrawn", lambda: prompt_redrawn(echo)),
            ("no_files", lambda: no_files(echo)),
            ("stop_and_continue", lambda: stop_and_continue(calc)),
            ("resized_twice", lambda: resized_twice(calc)),
        ]
        if not evaluator:
            print("note: lines are not evaluated in this build yet; "
                  "edited_line_is_evaluated checks the drawn line and the result line only")
    else:
        print("note: this build has no line editing; checking plain lines on a terminal")
        cases = [("plain_terminal", lambda: plain_terminal(calc, echo))]
    cases += [
        ("interrupt_keeps_registers", lambda: interrupt_keeps_registers(calc)),
        ("modes_after_signals", lambda: modes_after_signals(calc)),
        ("signals_stay_with_the_calculator", lambda: signals_stay_with_the_calculator(calc)),
        ("undecodable_keys", lambda: undecodable_keys(calc)),
        ("huge_window", lambda: huge_window(calc, sanitized)),
        ("odd_terminals", lambda: odd_terminals(calc)),
        ("piped_output", lambda: piped_output(calc, echo)),
        ("piped_input", lambda: piped_input(calc, echo)),
    ]

    passed = failed = 0
    for name, run in cases:
        if args.case and name != args.case:
            continue
        try:
            run()
            passed += 1
            print("ok      %s" % name)
        except (Failure, OSError, subprocess.SubprocessError) as e:
            failed += 1
            print("FAILED  %s: %s" % (name, e))
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
