// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/basic.h"

#include <cmath>

namespace rt {

void raiseOverflow(const char* what) {
    throw RuntimeError(kErrOverflow, std::string("Overflow (") + what + ")");
}

std::string Str(Integer n) {
    const int v = n.value();
    std::string text(v >= 0 ? 1 : 0, ' ');
    text += std::to_string(v);
    return text;
}

double Int(double x) {
    return std::floor(x);
}

std::string Chr(int code) {
    if (code < 0 || code > 255) {
        throw RuntimeError(kErrBadArgument,
                           "Invalid procedure call or argument (Chr " + std::to_string(code) + ")");
    }
    return std::string(1, static_cast<char>(code));
}

}  // namespace rt
