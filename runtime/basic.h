// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The value types and small library functions that the form handlers are written against.
#pragma once

#include <compare>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "runtime/codes.h"

namespace rt {

// Raised by the runtime for anything a handler may not do. Nothing in the game catches it:
// the event dispatcher turns it into the program's one error report and a failing exit.
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int number, const std::string& message)
        : std::runtime_error(message), number_(number) {}
    int number() const { return number_; }

  private:
    int number_;
};

[[noreturn]] void raiseOverflow(const char* what);

// A checked 16-bit signed whole number. Arithmetic that leaves the 16-bit range raises the
// overflow error rather than wrapping, so a broken invariant shows up at once.
class Integer {
  public:
    constexpr Integer() = default;
    // Implicit, so that handlers can write `BalloonsLeft - 1` and `Count() > 0`.
    constexpr Integer(int v) : v_(check(v)) {}  // NOLINT(google-explicit-constructor)

    constexpr int16_t value() const { return v_; }

    friend constexpr Integer operator+(Integer a, Integer b) { return Integer(a.v_ + b.v_); }
    friend constexpr Integer operator-(Integer a, Integer b) { return Integer(a.v_ - b.v_); }
    friend constexpr Integer operator*(Integer a, Integer b) { return Integer(a.v_ * b.v_); }
    constexpr Integer operator-() const { return Integer(-v_); }
    friend constexpr bool operator==(Integer a, Integer b) = default;
    friend constexpr std::strong_ordering operator<=>(Integer a, Integer b) = default;

  private:
    static constexpr int16_t check(int v) {
        if (v < INT16_MIN || v > INT16_MAX) {
            raiseOverflow("16-bit integer arithmetic");
        }
        return static_cast<int16_t>(v);
    }
    int16_t v_ = 0;
};

// The general value type, as the game uses it: it only ever holds a 16-bit whole number, with
// the same overflow check.
class Variant : public Integer {
  public:
    using Integer::Integer;
    constexpr Variant(Integer i) : Integer(i) {}  // NOLINT(google-explicit-constructor)
};

// Positions and sizes: single precision, stored exactly as written.
using Single = float;

// Decimal text of n, with one leading blank when n is not negative.
std::string Str(Integer n);
// Largest whole number not above x (the value stays a real).
double Int(double x);
std::string Chr(int code);

}  // namespace rt
