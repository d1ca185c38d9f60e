// Small numeric and text helpers shared across the program.
#pragma once

#include <cstdint>
#include <string>

int Sign(double x);
int Sign(std::int32_t n);
double MaxOf(double a, double b);
double MinOf(double a, double b);
void SwapValues(double& a, double& b);

// 0-based byte position of the first occurrence of `key`; -1 when missing, 0 for an empty key.
int FindText(std::string text, std::string key);
std::string ReplaceFirst(std::string text, std::string find, std::string replacement);

// `value` rounded half away from zero to `decimals` places, written as RealText.
std::string RoundText(double value, std::int32_t decimals);
