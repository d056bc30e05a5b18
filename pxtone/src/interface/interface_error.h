// The engine's last error text: set from any thread, read by the control
// thread every frame.
#ifndef PXTONE_INTERFACE_ERROR_H
#define PXTONE_INTERFACE_ERROR_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "error_text.h"  // ERROR_TEXT_MAX: the program's foot line

namespace pxtone {

class ErrorText {
public:
    // Replaces the text. Longer texts are cut to ERROR_TEXT_MAX bytes, ending
    // in ".." and never inside a UTF-8 sequence. Any thread; may block
    // briefly on a mutex shared only with other setters and read().
    void set(const std::string &text);
    // The current text, "" before any error. Control thread only. The
    // pointer stays valid, and its text unchanged, until the second read()
    // after a later set(), so a caller may keep it for one frame.
    const char *read();

private:
    std::mutex mutex_;
    std::string latest_;            // guarded by mutex_
    std::atomic<uint32_t> generation_{0};
    // Owned by the control thread: the copies read() hands out, used in turn.
    char shown_[2][ERROR_TEXT_MAX + 1] = {{0}, {0}};
    int shown_index_ = 0;
    uint32_t shown_generation_ = 0;
};

// Cuts a text to ERROR_TEXT_MAX bytes as set() does.
std::string fit_error_text(const std::string &text);

}  // namespace pxtone

#endif
