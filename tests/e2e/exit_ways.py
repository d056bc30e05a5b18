"""Each way out ends the program at once with exit code 0, while a tune
plays: the exit button (which lights on hover without ending anything),
Esc, and the window's close request (WM_DELETE_WINDOW, as a window manager
sends it). SIGTERM ends it by that signal, with no crash, five times over
on the silent output SDL's failed ALSA open leaves.

    exit_ways.py button|escape|close|signal
"""
import signal
import sys
import time

import skin_model as sm
from jukebox_session import Jukebox, TestFailure, run

EXIT = 7


def leave_by_button(jb):
    jb.move(*sm.button_centre(EXIT))
    jb.wait_screen("the exit button lit on hover", 2, lambda s: s.lit[EXIT])
    time.sleep(0.3)
    if jb.proc.poll() is not None:
        raise TestFailure("hovering over the exit button ended the program")
    jb.xdotool("mousedown", "1")


def leave_by_escape(jb):
    jb.key_down("Escape")


def leave_by_close_request(jb):
    jb.send_close()


def leave_by_signal(jb):
    jb.proc.send_signal(signal.SIGTERM)


WAYS = {"button": leave_by_button, "escape": leave_by_escape, "close": leave_by_close_request,
        "signal": leave_by_signal}


def test():
    way = sys.argv[1] if len(sys.argv) > 1 else ""
    if way not in WAYS:
        raise TestFailure(f"usage: exit_ways.py {'|'.join(WAYS)}")
    rounds, env, want = (5, {"SDL_AUDIODRIVER": "alsa"}, -signal.SIGTERM) if way == "signal" \
        else (1, None, 0)
    for _ in range(rounds):
        with Jukebox() as jb:
            jb.add_tune("playing.ptcop", 20, [0, 7])
            jb.add_tune("next.ptcop", 20, [5])
            jb.start(env)
            jb.key("space")
            jb.wait_screen("tune 1 playing", 3, lambda s: s.bar_width > 0)
            WAYS[way](jb)
            rc, took = jb.wait_exit(5)
            print(f"{way}: exit code {rc} after {took:.2f} s")
            if rc != want:
                raise TestFailure(f"{way}: exit code {rc}; stderr: {jb.stderr()}")
            if took > 2:
                raise TestFailure(f"{way}: took {took:.2f} s to end")


if __name__ == "__main__":
    run(test)
