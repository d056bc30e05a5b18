// Writing 16-bit stereo frames to a sound file through libsndfile: a WAV
// (16-bit PCM), FLAC (16-bit) or Ogg Vorbis file, or a WAV on standard
// output.
//
// A WAV's header holds its length, so libsndfile writes it again at the
// end and will not write a WAV to a pipe. Standard output that is a
// regular file is written in place; otherwise (a pipe, a device) the WAV
// is built in an unnamed temporary file and copied out when it is
// finished. A terminal is refused.
//
// Failures leave a message in error(); the writer is then done, and later
// calls do nothing and return false. Not thread-safe.
#ifndef PTRENDER_SOUND_OUT_H
#define PTRENDER_SOUND_OUT_H

#include <cstdint>
#include <cstdio>
#include <string>

#include <sndfile.h>

enum class SoundFormat { wav, flac, ogg };

// The format a file name's extension names (any case): .wav, .flac, .ogg.
bool format_for_path(const std::string &path, SoundFormat &format);
// The format named "wav", "flac" or "ogg", and a format's extension (".wav").
bool format_named(const std::string &name, SoundFormat &format);
const char *format_extension(SoundFormat format);

class SoundOut {
public:
    SoundOut() = default;
    ~SoundOut();
    SoundOut(const SoundOut &) = delete;
    SoundOut &operator=(const SoundOut &) = delete;

    // Creates `path` ("-" for standard output, always a WAV) for stereo
    // frames at `rate`. False, with error() set, when it cannot.
    bool open(const std::string &path, SoundFormat format, int rate);
    // Appends `frames` interleaved stereo frames.
    bool write(const int16_t *samples, int64_t frames);
    // Finishes the file (and sends a spooled WAV to standard output).
    bool close();
    const std::string &error() const { return error_; }

private:
    bool fail(const std::string &what);
    bool copy_spool_to_stdout();

    SNDFILE *file_ = nullptr;
    std::FILE *spool_ = nullptr;
    std::string shown_;
    std::string error_;
};

#endif
