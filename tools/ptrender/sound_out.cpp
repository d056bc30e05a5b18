#include "sound_out.h"

#include <cctype>
#include <cerrno>
#include <cstring>

#include "standard_output.h"

namespace {

struct FormatName {
    const char *extension;
    SoundFormat format;
    int sndfile_format;
};

const FormatName FORMATS[] = {
    {".wav", SoundFormat::wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    {".flac", SoundFormat::flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    {".ogg", SoundFormat::ogg, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
};

int sndfile_format(SoundFormat format) {
    for (const FormatName &f : FORMATS)
        if (f.format == format) return f.sndfile_format;
    return 0;
}

bool ends_with_nocase(const std::string &s, const char *tail) {
    const size_t n = std::strlen(tail);
    if (s.size() <= n) return false;
    for (size_t i = 0; i < n; i++)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) return false;
    return true;
}

}  // namespace

bool format_for_path(const std::string &path, SoundFormat &format) {
    for (const FormatName &f : FORMATS) {
        if (ends_with_nocase(path, f.extension)) {
            format = f.format;
            return true;
        }
    }
    return false;
}

bool format_named(const std::string &name, SoundFormat &format) {
    for (const FormatName &f : FORMATS) {
        if (name == f.extension + 1) {
            format = f.format;
            return true;
        }
    }
    return false;
}

const char *format_extension(SoundFormat format) {
    for (const FormatName &f : FORMATS)
        if (f.format == format) return f.extension;
    return "";
}

SoundOut::~SoundOut() {
    if (file_) sf_close(file_);
    if (spool_) std::fclose(spool_);
}

bool SoundOut::fail(const std::string &what) {
    error_ = what;
    if (file_) sf_close(file_);
    if (spool_) std::fclose(spool_);
    file_ = nullptr;
    spool_ = nullptr;
    return false;
}

bool SoundOut::open(const std::string &path, SoundFormat format, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = sndfile_format(format);
    shown_ = path == "-" ? "standard output" : path;
    if (path != "-") {
        file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    } else if (stdout_is_terminal()) {
        return fail("standard output is a terminal: send it to a file or a pipe");
    } else if (stdout_rewritable()) {
        file_ = sf_open_fd(stdout_descriptor(), SFM_WRITE, &info, SF_FALSE);
    } else {
        spool_ = temporary_file();
        if (!spool_) return fail(std::string("cannot make a temporary file: ") + std::strerror(errno));
        file_ = sf_open_fd(fileno(spool_), SFM_WRITE, &info, SF_FALSE);
    }
    if (!file_) return fail("cannot write " + shown_ + ": " + sf_strerror(nullptr));
    return true;
}

bool SoundOut::write(const int16_t *samples, int64_t frames) {
    if (!file_) return false;
    if (sf_writef_short(file_, samples, frames) != frames)
        return fail("writing " + shown_ + " failed: " + sf_strerror(file_));
    return true;
}

bool SoundOut::copy_spool_to_stdout() {
    if (std::fflush(spool_) != 0 || std::fseek(spool_, 0, SEEK_SET) != 0) return false;
    static char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, spool_)) > 0)
        if (!write_stdout(buf, n)) return false;
    return !std::ferror(spool_);
}

bool SoundOut::close() {
    if (!file_) return false;
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0) return fail("finishing " + shown_ + " failed: " + sf_error_number(closed));
    if (spool_ && !copy_spool_to_stdout())
        return fail(std::string("writing standard output failed: ") + std::strerror(errno));
    if (spool_) std::fclose(spool_);
    spool_ = nullptr;
    return true;
}
