// The mailto: URL: recipient, percent-encoded subject and body, within the length limit.
#include "mailto.h"

#include <cstring>

namespace {

const char Scheme[] = "mailto:";
const char SubjectKey[] = "?subject=";
const char BodyKey[] = "&body=";
const char HexDigits[] = "0123456789ABCDEF";
const char UnreservedMarks[] = "-._~";

bool IsUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
        || (c != '\0' && std::strchr(UnreservedMarks, c) != nullptr);
}

std::size_t EncodedLength(const char *text)
{
    std::size_t length = 0;
    for (; *text != '\0'; ++text)
        length += IsUnreserved(*text) ? 1 : 3;
    return length;
}

char *AppendPlain(char *out, const char *text)
{
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length + 1);
    return out + length;
}

char *AppendEncoded(char *out, const char *text)
{
    for (; *text != '\0'; ++text) {
        const unsigned char byte = static_cast<unsigned char>(*text);
        if (IsUnreserved(*text)) {
            *out++ = *text;
        } else {
            *out++ = '%';
            *out++ = HexDigits[byte >> 4];
            *out++ = HexDigits[byte & 0x0F];
        }
    }
    *out = '\0';
    return out;
}

}  // namespace

MailtoResult BuildMailtoUrl(const char *address, const char *subject, const char *body,
                            char *url)
{
    const std::size_t headLength = (sizeof Scheme - 1) + std::strlen(address)
        + (sizeof SubjectKey - 1) + EncodedLength(subject);
    if (headLength > MailtoUrlLimit) {
        url[0] = '\0';
        return MailtoResult::TooLong;
    }
    char *end = AppendPlain(url, Scheme);
    end = AppendPlain(end, address);
    end = AppendPlain(end, SubjectKey);
    end = AppendEncoded(end, subject);

    if (headLength + (sizeof BodyKey - 1) + EncodedLength(body) > MailtoUrlLimit)
        return MailtoResult::WithoutBody;
    end = AppendPlain(end, BodyKey);
    AppendEncoded(end, body);
    return MailtoResult::WithBody;
}
