// Fuzz target of the card number check: stripping, digit extraction and the whole check
// on arbitrary bytes, in exact-size heap buffers so that any overrun is caught.
#include "card_check.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::unique_ptr<char[]> CopyOf(const char *text)
{
    const std::size_t size = std::strlen(text) + 1;
    std::unique_ptr<char[]> copy(new char[size]);
    std::memcpy(copy.get(), text, size);
    return copy;
}

std::string DigitsOf(const char *text)
{
    std::string digits;
    for (; *text != '\0'; ++text) {
        if (IsDigit(*text))
            digits += *text;
    }
    return digits;
}

void CheckStrip(const char *text)
{
    std::unique_ptr<char[]> stripped = CopyOf(text);
    StripNonDigits(stripped.get());
    Require(stripped.get() == DigitsOf(text));
    Require(std::strlen(stripped.get()) <= std::strlen(text));
    Require(LuhnCheck(stripped.get()) == 0 || LuhnCheck(stripped.get()) == 1);
}

CardCheckResult CheckExtract(const char *text)
{
    const std::size_t size = CardDigitLimit + 1;
    std::unique_ptr<char[]> digits(new char[size]);
    const CardCheckResult result = ExtractCardDigits(text, digits.get(), CardDigitLimit);
    Require(result == CardValid || result == CardBadCharacter || result == CardTooManyDigits);
    if (result == CardValid) {
        Require(std::memchr(digits.get(), '\0', size) != nullptr);
        Require(digits.get() == DigitsOf(text));
    }
    return result;
}

void CheckWholeCheck(const char *text, CardCheckResult extracted)
{
    int issuer = -1;
    const CardCheckResult result = CheckCardNumber(text, issuer);
    Require(result >= CardValid && result <= CardBadCheckDigit);
    if (result == CardUnknownIssuer)
        Require(issuer == 0);
    else
        Require(issuer >= 1 && issuer <= 8);
    // Extraction faults surface unchanged unless no prefix matched.
    if (extracted != CardValid)
        Require(result == extracted || result == CardUnknownIssuer);
    else
        Require(result != CardBadCharacter && result != CardTooManyDigits);

    // Blanks and hyphens alone never change the verdict, so stripping them must not either.
    if (extracted == CardValid) {
        std::unique_ptr<char[]> stripped = CopyOf(text);
        StripNonDigits(stripped.get());
        int strippedIssuer = -1;
        Require(CheckCardNumber(stripped.get(), strippedIssuer) == result);
        Require(strippedIssuer == issuer);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';

    CheckStrip(text.get());
    CheckWholeCheck(text.get(), CheckExtract(text.get()));
    return 0;
}
