"""The players' plugins through the real players, against ptrender.

  audacious  Audacious, headless, from a tree of its own with the plugin
             beside the system's: every builder-made and corpus tune, copied
             under a name without its extension, plays to its end through its
             file writer as ptrender renders it; the playlist shows each
             tune's name as title (the file's name when it has none) and its
             length to 10 ms; a damaged tune among them is skipped with the
             engine's text and the next one plays
  seek       Audacious through the test's own PulseAudio server: a tune
             seeked to 5 s while playing is heard from 0 s, then from 5 s to
             its end, as ptrender renders it
  vlc        cvlc --aout=afile writes every tune so copied as ptrender does,
             several at once (afile keeps real time); with --start-time 5,
             ptrender's render from 5 s; with --brindlewick-loops 2, its
             --loops 2; libvlc's preparser gives each name (or file name) as
             title, comment as description and length to 10 ms; a damaged
             tune ends with the engine's text and VLC's error
  hostile    truncated and bit-flipped tunes through both players end in the
             engine's text or play, never in a crash or a sanitizer report

Paths come from CTest: PTRENDER, E2E_TUNES, AUDACIOUS_PLUGIN,
AUDACIOUS_PLUGIN_DIR, VLC_PLUGIN; in sanitized builds SANITIZER_PRELOAD (the
sanitizer runtime) and SANITIZER_FIRST (sanitizer_first.c's library)."""
import concurrent.futures
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, "..", "e2e"), os.path.join(HERE, "..", "gst")]
from gst_element import (builder_tunes, corpus_tunes, info_field, info_name, info_seconds,  # noqa: E402
                         offset_of, ptrender, raw_frames, same, short_tunes, spoilt, wav_frames)
from jukebox_session import TestFailure, end_process, env_path, need_tools, run, spawn, wait_until  # noqa: E402
from pulse_server import PulseServer  # noqa: E402

RATE = 44100
SEEK_SECONDS = 5
NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
VLC_AT_ONCE = 24
ENGINE_TEXT = r"(not a tune|damaged tune|unsupported tune version|tune too big): "


def sanitized_env(env, folder=None):
    """The players are not sanitized: in a sanitized build the plugin takes
    the runtime from them, preloaded and started first by SANITIZER_FIRST
    (its copy in `folder` when given)."""
    env = dict(env)
    if os.environ.get("SANITIZER_PRELOAD"):
        first = os.environ["SANITIZER_FIRST"]
        if folder:
            first = os.path.join(folder, os.path.basename(first))
        env["LD_PRELOAD"] = f"{os.environ['SANITIZER_PRELOAD']}:{first}"
        env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1"  # the players' own leaks are theirs
    return env


def crash_report(err):
    return "Sanitizer" in err or "runtime error" in err or "Segmentation fault" in err


def copies(tmp, tunes, damaged=None):
    """Each tune copied as tuneN, without an extension; `damaged` (bytes)
    goes in third place as tuneX. Returns [(copy, source)]."""
    os.makedirs(os.path.join(tmp, "tunes"), mode=0o755)
    made = []
    for i, tune in enumerate(tunes):
        made.append((os.path.join(tmp, "tunes", f"tune{i}"), tune))
        shutil.copyfile(tune, made[-1][0])
    if damaged is not None:
        made.insert(2, (os.path.join(tmp, "tunes", "tuneX"), None))
        open(made[2][0], "wb").write(damaged)
    return made


def damaged_tune(tunes):
    data = open(tunes[0], "rb").read()
    return data[:len(data) // 2]


def check_tags(what, tune, copy, want, shown_ms, title):
    """The length shown (milliseconds) is ptrender's render's `want` to
    10 ms; the title the tune's name, else the file's name."""
    if abs(shown_ms / 1000 - len(want) / RATE) > 0.01:
        raise TestFailure(f"{what}: {shown_ms} ms shown, ptrender renders {len(want) / RATE:.3f} s")
    if title != (info_name(tune) or os.path.basename(copy)):
        raise TestFailure(f"{what}: title {title!r}, the tune's name {info_name(tune)!r}")


# ---------------------------------------------------------------- Audacious

class Audacious:
    """`audacious -H` from a tree of its own (Audacious finds its plugins
    beside its executable): the system's plugins, linked, and ours; with
    its own D-Bus session for audtool, its own HOME and settings."""

    def __init__(self, tmp, settings, env):
        need_tools("audacious", "audtool", "dbus-daemon")
        plugins = env_path("AUDACIOUS_PLUGIN_DIR")
        tree = os.path.join(tmp, "tree")
        binary = tree + os.path.join(os.path.dirname(os.path.dirname(plugins)), "..", "bin", "audacious")
        os.makedirs(os.path.dirname(binary))
        shutil.copy(shutil.which("audacious"), binary)
        for kind in os.listdir(plugins):
            os.makedirs(tree + os.path.join(plugins, kind))
            for name in os.listdir(os.path.join(plugins, kind)):
                os.symlink(os.path.join(plugins, kind, name), tree + os.path.join(plugins, kind, name))
        os.symlink(env_path("AUDACIOUS_PLUGIN"), tree + os.path.join(plugins, "Input", "brindlewick.so"))
        home = os.path.join(tmp, "home")
        os.makedirs(os.path.join(home, ".config", "audacious"))
        open(os.path.join(home, ".config", "audacious", "config"), "w").write(settings)
        self.env = dict(env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
        self.bus = spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, env=self.env)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.stdout.readline().strip()
        self.log_path = os.path.join(tmp, "audacious.log")
        self.proc = spawn([binary, "-H"], env=sanitized_env(self.env), stdout=subprocess.DEVNULL,
                          stderr=open(self.log_path, "w"))
        wait_until("audacious on its D-Bus session", 20,
                   lambda: self.tool("version", check=False).startswith("Audacious"), interval=0.1)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.tool("shutdown", check=False)
        try:
            self.proc.wait(20)
        except subprocess.TimeoutExpired:
            end_process(self.proc)
        end_process(self.bus)

    def tool(self, *args, check=True):
        r = subprocess.run(["audtool", *args], env=self.env, capture_output=True, text=True, timeout=30)
        if check and r.returncode != 0:
            raise TestFailure(f"audtool {' '.join(args)}: {r.returncode} {r.stderr.strip()}")
        return r.stdout.strip()

    def use_file_writer(self):
        """The file writer as output, once the plugins are known."""
        def enabled():
            self.tool("plugin-enable", "filewriter", "on", check=False)
            return subprocess.run(["audtool", "plugin-is-enabled", "filewriter"], env=self.env,
                                  capture_output=True, timeout=30).returncode == 0
        wait_until("the file writer plugin", 20, enabled, interval=0.2)

    def log(self):
        return open(self.log_path).read()

    def play_to_end(self, started):
        """Plays the playlist; returns when playback has stopped after
        started() saw it begin."""
        self.tool("playback-play")
        wait_until("the playlist to start", 30, started, interval=0.05)
        wait_until("the playlist to end", 600, lambda: self.tool("playback-status") == "stopped", interval=0.1)
        if self.proc.poll() is not None:
            raise TestFailure(f"audacious ended with {self.proc.returncode}:\n{self.log()}")


def file_writer_settings(folder):
    return ("[audacious]\noutput_bit_depth=16\n\n[filewriter]\nfileext=0\nfilenamefromtags=FALSE\n"
            f"save_original=FALSE\nuse_suffix=FALSE\nprependnumber=FALSE\nfile_path=file://{folder}\n")


def audacious():
    with tempfile.TemporaryDirectory() as tmp:
        tunes = builder_tunes(tmp) + corpus_tunes()
        made = copies(tmp, tunes, damaged_tune(tunes))
        written = os.path.join(tmp, "written")
        os.makedirs(written)
        with Audacious(tmp, file_writer_settings(written), os.environ) as player:
            player.use_file_writer()
            for copy, _ in made:
                player.tool("playlist-addurl", copy)
            player.play_to_end(lambda: os.listdir(written))
            for n, (copy, tune) in enumerate(made, 1):
                if not tune:
                    continue
                got = os.path.join(written, os.path.basename(copy) + ".wav")
                if not os.path.exists(got):
                    raise TestFailure(f"{tune}: not played ({os.listdir(written)})")
                want = ptrender(tune, os.path.join(tmp, "want.wav"))
                same(f"{tune} through Audacious", wav_frames(got), want)
                check_tags(f"{tune} in Audacious's playlist", tune, copy, want,
                           int(player.tool("playlist-song-length-frames", str(n))),
                           player.tool("playlist-tuple-data", "title", str(n)))
            log = player.log()
        if not re.search(r"damaged tune: tuneX\n", log) or not re.search(r"Error playing .*/tuneX", log):
            raise TestFailure(f"no engine text for the damaged tune in Audacious's log:\n{log}")
        # The loop setting, as ptrender's --loops.
        tune, again = short_tunes(tmp)[0], os.path.join(tmp, "again")
        os.makedirs(os.path.join(again, "written"))
        with Audacious(again, file_writer_settings(again + "/written") + "\n[brindlewick]\nloops=2\n",
                       os.environ) as player:
            player.use_file_writer()
            player.tool("playlist-addurl", tune)
            player.play_to_end(lambda: os.listdir(again + "/written"))
        name = os.path.splitext(os.path.basename(tune))[0] + ".wav"
        same(f"{tune} twice through Audacious", wav_frames(os.path.join(again, "written", name)),
             ptrender(tune, os.path.join(tmp, "want.wav"), "--loops", "2"))
        print(f"{len(tunes)} tunes played through Audacious as ptrender renders them, one twice; "
              "the damaged one skipped")


def check_heard(what, heard, want, lost_at_most):
    """`want` heard in `heard`: from where it lines up to the end of want,
    with at most `lost_at_most` frames of its start missing. Returns where
    it ends in `heard`."""
    at = offset_of(want, heard)
    lost = max(0, -at)
    part = heard[max(at, 0):max(at, 0) + len(want) - lost]
    diff = np.abs(part - want[lost:lost + len(part)]).max() if len(part) else None
    print(f"{what}: heard from {lost / RATE:.3f} s to {(lost + len(part)) / RATE:.3f} s of {len(want) / RATE:.3f} s,"
          f" largest difference {diff}")
    if lost > lost_at_most or diff is None or diff > 1:
        raise TestFailure(f"{what}: not ptrender's render")
    return max(at, 0) + len(part)


def seek():
    """The tune is queued twice: Audacious drops what its output still holds
    when a playlist ends, but plays on from one tune into the next. It is
    seeked 3 s in."""
    with tempfile.TemporaryDirectory() as tmp:
        tune = short_tunes(tmp)[0]
        want = ptrender(tune, os.path.join(tmp, "want.wav")).astype(np.float64)
        (copy, _), = copies(tmp, [tune])
        recording = os.path.join(tmp, "recording.raw")
        with PulseServer(tmp, rate=RATE) as pulse, Audacious(tmp, "", pulse.env()) as player:
            pulse.record(recording)
            wait_until("the recorder on the server", 10, pulse.recording_streams, interval=0.1)
            player.tool("playlist-addurl", copy)
            player.tool("playlist-addurl", copy)
            player.tool("playback-play")
            played = lambda: int(player.tool("current-song-output-length-frames") or 0)  # noqa: E731
            wait_until("3 s played", 20, lambda: played() >= 3000, interval=0.05)
            player.tool("playback-seek", str(SEEK_SECONDS))
            wait_until("the tune again", len(want) / RATE + 20,
                       lambda: player.tool("playlist-position") == "2" and played() >= 500, interval=0.05)
            pulse.stop_recording()
            player.tool("playback-stop")
        heard = raw_frames(recording).astype(np.float64)
        tail = want[SEEK_SECONDS * RATE:]
        end = check_heard(f"{tune} from {SEEK_SECONDS} s", heard, tail, 0)
        # The recorder may hear a new stream late (1.4 s here).
        check_heard(f"{tune} before the seek", heard[:end - len(tail)], want[:SEEK_SECONDS * RATE], 2 * RATE)


# ---------------------------------------------------------------- VLC

def vlc_plugins(tmp):
    """A plugin folder the unprivileged cvlc reads: the module, the
    engine's library it links and SANITIZER_FIRST (if set), copied."""
    folder = os.path.join(tmp, "vlc-plugins")
    os.makedirs(folder, mode=0o755)
    plugin = env_path("VLC_PLUGIN")
    shutil.copy(plugin, folder)
    for name in os.listdir(os.path.dirname(os.path.realpath(plugin)) + "/../../pxtone"):
        if name.startswith("libbrindlewick.so"):
            shutil.copy(os.path.join(os.path.dirname(os.path.realpath(plugin)), "../../pxtone", name), folder)
    if os.environ.get("SANITIZER_FIRST"):
        shutil.copy(os.environ["SANITIZER_FIRST"], folder)
    return folder


def vlc_env(tmp, folder):
    home = os.path.join(tmp, "vlc-home")
    os.makedirs(home, mode=0o777, exist_ok=True)
    os.chmod(home, 0o777)
    env = {k: v for k, v in os.environ.items() if not k.startswith("DBUS")}
    return sanitized_env(dict(env, VLC_PLUGIN_PATH=folder, LD_LIBRARY_PATH=folder, HOME=home), folder)


def cvlc(env, args, timeout):
    """cvlc (which refuses root) as nobody when we are root: (status, stderr)."""
    prefix = NOBODY if os.getuid() == 0 else []
    r = subprocess.run(prefix + ["cvlc", "--play-and-exit", "--no-interact", *args], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, timeout=timeout)
    return r.returncode, r.stderr


def vlc_write(env, tune, out, *args, timeout=300):
    status, err = cvlc(env, ["--aout=afile", f"--audiofile-file={out}", *args, tune], timeout)
    if status != 0 or crash_report(err) or not os.path.exists(out):
        raise TestFailure(f"{tune}: cvlc ended with {status}:\n{err}")
    return wav_frames(out)


def vlc_metadata(env, made):
    """libvlc's preparser on each copy: (milliseconds, title, description)."""
    import vlc
    instance = vlc.Instance(["--quiet", "--no-xlib"])
    found = []
    for copy, _ in made:
        media = instance.media_new_path(copy)
        media.parse_with_options(vlc.MediaParseFlag.local, 20000)
        wait_until(f"{copy} parsed", 30, lambda: media.get_parsed_status() != 0, interval=0.01)
        found.append((media.get_duration(), media.get_meta(vlc.Meta.Title), media.get_meta(vlc.Meta.Description)))
    return found


def vlc_():
    need_tools("cvlc")
    with tempfile.TemporaryDirectory() as tmp:
        os.chmod(tmp, 0o755)
        tunes = builder_tunes(tmp) + corpus_tunes()
        made = copies(tmp, tunes, damaged_tune(tunes))
        written = os.path.join(tmp, "written")
        os.makedirs(written, mode=0o777)
        os.chmod(written, 0o777)
        env = vlc_env(tmp, vlc_plugins(tmp))
        os.environ.update(VLC_PLUGIN_PATH=env["VLC_PLUGIN_PATH"], LD_LIBRARY_PATH=env["LD_LIBRARY_PATH"])
        shown = dict(zip((copy for copy, _ in made), vlc_metadata(env, made)))
        status, err = cvlc(env, [made[2][0]], 60)
        if status != 0 or not re.search(r"brindlewick demux error: damaged tune: tuneX", err) \
                or "unable to open" not in err or crash_report(err):
            raise TestFailure(f"the damaged tune through cvlc: {status}\n{err}")
        # Every tune, the longest first, then a seek and two passes, several
        # at once: afile writes in real time.
        jobs = sorted(((copy, tune, [], [], 0) for copy, tune in made if tune), key=lambda j: -info_seconds(j[1]))
        short = short_tunes(tmp)[0]
        jobs += [(short, short, ["--start-time", str(SEEK_SECONDS)], [], SEEK_SECONDS * RATE),
                 (short, short, ["--brindlewick-loops", "2"], ["--loops", "2"], 0)]
        again = []
        with concurrent.futures.ThreadPoolExecutor(VLC_AT_ONCE) as pool:
            done = {}
            for n, (copy, _, args, _, _) in enumerate(jobs):
                done[pool.submit(vlc_write, env, copy, os.path.join(written, f"{n}.wav"), *args)] = n
                time.sleep(0.2)  # not all starting at once
            for job in concurrent.futures.as_completed(done):
                copy, tune, args, render_args, frame = jobs[done[job]]
                want = ptrender(tune, os.path.join(tmp, "want.wav"), *render_args)
                got = job.result()
                if len(got) != len(want) - frame:
                    again.append(done[job])
                else:
                    same(f"{tune} through cvlc {' '.join(args)}", got, want[frame:])
                if not args:
                    ms, title, description = shown[copy]
                    check_tags(f"{tune} in VLC", tune, copy, want, ms, title)
                    comment = info_field(tune, "comment")
                    if description != (None if comment == "(none)" else comment):
                        raise TestFailure(f"{tune}: description {description!r}, the comment {comment!r}")
        # VLC discards audio that reaches its output late, as on a busy
        # machine when many start at once: such a tune is written again alone.
        for n in again:
            copy, tune, args, render_args, frame = jobs[n]
            print(f"note: {tune}: VLC left frames out beside {VLC_AT_ONCE - 1} others; again alone")
            got = vlc_write(env, copy, os.path.join(written, "alone.wav"), *args)
            same(f"{tune} through cvlc {' '.join(args)} alone", got,
                 ptrender(tune, os.path.join(tmp, "want.wav"), *render_args)[frame:])
        print(f"{len(tunes)} tunes written by cvlc as ptrender renders them; a seek and two passes too")


# ---------------------------------------------------------------- both

def hostile():
    need_tools("cvlc")
    rng = random.Random(23)
    with tempfile.TemporaryDirectory() as tmp:
        os.chmod(tmp, 0o755)
        tunes = corpus_tunes() or builder_tunes(tmp)
        spoilt_files = []
        for i, tune in enumerate(rng.sample(tunes, min(6, len(tunes)))):
            for j, (_, data) in enumerate(spoilt(open(tune, "rb").read(), rng)):
                spoilt_files.append(os.path.join(tmp, f"spoilt{i}-{j}"))
                open(spoilt_files[-1], "wb").write(data)
                os.chmod(spoilt_files[-1], 0o644)
        written = os.path.join(tmp, "written")
        os.makedirs(written)
        with Audacious(tmp, file_writer_settings(written), os.environ) as player:
            player.use_file_writer()
            for path in spoilt_files:
                player.tool("playlist-addurl", path)
            player.play_to_end(lambda: player.tool("playlist-position") != "1" or os.listdir(written))
            alive = player.tool("version", check=False)
        log = open(os.path.join(tmp, "audacious.log")).read()
        if not alive or player.proc.returncode != 0 or crash_report(log) or not re.search(ENGINE_TEXT, log):
            raise TestFailure(f"Audacious on spoilt tunes: {player.proc.returncode}\n{log}")
        env = vlc_env(tmp, vlc_plugins(tmp))
        with concurrent.futures.ThreadPoolExecutor(8) as pool:  # one file a process: a playlist is slower
            ends = list(pool.map(lambda path: cvlc(env, ["--sout", "#std{access=file,mux=raw,dst=/dev/null}",
                                                         path], 300), spoilt_files))
        err = "".join(e for _, e in ends)
        if any(status != 0 for status, _ in ends) or crash_report(err) or not re.search(ENGINE_TEXT, err):
            raise TestFailure(f"cvlc on spoilt tunes: {[status for status, _ in ends]}\n{err}")
        print(f"{len(spoilt_files)} spoilt tunes: {len(re.findall(ENGINE_TEXT, log))} engine texts from Audacious, "
              f"{len(re.findall(ENGINE_TEXT, err))} from cvlc")


if __name__ == "__main__":
    run({"audacious": audacious, "seek": seek, "vlc": vlc_, "hostile": hostile}[sys.argv[1]])
