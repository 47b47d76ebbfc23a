#!/usr/bin/env python3
"""Faults of input and output, made for real around the program.

Each case runs rpncalc with a standard channel that fails or misbehaves (a
full device, a closed descriptor, a directory, a reader that goes away, a
file size limit, non-blocking pipes, a fatal signal in the middle of a write)
and checks the exit status, standard error and what reached the output. Every
run has a time cap, so that a program that hangs fails the case instead of
the suite.

Exit status: 0 all cases passed, 1 a case failed.
"""

import argparse
import fcntl
import os
import resource
import select
import signal
import subprocess
import sys
import threading
import time

PROMPT = b" 21Jul03 Enter calc, or HELP: "
THREE = b" Result =3.0000000000000,       3.\r\n"
FIVE = b" Result =5.0000000000000,       5.\r\n"
TIMEOUT = 20.0  # generous: the sanitizer build is slow on a busy machine


class Failure(Exception):
    pass


def check(cond, what):
    if not cond:
        raise Failure(what)


def dialogue(result, lines):
    """What a piped run writes for `lines` lines that each give `result`,
    followed by the end of the input."""
    return (PROMPT + b"\r\n" + result) * lines + PROMPT + b"\r\n"


def cannot(what, reason):
    return b"rpncalc: cannot " + what + b": " + reason + b"\n"


def finish(proc, what):
    try:
        out, err = proc.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        raise Failure("%s: the program did not end within %.0f s" % (what, TIMEOUT))
    return proc.returncode, out, err


def env():
    keep = ("PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")
    return {k: os.environ[k] for k in keep if k in os.environ}


# --- a failed write or read: one line on standard error, status 255 --------

def channel_failures(calc, workdir):
    """Standard output on /dev/full, closed, or over a file size limit at the
    very last line end; standard input a directory or closed."""
    final = os.path.join(workdir, "final-flush.out")
    whole = dialogue(FIVE, 1)

    def close_fd(fd):
        return lambda: os.close(fd)

    def size_limit():
        # The last line end, written by the flush at exit, goes over the limit.
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        limit = len(whole) - 2
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    cases = [
        # what, stdin (bytes or a path), stdout, set-up in the child,
        # expected stdout (None: not captured), expected stderr
        ("output on /dev/full", b"2 3 +\n", "/dev/full", None, None,
         cannot(b"write standard output", b"No space left on device")),
        ("output closed", b"2 3 +\n", subprocess.PIPE, close_fd(1), None,
         cannot(b"write standard output", b"Bad file descriptor")),
        ("last line end over the file size limit", b"2 3 +\n", final, size_limit, None,
         cannot(b"write standard output", b"File too large")),
        ("input a directory", "/", subprocess.PIPE, None, PROMPT,
         cannot(b"read standard input", b"Is a directory")),
        ("input closed", "/dev/null", subprocess.PIPE, close_fd(0), PROMPT,
         cannot(b"read standard input", b"Bad file descriptor")),
    ]
    for what, stdin, stdout, preexec, want_out, want_err in cases:
        opened = []
        if isinstance(stdin, str):
            stdin = os.open(stdin, os.O_RDONLY)  # a directory too
            opened.append(stdin)
            data = None
        else:
            data, stdin = stdin, subprocess.PIPE
        if isinstance(stdout, str):
            stdout = os.open(stdout, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            opened.append(stdout)
        proc = subprocess.Popen([calc], stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
                                preexec_fn=preexec, env=env())
        for fd in opened:
            os.close(fd)
        try:
            out, err = proc.communicate(input=data, timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.communicate()
            raise Failure("%s: the program did not end" % what)
        check(proc.returncode == 255, "%s: exit status %d, expected 255" % (what, proc.returncode))
        check(err == want_err, "%s: standard error %r, expected %r" % (what, err, want_err))
        if want_out is not None:
            check(out == want_out, "%s: standard output %r, expected %r" % (what, out, want_out))
    with open(final, "rb") as f:
        kept = f.read()
    check(kept == whole[:-2], "the file under the size limit holds %r" % kept)


# --- the reader goes away -----------------------------------------------------

def reader_goes_away(calc, workdir):
    """yes '1 2 +' | rpncalc | head -1: with SIGPIPE at its default the
    program ends quietly by the signal; with SIGPIPE ignored by the parent the
    failed write is reported, instead of reading on forever."""
    for ignored in (False, True):
        what = "SIGPIPE ignored" if ignored else "SIGPIPE at its default"
        yes = subprocess.Popen(["yes", "1 2 +"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
        # This interpreter ignores SIGPIPE; the child keeps that unless the
        # signals are restored.
        proc = subprocess.Popen([calc], stdin=yes.stdout, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, restore_signals=not ignored, env=env())
        yes.stdout.close()
        first = proc.stdout.readline()
        proc.stdout.close()
        try:
            status, _, err = finish(proc, what)
        finally:
            yes.kill()
            yes.wait()
        check(first == PROMPT + b"\r\n", "%s: first line %r" % (what, first))
        if ignored:
            check(status == 255, "%s: exit status %d, expected 255" % (what, status))
            check(err == cannot(b"write standard output", b"Broken pipe"),
                  "%s: standard error %r" % (what, err))
        else:
            check(status == -signal.SIGPIPE,
                  "%s: exit status %d, expected the end by SIGPIPE" % (what, status))
            check(err == b"", "%s: standard error %r" % (what, err))


# --- non-blocking pipes -------------------------------------------------------

def nonblocking_pipes(calc, workdir):
    """Both pipes non-blocking: the input comes late and the output is read
    slowly. Nothing is lost, nothing is reported, the end is normal."""
    lines = 6000  # the output is several times what a pipe holds
    in_r, in_w = os.pipe()
    out_r, out_w = os.pipe()
    for fd in (in_r, out_w):  # the program's ends
        fcntl.fcntl(fd, fcntl.F_SETFL, fcntl.fcntl(fd, fcntl.F_GETFL) | os.O_NONBLOCK)
    proc = subprocess.Popen([calc], stdin=in_r, stdout=out_w, stderr=subprocess.PIPE, env=env())
    os.close(in_r)
    os.close(out_w)
    got = bytearray()
    try:
        time.sleep(0.3)  # the program finds no input yet
        os.write(in_w, b"1 2 +\n" * lines)
        os.close(in_w)
        time.sleep(0.3)  # and a full pipe on its output
        deadline = time.monotonic() + TIMEOUT
        while True:
            left = deadline - time.monotonic()
            check(left > 0 and select.select([out_r], [], [], left)[0],
                  "the output did not end within %.0f s (%d bytes)" % (TIMEOUT, len(got)))
            chunk = os.read(out_r, 4096)
            if not chunk:
                break
            got += chunk
            time.sleep(0.0005)
        status, _, err = finish(proc, "non-blocking pipes")
    finally:
        os.close(out_r)
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    want = dialogue(THREE, lines)
    check(status == 0, "exit status %d, standard error %r" % (status, err))
    check(err == b"", "standard error %r" % err)
    check(bytes(got) == want, "%d bytes arrived, expected %d%s" % (
        len(got), len(want), "" if len(got) != len(want) else " (contents differ)"))


# --- a fatal signal while a write is half done ---------------------------------

def signal_during_write(calc, workdir):
    """The program blocks writing to a pipe nobody reads yet; a fatal signal
    lands. Every byte reaches the pipe once and in order, then the report."""
    lines = 20000
    src = os.path.join(workdir, "signal-during-write.in")
    with open(src, "wb") as f:
        f.write(b"1 2 +\n" * lines)
    with open(src, "rb") as stdin:
        proc = subprocess.Popen([calc], stdin=stdin, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, env=env())
    try:
        deadline = time.monotonic() + TIMEOUT
        wchan = ""
        while time.monotonic() < deadline and "pipe_write" not in wchan:
            time.sleep(0.02)
            with open("/proc/%d/wchan" % proc.pid) as f:
                wchan = f.read()
        check("pipe_write" in wchan, "the program never blocked in a write (%r)" % wchan)
        proc.send_signal(signal.SIGSEGV)
        time.sleep(0.1)
        status, out, err = finish(proc, "fatal signal during a write")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    want = dialogue(THREE, lines)
    check(status == 255, "exit status %d" % status)
    check(err.startswith(b"Unhandled exception\nat ") and err.endswith(b" -> ACCESS_VIOLATION\n"),
          "standard error %r" % err)
    check(len(out) > 65536 and want.startswith(out),
          "the output is not a prefix of the dialogue: %d bytes, first difference at %d" % (
              len(out), next((i for i in range(min(len(out), len(want)))
                              if out[i] != want[i]), min(len(out), len(want)))))


# --- Ctrl-C where the input is no terminal -------------------------------------

def interrupt_not_a_terminal(calc, workdir):
    """SIGINT keeps its default action when standard input is a pipe."""
    proc = subprocess.Popen([calc], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env())
    try:
        proc.stdin.write(b"2 3 +\n")
        proc.stdin.flush()
        first = proc.stdout.read(len(PROMPT + b"\r\n" + FIVE + PROMPT))
        check(first == PROMPT + b"\r\n" + FIVE + PROMPT, "output before SIGINT %r" % first)
        proc.send_signal(signal.SIGINT)
        status, _, err = finish(proc, "SIGINT")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    check(status == -signal.SIGINT, "exit status %d, expected the end by SIGINT" % status)
    check(err == b"", "standard error %r" % err)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--calc", required=True)
    ap.add_argument("--workdir", required=True)
    ap.add_argument("--case", help="run only this case")
    args = ap.parse_args()
    calc = os.path.abspath(args.calc)
    os.makedirs(args.workdir, exist_ok=True)
    cases = [channel_failures, reader_goes_away, nonblocking_pipes, signal_during_write,
             interrupt_not_a_terminal]
    passed = failed = 0
    for case in cases:
        if args.case and case.__name__ != args.case:
            continue
        try:
            case(calc, args.workdir)
            passed += 1
            print("ok      %s" % case.__name__)
        except (Failure, OSError, subprocess.SubprocessError) as e:
            failed += 1
            print("FAILED  %s: %s" % (case.__name__, e))
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
