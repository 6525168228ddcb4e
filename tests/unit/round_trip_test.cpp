// Round trip: random form states, encoded by the form's own encoder, carried the ways mail
// carries them and read back by the reader. Every state comes back, except where the format
// cannot tell characters or field boundaries apart, and there the reader says so.
// Seeded and reproducible; ROUND_TRIP_SEED and ROUND_TRIP_CASES run other or more cases.
#include "ansi_text.h"
#include "card_check.h"
#include "catalogue.h"
#include "order_line.h"
#include "order_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const std::uint32_t DefaultSeed = 20260126;
const unsigned long DefaultCases = 2000;

const unsigned long AllItems = (1ul << 17) - 1;
const char TypicalCharacters[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWYZ0123456789     .,-'/@()+:!\"_&*$";
// Characters that travel as others do in a scrambled field.
const char DoubtfulCharacters[] = "%;{}?\x06\r\n";
const char SpecialCharacters[] = "X^\x0B\x0C\r\n\x06%#;={}?";

// mt19937's output is the same everywhere; the standard's distributions are not.
class Random {
public:
    explicit Random(std::uint32_t seed) : m_engine(seed) {}
    std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(m_engine() % bound); }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }
    template <std::size_t N> char From(const char (&characters)[N]) { return characters[Below(N - 1)]; }

private:
    std::mt19937 m_engine;
};

enum class Profile { Typical, Doubtful, AnyByte };

struct FormState {
    unsigned long itemMask;
    std::string totalText;
    std::string card;
    std::string fields[FieldCount];
};

std::string Money(double amount)
{
    char text[32];
    std::snprintf(text, sizeof text, "%3.2f", amount);
    return text;
}

std::size_t FieldLength(Random &random)
{
    switch (random.Below(6)) {
    case 0:
        return 0;
    case 1:
    case 2:
    case 3:
        return 1 + random.Below(20);
    case 4:
        return 20 + random.Below(120);
    default:
        return 140 + random.Below(31);      // up to and past what the line carries
    }
}

char FieldByte(Random &random, Profile profile)
{
    if (profile == Profile::Doubtful && random.Chance(10))
        return random.From(DoubtfulCharacters);
    if (profile == Profile::AnyByte) {
        if (random.Chance(3))
            return random.From(SpecialCharacters);
        if (random.Chance(30))
            return static_cast<char>(1 + random.Below(255));
    }
    if (random.Chance(3))
        return static_cast<char>(0xC0 + random.Below(0x40));
    return random.From(TypicalCharacters);
}

std::string ValidCard(Random &random)
{
    for (;;) {
        std::string card = random.Chance(50) ? "4" : "5" + std::to_string(1 + random.Below(5));
        const std::size_t length = card[0] == '4' && random.Chance(30) ? 13 : 16;
        // Zeros at the ninth digit are what the line does not carry.
        while (card.size() < length)
            card += card.size() >= 8 && card.size() < 11 && random.Chance(40) ? '0' : static_cast<char>('0' + random.Below(10));
        int issuer = 0;
        if (CheckCardNumber(card.c_str(), issuer) == CardValid)
            return card;
    }
}

std::string RandomCard(Random &random)
{
    switch (random.Below(4)) {
    case 0:
        return "";
    case 1: {
        std::string digits;
        const std::size_t length = 1 + random.Below(20);
        while (digits.size() < length)
            digits += static_cast<char>('0' + random.Below(10));
        return digits;
    }
    default:
        return ValidCard(random);
    }
}

FormState RandomState(Random &random)
{
    FormState state;
    state.itemMask = random.Below(AllItems + 1);
    const double total = SoftwareTotal(state.itemMask) + HardwareTotal(state.itemMask);
    state.totalText = Money(random.Chance(85) ? total : random.Below(2000) / 2.0);
    state.card = RandomCard(random);
    const Profile profile = static_cast<Profile>(random.Below(3));
    for (std::string &field : state.fields) {
        const std::size_t length = FieldLength(random);
        while (field.size() < length)
            field += FieldByte(random, profile);
    }
    return state;
}

std::string Encode(const FormState &state)
{
    OrderValues values = {state.itemMask, state.totalText.c_str(), state.card.c_str(), {}};
    for (std::size_t i = 0; i < FieldCount; ++i)
        values.fields[i] = state.fields[i].c_str();
    std::unique_ptr<char[]> text(new char[OrderTextSize]);
    BuildOrderLine(values, text.get());
    AppendTrailer(text.get());
    return text.get();
}

// ---- how mail carries the line ---------------------------------------------------------

enum class Transport { Clipboard, MailBody, Wrapped76, Flowed72, Quoted, LostBlanks, Count };

static const char *const TransportNames[] = {
    "clipboard", "mail body", "wrapped at 76", "flowed at 72", "quoted", "blanks lost in wrapping",
};

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// UTF-8 characters of text, each as its bytes.
std::vector<std::string> Characters(const std::string &utf8)
{
    std::vector<std::string> characters;
    for (char c : utf8) {
        if (IsContinuation(c) && !characters.empty())
            characters.back() += c;
        else
            characters.push_back(std::string(1, c));
    }
    return characters;
}

// Breaks after the last blank within width, the blank kept or, when keepBlank is false,
// replaced by the break; without a blank, hard at width unless blanksOnly.
std::vector<std::string> Wrap(const std::string &utf8, std::size_t width, bool keepBlank, bool blanksOnly)
{
    const std::vector<std::string> characters = Characters(utf8);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (characters.size() - start > width) {
        std::size_t cut = std::string::npos;
        for (std::size_t i = start + width; i > start; --i) {
            if (characters[i - 1] == " ") {
                cut = i - 1;
                break;
            }
        }
        if (cut == std::string::npos && blanksOnly) {
            for (std::size_t i = start + width; i < characters.size() && cut == std::string::npos; ++i)
                if (characters[i] == " ")
                    cut = i;
            if (cut == std::string::npos)
                break;
        }
        std::string line;
        const std::size_t end = cut == std::string::npos ? start + width : cut + (keepBlank ? 1 : 0);
        for (std::size_t i = start; i < end; ++i)
            line += characters[i];
        lines.push_back(line);
        start = cut == std::string::npos ? end : cut + 1;
    }
    std::string rest;
    for (std::size_t i = start; i < characters.size(); ++i)
        rest += characters[i];
    lines.push_back(rest);
    return lines;
}

std::string JoinLines(const std::vector<std::string> &lines, const std::string &prefix, const char *lineBreak)
{
    std::string out;
    for (const std::string &line : lines)
        out += prefix + line + lineBreak;
    return out;
}

std::string Carry(const std::string &order, Transport transport)
{
    const std::string utf8 = AnsiToUtf8(order);
    switch (transport) {
    case Transport::Clipboard:
        return order;
    case Transport::MailBody:
        return "Hello,\r\n\r\n" + utf8 + "\r\n\r\nRegards\r\n";
    case Transport::Wrapped76:
        return "Hello,\r\n\r\n" + JoinLines(Wrap(utf8, 76, true, false), "", "\r\n") + "\r\nRegards\r\n";
    case Transport::Flowed72: {
        // Lines that begin with a blank or a quote mark are stuffed with a blank.
        std::vector<std::string> lines = Wrap(utf8, 72, true, false);
        for (std::size_t i = 1; i < lines.size(); ++i)
            if (!lines[i].empty() && (lines[i][0] == ' ' || lines[i][0] == '>'))
                lines[i].insert(0, " ");
        return JoinLines(lines, "", "\r\n");
    }
    case Transport::Quoted:
        return "On Monday you wrote:\n" + JoinLines(Wrap(utf8, 72, true, false), "> ", "\n") + ">\n";
    case Transport::LostBlanks:
        return JoinLines(Wrap(utf8, 72, false, true), "", "\r\n");
    case Transport::Count:
        break;
    }
    return "";
}

// Mail with its own line breaks inside the line cannot be told from wrapping.
bool Recoverable(const std::string &order, Transport transport)
{
    const bool ownBreaks = order.find_first_of("\r\n") != std::string::npos;
    return !ownBreaks || transport == Transport::Clipboard || transport == Transport::MailBody;
}

// ---- what must come back ---------------------------------------------------------------

std::uint32_t DigitsValue(const std::string &digits)
{
    std::uint32_t value = 0;
    for (char c : digits)
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    return value;
}

std::string Carried(const std::string &field)
{
    std::string carried = field.substr(0, FieldTextLimit);
    std::replace(carried.begin(), carried.end(), FieldKey, '?');
    return carried;
}

bool HasBoundaryCharacters(const FormState &state)
{
    for (const std::string &field : state.fields)
        if (field.substr(0, FieldTextLimit).find_first_of("X^") != std::string::npos)
            return true;
    return false;
}

bool Admits(const FieldSet &fields, const FormState &state)
{
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const std::string expected = state.fields[i].substr(0, FieldTextLimit);
        if (fields[i].size() != expected.size())
            return false;
        for (std::size_t k = 0; k < expected.size(); ++k)
            if (Alternatives(fields[i][k]).find(expected[k]) == std::string::npos)
                return false;
    }
    return true;
}

bool AnyReadingAdmits(const OrderReading &reading, const FormState &state)
{
    return std::any_of(reading.fields.readings.begin(), reading.fields.readings.end(),
                       [&](const FieldSet &fields) { return Admits(fields, state); });
}

struct Tally {
    unsigned long orders = 0;
    unsigned long exact = 0;
    unsigned long flaggedCharacters = 0;
    unsigned long flaggedBoundaries = 0;
    unsigned long boundariesTooMany = 0;
    unsigned long flaggedJoin = 0;
    unsigned long blanksPutBack = 0;
    unsigned long lost = 0;
    unsigned long byTransport[static_cast<int>(Transport::Count)] = {};
};

// A reading whose fields are one way only must hold the state's bytes, and mark exactly
// the characters that travel as others do.
void CheckSingleReading(const FieldSet &fields, const FormState &state, bool &doubtful, const std::string &what)
{
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const std::string expected = Carried(state.fields[i]);
        const std::string original = state.fields[i].substr(0, FieldTextLimit);
        ASSERT_EQ(PlainText(fields[i]).size(), expected.size()) << what << " field " << i;
        for (std::size_t k = 0; k < original.size(); ++k) {
            const FieldChar &c = fields[i][k];
            const bool travelsAlike = std::strchr(DoubtfulCharacters, original[k]) != nullptr && original[k] != '\0';
            ASSERT_EQ(c.doubt != Doubt::None, travelsAlike) << what << " field " << i << " at " << k;
            ASSERT_NE(Alternatives(c).find(original[k]), std::string::npos) << what << " field " << i << " at " << k;
            if (!travelsAlike) {
                ASSERT_EQ(c.value, original[k]) << what << " field " << i << " at " << k;
            }
            doubtful |= travelsAlike;
        }
    }
}

// Blanks put back at line breaks are a guess the report notes; other fits and line breaks
// of two kinds it warns of.
bool JoinFlagged(const OrderReading &reading)
{
    return !reading.otherLines.empty() || reading.mixedBreaks || reading.rejoin.breaks == WrapBreak::Blank;
}

bool AnyDoubt(const FieldSet &fields)
{
    return std::any_of(fields.begin(), fields.end(), [](const FieldText &field) {
        return std::any_of(field.begin(), field.end(), [](const FieldChar &c) { return c.doubt != Doubt::None; });
    });
}

void CheckReading(const FormState &state, const std::string &order, const OrderReading &reading,
                  Transport transport, Tally &tally, const std::string &what)
{
    ++tally.orders;
    if (!reading.Valid()) {
        ASSERT_FALSE(Recoverable(order, transport)) << what << ": " << static_cast<int>(reading.problem);
        ++tally.lost;
        return;
    }
    const std::string line = order.substr(0, order.size() - std::strlen(OrderTrailer));
    ASSERT_EQ(reading.stamp, reading.line.size()) << what;
    ASSERT_TRUE(reading.trailerPresent) << what;
    if (reading.line != line) {
        // A join that reads the line otherwise is shown only with a warning or a note.
        ASSERT_TRUE(JoinFlagged(reading)) << what << "\n" << reading.line << "\n" << line;
        if (Recoverable(order, transport)) {
            ASSERT_NE(std::find(reading.otherLines.begin(), reading.otherLines.end(), line), reading.otherLines.end())
                << what << "\n" << reading.line << "\n" << line;
        }
        ++tally.flaggedJoin;
        return;
    }
    const bool blanksPutBack = reading.rejoin.breaks == WrapBreak::Blank;
    const bool joinFlagged = JoinFlagged(reading);
    tally.flaggedJoin += joinFlagged && !blanksPutBack;
    tally.blanksPutBack += blanksPutBack;

    ASSERT_TRUE(reading.headerRead) << what;
    ASSERT_EQ(reading.itemMask, state.itemMask) << what;
    ASSERT_EQ(reading.totalText, state.totalText) << what;
    ASSERT_EQ(reading.TotalsDiffer(),
              state.totalText != Money(SoftwareTotal(state.itemMask) + HardwareTotal(state.itemMask))) << what;
    const std::string head = state.card.substr(0, 8);
    const std::string tail = state.card.size() > 8 ? state.card.substr(8) : "";
    ASSERT_EQ(reading.cardHead, DigitsValue(head)) << what;
    ASSERT_EQ(reading.cardTail, DigitsValue(tail)) << what;
    int issuer = 0;
    if (!state.card.empty() && CheckCardNumber(state.card.c_str(), issuer) == CardValid) {
        const CardReading &card = reading.card;
        ASSERT_NE(std::find(card.passing.begin(), card.passing.end(), state.card), card.passing.end()) << what;
        if (card.PassesCheck()) {
            ASSERT_EQ(card.digits, state.card) << what;
        }
    }

    ASSERT_TRUE(reading.fieldsRead) << what;
    ASSERT_FALSE(reading.fields.lenient) << what;
    // Carets and X's make the boundaries ambiguous unless the format rules out all but one;
    // then the one may hold a field that travelled unscrambled.
    if (HasBoundaryCharacters(state) && !reading.fields.Ambiguous()) {
        ASSERT_TRUE(AnyReadingAdmits(reading, state)) << what;
        if (!joinFlagged)
            ++(AnyDoubt(reading.fields.readings.front()) ? tally.flaggedCharacters : tally.exact);
        return;
    }
    if (!HasBoundaryCharacters(state)) {
        ASSERT_FALSE(reading.fields.Ambiguous()) << what;
    }
    if (reading.fields.Ambiguous()) {
        if (reading.fields.complete) {
            ASSERT_TRUE(AnyReadingAdmits(reading, state)) << what;
        }
        if (!joinFlagged)
            ++(reading.fields.complete ? tally.flaggedBoundaries : tally.boundariesTooMany);
        return;
    }
    bool doubtful = false;
    CheckSingleReading(reading.fields.readings.front(), state, doubtful, what);
    if (!joinFlagged)
        ++(doubtful ? tally.flaggedCharacters : tally.exact);
}

std::string Describe(const std::vector<OrderReading> &readings)
{
    std::string text;
    for (const OrderReading &reading : readings)
        text += "\nline " + std::to_string(reading.lineNumber) + ": problem " + std::to_string(static_cast<int>(reading.problem))
            + " [" + reading.line + "]";
    return text;
}

unsigned long EnvironmentNumber(const char *name, unsigned long fallback)
{
    const char *text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoul(text, nullptr, 10) : fallback;
}

TEST(RoundTripTest, EveryFormStateComesBackOrIsFlagged)
{
    const std::uint32_t seed = static_cast<std::uint32_t>(EnvironmentNumber("ROUND_TRIP_SEED", DefaultSeed));
    const unsigned long cases = EnvironmentNumber("ROUND_TRIP_CASES", DefaultCases);
    Random random(seed);
    Tally tally;
    for (unsigned long n = 0; n < cases; ++n) {
        // One order in a mail, or two, each carried its own way.
        const std::size_t orderCount = random.Chance(20) ? 2 : 1;
        std::vector<FormState> states;
        std::vector<std::string> orders;
        std::vector<Transport> transports;
        std::string text;
        for (std::size_t k = 0; k < orderCount; ++k) {
            states.push_back(RandomState(random));
            orders.push_back(Encode(states.back()));
            transports.push_back(static_cast<Transport>(random.Below(static_cast<std::uint32_t>(Transport::Count))));
            text += (k == 0 ? "" : "\r\n\r\n") + Carry(orders.back(), transports.back());
            ++tally.byTransport[static_cast<int>(transports.back())];
        }
        const std::vector<OrderReading> readings = ReadOrders(text);
        const std::string what = "seed " + std::to_string(seed) + " case " + std::to_string(n);
        ASSERT_EQ(readings.size(), orderCount) << what << Describe(readings) << "\n" << text;
        for (std::size_t k = 0; k < orderCount; ++k) {
            CheckReading(states[k], orders[k], readings[k], transports[k], tally,
                         what + " order " + std::to_string(k + 1) + " " + TransportNames[static_cast<int>(transports[k])]);
            if (HasFatalFailure())
                return;
        }
    }
    std::printf("round trip, seed %lu: %lu cases, %lu orders: %lu exact; flagged: %lu joins with "
                "other fits or mixed line breaks, %lu joins that put blanks back, "
                "%lu field boundaries (%lu of them with more readings than listed), %lu characters; "
                "%lu lost, each with line breaks of its own in wrapped mail\n",
                static_cast<unsigned long>(seed), cases, tally.orders, tally.exact, tally.flaggedJoin,
                tally.blanksPutBack,
                tally.flaggedBoundaries + tally.boundariesTooMany, tally.boundariesTooMany,
                tally.flaggedCharacters, tally.lost);
    std::printf("transports:");
    for (int t = 0; t < static_cast<int>(Transport::Count); ++t)
        std::printf(" %s %lu%s", TransportNames[t], tally.byTransport[t], t + 1 < static_cast<int>(Transport::Count) ? "," : "\n");
    EXPECT_GT(tally.exact, 0u);
}

}  // namespace
