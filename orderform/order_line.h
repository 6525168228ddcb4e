// The order line: the whole form encoded as the one line of text that reaches the vendor.
// Needs no window.
#ifndef ORDERFORM_ORDER_LINE_H
#define ORDERFORM_ORDER_LINE_H

#include <cstddef>
#include <cstdint>

const std::size_t FieldCount = 6;
const std::size_t FieldTextLimit = 149;     // characters of each field carried in the line

const std::uint32_t CardHeadMask = 0x01D4E93B;
const std::uint32_t CardTailMask = 0x04E6A1D3;
const char FieldKey = 0x06;                 // exclusive or with every scrambled field byte

// The layout's fixed characters, which the line's reader relies on too.
#define ORDER_MAGIC_TEXT "X26"
inline constexpr char OrderMagic[] = ORDER_MAGIC_TEXT;
const std::size_t StampPosition = sizeof OrderMagic - 1;   // three digits right after the magic
const std::size_t StampLength = 3;
const char Caret = '^';

// What the line carries in place of bytes it cannot carry as they are.
const char LineFeedSubstitute = '{';
const char CarriageReturnSubstitute = '}';
const char HashSubstitute = '=';
const char KeyByteSubstitute = '?';

// Marks the end of the order in the mail; the form's instructions name it too.
#define ORDER_TRAILER_TEXT "<=Do not alter anything above this line"
inline constexpr char OrderTrailer[] = ORDER_TRAILER_TEXT;

// The longest header: "X26---", the item mask and the two card values as signed 32-bit
// numbers of at most 11 characters ("-2147483648"), a grand total of at most 24 ("%03.2f"
// of a value of at most 1e19 in magnitude, which covers every number written out in 19
// characters) and four carets.
const std::size_t HeaderLimit = 6 + 3 * 11 + 24 + 4;
const std::size_t OrderLineLimit = HeaderLimit + FieldCount * (FieldTextLimit + 1);
const std::size_t OrderTextSize = OrderLineLimit + (sizeof OrderTrailer - 1) + 1;

static_assert(OrderLineLimit < 1000, "the length stamp has three digits");

// The form as its controls give it. Texts are NUL-terminated, never null, of any length.
struct OrderValues {
    unsigned long itemMask;             // ItemBit values of the ticked choices
    const char *grandTotalText;
    const char *cardText;
    const char *fields[FieldCount];     // expiry, name, address, phone, email, comments
};

// line receives the finished order line and has OrderTextSize bytes.
void BuildOrderLine(const OrderValues &values, char *line);

// Appends the first FieldTextLimit characters of fieldText and a caret at position,
// terminates the text and leaves position just past the caret.
void AppendFieldText(char *text, std::size_t &position, const char *fieldText);

// XORs every byte up to the next caret with FieldKey and leaves cursor on that caret.
void ScrambleField(char *&cursor);

void ReplaceAll(char *text, char from, char to);

// line holds a finished order line in a buffer of OrderTextSize bytes.
void AppendTrailer(char *line);

#endif
