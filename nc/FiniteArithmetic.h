// Arithmetic that keeps the interpreter's state finite.
//
// A line of at most 255 characters holds no number beyond about 1e253, so sums and differences of coordinates
// stay finite (even over G91 blocks by the billion), but their squares, and quotients by feed rates or peck
// depths written with two hundred decimals, do not. Each helper gives the plain double result whenever that
// is finite, so ordinary programs get exactly the values of the plain formulas; only a result that overflows
// is replaced by the nearest finite one.
#pragma once

#include <cmath>
#include <limits>

// The value itself when finite, else the largest finite double of its sign.
inline double Saturated(double value) {
    return std::isfinite(value) ? value : std::copysign(std::numeric_limits<double>::max(), value);
}

// The nearest finite double to a long double, whose wider exponent holds what a double cannot.
inline double NarrowedToDouble(long double value) {
    constexpr long double kLargest = std::numeric_limits<double>::max();
    if (value > kLargest) {
        return std::numeric_limits<double>::max();
    }
    if (value < -kLargest) {
        return -std::numeric_limits<double>::max();
    }
    return static_cast<double>(value);
}

// The square root of a² + b², redone in long double only when the squares overflow a double.
inline double RootOfSquares(double a, double b) {
    const double squares = a * a + b * b;
    if (std::isfinite(squares)) {
        return std::sqrt(squares);
    }
    const long double wideA = a;
    const long double wideB = b;
    return NarrowedToDouble(std::sqrt(wideA * wideA + wideB * wideB));
}
