"""Started with DISPLAY unset, or naming a display no server answers, the
program says so on stderr and ends with exit code 1 within a few seconds,
without a window to wait for."""
import os
import random
import subprocess
import tempfile
import time

from jukebox_session import TestFailure, env_path, run


def unused_display():
    rng = random.Random()
    while True:
        n = rng.randrange(200, 1000)
        if not os.path.exists(f"/tmp/.X{n}-lock") and \
                not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return f":{n}"


def start_without_display(program, display):
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    if display is not None:
        env["DISPLAY"] = display
    env["SDL_AUDIODRIVER"] = "dummy"
    with tempfile.TemporaryDirectory() as folder:
        t0 = time.monotonic()
        try:
            r = subprocess.run([program], cwd=folder, env=env, capture_output=True, timeout=10)
        except subprocess.TimeoutExpired:
            raise TestFailure(f"DISPLAY={display}: still running after 10 s") from None
        return r.returncode, r.stderr.decode(errors="replace").strip(), time.monotonic() - t0


def test():
    program = env_path("BRINDLEWICK")
    for display in (None, unused_display()):
        rc, err, took = start_without_display(program, display)
        print(f"DISPLAY={display}: exit code {rc} after {took:.2f} s: {err!r}")
        if rc != 1:
            raise TestFailure(f"DISPLAY={display}: exit code {rc}, not 1")
        if took > 3:
            raise TestFailure(f"DISPLAY={display}: took {took:.2f} s")
        if "DISPLAY" not in err or not err.startswith("brindlewick"):
            raise TestFailure(f"DISPLAY={display}: stderr does not say what is wrong: {err!r}")
        if display is not None and display not in err:
            raise TestFailure(f"stderr does not name the display {display}: {err!r}")


if __name__ == "__main__":
    run(test)
