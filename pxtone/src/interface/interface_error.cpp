#include "interface/interface_error.h"

#include <cstring>

namespace pxtone {

static bool is_utf8_continuation(char c) { return (uint8_t(c) & 0xC0) == 0x80; }

std::string fit_error_text(const std::string &text) {
    if (text.size() <= ERROR_TEXT_MAX) return text;
    // ".." marks the cut, as in the reader's texts.
    size_t keep = ERROR_TEXT_MAX - 2;
    while (keep > 0 && is_utf8_continuation(text[keep])) keep--;
    return text.substr(0, keep) + "..";
}

void ErrorText::set(const std::string &text) {
    std::string fitted = fit_error_text(text);
    std::lock_guard<std::mutex> lock(mutex_);
    latest_ = std::move(fitted);
    generation_.fetch_add(1, std::memory_order_release);
}

const char *ErrorText::read() {
    uint32_t generation = generation_.load(std::memory_order_acquire);
    if (generation != shown_generation_) {
        // Fill the copy not handed out last time, so the previous pointer
        // keeps its text until the caller asks again.
        int next = 1 - shown_index_;
        std::lock_guard<std::mutex> lock(mutex_);
        std::memcpy(shown_[next], latest_.c_str(), latest_.size() + 1);
        shown_generation_ = generation_.load(std::memory_order_relaxed);
        shown_index_ = next;
    }
    return shown_[shown_index_];
}

}  // namespace pxtone
