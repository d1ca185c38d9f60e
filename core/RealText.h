// Number text of the DXF file: the shortest text of a double with at most 15 significant digits.
#pragma once

#include <string>

// Fixed notation for decimal exponents -3 to 15 ("12.5", "0.0001"), "1E-5" form outside; "0" for both zeros.
// Never depends on the process locale.
std::string RealText(double x);

// Appends RealText(x) to `out` without a temporary string; the writers use it on their hot path.
void AppendRealText(std::string& out, double x);
