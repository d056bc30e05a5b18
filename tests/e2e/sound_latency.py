"""Sound answers at once, heard through a PulseAudio server of the test's
own: a pick and a stop are heard within 70 ms at the median (the program
asks for a 0.1 s buffer; the queue is dropped at each start and stop), a
resume with Space one frame of the program's later at most, and each pick
is heard from its tune's first frame on, sample for sample as ptrender
renders it."""
import os
import subprocess
import sys
import wave

import numpy as np

sys.path.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import sound_timing as st  # noqa: E402
from jukebox_session import Jukebox, TestFailure, env_path, run, wait_until
from pulse_server import PulseServer

CYCLES = 4
MEDIAN_MS = {"pick": 70, "stop": 70, "resume": 70 + 34}  # Space acts a frame later
WARM_UP = 1.5  # seconds
TUNES = [("one.ptcop", 16.0, [0, 4, 7, 12, 7, 4, 0, -5]),
         ("two.ptcop", 16.0, [12, 7, 4, 0, 4, 7, 12, 7])]
COMPARED = 0.25  # seconds of each pick compared with the render


def render(ptrender, tune, rate, workdir):
    out = os.path.join(workdir, os.path.basename(tune) + ".wav")
    subprocess.run([ptrender, "--rate", str(rate), tune, out], check=True, capture_output=True)
    with wave.open(out) as w:
        return np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").reshape(-1, 2)


def test():
    ptrender = env_path("PTRENDER")
    with Jukebox() as jb:
        for tune in TUNES:
            jb.add_tune(*tune)
        with PulseServer(jb.workdir) as pulse:
            jb.start(env=pulse.env({"SDL_AUDIODRIVER": "pulseaudio"}))
            wait_until("the program's stream on the server", 10, pulse.playing_streams)
            st.warm_up(jb, WARM_UP)
            recorder = st.StampedRecorder(pulse)
            try:
                got, rows = st.measure_answers(jb, recorder, CYCLES)
            finally:
                recorder.stop()
            heard = recorder.sound()
            # the list's order is the folder's, not the names'
            listed = [r.name for r in jb.screen().rows]
            renders = [render(ptrender, os.path.join(jb.folder, listed[row] + ".ptcop"),
                              pulse.rate, jb.workdir) for row in (0, 1)]
            rate = pulse.rate
    for kind, what in (("pick", "click on a row -> sound"), ("resume", "Space -> sound"),
                       ("stop", "stop -> silence")):
        print(f"{what}: {st.describe(got[kind])}")
        median = 1000 * np.median([s for s, _ in got[kind]])
        if median > MEDIAN_MS[kind]:
            raise TestFailure(f"{what}: median {median:.0f} ms, want at most {MEDIAN_MS[kind]}")
    n = int(COMPARED * rate)
    for (_, at), row in zip(got["pick"], rows):
        want = renders[row]
        first = np.nonzero(np.max(np.abs(want.astype(np.int32)), axis=1) > st.LOUD)[0][0]
        diff = np.abs(heard[at:at + n].astype(np.int32) - want[first:first + n]).max(axis=1)
        if len(diff) < n or diff.max() > 2:
            raise TestFailure(f"the pick of row {row + 1} at recorded frame {at} was not heard "
                              f"from its start as ptrender renders it: {len(diff)} frames "
                              f"compared, first difference at {int(np.argmax(diff > 2))}; "
                              f"heard {heard[at:at + 4, 0].tolist()}, "
                              f"rendered {want[first:first + 4, 0].tolist()}")


if __name__ == "__main__":
    run(test)
