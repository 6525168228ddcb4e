// The texts of an input in which orders are looked for: the plain-text parts of a mail
// message, with their transfer encoding undone, or the whole input when it is no message.
// Native: no window, no platform API.
#ifndef ORDERLINE_MAIL_TEXT_H
#define ORDERLINE_MAIL_TEXT_H

#include <cstddef>
#include <string>
#include <vector>

enum class TextCharset {
    Unknown,        // UTF-8 is tried first, then the bytes as they are
    Utf8,
    SingleByte,     // an 8-bit code page: the bytes are the form's own
};

struct MailText {
    std::string bytes;
    TextCharset charset = TextCharset::Unknown;
    std::size_t firstLine = 1;      // the input's line on which the text begins
    bool decoded = false;           // a transfer encoding was undone: its lines are not the input's
};

std::vector<MailText> ExtractMailTexts(const std::string &input);

std::string DecodeQuotedPrintable(const std::string &text);
std::string DecodeBase64(const std::string &text);

#endif
