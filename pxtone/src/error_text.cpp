#include "error_text.h"

namespace pxtone {

std::string error_text(const std::string &prefix, const std::string &name) {
    std::string head = prefix + ": ";
    if (head.size() >= ERROR_TEXT_MAX) return head.substr(0, ERROR_TEXT_MAX);
    size_t room = ERROR_TEXT_MAX - head.size();
    if (name.size() <= room) return head + name;
    if (room <= 2) return head + name.substr(0, room);
    return head + name.substr(0, room - 2) + "..";
}

}  // namespace pxtone
