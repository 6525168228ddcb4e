// Unit tests of the order line: exact lines for form states, the field cut, the length
// stamp and the trailer.
#include "catalogue.h"
#include "order_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Form {
    unsigned long itemMask;
    std::string grandTotal;
    std::string card;
    std::string fields[FieldCount];
};

OrderValues ValuesOf(const Form &form)
{
    OrderValues values = {form.itemMask, form.grandTotal.c_str(), form.card.c_str(), {}};
    for (std::size_t i = 0; i < FieldCount; ++i)
        values.fields[i] = form.fields[i].c_str();
    return values;
}

// Exactly the promised size, so that AddressSanitizer sees any overrun.
std::unique_ptr<char[]> NewOrderText()
{
    return std::unique_ptr<char[]>(new char[OrderTextSize]);
}

std::string Build(const Form &form, bool withTrailer = false)
{
    std::unique_ptr<char[]> line = NewOrderText();
    BuildOrderLine(ValuesOf(form), line.get());
    if (withTrailer)
        AppendTrailer(line.get());
    return line.get();
}

std::size_t Stamp(const std::string &line)
{
    return static_cast<std::size_t>(std::atoi(line.substr(3, 3).c_str()));
}

const unsigned long AllSoftware = ItemBaseProgram | ItemShapingModule | ItemRevisionModule
    | ItemProfileLibrary | ItemNotchPegLayout | ItemDxfOutput | ItemFormGenerator;
const unsigned long AllHardware = ItemCutter | ItemBow28 | ItemBow40 | ItemBow52 | ItemHotWire
    | ItemPowerSupply | ItemWireSet;

struct LineCase {
    Form form;
    const char *expected;
    const char *what;
};

// Empty card: head and tail 0 before masking, 30730555 and 82223571 after.
const LineCase LineCases[] = {
    {{0, "$0.00", "", {}}, "X260370^0.00^30730555^82223571^^^^^^^",
     "empty form: the template's total counts as 0, the line ends in seven carets"},

    {{ItemBaseProgram, "0.00", "", {}}, "X26039128^0.00^30730555^82223571^^^^^^^",
     "base program, USA shipping"},
    {{ItemBaseProgram | ItemInternationalShipping, "0.00", "", {}},
     "X26039129^0.00^30730555^82223571^^^^^^^", "base program, international shipping"},
    {{AllSoftware | ItemInternationalShipping, "0.00", "", {}},
     "X26039255^0.00^30730555^82223571^^^^^^^", "all software, international shipping"},
    {{AllHardware, "0.00", "", {}}, "X26042130048^0.00^30730555^82223571^^^^^^^",
     "all hardware, USA shipping"},
    {{AllSoftware | AllHardware | ItemUpgrade98 | ItemInternationalShipping, "0.00", "", {}},
     "X26042130815^0.00^30730555^82223571^^^^^^^", "the largest mask a form can send"},

    {{0, "39.00", "", {}}, "X260380^39.00^30730555^82223571^^^^^^^", "total as shown"},
    {{0, "1234.5", "", {}}, "X260400^1234.50^30730555^82223571^^^^^^^", "two decimals"},
    {{0, "-999999999999999999", "", {}},
     "X260560^-1000000000000000000.00^30730555^82223571^^^^^^^", "widest plain total"},
    {{0, "12345678901234567890123", "", {}},
     "X260550^1234567890123456768.00^30730555^82223571^^^^^^^",
     "only the 19 characters the control gives are read"},
    {{0, "1e300", "", {}}, "X260370^0.00^30730555^82223571^^^^^^^",
     "a total with no room in the header counts as 0"},
    {{0, "inf", "", {}}, "X260370^0.00^30730555^82223571^^^^^^^", "inf counts as 0"},
    {{0, "nan", "", {}}, "X260370^0.00^30730555^82223571^^^^^^^", "nan counts as 0"},

    {{ItemBaseProgram, "39.00", "4111111111111111", {}},
     "X26040128^39.00^61319036^72297236^^^^^^^", "16-digit card"},
    {{ItemBaseProgram, "39.00", "4222222222222", {}},
     "X26040128^39.00^55618485^82245405^^^^^^^", "13-digit card: the tail is 22222"},
    {{ItemBaseProgram, "39.00", "5500000000012345", {}},
     "X26040128^39.00^43242235^82219498^^^^^^^", "zeros leading the tail are not carried"},
    {{ItemBaseProgram, "39.00", "123456784294967295", {}},
     "X26041128^39.00^23627893^-82223572^^^^^^^", "tail above the signed 32-bit range"},
    {{ItemBaseProgram, "39.00", "1234567812345678901", {}},
     "X26042128^39.00^23627893^-616907290^^^^^^^", "tail wraps in 32 bits and prints negative"},
    {{ItemBaseProgram, "39.00", "12345678" + std::string(40, '0') + "12345", {}},
     "X26040128^39.00^23627893^82223570^^^^^^^", "only 49 characters of the card are read"},
    {{ItemBaseProgram, "39.00", "-1", {}}, "X26041128^39.00^-30730556^82223571^^^^^^^",
     "negative head"},
    {{ItemBaseProgram, "39.00", " +1234567", {}}, "X26040128^39.00^30739323^82223572^^^^^^^",
     "blanks and a plus sign, the eighth character ends the head"},
    {{ItemBaseProgram, "39.00", "abc", {}}, "X26040128^39.00^30730555^82223571^^^^^^^",
     "a card text that is no number counts as 0"},

    {{0, "0.00", "", {"", "", "12 Main St\r\nSpringfield", "", "", ""}},
     "X260600^0.00^30730555^82223571^^^74&Kgoh&Ur{}Uvtoha`ocjb^^^^",
     "two-line address: CR LF becomes } {, which scramble to { }"},
    {{0, "0.00", "", {"12/25", "Ann^Lee", "Elm", "555", "a@b", "Hi"}},
     "X260600^0.00^30730555^82223571^74)43^Ghh^Jcc^Cjk^333^gFd^Hi^",
     "caret in the name: the spans shift and the comments stay plain"},
    {{0, "0.00", "", {"", "Jos\xE9", "", "", "", ""}},
     "X260410^0.00^30730555^82223571^^Liu\xEF^^^^^", "high-bit ANSI letter"},
    {{0, "0.00", "", {"", "A\x06" "B", "", "", "", "C"}},
     "X260410^0.00^30730555^82223571^^G9D^^^^E^", "a key byte is carried as ?, not as a cut"},
    {{0, "0.00", "", {"", "", "", "", "a%b#c", ""}},
     "X260420^0.00^30730555^82223571^^^^^g=d%e^^", "% scrambles to #, which becomes ="},
    {{0, "0.00", "", {"", "", "", "", "", "Xmas"}},
     "X260410^0.00^30730555^82223571^^^^^^^kgu^", "X scrambles to a caret"},
    {{ItemBaseProgram, "39.00", "",
      {"12/25", "Ann Lee", "12 Main St\r\nSpringfield", "555-0100", "a@bc", ""}},
     "X26087128^39.00^30730555^82223571^74)43^Ghh&Jcc^74&Kgoh&Ur{}Uvtoha`ocjb^333+6766^gFde^^",
     "a line of 87 characters"},
};

TEST(OrderLineTest, FormStatesGiveTheirExactLines)
{
    for (const LineCase &c : LineCases) {
        const std::string line = Build(c.form);
        EXPECT_EQ(line, c.expected) << c.what;
        EXPECT_EQ(Stamp(line), line.size()) << c.what;
    }
}

TEST(OrderLineTest, LongFieldsCarryTheirFirst149Characters)
{
    Form form = {0, "0.00", "", {}};
    for (std::string &field : form.fields)
        field = std::string(200, 'a');

    std::string expected = "X269310^0.00^30730555^82223571^";
    for (std::size_t i = 0; i < FieldCount; ++i)
        expected += std::string(149, 'g') + "^";
    EXPECT_EQ(Build(form), expected);
}

// The widest header there can be, with six long fields full of bytes that change on the way.
Form LongestForm()
{
    Form form = {0x80000000ul, "-1e19", "-9999999-2147483648", {}};
    for (std::string &field : form.fields)
        field = std::string(100, '\r') + std::string(100, '#');
    return form;
}

TEST(OrderLineTest, LongestLineStaysWithinItsBound)
{
    // CR turns "}" and scrambles to "{"; "#" scrambles to "%".
    std::string expected = "X26965-2147483648^-10000000000000000000.00^-21790534^-2065260077^";
    for (std::size_t i = 0; i < FieldCount; ++i)
        expected += std::string(100, '{') + std::string(49, '%') + "^";

    const std::string line = Build(LongestForm());
    EXPECT_EQ(line, expected);
    EXPECT_LE(line.size(), OrderLineLimit);
}

TEST(OrderLineTest, NothingOfAnEarlierLineRemains)
{
    const Form longest = LongestForm();
    std::unique_ptr<char[]> line = NewOrderText();
    BuildOrderLine(ValuesOf(longest), line.get());
    AppendTrailer(line.get());

    const OrderValues empty = {0, "0.00", "", {"", "", "", "", "", ""}};
    BuildOrderLine(empty, line.get());
    EXPECT_STREQ(line.get(), "X260370^0.00^30730555^82223571^^^^^^^");
}

TEST(OrderLineTest, TrailerFollowsTheLastCaret)
{
    const Form form = {0, "0.00", "", {}};
    EXPECT_EQ(Build(form, true),
              "X260370^0.00^30730555^82223571^^^^^^^<=Do not alter anything above this line");

    const std::string longest = Build(LongestForm());
    EXPECT_EQ(Build(LongestForm(), true), longest + "<=Do not alter anything above this line");
}

TEST(OrderLineTest, ScrambleStopsAtTheFirstCaretOfTheText)
{
    char text[] = "aX^b^";
    char *cursor = text;
    ScrambleField(cursor);
    // The X turned caret is passed over; only the caret that was there stops the scramble.
    EXPECT_STREQ(text, "g^^b^");
    EXPECT_EQ(cursor, text + 2);

    char empty[] = "^x";
    cursor = empty;
    ScrambleField(cursor);
    EXPECT_STREQ(empty, "^x");
    EXPECT_EQ(cursor, empty);
}

TEST(OrderLineTest, ReplaceAllReplacesEveryOccurrence)
{
    struct ReplaceCase {
        const char *text;
        char from;
        char to;
        const char *expected;
    };
    static const ReplaceCase cases[] = {
        {"##a#b##", '#', '=', "==a=b=="},
        {"abc", '#', '=', "abc"},
        {"a\nb\n", '\n', '{', "a{b{"},
        {"a#b", '#', '#', "a#b"},
    };
    for (const ReplaceCase &c : cases) {
        std::vector<char> text(c.text, c.text + std::strlen(c.text) + 1);
        ReplaceAll(text.data(), c.from, c.to);
        EXPECT_STREQ(text.data(), c.expected) << c.text;
    }
}

}  // namespace
