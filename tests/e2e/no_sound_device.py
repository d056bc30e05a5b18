"""Where no sound device opens (no sound server, no sound card; under Wine,
no PulseAudio server for its driver), the error line says so and the tunes
play on silently, each at its own pace."""
import os

from jukebox_session import Jukebox, TestFailure, run
from pick_and_play import FILES, LENGTHS, check_pace

NO_DEVICE = "no audio device, silent"


def test():
    with Jukebox() as jb:
        jb.add_tune(FILES["cedar"], LENGTHS["cedar"], [0, 4, 7])
        nowhere = os.path.join(jb.workdir, "no-server")
        os.mkdir(nowhere)
        jb.start(env={"XDG_RUNTIME_DIR": nowhere, "SDL_AUDIODRIVER": "alsa"})
        jb.key("space")
        s = jb.wait_screen("the tune playing", 3, lambda s: s.bar_width > 0)
        if s.error != NO_DEVICE:
            raise TestFailure(f"error line {s.error!r}, want {NO_DEVICE!r}")
        check_pace(jb, "cedar")


if __name__ == "__main__":
    run(test)
