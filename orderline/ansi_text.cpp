// Windows-1252 to and from UTF-8. The five bytes the code page leaves undefined map to
// the C1 controls of the same value, as the platform's conversion maps them.
#include "ansi_text.h"

#include <cstdint>

namespace {

// Code points of the bytes 0x80 to 0x9F; the others equal their byte.
static const std::uint16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::uint32_t CodePointOf(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : byte;
}

bool ByteOf(std::uint32_t codePoint, char &byte)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint < 0x100)) {
        byte = static_cast<char>(codePoint);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (HighControls[i] == codePoint) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(std::uint32_t codePoint, std::string &out)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// The multi-byte UTF-8 sequences by their lead byte.
struct SequenceForm {
    unsigned char firstLead;
    unsigned char lastLead;
    unsigned char leadBits;
    std::size_t extra;          // continuation bytes
    std::uint32_t least;        // smaller code points are overlong
};

static const SequenceForm SequenceForms[] = {
    {0xC2, 0xDF, 0x1F, 1, 0x80},
    {0xE0, 0xEF, 0x0F, 2, 0x800},
    {0xF0, 0xF4, 0x07, 3, 0x10000},
};

// Reads one UTF-8 sequence at index, rejecting overlong forms and surrogates.
bool ReadUtf8(const std::string &text, std::size_t &index, std::uint32_t &codePoint)
{
    const unsigned char lead = static_cast<unsigned char>(text[index++]);
    if (lead < 0x80) {
        codePoint = lead;
        return true;
    }
    const SequenceForm *form = nullptr;
    for (const SequenceForm &candidate : SequenceForms)
        if (lead >= candidate.firstLead && lead <= candidate.lastLead)
            form = &candidate;
    if (form == nullptr)
        return false;
    codePoint = lead & form->leadBits;
    for (std::size_t extra = form->extra; extra > 0; --extra) {
        if (index >= text.size())
            return false;
        const unsigned char next = static_cast<unsigned char>(text[index++]);
        if ((next & 0xC0) != 0x80)
            return false;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    return codePoint >= form->least && codePoint < 0x110000 && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

}  // namespace

std::string AnsiToUtf8(const std::string &ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi)
        AppendUtf8(CodePointOf(static_cast<unsigned char>(c)), out);
    return out;
}

bool Utf8ToAnsi(const std::string &utf8, std::string &ansi, std::vector<std::size_t> *ends)
{
    ansi.clear();
    ansi.reserve(utf8.size());
    if (ends != nullptr)
        ends->clear();
    for (std::size_t index = 0; index < utf8.size();) {
        std::uint32_t codePoint;
        char byte;
        if (!ReadUtf8(utf8, index, codePoint) || !ByteOf(codePoint, byte))
            return false;
        ansi += byte;
        if (ends != nullptr)
            ends->push_back(index);
    }
    return true;
}
