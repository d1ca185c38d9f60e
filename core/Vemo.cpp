#include "core/Vemo.h"

#include <cmath>
#include <limits>

#include "core/RealText.h"

int Sign(double x) {
    if (x > 0) {
        return 1;
    }
    return x < 0 ? -1 : 0;
}

int Sign(std::int32_t n) {
    if (n > 0) {
        return 1;
    }
    return n < 0 ? -1 : 0;
}

double MaxOf(double a, double b) {
    return a >= b ? a : b;
}

double MinOf(double a, double b) {
    return a > b ? b : a;
}

void SwapValues(double& a, double& b) {
    const double kept = a;
    a = b;
    b = kept;
}

int FindText(std::string text, std::string key) {
    const std::size_t position = text.find(key);
    return position == std::string::npos ? -1 : static_cast<int>(position);
}

std::string ReplaceFirst(std::string text, std::string find, std::string replacement) {
    const int position = FindText(text, find);
    if (position < 0) {
        return text;
    }
    return text.replace(static_cast<std::size_t>(position), find.size(), replacement);
}

std::string RoundText(double value, std::int32_t decimals) {
    const double scale = std::pow(10.0, decimals);
    if (scale == 0.0) {
        // Rounding to a power of ten beyond the double range leaves nothing.
        return RealText(0.0);
    }
    if (std::isinf(scale)) {
        // More decimals than a double holds: the value is already rounded.
        return RealText(value);
    }
    const long double raised = static_cast<long double>(std::fabs(value)) * scale + 0.5L;
    // The sum is stored as a double on purpose: 0.15 with 1 decimal gives 1.4999... + 0.5, which becomes 2.0.
    const double stored = static_cast<double>(raised);
    // Truncation in floating point gives the same integer as a 32-bit one inside its range and cannot
    // overflow beyond it; past the double range the extended sum is truncated instead.
    const long double truncated = std::isinf(stored) ? std::trunc(raised) : std::trunc(stored);
    const long double rounded = Sign(value) * truncated;
    return RealText(static_cast<double>(rounded / scale));
}
