// pi, which standard C++ 17 does not name (M_PI is POSIX's, not there on
// every compiler the engine builds with).
#ifndef PXTONE_PI_H
#define PXTONE_PI_H

namespace pxtone {

constexpr double PI = 3.14159265358979323846;

}  // namespace pxtone

#endif
