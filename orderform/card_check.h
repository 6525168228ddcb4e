// Card number check: strips the card field's text to its digits and checks them against
// the issuers' prefixes, allowed lengths and check digit. Needs no window.
#ifndef ORDERFORM_CARD_CHECK_H
#define ORDERFORM_CARD_CHECK_H

#include <cstddef>

enum CardCheckResult {
    CardValid          = 0,
    CardUnknownIssuer  = 1,
    CardBadCharacter   = 2,   // neither a digit, a blank nor a hyphen
    CardTooManyDigits  = 3,
    CardBadLength      = 4,
    CardBadCheckDigit  = 5,
};

const int CardTextLimit = 99;               // characters read of the card field
const std::size_t CardDigitBufferSize = 32;
const int CardDigitLimit = 28;              // digits a number may have

static_assert(CardDigitLimit < static_cast<int>(CardDigitBufferSize),
              "the digit buffer must hold the digits and their terminator");

// Removes every character that is not a decimal digit, keeping the digits in order.
void StripNonDigits(char *text);

// issuer receives the matched issuer's code, or 0 when no issuer's prefix matches.
CardCheckResult CheckCardNumber(const char *text, int &issuer);

// Copies at most limit digits, skipping blanks and hyphens; digits needs limit + 1 bytes.
// Only a CardValid result terminates digits.
CardCheckResult ExtractCardDigits(const char *source, char *digits, int limit);

// Returns 1 when the digit text passes the Luhn (mod 10) check, 0 otherwise.
int LuhnCheck(const char *digits);

#endif
