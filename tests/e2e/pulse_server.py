"""A PulseAudio server of a test's own, with one null sink whose monitor
parec records: the sound a program plays there, as it left the program.
Its runtime folder and HOME are under the test's folder, so it meets no
other server; programs find it through env()."""
import os
import subprocess

from jukebox_session import TestFailure, end_process, need_tools, spawn, wait_until

SINK = "e2e_null"
RATE = 22050


class PulseServer:
    def __init__(self, workdir, rate=RATE):
        self.rate = rate
        need_tools("pulseaudio", "pactl", "parec")
        self.vars = {"XDG_RUNTIME_DIR": os.path.join(workdir, "pulse-run"),
                     "HOME": os.path.join(workdir, "pulse-home")}
        for d in self.vars.values():
            os.makedirs(d, mode=0o700, exist_ok=True)
        self.log = open(os.path.join(workdir, "pulse.log"), "ab")
        self.recorder = None
        self.start_again()

    # `with PulseServer(dir) as pulse:` stops it however the test ends.
    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.stop()

    def start_again(self):
        """Starts the server (again, after stop or kill) at the same place,
        so programs that found it before find it again."""
        # -n: no default configuration, so nothing but the null sink; run
        # in the foreground as our child so it goes when we do.
        self.proc = spawn(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                           "--use-pid-file=false", "--load=module-native-protocol-unix",
                           f"--load=module-null-sink sink_name={SINK} rate={self.rate}"],
                          env=self.env(), stdout=self.log, stderr=self.log)
        wait_until("the sound server", 10, self._answers, interval=0.1)
        subprocess.run(["pactl", "set-default-sink", SINK], env=self.env(), check=True,
                       capture_output=True, timeout=10)

    def env(self, base=None):
        e = dict(base if base is not None else os.environ)
        e.update(self.vars)
        return e

    def _answers(self):
        if self.proc.poll() is not None:
            raise TestFailure(f"pulseaudio ended with {self.proc.returncode}")
        r = subprocess.run(["pactl", "info"], env=self.env(), capture_output=True, timeout=10)
        return r.returncode == 0

    def playing_streams(self):
        """How many streams play into the server now."""
        r = subprocess.run(["pactl", "list", "short", "sink-inputs"], env=self.env(),
                           capture_output=True, text=True, timeout=10)
        return len([line for line in r.stdout.splitlines() if line.strip()])

    def recording_streams(self):
        """How many recorders read from the server now."""
        r = subprocess.run(["pactl", "list", "short", "source-outputs"], env=self.env(),
                           capture_output=True, text=True, timeout=10)
        return len([line for line in r.stdout.splitlines() if line.strip()])

    def record(self, path):
        """Starts recording the sink's monitor: raw s16le stereo at the
        server's rate (RATE unless given)."""
        self.recording = path
        self.recorder = spawn(["parec", "-d", SINK + ".monitor", "--format=s16le",
                               f"--rate={self.rate}", "--channels=2", "--raw"],
                              env=self.env(), stdout=open(path, "wb"), stderr=self.log)

    def stop_recording(self):
        if self.recorder and self.recorder.poll() is None:
            self.recorder.terminate()
            self.recorder.wait(5)

    def kill(self):
        """Ends the server at once (SIGKILL), as a crash would; the
        recording, if any, ends with it."""
        self.proc.kill()
        self.proc.wait(5)
        self.stop_recording()

    def stop(self):
        self.stop_recording()
        end_process(self.proc)
