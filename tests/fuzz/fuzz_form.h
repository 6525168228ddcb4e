// What the order fuzzers share: a form's contents split out of the fuzzer's bytes.
#ifndef FUZZ_FORM_H
#define FUZZ_FORM_H

#include "order_line.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

const std::size_t TextCount = 2 + FieldCount;   // grand total, card, the six fields

inline void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The item mask from the first maskBytes bytes, then NUL-separated texts; missing ones
// are empty.
struct FuzzForm {
    unsigned long itemMask = 0;
    std::string texts[TextCount];
};

inline FuzzForm SplitFuzzForm(const std::uint8_t *data, std::size_t size, std::size_t maskBytes)
{
    FuzzForm form;
    if (maskBytes > size)
        maskBytes = size;
    for (std::size_t i = 0; i < maskBytes; ++i)
        form.itemMask |= static_cast<unsigned long>(data[i]) << (8 * i);
    std::size_t text = 0;
    for (std::size_t i = maskBytes; i < size && text < TextCount; ++i) {
        if (data[i] == 0)
            ++text;
        else
            form.texts[text] += static_cast<char>(data[i]);
    }
    return form;
}

#endif
