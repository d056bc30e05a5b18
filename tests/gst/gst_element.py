"""The GStreamer element through GStreamer's own tools, against ptrender.

  decode   every builder-made and corpus tune, copied under a name without
           its extension, through decodebin gives sample for sample what
           ptrender gives; gst-discoverer-1.0 reports its name as title (none
           when it has none) and its length to 10 ms; the loops property and
           other rates and channel counts negotiated downstream match
           ptrender's --loops and --rate
  probe    a playing pipeline seeked to 5 s gives ptrender's samples from 5 s
           on, also after a reverse seek it refuses with playback going on
           (as a WAV's does); two pipelines playing in one process each give
           what they give alone; a sink that takes one buffer ends the
           pipeline cleanly
  gapless  playbin and playbin3 play the playlist tune, tune, WAV, tune,
           each next item given on about-to-finish, to the end, as the
           renders one after the other; also with a seek into the first
           tune's last second
  play     gst-play-1.0 plays a tune to its end into the test's own
           PulseAudio server, and the recording is ptrender's render
  rhythmbox  Rhythmbox (under Xvfb, in a D-Bus session and with a PulseAudio
           server of the test's own) plays three tunes one after the other
           without freezing, and the recording holds each whole, in order
  hostile  truncated and bit-flipped tunes end in the engine's error text
           (or play), never in a crash or a sanitizer report

Paths come from CTest: PTRENDER, GST_PROBE, E2E_TUNES, GST_PLUGIN_PATH,
GST_TEST_PRELOAD (the sanitizer runtime, in sanitized builds)."""
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from jukebox_session import (TestFailure, XServer, end_process, env_path, need_tools, run,  # noqa: E402
                             spawn, wait_until)
from pulse_server import PulseServer  # noqa: E402

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
CAPS = "audio/x-raw,format=S16LE,rate=44100,channels=2"
SEEK_SECONDS = 5
ERROR_TEXT = re.compile(r"brindlewickdec\d*: (not a tune|damaged tune|unsupported tune version|"
                        r"tune too big|cannot open): ")


def builder_tunes(folder):
    """The demo tunes and two made here: a melody in each format."""
    tunes = sorted(glob.glob(os.path.join(SOURCE, "demo", "*.pt*")))
    for name in ("melody.ptcop", "melody.pttune"):
        path = os.path.join(folder, name)
        subprocess.run([env_path("E2E_TUNES"), path, "6", "0", "4", "7", "12"], check=True)
        tunes.append(path)
    return tunes


def corpus_tunes():
    found = [p for ext in ("ptcop", "pttune")
             for p in glob.glob(os.path.join(SOURCE, "..", "shared", "corpus", "**", "*." + ext),
                                recursive=True)]
    if not found:
        print("note: no corpus (../shared/corpus), builder-made tunes only")
    return sorted(found)


def wav_frames(path):
    """The data chunk of a WAV as (frames, channels) int16."""
    raw = open(path, "rb").read()
    at, channels = 12, 2
    while at + 8 <= len(raw):
        kind, size = raw[at:at + 4], int.from_bytes(raw[at + 4:at + 8], "little")
        if kind == b"fmt ":
            channels = int.from_bytes(raw[at + 10:at + 12], "little")
        if kind == b"data":
            return np.frombuffer(raw[at + 8:at + 8 + size], "<i2").reshape(-1, channels)
        at += 8 + size + (size & 1)
    raise TestFailure(f"{path}: no data chunk")


def raw_frames(path):
    return np.fromfile(path, "<i2").reshape(-1, 2)


def gst_env():
    """The environment for GStreamer's own tools."""
    env = dict(os.environ)
    if env.get("GST_TEST_PRELOAD"):
        env["LD_PRELOAD"] = env["GST_TEST_PRELOAD"]
        # GStreamer keeps its type system and registry until exit on purpose.
        env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1"
    return env


def probe_env():
    """gst_probe is built like the plugin, sanitized or not: nothing to
    preload, and the plugin is read in its own process, not in GStreamer's
    (unsanitized) plugin scanner."""
    return dict(os.environ, GST_REGISTRY_FORK="no")


def launch(pipeline, timeout=120):
    """gst-launch-1.0 with `pipeline`: (exit status, stderr). gst-launch
    1.22 itself now and then stays in its main loop after reporting an
    error while prerolling (as with wavparse and a broken WAV); it is
    stopped 2 s after that report and given status 1."""
    # The child writes through a file description of its own: one shared
    # with the reader would have its offset moved back by every re-read.
    with tempfile.NamedTemporaryFile("r") as err, open(err.name, "w") as child_err:
        proc = subprocess.Popen(["gst-launch-1.0", "-q"] + pipeline, env=gst_env(),
                                stdout=subprocess.DEVNULL, stderr=child_err, text=True)
        deadline, reported = time.monotonic() + timeout, None
        while proc.poll() is None:
            time.sleep(0.02)
            err.seek(0)
            if reported is None and "doesn't want to preroll" in err.read():
                reported = time.monotonic()
            if time.monotonic() > min(deadline, (reported or deadline) + 2):
                proc.kill()
                proc.wait()
                if reported is None:
                    raise TestFailure(f"gst-launch-1.0 {' '.join(pipeline)}: no end after {timeout} s")
        err.seek(0)
        return (1 if reported and proc.returncode < 0 else proc.returncode), err.read()


def gst_decode(tune, out, element="decodebin", caps=CAPS):
    status, err = launch(["filesrc", f"location={tune}", "!", *element.split(), "!", "audioconvert",
                          "!", caps, "!", "wavenc", "!", "filesink", f"location={out}"])
    if status != 0:
        raise TestFailure(f"{tune}: gst-launch-1.0 ended with {status}: {err.strip()}")
    return wav_frames(out)


def ptrender(tune, out, *args):
    subprocess.run([env_path("PTRENDER"), *args, tune, out], check=True)
    return wav_frames(out)


def same(what, got, want):
    if got.shape != want.shape or not np.array_equal(got, want):
        diff = np.flatnonzero(got[:len(want)] != want[:len(got)]) if len(got) and len(want) else []
        raise TestFailure(f"{what}: {got.shape} frames against ptrender's {want.shape}, "
                          f"first difference at sample {diff[0] if len(diff) else min(len(got), len(want))}")


def discovered(path):
    out = subprocess.run(["gst-discoverer-1.0", "-v", path], env=gst_env(), capture_output=True,
                         text=True, timeout=60).stdout
    length = re.search(r"Duration: (\d+):(\d+):([\d.]+)", out)
    title = re.search(r"^\s*title: (.*)$", out, re.M)
    if not length:
        raise TestFailure(f"{path}: gst-discoverer-1.0 gives no duration:\n{out}")
    h, m, s = length.groups()
    return int(h) * 3600 + int(m) * 60 + float(s), title.group(1) if title else None


def info_field(tune, field):
    """A line of `ptrender --info`: "name", "length"..."""
    out = subprocess.run([env_path("PTRENDER"), "--info", tune], capture_output=True, text=True,
                         check=True).stdout
    return re.search(rf"^{field}:\s+(.*)$", out, re.M).group(1)


def info_name(tune):
    name = info_field(tune, "name")
    return None if name == "(none)" else name


def check_decode(tmp, tune, index):
    plain = os.path.join(tmp, f"tune{index}")  # no extension: the type finder picks the element
    shutil.copyfile(tune, plain)
    want = ptrender(tune, os.path.join(tmp, "want.wav"))
    same(tune, gst_decode(plain, os.path.join(tmp, "got.wav")), want)
    seconds, title = discovered(plain)
    if abs(seconds - len(want) / 44100) > 0.01:
        raise TestFailure(f"{tune}: discovered {seconds:.3f} s, ptrender renders {len(want) / 44100:.3f} s")
    if title != info_name(tune):
        raise TestFailure(f"{tune}: discovered title {title!r}, the tune's name {info_name(tune)!r}")


# element on the pipeline; caps downstream; ptrender's arguments; mono
VARIANTS = [
    ("brindlewickdec loops=2", CAPS, ["--loops", "2"], False),
    ("brindlewickdec", "audio/x-raw,rate=22050,channels=1", ["--rate", "22050"], True),
    ("brindlewickdec", "audio/x-raw,rate=8000,channels=2", ["--rate", "8000"], False),
    ("brindlewickdec", "audio/x-raw,rate=192000,channels=2", ["--rate", "192000"], False),
]


def check_variants(tmp, tune):
    for element, caps, args, mono in VARIANTS:
        got = gst_decode(tune, os.path.join(tmp, "got.wav"), element, caps)
        want = ptrender(tune, os.path.join(tmp, "want.wav"), *args)
        if mono:  # the mix of left and right
            if len(got) != len(want) or np.abs(got[:, 0] - want.mean(axis=1)).max() > 1:
                raise TestFailure(f"{tune} through {element} ! {caps}: not ptrender's mix")
        else:
            same(f"{tune} through {element} ! {caps}", got, want)


def decode():
    need_tools("gst-launch-1.0", "gst-discoverer-1.0")
    with tempfile.TemporaryDirectory() as tmp:
        tunes = builder_tunes(tmp) + corpus_tunes()
        for i, tune in enumerate(tunes):
            check_decode(tmp, tune, i)
        check_variants(tmp, os.path.join(tmp, "tune0"))
        print(f"{len(tunes)} tunes decoded as ptrender renders them")


def info_seconds(tune):
    return float(info_field(tune, "length").split()[0])


def short_tunes(tmp, count=2):
    """The shortest tunes of at least 6 s (from the corpus when there)."""
    tunes = [t for t in corpus_tunes() or builder_tunes(tmp) if info_seconds(t) >= SEEK_SECONDS + 1]
    return sorted(tunes, key=info_seconds)[:count]


def gst_probe(*args):
    subprocess.run([env_path("GST_PROBE"), *args], env=probe_env(), check=True, timeout=120)


def probe():
    with tempfile.TemporaryDirectory() as tmp:
        first, second = short_tunes(tmp)
        wants = [os.path.join(tmp, f"want{i}.wav") for i in (0, 1)]
        want = [ptrender(t, w) for t, w in zip((first, second), wants)]
        got = os.path.join(tmp, "seek.raw")
        for mode, path in (("seek", first), ("refuse", first), ("refuse", wants[0])):
            gst_probe(mode, path, str(SEEK_SECONDS), got)
            same(f"{path} from {SEEK_SECONDS} s ({mode})", raw_frames(got), want[0][SEEK_SECONDS * 44100:])
        outs = [os.path.join(tmp, f"pair{i}.raw") for i in (0, 1)]
        subprocess.run([env_path("GST_PROBE"), "pair", first, outs[0], second, outs[1]],
                       env=probe_env(), check=True, timeout=120)
        for tune, out, alone in zip((first, second), outs, want):
            same(f"{tune} beside another pipeline", raw_frames(out), alone)
        status, err = launch(["filesrc", f"location={first}", "!", "decodebin", "!", "fakesink",
                              "num-buffers=1"])
        if status != 0:
            raise TestFailure(f"a sink taking one buffer: gst-launch-1.0 ended with {status}: {err}")


def gapless():
    with tempfile.TemporaryDirectory() as tmp:
        tunes = short_tunes(tmp)
        first = tunes[0]
        items = [first, builder_tunes(tmp)[-1], os.path.join(tmp, "between.wav"), tunes[1]]
        want = [ptrender(t, os.path.join(tmp, f"want{i}.wav")) for i, t in enumerate(items) if i != 2]
        want.insert(2, ptrender(tunes[1], items[2], "--loops", "2"))  # the WAV
        whole = np.concatenate(want)
        seek = round(len(want[0]) / 44100 - 0.5, 2)
        got = os.path.join(tmp, "got.raw")
        for player in ("playbin", "playbin3"):
            for at in (-1, seek):
                started = time.monotonic()
                gst_probe("playlist", player, str(at), got, *items)
                skip = round(max(at, 0) * 44100)
                same(f"{player}, seeking to {at} s", raw_frames(got), whole[skip:])
                print(f"{player}, seek to {at} s: {len(whole) - skip} frames as rendered, "
                      f"in {time.monotonic() - started:.1f} s")


def offset_of(part, whole):
    """Where `part` lines up best in `whole` (frames; negative when whole
    starts inside part), by cross-correlating their left channels."""
    n = 1 << (len(part) + len(whole)).bit_length()
    c = np.fft.irfft(np.fft.rfft(whole[:, 0], n) * np.conj(np.fft.rfft(part[:, 0], n)), n)
    lag = int(np.argmax(c))
    return lag if lag < n // 2 else lag - n


def play():
    need_tools("gst-play-1.0")
    with tempfile.TemporaryDirectory() as tmp:
        tune = short_tunes(tmp)[0]
        want = ptrender(tune, os.path.join(tmp, "want.wav")).astype(np.float64)
        recording = os.path.join(tmp, "recording.raw")
        with PulseServer(tmp, rate=44100) as pulse:
            pulse.record(recording)
            wait_until("the recorder on the server", 10, pulse.recording_streams, interval=0.1)
            subprocess.run(["gst-play-1.0", "--no-interactive", "-q", "--audiosink=pulsesink", tune],
                           env=pulse.env(gst_env()), check=True, timeout=len(want) / 44100 + 30)
            pulse.stop_recording()
        heard_whole(tune, want, raw_frames(recording).astype(np.float64))


def heard_whole(tune, want, heard, start=0):
    """Checks that the recording `heard` holds the render `want`, whole,
    from frame `start` on (after the one before); gives where it ends. A new
    stream's first moments may come before the recorder hears the server (up
    to 0.2 s here); from there on it is the render."""
    at = offset_of(want, heard[start:]) + start
    lost = max(0, -at)
    part = heard[max(at, 0):at + len(want)]
    diff = np.abs(part - want[lost:lost + len(part)]).max() if len(part) else None
    print(f"{tune}: recorded from {lost / 44100:.3f} s to {(lost + len(part)) / 44100:.3f} s "
          f"of {len(want) / 44100:.3f} s, at {max(at, 0) / 44100:.2f} s, largest difference {diff}")
    if lost > 22050 or (start and at < start) or lost + len(part) < len(want) or diff is None or diff > 1:
        raise TestFailure(f"the recording does not hold {tune} as ptrender renders it, whole")
    return at + len(want)


def rhythmbox():
    """Runs itself again inside a D-Bus session of its own, where Rhythmbox
    plays three tunes: the first as a user's double-click starts it, the
    other two queued after it."""
    need_tools("rhythmbox", "rhythmbox-client", "dbus-run-session", "gdbus")
    if not os.environ.get("GST_TEST_SESSION"):
        sys.exit(subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv],
                                env=dict(os.environ, GST_TEST_SESSION="1")).returncode)
    with tempfile.TemporaryDirectory() as tmp:
        tunes = []
        for i, tune in enumerate(short_tunes(tmp, 3)):
            tunes.append(os.path.join(tmp, f"{i + 1}-{os.path.basename(tune)}"))
            shutil.copyfile(tune, tunes[-1])
        want = [ptrender(t, os.path.join(tmp, f"want{i}.wav")) for i, t in enumerate(tunes)]
        recording = os.path.join(tmp, "recording.raw")
        x = XServer(tmp)
        try:
            with PulseServer(tmp, rate=44100) as pulse:
                pulse.record(recording)
                wait_until("the recorder on the server", 10, pulse.recording_streams, interval=0.1)
                play_in_rhythmbox(tunes, sum(len(w) for w in want) / 44100,
                                  dict(pulse.env(gst_env()), DISPLAY=x.display, GSETTINGS_BACKEND="memory"))
                pulse.stop_recording()
        finally:
            x.stop()
        heard, at = raw_frames(recording).astype(np.float64), 0
        for tune, render in zip(tunes, want):
            at = heard_whole(os.path.basename(tune), render.astype(np.float64), heard, at)


def play_in_rhythmbox(tunes, seconds, env):
    """Rhythmbox plays `tunes` (`seconds` long in all); it must answer on
    D-Bus all the while (a frozen window does not)."""
    def client(*args):
        return subprocess.run(["rhythmbox-client", "--no-start", "--no-present", *args], env=env,
                              capture_output=True, timeout=10).returncode == 0

    def answers():
        """The application's own actions are listed by its main loop."""
        try:
            return subprocess.run(["gdbus", "call", "--session", "--dest", "org.gnome.Rhythmbox3",
                                   "--object-path", "/org/gnome/Rhythmbox3", "--method",
                                   "org.gtk.Actions.List"], env=env, capture_output=True,
                                  timeout=5).returncode == 0
        except subprocess.TimeoutExpired:
            return False

    log = open(os.path.join(os.path.dirname(tunes[0]), "rhythmbox.log"), "wb")
    player = spawn(["rhythmbox"], env=env, stdout=log, stderr=log)
    try:
        wait_until("Rhythmbox on D-Bus", 60, answers, interval=0.5)
        if not client("--enqueue", *tunes[1:]) or not client(f"--play-uri=file://{tunes[0]}"):
            raise TestFailure("rhythmbox-client could not queue or play the tunes")
        started = time.monotonic()
        while time.monotonic() - started < seconds + 8:
            if not answers():
                raise TestFailure(f"Rhythmbox froze {time.monotonic() - started:.1f} s into the playlist")
            time.sleep(1)
        client("--quit")
        player.wait(20)
    finally:
        end_process(player)


def spoilt(data, rng):
    """Truncations at fixed and random places, and copies with bytes flipped."""
    cuts = sorted({16, 20, 24, 64, len(data) // 2, len(data) - 1, rng.randrange(17, len(data))})
    yield from (("cut", data[:n]) for n in cuts)
    for flips in (1, 8, 64):
        b = bytearray(data)
        for _ in range(flips):
            b[rng.randrange(16, len(b))] ^= 1 << rng.randrange(8)
        yield "flipped", bytes(b)


def hostile():
    rng = random.Random(15)
    with tempfile.TemporaryDirectory() as tmp:
        tunes = corpus_tunes() or builder_tunes(tmp)
        picked = rng.sample(tunes, min(8, len(tunes)))
        counts = {"error": 0, "played": 0}
        for i, tune in enumerate(picked):
            for j, (how, data) in enumerate(spoilt(open(tune, "rb").read(), rng)):
                path = os.path.join(tmp, f"spoilt{i}-{j}")
                open(path, "wb").write(data)
                element = "decodebin" if j % 2 else "brindlewickdec"
                status, err = launch(["filesrc", f"location={path}", "!", element, "!", "fakesink"])
                if "Sanitizer" in err or "runtime error" in err or status not in (0, 1):
                    raise TestFailure(f"{tune} {how} to {len(data)} bytes: status {status}\n{err}")
                if (how == "cut" or status) and (status != 1 or not ERROR_TEXT.search(err)):
                    raise TestFailure(f"{tune} {how} to {len(data)} bytes: no engine error\n{err}")
                counts["error" if status else "played"] += 1
        print(f"{len(picked)} tunes spoilt: {counts['error']} errors, {counts['played']} played")


if __name__ == "__main__":
    need_tools("gst-launch-1.0")
    with tempfile.TemporaryDirectory() as registry:  # this run's plugins only
        os.environ["GST_REGISTRY"] = os.path.join(registry, "registry.bin")
        # Made here, by GStreamer's own tool: gst_probe, sanitized, would make
        # it in its own process, and a plugin of the system's leaks there.
        subprocess.run(["gst-inspect-1.0", "brindlewick"], env=gst_env(), capture_output=True, timeout=120)
        run({"decode": decode, "probe": probe, "gapless": gapless, "play": play,
             "rhythmbox": rhythmbox, "hostile": hostile}[sys.argv[1]])
