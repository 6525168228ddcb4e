// The six text fields read back from the caret-delimited spans after the header. A caret
// typed in a field, and an "X", which scrambles into one, make the field boundaries
// ambiguous: then every reading the format allows is listed, the most plausible first.
// Native.
#ifndef ORDERLINE_FIELD_READINGS_H
#define ORDERLINE_FIELD_READINGS_H

#include "order_line.h"

#include <array>
#include <string>
#include <vector>

// The bytes that a character of the line may stand for, beyond its shown value.
enum class Doubt : unsigned char {
    None,
    PercentOrSemicolon,     // a scrambled "%" and ";" both arrive as "="
    HashOrEquals,           // an unscrambled "#" arrives as "="
    LineFeedOrBrace,        // a line feed travels as "{"
    CarriageReturnOrBrace,  // a carriage return travels as "}"
    QuestionOrKeyByte,      // the form sends a byte equal to its key as "?"
};

struct FieldChar {
    char value;             // the likelier byte: the first of Alternatives
    Doubt doubt;
};
using FieldText = std::vector<FieldChar>;
using FieldSet = std::array<FieldText, FieldCount>;

// Every byte the character may stand for, its value first.
std::string Alternatives(const FieldChar &c);

// The field's bytes, each doubtful character given its value.
std::string PlainText(const FieldText &field);

bool HasDoubt(const FieldText &field, Doubt doubt);

struct FieldReadings {
    std::vector<FieldSet> readings;     // the most plausible first
    bool complete = true;               // false: more readings than were examined
    bool lenient = false;               // no reading fits the format; the spans are read as they stand
    std::vector<std::string> spans;     // the line's bytes between carets, after the header

    bool Ambiguous() const { return readings.size() != 1 || !complete; }
};

// fieldsPart: the line after the header's last caret, ending with a caret.
FieldReadings ReadFields(const std::string &fieldsPart);

#endif
