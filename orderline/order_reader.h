// The vendor's reader of order lines: finds every order line in a text, joins a line that
// a mail program re-wrapped or quoted back together, checks it against its length stamp
// and trailer, and decodes items, totals, card number and fields. Native.
#ifndef ORDERLINE_ORDER_READER_H
#define ORDERLINE_ORDER_READER_H

#include "catalogue.h"
#include "field_readings.h"
#include "mail_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class LineProblem {
    None,
    StampNotDigits,     // the magic and a header, but no three-digit stamp between them
    Cut,                // the text ends before the stamp's length and no trailer follows
    TrailerMisplaced,   // a trailer follows, but not where the stamp ends the line
    EndMissing,         // no caret where the stamp ends the line, and no trailer after it
    Unjoinable,         // a trailer follows, but no join of the lines before it fits the stamp
    BadHeader,          // an element of the header is not what the form writes
    TooFewFields,       // fewer than six carets after the header
    TrailerAlone,       // a trailer with no order line before it
};

enum class HeaderElement { ItemMask, GrandTotal, CardHead, CardTail };

// What the line breaks within an order line were taken for when it was joined.
enum class WrapBreak {
    None,           // the line stood on one line of the text
    Dropped,        // breaks that wrapping added, dropped
    Blank,          // breaks that wrapping put in place of a blank, the blank put back
    Kept,           // breaks of the line's own: bytes scrambled into CR or LF
};

// How the lines of the text were joined into the order line.
struct Rejoin {
    WrapBreak breaks;
    bool unstuffed;         // a blank stuffed before a wrapped line, dropped
    bool softBreaks;        // a blank that marked each break as soft, dropped with it
    bool ownBreaksKept;     // breaks unlike those the mail program writes, kept as the line's own
};

struct CardReading {
    bool headIsNumber = true;           // the head is the value of at most eight digits
    std::string carried;                // head and tail as the line carries them
    std::string digits;                 // the only reading that passes the card check, else carried
    std::vector<std::string> passing;   // every reading that passes the card check
    std::size_t zerosRestored = 0;      // zeros that digits has and carried lacks

    bool PassesCheck() const { return passing.size() == 1; }
};

struct OrderReading {
    // Where the line stands in the input.
    std::size_t offset = 0;             // in its text
    std::size_t lineNumber = 0;         // of the magic, from 1
    std::size_t lineCount = 0;          // lines of the text that the line and trailer took
    std::size_t quoteDepth = 0;
    bool inDecodedPart = false;         // lineNumber counts in a mail part whose encoding was undone
    Rejoin rejoin = {WrapBreak::None, false, false, false};
    bool fromUtf8 = false;
    std::vector<std::string> otherLines;    // other joins that fit the stamp but read otherwise
    bool mixedBreaks = false;           // the line's lines end in breaks of more than one kind

    std::string line;                   // Windows-1252, without the trailer
    unsigned stamp = 0;
    bool stampMatches = false;
    bool trailerPresent = false;
    LineProblem problem = LineProblem::None;
    std::size_t foundLength = 0;        // Cut, TrailerMisplaced: the characters that arrived
    HeaderElement badElement = HeaderElement::ItemMask;
    std::string badText;

    bool headerRead = false;
    unsigned long itemMask = 0;
    std::string totalText;
    std::uint32_t cardHead = 0;         // unmasked
    std::uint32_t cardTail = 0;
    CardReading card;
    std::vector<ItemCharge> charges;
    double recomputedTotal = 0.0;
    bool fieldsRead = false;
    FieldReadings fields;

    bool Valid() const { return problem == LineProblem::None; }
    // The first problem found is the one named.
    void NoteProblem(LineProblem found)
    {
        if (problem == LineProblem::None)
            problem = found;
    }
    bool TotalsDiffer() const;
    bool BothUpgrades() const;
};

CardReading ReadCard(std::uint32_t head, std::uint32_t tail);

// Reads the three digits after the magic at offset magic of text.
bool ReadStamp(const std::string &text, std::size_t magic, unsigned &stamp);

// Decodes a line that begins with the magic; sets reading.problem when the header or the
// fields are not what the form writes, unless a problem is set already.
void DecodeOrderLine(const std::string &line, OrderReading &reading);

std::vector<OrderReading> ReadOrdersInText(const MailText &text);

// Every order in a mail message, a mail body, a pasted text or a file, in input order.
std::vector<OrderReading> ReadOrders(const std::string &input);

#endif
