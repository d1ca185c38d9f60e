#include "nc/MacroMath.h"

#include <array>
#include <cmath>

#include "nc/Angles.h"
#include "nc/MacroText.h"

namespace {

template <typename T>
struct Named {
    std::string_view name;
    T value;
};

constexpr std::array<Named<MacroFunction>, 18> kFunctions{{
    {"SIN", MacroFunction::Sin},
    {"COS", MacroFunction::Cos},
    {"TAN", MacroFunction::Tan},
    {"ASIN", MacroFunction::Asin},
    {"ACOS", MacroFunction::Acos},
    {"ATAN", MacroFunction::Atan},
    {"SQRT", MacroFunction::Sqrt},
    {"SQR", MacroFunction::Sqrt},
    {"ABS", MacroFunction::Abs},
    {"ROUND", MacroFunction::Round},
    {"ROUN", MacroFunction::Round},
    {"FIX", MacroFunction::Fix},
    {"FUP", MacroFunction::Fup},
    {"LN", MacroFunction::Ln},
    {"EXP", MacroFunction::Exp},
    {"POW", MacroFunction::Pow},
    {"BIN", MacroFunction::Bin},
    {"BCD", MacroFunction::Bcd},
}};

constexpr std::array<Named<MacroOperator>, 14> kOperators{{
    {"*", MacroOperator::Multiply},
    {"/", MacroOperator::Divide},
    {"AND", MacroOperator::And},
    {"MOD", MacroOperator::Mod},
    {"+", MacroOperator::Add},
    {"-", MacroOperator::Subtract},
    {"OR", MacroOperator::Or},
    {"XOR", MacroOperator::Xor},
    {"EQ", MacroOperator::Eq},
    {"NE", MacroOperator::Ne},
    {"GT", MacroOperator::Gt},
    {"GE", MacroOperator::Ge},
    {"LT", MacroOperator::Lt},
    {"LE", MacroOperator::Le},
}};

template <typename T, std::size_t N>
std::optional<T> Find(const std::array<Named<T>, N>& table, std::string_view text) {
    for (const auto& entry : table) {
        if (IsKeyword(text, entry.name)) {
            return entry.value;
        }
    }
    return std::nullopt;
}

constexpr double kDegree = kRadiansPerDegree;

// Sine and cosine of an angle in degrees, reduced to a quadrant first so that multiples of 90° give exact
// zeros (COS[90] is 0, and TAN[90] divides by it).
void SinCos(double degrees, double& sine, double& cosine) {
    double turn = std::fmod(degrees, 360.0);
    if (turn < 0.0) {
        turn += 360.0;
    }
    const int quadrant = static_cast<int>(turn / 90.0);
    const double rest = (turn - 90.0 * quadrant) * kDegree;
    const double s = std::sin(rest);
    const double c = std::cos(rest);
    const double sines[4] = {s, c, -s, -c};
    const double cosines[4] = {c, -s, -c, s};
    sine = sines[quadrant & 3];
    cosine = cosines[quadrant & 3];
}

// 0 <= result < 360.
double Atan2Degrees(double a, double b) {
    const double angle = std::atan2(a, b) / kDegree;
    const double turned = angle < 0.0 ? angle + 360.0 : angle;
    return turned >= 360.0 ? 0.0 : turned;
}

// The integer part, held within the 64-bit range.
std::int64_t IntegerPart(double value) {
    constexpr double kLimit = 9.2e18;
    if (value >= kLimit) {
        return INT64_MAX;
    }
    if (value <= -kLimit) {
        return INT64_MIN;
    }
    return static_cast<std::int64_t>(value);
}

bool Domain(MacroFunction f, double a, double& result) {
    double sine = 0.0;
    double cosine = 0.0;
    switch (f) {
        case MacroFunction::Sin:
        case MacroFunction::Cos:
        case MacroFunction::Tan:
            SinCos(a, sine, cosine);
            if (f == MacroFunction::Tan && cosine == 0.0) {
                return false;
            }
            result = f == MacroFunction::Sin ? sine : f == MacroFunction::Cos ? cosine : sine / cosine;
            return true;
        case MacroFunction::Asin:
        case MacroFunction::Acos:
            if (a < -1.0 || a > 1.0) {
                return false;
            }
            result = (f == MacroFunction::Asin ? std::asin(a) : std::acos(a)) / kDegree;
            return true;
        case MacroFunction::Sqrt:
            result = std::sqrt(a);
            return a >= 0.0;
        case MacroFunction::Ln:
            result = std::log(a);
            return a > 0.0;
        default:
            return false;
    }
}

}  // namespace

std::int64_t RoundedInteger(double value) {
    return IntegerPart(std::round(value));
}

std::optional<MacroFunction> FindMacroFunction(std::string_view name) {
    return Find(kFunctions, name);
}

std::optional<MacroOperator> FindMacroOperator(std::string_view text) {
    return Find(kOperators, text);
}

int Precedence(MacroOperator op) {
    return op <= MacroOperator::Mod ? 2 : op <= MacroOperator::Xor ? 1 : 0;
}

bool IsComparison(MacroOperator op) {
    return op >= MacroOperator::Eq;
}

bool IsBitwise(MacroOperator op) {
    return op == MacroOperator::And || op == MacroOperator::Or || op == MacroOperator::Xor;
}

int MinArguments(MacroFunction f) {
    return f == MacroFunction::Pow ? 2 : 1;
}

int MaxArguments(MacroFunction f) {
    return f == MacroFunction::Pow || f == MacroFunction::Atan ? 2 : 1;
}

bool ApplyFunction(MacroFunction f, double a, double b, double& result) {
    switch (f) {
        case MacroFunction::Atan:
            result = Atan2Degrees(a, b);
            break;
        case MacroFunction::Abs:
            result = std::fabs(a);
            break;
        case MacroFunction::Round:
            result = std::round(a);
            break;
        case MacroFunction::Fix:
            result = std::trunc(a);
            break;
        case MacroFunction::Fup:
            result = a < 0.0 ? std::floor(a) : std::ceil(a);
            break;
        case MacroFunction::Exp:
            result = std::exp(a);
            break;
        case MacroFunction::Pow:
            result = std::pow(a, b);
            break;
        case MacroFunction::Bin:
        case MacroFunction::Bcd:
            result = a;
            break;
        default:
            if (!Domain(f, a, result)) {
                return false;
            }
    }
    return std::isfinite(result);
}

bool ApplyOperator(MacroOperator op, double a, double b, double& result) {
    switch (op) {
        case MacroOperator::Multiply:
            result = a * b;
            break;
        case MacroOperator::Divide:
            if (b == 0.0) {
                return false;
            }
            result = a / b;
            break;
        case MacroOperator::Mod:
            if (b == 0.0) {
                return false;
            }
            result = std::fmod(a, b);
            break;
        case MacroOperator::Add:
            result = a + b;
            break;
        case MacroOperator::Subtract:
            result = a - b;
            break;
        case MacroOperator::And:
            result = static_cast<double>(IntegerPart(a) & IntegerPart(b));
            break;
        case MacroOperator::Or:
            result = static_cast<double>(IntegerPart(a) | IntegerPart(b));
            break;
        case MacroOperator::Xor:
            result = static_cast<double>(IntegerPart(a) ^ IntegerPart(b));
            break;
        default:
            return false;
    }
    return std::isfinite(result);
}
