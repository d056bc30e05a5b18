// Short error texts that name a tune: "PREFIX: NAME", at most
// ERROR_TEXT_MAX characters, NAME shortened with ".." to fit.
#ifndef PXTONE_ERROR_TEXT_H
#define PXTONE_ERROR_TEXT_H

#include <string>

namespace pxtone {

constexpr size_t ERROR_TEXT_MAX = 36;

std::string error_text(const std::string &prefix, const std::string &name);

}  // namespace pxtone

#endif
