#pragma once

#include <string>

namespace tickwell::feed {

// Numbers as the finance pages print them, independent of the process locale.
std::string Fixed(double value, int decimals);               // "1234.50"
std::string Grouped(double value, int decimals);             // "1,234.50"
std::string Signed(double value, int decimals);              // "+1.25", "-0.50", "0.00"
std::string SignedGrouped(double value, int decimals);       // "+1,234.50"
std::string Lower(std::string text);
// Escapes &, <, >, " for element text and attribute values.
std::string EscapeHtml(const std::string &text);

} // namespace tickwell::feed
