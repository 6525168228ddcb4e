// Unit tests of the card number check: issuer table, digit extraction, Luhn check and stripping.
#include "card_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Repeat(char c, std::size_t count)
{
    return std::string(count, c);
}

struct CardCase {
    std::string text;
    int result;
    int issuer;
    const char *what;
};

const CardCase CardCases[] = {
    // Each issuer row, with a number it accepts and the ways it refuses one.
    {"180000000000002", CardValid, 7, "1800, 15 digits"},
    {"180000000000003", CardBadCheckDigit, 7, "1800 needs the check digit"},
    {"1800000000000020", CardBadLength, 7, "1800, 16 digits"},
    {"201400000000001", CardValid, 6, "2014 needs no check digit"},
    {"20140000000000", CardBadLength, 6, "2014, 14 digits"},
    {"2014000000000000", CardBadLength, 6, "2014, 16 digits"},
    {"213100000000001", CardValid, 7, "2131, 15 digits"},
    {"213100000000000", CardBadCheckDigit, 7, "2131 needs the check digit"},
    {"214900000000001", CardValid, 6, "2149 needs no check digit"},
    {"2149000000000010", CardBadLength, 6, "2149, 16 digits"},
    {"30000000000004", CardValid, 4, "300"},
    {"30000000000005", CardBadCheckDigit, 4, "300 needs the check digit"},
    {"30100000000002", CardValid, 4, "301"},
    {"30200000000000", CardValid, 4, "302"},
    {"30300000000008", CardValid, 4, "303"},
    {"30400000000006", CardValid, 4, "304"},
    {"30569309025904", CardValid, 4, "305, published test number"},
    {"343434343434343", CardValid, 3, "34, published test number"},
    {"34000000000000", CardBadLength, 3, "34, 14 digits"},
    {"36148900647913", CardValid, 4, "36, published test number"},
    {"36148900647914", CardBadCheckDigit, 4, "36 needs the check digit"},
    {"378282246310005", CardValid, 3, "37, published test number"},
    {"371449635398431", CardValid, 3, "37, published test number"},
    {"378282246310006", CardBadCheckDigit, 3, "37 needs the check digit"},
    {"38520000023237", CardValid, 4, "38, published test number"},
    {"3530111333300000", CardValid, 7, "35 falls to 3"},
    {"3566002020360505", CardValid, 7, "35 falls to 3"},
    {"3530111333300001", CardBadCheckDigit, 7, "3 needs the check digit"},
    {"3900000000000005", CardValid, 7, "39 falls to 3"},
    {"4222222222222", CardValid, 2, "4, 13 digits"},
    {"4111111111111111", CardValid, 2, "4, 16 digits"},
    {"4012888888881881", CardValid, 2, "4, published test number"},
    {"40000000000002", CardBadLength, 2, "4, 14 digits"},
    {"400000000000006", CardBadLength, 2, "4, 15 digits"},
    {"4111111111111112", CardBadCheckDigit, 2, "4 needs the check digit"},
    {"5105105105105100", CardValid, 1, "51"},
    {"5200000000000007", CardValid, 1, "52"},
    {"5300000000000006", CardValid, 1, "53"},
    {"5400000000000005", CardValid, 1, "54"},
    {"5555555555554444", CardValid, 1, "55"},
    {"5555555555554445", CardBadCheckDigit, 1, "55 needs the check digit"},
    {"550000000000004", CardBadLength, 1, "55, 15 digits"},
    {"5600000000000003", CardValid, 8, "56"},
    {"6011111111111117", CardValid, 5, "6011"},
    {"6011000990139424", CardValid, 5, "6011, published test number"},
    {"6011111111111118", CardBadCheckDigit, 5, "6011 needs the check digit"},

    // A longer prefix beginning with 3 decides before the single "3" is consulted.
    {"3400000000000000", CardBadLength, 3, "34 allows 15 digits only, 16 would suit 3"},
    {"3000000000000004", CardBadLength, 4, "300 allows 14 digits only, 16 would suit 3"},
    {"3060000000000001", CardValid, 7, "306 is no row of its own"},
    {"30600000000001", CardBadLength, 7, "306 falls to 3, which allows 16 digits only"},

    // Prefixes no row holds.
    {"2221000000000009", CardUnknownIssuer, 0, "2 without 2014, 2131 or 2149"},
    {"6200000000000005", CardUnknownIssuer, 0, "6 without 6011"},
    {"6010000000000000", CardUnknownIssuer, 0, "601 only"},
    {"5000000000000009", CardUnknownIssuer, 0, "50"},
    {"5700000000000000", CardUnknownIssuer, 0, "57"},
    {"5800000000000000", CardUnknownIssuer, 0, "58"},
    {"5900000000000000", CardUnknownIssuer, 0, "59"},
    {"1811111111111111", CardUnknownIssuer, 0, "18 without 1800"},
    {"0000000000000000", CardUnknownIssuer, 0, "0"},
    {"7000000000000000", CardUnknownIssuer, 0, "7"},
    {"8000000000000000", CardUnknownIssuer, 0, "8"},
    {"9000000000000000", CardUnknownIssuer, 0, "9"},
    {"", CardUnknownIssuer, 0, "empty text"},

    // Digit counts at the limits.
    {"400000000002", CardBadLength, 2, "12 digits under 4"},
    {"201400000000", CardBadLength, 6, "12 digits under a row without check digit"},
    {"601100000000", CardBadLength, 5, "12 digits under 6011"},
    {"40000000002", CardBadLength, 2, "11 digits"},
    {"4", CardBadLength, 2, "a prefix alone"},
    {"4" + Repeat('0', 27), CardBadLength, 2, "28 digits"},
    {"9" + Repeat('0', 27), CardUnknownIssuer, 0, "28 digits, unknown prefix"},
    {"4" + Repeat('0', 28), CardTooManyDigits, 2, "29 digits"},
    {"4" + Repeat('0', 60), CardTooManyDigits, 2, "61 digits"},
    {"9" + Repeat('0', 28), CardUnknownIssuer, 0, "29 digits, unknown prefix"},
    {"4000 0000 0000 0000 0000 0000 0000", CardBadLength, 2, "28 digits in groups"},
    {"4" + Repeat('0', 28) + "x", CardTooManyDigits, 2, "the 29th digit comes before the bad character"},

    // Blanks and hyphens are skipped.
    {"4111 1111 1111 1111", CardValid, 2, "blanks"},
    {"4111-1111-1111-1111", CardValid, 2, "hyphens"},
    {"\t4111\n1111\v1111\f1111\r ", CardValid, 2, "every kind of blank"},
    {"--37 8282-2463 10005--", CardValid, 3, "hyphens and blanks at the ends"},
    {" \t-", CardUnknownIssuer, 0, "blanks and hyphens only"},

    // Any other character: 2 when the digits before it match a row, 1 when not.
    {"4111x1111 1111 1111", CardBadCharacter, 2, "a letter"},
    {"4111111111111111.", CardBadCharacter, 2, "a full number, then a point"},
    {"4111 1111" "\xA0" "1111 1111", CardBadCharacter, 2, "a high-bit blank"},
    {"4111111111111111" "\xFF", CardBadCharacter, 2, "a high-bit byte at the end"},
    {"41x", CardBadCharacter, 2, "the bad character beats the length"},
    {"3x", CardBadCharacter, 7, "3 is a row of its own"},
    {"30x", CardBadCharacter, 7, "shorter than 300, but 3 matches"},
    {"\xE9" "4111111111111111", CardUnknownIssuer, 0, "a high-bit byte first"},
    {"+4111111111111111", CardUnknownIssuer, 0, "a sign first"},
    {"20x14000000000001", CardUnknownIssuer, 0, "fewer digits than 2014 before the letter"},
    {"180_0000000000002", CardUnknownIssuer, 0, "fewer digits than 1800 before the mark"},
    {"601/1111111111117", CardUnknownIssuer, 0, "fewer digits than 6011 before the slash"},
    {"4" + Repeat('0', 10) + "x" + Repeat('0', 30), CardBadCharacter, 2, "the bad character before the limit"},
};

TEST(CheckCardNumberTest, GivesResultAndIssuerForEachText)
{
    for (const CardCase &c : CardCases) {
        SCOPED_TRACE(std::string(c.what) + ": \"" + c.text + "\"");
        int issuer = -1;
        EXPECT_EQ(CheckCardNumber(c.text.c_str(), issuer), c.result);
        EXPECT_EQ(issuer, c.issuer);
    }
}

TEST(LuhnCheckTest, PassesOnlyNumbersWhoseSumEndsInZero)
{
    const struct {
        const char *digits;
        int passes;
    } cases[] = {
        {"18", 1},                // 1 doubled is 2, plus 8
        {"59", 1},                // 5 doubled is 10, less 9 is 1, plus 9
        {"19", 0},
        {"81", 0},                // would pass were the check digit doubled
        {"26", 1},
        {"", 1},
        {"0", 1},
        {"79927398713", 1},       // odd length: doubling must start from the right
        {"79927398710", 0},
        {"4111111111111111", 1},
        {"4111111111111112", 0},
        {"4012888888881881", 1},
        {"5555555555554444", 1},
        {"378282246310005", 1},
        {"6011111111111117", 1},
        {"3530111333300000", 1},
        {"4222222222222", 1},
        {"4222222222223", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.digits);
        EXPECT_EQ(LuhnCheck(c.digits), c.passes);
    }
}

// A buffer that shows every byte written, one past the limit included.
class ExtractCardDigitsTest : public ::testing::Test {
protected:
    static constexpr char Untouched = '#';

    ExtractCardDigitsTest() { Reset(); }

    void Reset() { std::memset(buffer, Untouched, sizeof buffer); }

    std::string Written() const
    {
        const std::string all(buffer, sizeof buffer);
        return all.substr(0, all.find(Untouched));
    }

    char buffer[40];
};

TEST_F(ExtractCardDigitsTest, TerminatesTheDigitsOfACompleteCopy)
{
    EXPECT_EQ(ExtractCardDigits(" 12-3\t", buffer, 3), CardValid);
    EXPECT_STREQ(buffer, "123");
    EXPECT_EQ(buffer[4], Untouched);
}

TEST_F(ExtractCardDigitsTest, EmptySourceGivesEmptyDigits)
{
    EXPECT_EQ(ExtractCardDigits("", buffer, 0), CardValid);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], Untouched);
}

TEST_F(ExtractCardDigitsTest, StopsAtTheLimitWithoutWritingBeyondIt)
{
    EXPECT_EQ(ExtractCardDigits("1234", buffer, 3), CardTooManyDigits);
    EXPECT_EQ(Written(), "123");

    Reset();
    EXPECT_EQ(ExtractCardDigits("5", buffer, 0), CardTooManyDigits);
    EXPECT_EQ(buffer[0], Untouched);
}

TEST_F(ExtractCardDigitsTest, TakesTheLimitOfTheCardCheck)
{
    const std::string allowed(CardDigitLimit, '7');
    EXPECT_EQ(ExtractCardDigits(allowed.c_str(), buffer, CardDigitLimit), CardValid);
    EXPECT_STREQ(buffer, allowed.c_str());

    const std::string tooMany = allowed + "8";
    Reset();
    EXPECT_EQ(ExtractCardDigits(tooMany.c_str(), buffer, CardDigitLimit), CardTooManyDigits);
    EXPECT_EQ(Written(), allowed);
}

TEST_F(ExtractCardDigitsTest, KeepsTheDigitsBeforeABadCharacter)
{
    EXPECT_EQ(ExtractCardDigits("1 2a34", buffer, 28), CardBadCharacter);
    EXPECT_EQ(Written(), "12");

    Reset();
    EXPECT_EQ(ExtractCardDigits("123" "\x80", buffer, 3), CardBadCharacter);
    EXPECT_EQ(Written(), "123");
}

TEST(StripNonDigitsTest, KeepsOnlyTheDigitsInOrder)
{
    const std::string mixed = Repeat('a', 40) + "12" + Repeat('-', 50) + "34" + Repeat(' ', 30) + "5";
    const std::string digits150 = Repeat('9', 75) + Repeat('1', 75);
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"4111111111111111", "4111111111111111"},
        {"4111 1111-1111 1111", "4111111111111111"},
        {"1--  2", "12"},                 // neighbouring removals must not skip a character
        {"a1b2c3", "123"},
        {"12ab", "12"},
        {"\t\r\n\v\f 9", "9"},
        {"\xA0" "1" "\xE9\xFF" "2" "\x80", "12"},
        {"", ""},
        {"abc -+.", ""},
        {mixed, "12345"},
        {digits150, digits150},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        std::string text = c.text;
        StripNonDigits(&text[0]);
        EXPECT_STREQ(text.c_str(), c.expected.c_str());
    }
}

}  // namespace
