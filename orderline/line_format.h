// The order line's layout as its reader needs it, beside the constants that the form's
// encoder shares (order_line.h). Native.
#ifndef ORDERLINE_LINE_FORMAT_H
#define ORDERLINE_LINE_FORMAT_H

#include "order_line.h"

#include <cstddef>

const std::size_t MagicLength = sizeof OrderMagic - 1;
const std::size_t HeaderCarets = 4;          // after the item mask, total, card head and tail
const char ScramblesToCaret = Caret ^ FieldKey;     // "X"
const std::size_t TrailerLength = sizeof OrderTrailer - 1;

// The form's seventeen choices.
const unsigned long ItemMaskLimit = 1ul << 17;

inline bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

#endif
