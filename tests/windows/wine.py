"""Wine for the Windows build's tests: one 32-bit prefix made per test run
(ctest's fixture runs `wine.py make-prefix`), and a private copy of it for
each test, so tests running side by side each have their own wineserver.
The copy links the template's program files and copies the rest (Wine
rewrites its registry files in place).

The template's place comes from the environment CTest sets,
WINE_TEMPLATE_PREFIX. A test exits 77 (skipped) when Wine or the Windows
build is missing."""
import os
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
LINKED = (".dll", ".exe", ".drv", ".sys", ".nls", ".ocx", ".acm", ".cpl", ".tlb", ".vxd")
DESKTOP = "640x480"  # Wine's virtual desktop, where every program's window opens
SETTINGS = {"WINEARCH": "win32", "WINEDEBUG": "-all",
            # no .NET or Gecko installers, no menu entries, sound through PulseAudio
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv=d"}


def skip(why):
    print(f"skipped: {why}")
    sys.exit(SKIPPED)


def need_file(name):
    """The path in environment variable `name`; skips the test when it is
    unset or names nothing."""
    path = os.environ.get(name, "")
    if not path or not os.path.exists(path):
        skip(f"{name} ({path or 'not set'}) not there: run scripts/windows-build")
    return path


def make_template(prefix):
    """A fresh prefix whose programs open in a virtual desktop (so no window
    manager is needed, and Allegro's exit does not hang on a bare X
    server)."""
    shutil.rmtree(prefix, ignore_errors=True)
    env = dict(os.environ, WINEPREFIX=prefix, **SETTINGS)
    env.pop("DISPLAY", None)
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    subprocess.run(["wineboot", "-i"], env=env, check=True, timeout=300, **quiet)
    for key, value, data in (("Explorer", "Desktop", "Default"),
                             ("Explorer\\Desktops", "Default", DESKTOP)):
        subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\" + key, "/v", value,
                        "/d", data, "/f"], env=env, check=True, timeout=60, **quiet)
    subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=60)


class Prefix:
    """A private copy of the template prefix, gone (with its wineserver)
    when the `with` block ends."""

    def __init__(self):
        if shutil.which("wine") is None:
            skip("wine not installed (scripts/install-deps wine)")
        template = need_file("WINE_TEMPLATE_PREFIX")
        # Beside the template: links do not cross file systems.
        self.path = tempfile.mkdtemp(prefix="copy-", dir=os.path.dirname(template))
        shutil.copytree(template, self.path, symlinks=True, dirs_exist_ok=True,
                        copy_function=self._link_or_copy)

    @staticmethod
    def _link_or_copy(src, dst):
        if src.lower().endswith(LINKED):
            os.link(src, dst)
        else:
            shutil.copy2(src, dst)

    def env(self, base=None):
        e = dict(base if base is not None else os.environ, **SETTINGS)
        e["WINEPREFIX"] = self.path
        return e

    def run(self, args, **kw):
        """Runs a Windows program (args[0]) to its end. Its output goes to
        files or nowhere: Wine's services, started meanwhile, inherit it and
        would hold a pipe open for as long as they run."""
        kw.setdefault("stdout", subprocess.DEVNULL)
        kw.setdefault("stderr", subprocess.DEVNULL)
        return subprocess.run(["wine"] + list(args), env=self.env(kw.pop("env", None)), **kw)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env(), stderr=subprocess.DEVNULL, timeout=30)
        shutil.rmtree(self.path, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] != "make-prefix":
        print("usage: wine.py make-prefix DIR")
        sys.exit(2)
    if shutil.which("wine") is None:
        skip("wine not installed (scripts/install-deps wine)")
    make_template(sys.argv[2])
    print(f"made the Wine prefix {sys.argv[2]}")
