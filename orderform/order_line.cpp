// The order line's encoder: header, fields, line breaks, scrambling and length stamp.
#include "order_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const std::size_t TotalTextLimit = 19;      // what the grand total control gives of its text
const std::size_t CardTextLimit = 49;       // what the line reads of the card field
const std::size_t CardHeadLength = 8;

// Larger totals, which only an exponent can spell in the control's 19 characters, have no
// room in the header; so have "inf" and "nan", which runtimes spell differently.
const double TotalBound = 1e19;

std::size_t CutLength(const char *text, std::size_t limit)
{
    std::size_t length = 0;
    while (length < limit && text[length] != '\0')
        ++length;
    return length;
}

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// atol of at most count characters, wrapping on 32 bits as the program's 32-bit runtime
// does whatever the width of long is here.
std::uint32_t ReadLong32(const char *text, std::size_t count)
{
    std::size_t index = 0;
    while (index < count && IsBlank(text[index]))
        ++index;
    bool negative = false;
    if (index < count && (text[index] == '+' || text[index] == '-')) {
        negative = text[index] == '-';
        ++index;
    }
    std::uint32_t value = 0;
    for (; index < count && IsDigit(text[index]); ++index)
        value = value * 10u + static_cast<std::uint32_t>(text[index] - '0');
    return negative ? 0u - value : value;
}

// Printed with "%li", the value reads the same where long has 32 bits and where it has 64.
long Signed32(std::uint32_t value)
{
    return value < 0x80000000u ? static_cast<long>(value) : -static_cast<long>(~value) - 1;
}

double ReadGrandTotal(const char *text)
{
    char cut[TotalTextLimit + 1];
    const std::size_t length = CutLength(text, TotalTextLimit);
    std::memcpy(cut, text, length);
    cut[length] = '\0';
    const double total = std::atof(cut);
    return std::fabs(total) <= TotalBound ? total : 0.0;
}

std::size_t WriteHeader(const OrderValues &values, char *line)
{
    const std::size_t cardLength = CutLength(values.cardText, CardTextLimit);
    const std::uint32_t head = ReadLong32(values.cardText, std::min(cardLength, CardHeadLength));
    const std::uint32_t tail = cardLength > CardHeadLength
        ? ReadLong32(values.cardText + CardHeadLength, cardLength - CardHeadLength)
        : 0;
    std::snprintf(line, HeaderLimit + 1, ORDER_MAGIC_TEXT "---%li^%03.2f^%li^%li^",
                  Signed32(static_cast<std::uint32_t>(values.itemMask)),
                  ReadGrandTotal(values.grandTotalText),
                  Signed32(head ^ CardHeadMask), Signed32(tail ^ CardTailMask));
    return std::strlen(line);
}

void WriteLengthStamp(char *line)
{
    char stamp[8];
    std::snprintf(stamp, sizeof stamp, "%03.0f", static_cast<double>(std::strlen(line)));
    std::memcpy(line + StampPosition, stamp, StampLength);
}

}  // namespace

void BuildOrderLine(const OrderValues &values, char *line)
{
    const std::size_t headerLength = WriteHeader(values, line);
    std::size_t position = headerLength;
    for (const char *field : values.fields)
        AppendFieldText(line, position, field);

    // The magic and the hyphens never hold a line break.
    ReplaceAll(line + StampPosition + StampLength, '\n', LineFeedSubstitute);
    ReplaceAll(line + StampPosition + StampLength, '\r', CarriageReturnSubstitute);

    // The header ends with its fourth caret, so the first span is the expiry date.
    char *cursor = line + headerLength;
    for (std::size_t span = 0; span < FieldCount; ++span) {
        ScrambleField(cursor);
        ++cursor;
    }

    ReplaceAll(line, '#', HashSubstitute);
    WriteLengthStamp(line);
}

void AppendFieldText(char *text, std::size_t &position, const char *fieldText)
{
    const std::size_t length = CutLength(fieldText, FieldTextLimit);
    char *field = text + position;
    std::memcpy(field, fieldText, length);
    // A byte equal to the key would scramble into a terminator and cut the line there.
    std::replace(field, field + length, FieldKey, KeyByteSubstitute);
    position += length;
    text[position++] = Caret;
    text[position] = '\0';
}

void ScrambleField(char *&cursor)
{
    for (; *cursor != Caret; ++cursor)
        *cursor = static_cast<char>(*cursor ^ FieldKey);
}

void ReplaceAll(char *text, char from, char to)
{
    if (from == to)
        return;
    // Searching on from the last place found gives what restarting from the beginning gives:
    // everything before it no longer holds from.
    for (char *found = std::strchr(text, from); found != nullptr; found = std::strchr(found, from))
        *found = to;
}

void AppendTrailer(char *line)
{
    std::strcat(line, OrderTrailer);
}
