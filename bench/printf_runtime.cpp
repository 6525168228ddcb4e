// Links into a floor program the C99 formatting that the order form's money texts and
// order line use (the C++ headers route std::snprintf to mingw-w64's own printf).
#include <cstdio>

namespace {

volatile double g_amount = 39.0;
char g_text[32];

struct UsesFormatting {
    UsesFormatting() { std::snprintf(g_text, sizeof g_text, "%3.2f", g_amount); }
} usesFormatting;

}  // namespace
