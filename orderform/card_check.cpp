// Card number check: the issuer prefix table, the digit extraction and the Luhn check.
#include "card_check.h"

#include <cstdint>
#include <cstring>

namespace {

struct IssuerPrefix {
    const char *prefix;           // one to four digits
    std::uint32_t lengthMask;     // bit k set: a number of ShortestLength + k digits is allowed
    int issuerCode;
    int checkDigit;               // non-zero: the number must pass the Luhn check
};

const std::size_t ShortestLength = 12;

static_assert(CardDigitLimit - ShortestLength < 32, "every digit count must have a mask bit");

const char Blanks[] = " \t\n\v\f\r";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c != '\0' && std::strchr(Blanks, c) != nullptr;
}

}  // namespace

// The first matching row decides, so the longer prefixes beginning with 3 stay ahead of "3".
static const IssuerPrefix IssuerPrefixTable[] = {
    {"1800", 0x08, 7, 1},
    {"2014", 0x08, 6, 0},
    {"2131", 0x08, 7, 1},
    {"2149", 0x08, 6, 0},
    {"300",  0x04, 4, 1},
    {"301",  0x04, 4, 1},
    {"302",  0x04, 4, 1},
    {"303",  0x04, 4, 1},
    {"304",  0x04, 4, 1},
    {"305",  0x04, 4, 1},
    {"34",   0x08, 3, 1},
    {"36",   0x04, 4, 1},
    {"37",   0x08, 3, 1},
    {"38",   0x04, 4, 1},
    {"3",    0x10, 7, 1},
    {"4",    0x12, 2, 1},
    {"51",   0x10, 1, 1},
    {"52",   0x10, 1, 1},
    {"53",   0x10, 1, 1},
    {"54",   0x10, 1, 1},
    {"55",   0x10, 1, 1},
    {"56",   0x10, 8, 1},
    {"6011", 0x10, 5, 1},
};

static const IssuerPrefix *FindIssuer(const char *digits)
{
    for (const IssuerPrefix &row : IssuerPrefixTable) {
        if (std::strncmp(digits, row.prefix, std::strlen(row.prefix)) == 0)
            return &row;
    }
    return nullptr;
}

static bool LengthAllowed(const IssuerPrefix &row, std::size_t length)
{
    return length >= ShortestLength && (row.lengthMask >> (length - ShortestLength) & 1u) != 0;
}

void StripNonDigits(char *text)
{
    // Runs to the text's own terminator: a length counted elsewhere may exceed what was read.
    char *kept = text;
    for (const char *next = text; *next != '\0'; ++next) {
        if (IsDigit(*next))
            *kept++ = *next;
    }
    *kept = '\0';
}

CardCheckResult CheckCardNumber(const char *text, int &issuer)
{
    // Zero-filled, so digits cut short by a bad character or by the limit are still
    // terminated: the prefix scan then sees only what was copied, and a bad character
    // gives 1 when those digits match no prefix and 2 when they do.
    char digits[CardDigitBufferSize] = {};
    const CardCheckResult extracted = ExtractCardDigits(text, digits, CardDigitLimit);

    const IssuerPrefix *row = FindIssuer(digits);
    if (row == nullptr) {
        issuer = 0;
        return CardUnknownIssuer;
    }
    issuer = row->issuerCode;
    if (extracted != CardValid)
        return extracted;
    if (!LengthAllowed(*row, std::strlen(digits)))
        return CardBadLength;
    if (row->checkDigit != 0 && LuhnCheck(digits) == 0)
        return CardBadCheckDigit;
    return CardValid;
}

CardCheckResult ExtractCardDigits(const char *source, char *digits, int limit)
{
    int copied = 0;
    for (; *source != '\0'; ++source) {
        const char c = *source;
        if (IsBlank(c) || c == '-')
            continue;
        if (!IsDigit(c))
            return CardBadCharacter;
        if (copied == limit)
            return CardTooManyDigits;
        digits[copied++] = c;
    }
    digits[copied] = '\0';
    return CardValid;
}

int LuhnCheck(const char *digits)
{
    // Counted from the right: the check digit is never doubled, whatever the length.
    int sum = 0;
    bool doubled = false;
    for (std::size_t i = std::strlen(digits); i-- > 0;) {
        int value = digits[i] - '0';
        if (doubled) {
            value *= 2;
            if (value > 9)
                value -= 9;
        }
        sum += value;
        doubled = !doubled;
    }
    return sum % 10 == 0 ? 1 : 0;
}
