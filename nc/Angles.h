// Degrees and radians: programs write degrees, the standard library's functions take radians.
#pragma once

// Multiply radians by this to get degrees.
inline constexpr double kDegreesPerRadian = 57.29577951308232;
// Multiply degrees by this to get radians.
inline constexpr double kRadiansPerDegree = 0.017453292519943295;
