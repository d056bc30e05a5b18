"""The Windows build renders what the Linux build renders, byte for byte:
ptrender.exe under Wine writes the very WAV files the Linux ptrender
writes, for the demo tunes and every corpus tune (when ../shared is
there), Ogg voices included, so the engine built for i686 with SSE2 maths
gives x86-64's samples; and a C program of someone else's, built with
MinGW against brindlewick.dll and its import library from the zip, renders
a tune as the Linux library does."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

from wine import Prefix, need_file

BATCH = 12  # tunes a run: the WAV files of both builds are compared, then removed


def tunes():
    demo = os.path.join(os.environ["SOURCE_DIR"], "demo")
    found = sorted(glob.glob(os.path.join(demo, "*.pt*")))
    for corpus in ("corpus", "corpus-next"):
        top = os.path.join(os.environ["SHARED_DIR"], corpus)
        for pattern in ("*.ptcop", "*.pttune"):
            found += sorted(glob.glob(os.path.join(top, "**", pattern), recursive=True))
    return found


def same_files(a, b):
    names = sorted(os.listdir(a))
    if names != sorted(os.listdir(b)):
        raise AssertionError(f"Linux wrote {names}, Windows {sorted(os.listdir(b))}")
    for name in names:
        with open(os.path.join(a, name), "rb") as fa, open(os.path.join(b, name), "rb") as fb:
            if fa.read() != fb.read():
                raise AssertionError(f"{name}: the WAV files differ")
    return len(names)


def check_ptrender(prefix, work, package):
    # Each tune under a name of its own (the corpus repeats names, some in
    # other letter cases), so both builds name their files alike.
    links = os.path.join(work, "tunes")
    os.mkdir(links)
    paths = []
    for i, tune in enumerate(tunes()):
        paths.append(os.path.join(links, "%03d%s" % (i, os.path.splitext(tune)[1])))
        os.symlink(tune, paths[-1])
    compared = 0
    for start in range(0, len(paths), BATCH):
        batch = paths[start:start + BATCH]
        linux, windows = os.path.join(work, "linux"), os.path.join(work, "windows")
        subprocess.run([os.environ["PTRENDER"], "-o", linux] + batch, check=True,
                       capture_output=True)
        prefix.run([os.path.join(package, "ptrender.exe"), "-o", windows] + batch, check=True)
        compared += same_files(linux, windows)
        shutil.rmtree(linux)
        shutil.rmtree(windows)
    print(f"ptrender.exe: {compared} WAV files as the Linux ptrender writes them")


def check_library(prefix, work, package):
    cc = os.environ.get("MINGW_CC", "")
    if not cc:
        print("skipped the DLL: no i686-w64-mingw32-gcc")
        return
    library = os.path.join(package, "library")
    probe = os.path.join(work, "library_probe.exe")
    shutil.copy(os.path.join(library, "brindlewick.dll"), work)  # beside it, where Windows looks
    subprocess.run([cc, "-std=c99", "-Wall", "-Werror", "-I", library, "-o", probe,
                    os.path.join(os.environ["SOURCE_DIR"], "tests/assets/probe/library_probe.c"),
                    os.path.join(library, "libbrindlewick.dll.a")], check=True)
    imports = subprocess.run(["i686-w64-mingw32-objdump", "-p", probe], check=True,
                             capture_output=True, text=True).stdout
    assert "DLL Name: brindlewick.dll" in imports, "the probe does not link brindlewick.dll"
    tune = os.path.join(os.environ["SOURCE_DIR"], "demo", "Brindle Waltz.ptcop")
    raw, wav = os.path.join(work, "probe.raw"), os.path.join(work, "linux.wav")
    prefix.run([probe, tune, raw], check=True)
    subprocess.run([os.environ["PTRENDER"], tune, wav], check=True)
    with open(raw, "rb") as r, open(wav, "rb") as w:
        assert r.read() == w.read()[44:], "the DLL renders otherwise than the Linux library"
    print("brindlewick.dll: a MinGW program renders the tune as the Linux library does")


def main():
    package = need_file("WINDOWS_PACKAGE")
    work = tempfile.mkdtemp(prefix="brindlewick_renders_")
    try:
        with Prefix() as prefix:
            check_ptrender(prefix, work, package)
            check_library(prefix, work, package)
    except (AssertionError, subprocess.CalledProcessError) as e:
        print(f"FAIL same_renders: {e}")
        sys.exit(1)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("ok same_renders")


if __name__ == "__main__":
    main()
