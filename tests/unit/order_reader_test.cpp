// Unit tests of the order reader: lines made by the form's own encoder, read back through
// the ways mail mangles them, and the faults the reader must name.
#include "ansi_text.h"
#include "card_check.h"
#include "catalogue.h"
#include "mail_text.h"
#include "order_line.h"
#include "order_reader.h"
#include "order_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string Trailer = OrderTrailer;

struct Form {
    unsigned long itemMask;
    std::string grandTotal;
    std::string card;
    std::string fields[FieldCount];
};

// The line and its trailer, as the form puts them on the clipboard.
std::string Encode(const Form &form)
{
    OrderValues values = {form.itemMask, form.grandTotal.c_str(), form.card.c_str(), {}};
    for (std::size_t i = 0; i < FieldCount; ++i)
        values.fields[i] = form.fields[i].c_str();
    std::unique_ptr<char[]> text(new char[OrderTextSize]);
    BuildOrderLine(values, text.get());
    AppendTrailer(text.get());
    return text.get();
}

std::string LineOf(const std::string &order)
{
    return order.substr(0, order.size() - Trailer.size());
}

const Form Typical = {
    ItemBaseProgram | ItemShapingModule, "60.00", "4111111111111111",
    {"09/27", "Ann Lee", "12 Main St\r\nSpringfield, OR 97477", "(541) 555-0148",
     "ann.lee@example.net", "Thanks!"},
};

// Puts prefix before every line of text.
std::string Quote(const std::string &text, const std::string &prefix)
{
    std::string out = prefix;
    for (char c : text) {
        out += c;
        if (c == '\n')
            out += prefix;
    }
    return out;
}

// Wraps text hard every width characters, UTF-8 sequences kept whole.
std::string Wrap(const std::string &text, std::size_t width, const std::string &lineBreak,
                 const std::string &prefix = "")
{
    std::string out = prefix;
    std::size_t column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (column == width && !continuation) {
            out += lineBreak + prefix;
            column = 0;
        }
        out += text[i];
        column += continuation ? 0 : 1;
    }
    return out;
}

std::vector<OrderReading> Read(const std::string &input)
{
    return ReadOrders(input);
}

std::string TextOf(const OrderReading &reading, std::size_t field)
{
    return PlainText(reading.fields.readings.front()[field]);
}

// Whether some reading holds exactly the texts, each byte its value or one of its alternatives.
bool Admits(const OrderReading &reading, const Form &form)
{
    for (const FieldSet &fields : reading.fields.readings) {
        bool all = true;
        for (std::size_t i = 0; i < FieldCount && all; ++i) {
            const std::string expected = form.fields[i].substr(0, FieldTextLimit);
            all = fields[i].size() == expected.size();
            for (std::size_t k = 0; k < expected.size() && all; ++k)
                all = Alternatives(fields[i][k]).find(expected[k]) != std::string::npos;
        }
        if (all)
            return true;
    }
    return false;
}

// ---- whole lines, read straight --------------------------------------------------------

TEST(OrderReaderTest, FormStatesComeBackExactly)
{
    const Form cases[] = {
        Typical,
        {0, "$0.00", "", {}},
        {ItemCutter | ItemBow28 | ItemBow40 | ItemBow52 | ItemHotWire | ItemPowerSupply | ItemWireSet,
         "480.50", "", {"", "Jos\xE9 M\xFCller", "", "", "", ""}},
        {ItemBaseProgram | ItemInternationalShipping, "41.00", "4222222222222",
         {"1/2030", "", "", "+41 44 555 01 23", "", "Two lines\r\nhere"}},
        {ItemUpgradeOld, "62.00", "5500000000000004",
         {std::string(200, 'a'), std::string(149, 'b'), std::string(150, 'c'), "", "", "d"}},
    };
    for (const Form &form : cases) {
        const std::string order = Encode(form);
        const std::vector<OrderReading> readings = Read(order);
        ASSERT_EQ(readings.size(), 1u) << order;
        const OrderReading &reading = readings[0];
        EXPECT_TRUE(reading.Valid()) << ProblemText(reading);
        EXPECT_TRUE(reading.stampMatches);
        EXPECT_TRUE(reading.trailerPresent);
        EXPECT_EQ(reading.rejoin.breaks, WrapBreak::None);
        EXPECT_EQ(reading.line, LineOf(order));
        EXPECT_EQ(reading.itemMask, form.itemMask);
        EXPECT_FALSE(reading.fields.Ambiguous()) << order;
        for (std::size_t i = 0; i < FieldCount; ++i) {
            const std::string expected = form.fields[i].substr(0, FieldTextLimit);
            EXPECT_EQ(TextOf(reading, i), expected) << order << " field " << i;
        }
        EXPECT_EQ(reading.card.digits, form.card);
    }
}

TEST(OrderReaderTest, TotalIsRecomputedFromTheItemsAndADifferenceWarned)
{
    Form form = Typical;
    const std::vector<OrderReading> agreed = Read(Encode(form));
    ASSERT_EQ(agreed.size(), 1u);
    EXPECT_EQ(agreed[0].totalText, "60.00");
    EXPECT_FALSE(agreed[0].TotalsDiffer());

    form.grandTotal = "59.00";
    const std::vector<OrderReading> differ = Read(Encode(form));
    ASSERT_EQ(differ.size(), 1u);
    EXPECT_TRUE(differ[0].Valid());
    EXPECT_TRUE(differ[0].TotalsDiffer());
    const std::vector<std::string> warnings = OrderWarnings(differ[0]);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("59.00"), std::string::npos);
    EXPECT_NE(warnings[0].find("60.00"), std::string::npos);
}

TEST(OrderReaderTest, BothUpgradesAreWarned)
{
    Form form = Typical;
    form.itemMask = ItemUpgrade98 | ItemUpgradeOld;
    form.grandTotal = "84.00";
    const std::vector<OrderReading> readings = Read(Encode(form));
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_TRUE(readings[0].BothUpgrades());
    EXPECT_EQ(OrderWarnings(readings[0]).size(), 1u);
}

// ---- the price table as orders list it -------------------------------------------------

TEST(ItemChargesTest, ListedAmountsAddUpToTheTotalsForEveryMask)
{
    for (unsigned long mask = 0; mask < (1ul << 17); ++mask) {
        ItemCharge charges[ItemChargeLimit];
        const std::size_t count = ListItemCharges(mask, charges);
        double sum = 0.0;
        unsigned long listed = 0;
        std::size_t shippingRows = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const ItemCharge &charge = charges[i];
            ASSERT_NE(std::strlen(charge.name), 0u);
            const bool shipping = charge.item == 0 || charge.item == ItemInternationalShipping;
            shippingRows += shipping;
            if (shipping) {
                ASSERT_EQ(charge.item, mask & ItemInternationalShipping);
                sum += charge.waived ? 0.0 : charge.price;
            } else {
                ASSERT_EQ(listed & charge.item, 0u) << "listed twice";
                listed |= charge.item;
                sum += charge.price + (charge.waived ? 0.0 : charge.handling);
            }
        }
        ASSERT_EQ(shippingRows, 1u) << mask;
        ASSERT_EQ(listed, mask & ~static_cast<unsigned long>(ItemInternationalShipping)) << mask;
        ASSERT_EQ(sum, SoftwareTotal(mask) + HardwareTotal(mask)) << mask;
    }
}

TEST(ItemChargesTest, WaiversFollowThePriceRules)
{
    struct WaiverCase {
        unsigned long mask;
        unsigned long item;         // the row looked at; 0 for shipping in the USA
        bool waived;
    };
    static const WaiverCase cases[] = {
        {ItemBow28, ItemBow28, false},
        {ItemBow28 | ItemCutter, ItemBow28, true},
        {ItemWireSet | ItemBow28, ItemWireSet, false},
        {ItemWireSet | ItemPowerSupply, ItemWireSet, true},
        {ItemHotWire, ItemHotWire, false},
        {ItemHotWire | ItemBow52, ItemHotWire, true},
        {ItemBaseProgram, 0, false},
        {ItemBaseProgram | ItemUpgrade98, 0, true},
        {ItemCutter, 0, true},                  // shipping alone is not charged
        {ItemInternationalShipping, ItemInternationalShipping, true},
    };
    for (const WaiverCase &c : cases) {
        ItemCharge charges[ItemChargeLimit];
        const std::size_t count = ListItemCharges(c.mask, charges);
        const ItemCharge *row = nullptr;
        for (std::size_t i = 0; i < count; ++i)
            if (charges[i].item == c.item)
                row = &charges[i];
        ASSERT_NE(row, nullptr) << c.mask;
        EXPECT_EQ(row->waived, c.waived) << c.mask;
    }
}

// ---- the card number -------------------------------------------------------------------

TEST(CardReadingTest, ZerosAtTheNinthDigitAreRestoredOnlyWhereTheCardCheckTellsThem)
{
    struct CardCase {
        const char *card;
        const char *digits;
        std::size_t passing;
        std::size_t zerosRestored;
    };
    static const CardCase cases[] = {
        {"4111111111111111", "4111111111111111", 1, 0},
        {"4222222222222", "4222222222222", 1, 0},
        {"5500000000000004", "5500000000000004", 1, 7},
        {"4111111400010008", "4111111410008", 2, 0},    // 13 and 16 digits both pass
        {"1234567890", "1234567890", 0, 0},
        {"12345", "12345", 0, 0},
        {"", "", 0, 0},
    };
    for (const CardCase &c : cases) {
        Form form = Typical;
        form.card = c.card;
        const std::vector<OrderReading> readings = Read(Encode(form));
        ASSERT_EQ(readings.size(), 1u);
        const CardReading &card = readings[0].card;
        EXPECT_EQ(card.digits, c.digits) << c.card;
        EXPECT_EQ(card.passing.size(), c.passing) << c.card;
        EXPECT_EQ(card.zerosRestored, c.zerosRestored) << c.card;
        const bool valid = std::strlen(c.card) > 0 && [&] {
            int issuer = 0;
            return CheckCardNumber(c.card, issuer) == CardValid;
        }();
        if (valid) {
            EXPECT_NE(std::find(card.passing.begin(), card.passing.end(), c.card), card.passing.end());
        }
        const bool warned = OrderWarnings(readings[0]).size() == 1;
        EXPECT_EQ(warned, c.passing != 1 && std::strlen(c.card) > 0) << c.card;
    }
}

TEST(CardReadingTest, AHeadThatIsNoEightDigitValueIsWarned)
{
    Form form = Typical;
    form.card = "-1";
    const std::vector<OrderReading> readings = Read(Encode(form));
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_FALSE(readings[0].card.headIsNumber);
    EXPECT_EQ(OrderWarnings(readings[0]).size(), 1u);
}

// ---- characters the format cannot tell apart -------------------------------------------

TEST(DoubtTest, EveryCharacterThatTravelsLikeAnotherIsMarked)
{
    struct DoubtCase {
        std::string comments;
        std::string value;          // the comments as read, doubtful characters by their value
        std::vector<Doubt> doubts;  // in order, one per doubtful character
    };
    const DoubtCase cases[] = {
        {"50%", "50%", {Doubt::PercentOrSemicolon}},
        {"a;b", "a%b", {Doubt::PercentOrSemicolon}},
        {"#1 = 1", "#1 = 1", {}},
        {"x{y}", "x\ny\r", {Doubt::LineFeedOrBrace, Doubt::CarriageReturnOrBrace}},
        {"a\r\nb", "a\r\nb", {Doubt::CarriageReturnOrBrace, Doubt::LineFeedOrBrace}},
        {"why?", "why?", {Doubt::QuestionOrKeyByte}},
        {"a\x06" "b", "a?b", {Doubt::QuestionOrKeyByte}},
        {"plain text", "plain text", {}},
    };
    for (const DoubtCase &c : cases) {
        Form form = Typical;
        form.fields[5] = c.comments;
        const std::vector<OrderReading> readings = Read(Encode(form));
        ASSERT_EQ(readings.size(), 1u);
        const FieldText &field = readings[0].fields.readings.front()[5];
        EXPECT_EQ(PlainText(field), c.value) << c.comments;
        std::vector<Doubt> doubts;
        for (const FieldChar &ch : field)
            if (ch.doubt != Doubt::None)
                doubts.push_back(ch.doubt);
        EXPECT_EQ(doubts, c.doubts) << c.comments;
        EXPECT_TRUE(Admits(readings[0], form)) << c.comments;
        const std::vector<std::string> notes = OrderNotes(readings[0]);
        const bool noted = std::any_of(notes.begin(), notes.end(), [](const std::string &note) {
            return note.find("Comments") != std::string::npos;
        });
        EXPECT_EQ(noted, !c.doubts.empty()) << c.comments;
    }
}

TEST(DoubtTest, AfterATypedCaretHashAndEqualsTravelAlike)
{
    Form form = Typical;
    form.fields[1] = "Ann^Lee";
    form.fields[5] = "#1=";
    const std::vector<OrderReading> readings = Read(Encode(form));
    ASSERT_EQ(readings.size(), 1u);
    ASSERT_TRUE(Admits(readings[0], form));
    const std::vector<FieldSet> &all = readings[0].fields.readings;
    const auto truth = std::find_if(all.begin(), all.end(), [](const FieldSet &fields) {
        return PlainText(fields[1]) == "Ann^Lee";
    });
    ASSERT_NE(truth, all.end());
    EXPECT_TRUE(HasDoubt((*truth)[5], Doubt::HashOrEquals));
}

// ---- the field boundaries --------------------------------------------------------------

TEST(FieldBoundaryTest, AnXOrATypedCaretMakesThemAmbiguousAndTheTruthIsAmongTheReadings)
{
    struct BoundaryCase {
        std::size_t field;
        const char *text;
        bool mostPlausible;         // the reading shown is the truth
    };
    static const BoundaryCase cases[] = {
        {2, "1 Elm St\r\nDallas TX 75001", true},
        {1, "Max Xu", true},
        {4, "MAX@EXAMPLE.COM", true},
        {1, "Ann^Lee", false},          // a typed caret is rarer than an X
        {5, "a^b^c", false},
        {5, "XXX", false},
        {0, "X", false},
    };
    for (const BoundaryCase &c : cases) {
        Form form = Typical;
        form.fields[c.field] = c.text;
        const std::vector<OrderReading> readings = Read(Encode(form));
        ASSERT_EQ(readings.size(), 1u) << c.text;
        const OrderReading &reading = readings[0];
        EXPECT_TRUE(reading.Valid()) << c.text;
        EXPECT_TRUE(reading.fields.Ambiguous()) << c.text;
        EXPECT_TRUE(reading.fields.complete) << c.text;
        EXPECT_TRUE(Admits(reading, form)) << c.text;
        if (c.mostPlausible) {
            EXPECT_EQ(TextOf(reading, c.field), c.text);
        }
        const std::vector<std::string> warnings = OrderWarnings(reading);
        ASSERT_EQ(warnings.size(), 1u) << c.text;
        EXPECT_NE(warnings[0].find("ambiguous"), std::string::npos);
    }
}

TEST(FieldBoundaryTest, SixCaretsAfterTheHeaderReadOneWay)
{
    const std::vector<OrderReading> readings = Read(Encode(Typical));
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_EQ(readings[0].fields.readings.size(), 1u);
    EXPECT_EQ(readings[0].fields.spans.size(), FieldCount);
}

// ---- finding and joining lines in mail ---------------------------------------------------

TEST(RejoinTest, WrappedQuotedAndReEncodedLinesAreJoinedBack)
{
    Form form = Typical;
    form.fields[1] = "Ren\xE9" "e Lee & Co";
    const std::string order = Encode(form);
    const std::string utf8 = AnsiToUtf8(order);
    // format=flowed with DelSp: a blank added before each soft break, and a blank stuffed
    // before each line that begins with one.
    std::string flowed;
    for (std::size_t i = 0; i < order.size(); i += 40)
        flowed += (i == 0 ? "" : " \r\n ") + order.substr(i, 40);
    // Breaking after the blanks the line holds ("&" scrambles into one), each kept.
    std::string atBlanks = utf8;
    for (std::size_t at = atBlanks.find(' '); at != std::string::npos; at = atBlanks.find(' ', at + 3))
        atBlanks.insert(at + 1, "\r\n");

    struct RejoinCase {
        std::string text;
        WrapBreak breaks;
        bool unstuffed;
        std::size_t lineCount;
        const char *what;
    };
    const RejoinCase cases[] = {
        {order, WrapBreak::None, false, 1, "the clipboard's bytes"},
        {utf8, WrapBreak::None, false, 1, "a UTF-8 mail body"},
        {"Hello,\r\n\r\n" + Wrap(utf8, 76, "\r\n") + "\r\n\r\nBye\r\n", WrapBreak::Dropped, false, 0,
         "wrapped at 76 columns"},
        {Wrap(utf8, 72, "\n", "> "), WrapBreak::Dropped, false, 0, "quoted and wrapped at 72"},
        {Quote(Wrap(utf8, 72, "\n", "> "), ">"), WrapBreak::Dropped, false, 0, "quoted twice"},
        {"Order: " + Wrap(utf8, 30, "\n"), WrapBreak::Dropped, false, 0, "text before the line"},
        {atBlanks, WrapBreak::Dropped, false, 0, "broken after blanks, which stay"},
        {flowed, WrapBreak::Dropped, true, 0, "soft breaks with added and stuffed blanks"},
    };
    for (const RejoinCase &c : cases) {
        const std::vector<OrderReading> readings = Read(c.text);
        ASSERT_EQ(readings.size(), 1u) << c.what;
        const OrderReading &reading = readings[0];
        EXPECT_TRUE(reading.Valid()) << c.what << ": " << ProblemText(reading);
        EXPECT_EQ(reading.line, LineOf(order)) << c.what;
        EXPECT_EQ(reading.rejoin.breaks, c.breaks) << c.what;
        EXPECT_EQ(reading.rejoin.unstuffed, c.unstuffed) << c.what;
        EXPECT_TRUE(reading.otherLines.empty()) << c.what;
        if (c.lineCount != 0) {
            EXPECT_EQ(reading.lineCount, c.lineCount) << c.what;
        }
        EXPECT_EQ(TextOf(reading, 1), form.fields[1]) << c.what;
    }
}

TEST(RejoinTest, BlanksThatWrappingTookArePutBack)
{
    Form form = Typical;
    form.fields[5] = "Tom & Jerry & Co";        // "&" scrambles into a blank
    const std::string order = Encode(form);
    std::string wrapped = order;
    for (std::size_t at = wrapped.find(' '); at != std::string::npos; at = wrapped.find(' ', at))
        wrapped.replace(at, 1, "\r\n");
    const std::vector<OrderReading> readings = Read(wrapped);
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_TRUE(readings[0].Valid()) << ProblemText(readings[0]);
    EXPECT_EQ(readings[0].rejoin.breaks, WrapBreak::Blank);
    EXPECT_EQ(TextOf(readings[0], 5), form.fields[5]);
}

TEST(RejoinTest, LineBreaksScrambledFromAFieldAreKeptAndFlagged)
{
    Form form = Typical;
    form.fields[5] = "page\x0C" "break";        // a form feed scrambles into a line feed
    const std::string order = Encode(form);
    const std::vector<OrderReading> readings = Read(order);
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_TRUE(readings[0].Valid());
    EXPECT_EQ(readings[0].rejoin.breaks, WrapBreak::Kept);
    EXPECT_EQ(TextOf(readings[0], 5), form.fields[5]);
    EXPECT_EQ(readings[0].otherLines.size(), 1u);   // the break as a lost blank fits too
}

TEST(RejoinTest, SeveralOrdersInOneTextAreAllRead)
{
    Form second = Typical;
    second.itemMask = ItemCutter;
    second.grandTotal = "182.00";
    const std::string first = Encode(Typical);
    const std::string text = "Order one:\n" + first + "\n\n> earlier:\n" + Wrap(Encode(second), 60, "\n", "> ")
        + "\n" + first + Encode(second);
    const std::vector<OrderReading> readings = Read(text);
    ASSERT_EQ(readings.size(), 4u);
    const unsigned long masks[] = {Typical.itemMask, ItemCutter, Typical.itemMask, ItemCutter};
    for (std::size_t i = 0; i < readings.size(); ++i) {
        EXPECT_TRUE(readings[i].Valid()) << i << ": " << ProblemText(readings[i]);
        EXPECT_EQ(readings[i].itemMask, masks[i]) << i;
    }
    EXPECT_EQ(readings[0].lineNumber, 2u);
    EXPECT_EQ(readings[1].quoteDepth, 1u);
}

// ---- lines that cannot be read whole ---------------------------------------------------

TEST(ProblemTest, DamagedLinesAreNamedNeverDecodedAsWhole)
{
    const std::string order = Encode(Typical);
    const std::string line = LineOf(order);
    const std::size_t caret = line.find('^', 30);
    std::string badTotal = order;
    badTotal.replace(badTotal.find("60.00"), 5, "60.0x");
    std::string fewFields = line;
    fewFields.erase(std::remove(fewFields.begin() + static_cast<std::ptrdiff_t>(caret), fewFields.end(), '^'),
                    fewFields.end());
    std::string stampless = order;
    stampless.replace(3, 3, "1x2");
    std::string largeMask = order;
    largeMask.replace(6, 2, "131072");
    largeMask.replace(3, 3, std::to_string(LineOf(largeMask).size()));

    struct ProblemCase {
        std::string text;
        LineProblem problem;
        const char *what;
    };
    const ProblemCase cases[] = {
        {order.substr(0, 60), LineProblem::Cut, "cut inside the line"},
        {line.substr(0, 60) + "\n\nRegards\n", LineProblem::Cut, "cut, then more text"},
        {order.substr(0, 40) + order.substr(41), LineProblem::TrailerMisplaced, "a character lost"},
        {order.substr(0, 40) + "z" + order.substr(40), LineProblem::TrailerMisplaced, "a character added"},
        {badTotal, LineProblem::BadHeader, "total garbled"},
        {largeMask, LineProblem::BadHeader, "an item the form does not have"},
        {stampless, LineProblem::StampNotDigits, "stamp garbled"},
        {fewFields + "^" + Trailer, LineProblem::TrailerMisplaced, "carets lost"},
        {"Hello\n" + order.substr(10), LineProblem::TrailerAlone, "the line's start lost"},
    };
    for (const ProblemCase &c : cases) {
        const std::vector<OrderReading> readings = Read(c.text);
        ASSERT_EQ(readings.size(), 1u) << c.what;
        EXPECT_EQ(readings[0].problem, c.problem) << c.what << ": " << ProblemText(readings[0]);
        EXPECT_FALSE(readings[0].Valid()) << c.what;
        EXPECT_FALSE(ProblemText(readings[0]).empty()) << c.what;
    }
}

TEST(ProblemTest, TooFewFieldsIsNamed)
{
    OrderReading reading;
    DecodeOrderLine("X26038128^39.00^30730555^82223571^^^^^", reading);
    EXPECT_EQ(reading.problem, LineProblem::TooFewFields);
    EXPECT_NE(ProblemText(reading).find("4 fields"), std::string::npos);
}

TEST(ProblemTest, AMissingTrailerIsWarnedWhenTheStampConfirmsTheLine)
{
    const std::string line = LineOf(Encode(Typical));
    const std::vector<OrderReading> readings = Read(line + "\r\n\r\n-- \r\nsent from my phone\r\n");
    ASSERT_EQ(readings.size(), 1u);
    EXPECT_TRUE(readings[0].Valid());
    EXPECT_FALSE(readings[0].trailerPresent);
    EXPECT_EQ(OrderWarnings(readings[0]).size(), 1u);
}

TEST(ProblemTest, TextsWithoutAnOrderGiveNoReading)
{
    const char *const texts[] = {"", "Hello, no order here.", "The X26 cutter", "X26123 is a part",
                                 "X26123456 and ^"};
    for (const char *text : texts)
        EXPECT_TRUE(Read(text).empty()) << text;
}

// ---- mail messages ---------------------------------------------------------------------

std::string QuotedPrintable(const std::string &text)
{
    std::string out;
    std::size_t column = 0;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        std::string piece(1, c);
        if (c == '=' || byte >= 0x7F || (byte < 0x20 && c != '\n')) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "=%02X", byte);
            piece = hex;
        }
        if (c == '\n') {
            out += "\r\n";
            column = 0;
            continue;
        }
        if (column + piece.size() > 75) {
            out += "=\r\n";
            column = 0;
        }
        out += piece;
        column += piece.size();
    }
    return out;
}

std::string Base64(const std::string &text)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        unsigned long bits = 0;
        const std::size_t count = std::min<std::size_t>(3, text.size() - i);
        for (std::size_t k = 0; k < 3; ++k)
            bits = bits << 8 | (k < count ? static_cast<unsigned char>(text[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= count ? digits[(bits >> (18 - 6 * k)) & 0x3F] : '=';
        if (i % 57 == 54)
            out += "\r\n";
    }
    return out;
}

TEST(MailTest, TransferEncodingsAndPartsAreUndone)
{
    Form form = Typical;
    form.fields[1] = "Ren\xE9" "e";
    form.fields[5] = "50% = half";
    const std::string order = Encode(form);
    const std::string body = "Hello,\n" + AnsiToUtf8(order) + "\n";
    const std::string headers = "From: a@example.com\r\nSubject: Tessaro Order\r\nMIME-Version: 1.0\r\n";
    const std::string plain = "Content-Type: text/plain; charset=\"UTF-8\"\r\n";

    struct MailCase {
        std::string message;
        std::size_t line;           // 0: in a decoded part
        const char *what;
    };
    const MailCase cases[] = {
        {headers + plain + "\r\n" + body, 7, "plain body"},
        {headers + plain + "Content-Transfer-Encoding: quoted-printable\r\n\r\n" + QuotedPrintable(body), 0,
         "quoted-printable"},
        {headers + plain + "Content-Transfer-Encoding: base64\r\n\r\n" + Base64(body), 0, "base64"},
        {headers + "Content-Type: text/plain; charset=windows-1252\r\n\r\nHello,\r\n" + order + "\r\n", 7,
         "the form's own bytes"},
        {headers + "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\npreamble\r\n--b1\r\n" + plain
             + "Content-Transfer-Encoding: quoted-printable\r\n\r\n" + QuotedPrintable(body)
             + "\r\n--b1\r\nContent-Type: text/html\r\n\r\n<p>" + order + "</p>\r\n--b1--\r\n", 0,
         "multipart: the HTML part is not read a second time"},
        {headers + "Content-Type: multipart/mixed; boundary=outer\r\n\r\n--outer\r\n" + plain
             + "\r\nSee the forwarded order.\r\n--outer\r\nContent-Type: message/rfc822\r\n\r\n" + headers
             + plain + "\r\n" + body + "--outer--\r\n", 19, "forwarded as an attachment"},
    };
    for (const MailCase &c : cases) {
        const std::vector<OrderReading> readings = Read(c.message);
        ASSERT_EQ(readings.size(), 1u) << c.what;
        EXPECT_TRUE(readings[0].Valid()) << c.what << ": " << ProblemText(readings[0]);
        EXPECT_EQ(readings[0].line, LineOf(order)) << c.what;
        EXPECT_EQ(readings[0].inDecodedPart, c.line == 0) << c.what;
        if (c.line != 0) {
            EXPECT_EQ(readings[0].lineNumber, c.line) << c.what;
        }
    }
}

TEST(MailTest, APastedTextThatLooksLikeHeadersIsReadWhole)
{
    const std::string order = Encode(Typical);
    const std::vector<MailText> texts = ExtractMailTexts("Order: see below\n\n" + order);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(Read("Order: see below\n\n" + order).size(), 1u);
}

// ---- Windows-1252 ----------------------------------------------------------------------

TEST(AnsiTextTest, ConversionsMatchTheCodePage)
{
    struct Mapping {
        const char *ansi;
        const char *utf8;
    };
    static const Mapping mappings[] = {
        {"A", "A"}, {"\x80", "\xE2\x82\xAC"}, {"\x81", "\xC2\x81"}, {"\x9F", "\xC5\xB8"},
        {"\xA0", "\xC2\xA0"}, {"\xE9", "\xC3\xA9"}, {"\xFF", "\xC3\xBF"},
    };
    for (const Mapping &m : mappings) {
        EXPECT_EQ(AnsiToUtf8(m.ansi), m.utf8) << m.ansi;
        std::string back;
        EXPECT_TRUE(Utf8ToAnsi(m.utf8, back));
        EXPECT_EQ(back, m.ansi);
    }
    std::string every;
    for (int byte = 1; byte < 256; ++byte)
        every += static_cast<char>(byte);
    std::string back;
    ASSERT_TRUE(Utf8ToAnsi(AnsiToUtf8(every), back));
    EXPECT_EQ(back, every);

    const char *const rejected[] = {"\xC0\x80", "\xED\xA0\x80", "\xC4\x80", "\xE2\x82", "\xFF"};
    for (const char *text : rejected)
        EXPECT_FALSE(Utf8ToAnsi(text, back)) << text;
}

// ---- the report ------------------------------------------------------------------------

// A strict check of JSON syntax, enough to see that the report is one valid document.
class JsonChecker {
public:
    explicit JsonChecker(const std::string &text) : m_text(text) {}

    bool Document()
    {
        return Value() && (Blanks(), m_at == m_text.size());
    }

private:
    void Blanks()
    {
        while (m_at < m_text.size() && std::strchr(" \t\r\n", m_text[m_at]) != nullptr && m_text[m_at] != '\0')
            ++m_at;
    }

    bool Take(char c)
    {
        Blanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool String()
    {
        if (!Take('"'))
            return false;
        while (m_at < m_text.size()) {
            const unsigned char c = static_cast<unsigned char>(m_text[m_at++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (m_at >= m_text.size() || std::strchr("\"\\/bfnrtu", m_text[m_at]) == nullptr)
                    return false;
                m_at += m_text[m_at] == 'u' ? 5 : 1;
            }
        }
        return false;
    }

    bool Value()
    {
        Blanks();
        if (m_at >= m_text.size())
            return false;
        const char c = m_text[m_at];
        if (c == '"')
            return String();
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++m_at;
            if (Take(close))
                return true;
            do {
                if (c == '{' && !(String() && Take(':')))
                    return false;
                if (!Value())
                    return false;
            } while (Take(','));
            return Take(close);
        }
        const std::size_t start = m_at;
        while (m_at < m_text.size() && std::strchr("-+.0123456789eEtruefalsn", m_text[m_at]) != nullptr
               && m_text[m_at] != '\0')
            ++m_at;
        return m_at > start;
    }

    const std::string &m_text;
    std::size_t m_at = 0;
};

TEST(ReportTest, JsonIsOneValidDocumentWhateverTheFieldsHold)
{
    Form awkward = Typical;
    awkward.fields[1] = "Quote \" back\\slash \x01\x1F ctl \x81\x9D\xFF";
    awkward.fields[2] = "X marks^the spot";
    awkward.fields[5] = "50% {braces}";
    const std::string text = Encode(awkward) + "\n" + Encode(Typical).substr(0, 50) + "\n\n"
        + Encode(Typical).substr(20);
    std::vector<InputOrders> inputs = {{"a \"quoted\" name", Read(text)}};
    ASSERT_EQ(inputs[0].orders.size(), 2u);
    const std::string json = FormatJson(inputs);
    EXPECT_TRUE(JsonChecker(json).Document()) << json;
    EXPECT_NE(json.find("\"valid\": 1"), std::string::npos);
    EXPECT_NE(json.find("Quote \\\" back\\\\slash \\u0001\\u001F ctl \xC2\x81\xC2\x9D\xC3\xBF"), std::string::npos);
}

TEST(ReportTest, PlainTextShowsDoubtsAndControlBytesVisibly)
{
    Form form = Typical;
    form.fields[5] = "50%\x01";
    std::vector<InputOrders> inputs = {{"mail.txt", Read(Encode(form))}};
    const std::string plain = FormatPlain(inputs);
    EXPECT_NE(plain.find("mail.txt: 1 order line found, 1 read whole"), std::string::npos);
    EXPECT_NE(plain.find("Comments   50[%;]\\x01"), std::string::npos) << plain;
    EXPECT_NE(plain.find("Card       4111111111111111, passes the card check"), std::string::npos);
}

}  // namespace
