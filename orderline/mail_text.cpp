// A small reader of mail messages: header blocks, multipart bodies, forwarded messages and
// the quoted-printable and base64 transfer encodings. Only plain-text parts are kept.
#include "mail_text.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace {

struct Field {
    std::string name;       // lower case
    std::string value;
};
using Headers = std::vector<Field>;

// Any of these among the first header block makes the input a mail message.
static const char *const MessageHeaderNames[] = {
    "from", "to", "cc", "subject", "date", "mime-version", "content-type", "received",
    "message-id", "return-path", "reply-to", "delivered-to",
};

// Multipart bodies nest; a message that nests deeper than this is read no further.
const int NestingLimit = 16;

const char Base64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The line at position, without its line break; position moves past the break.
std::string NextLine(const std::string &text, std::size_t &position)
{
    const std::size_t end = text.find('\n', position);
    const std::size_t stop = end == std::string::npos ? text.size() : end;
    std::string line = text.substr(position, stop - position);
    position = end == std::string::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

bool IsFieldNameCharacter(char c)
{
    return c > ' ' && c < 0x7F && c != ':';
}

bool StartsField(const std::string &line)
{
    std::size_t length = 0;
    while (length < line.size() && IsFieldNameCharacter(line[length]))
        ++length;
    return length > 0 && length < line.size() && line[length] == ':';
}

// Reads the header block at the start of text into headers; bodyStart receives the offset
// after the blank line that ends it. False when text does not begin with a header field.
bool SplitHeaders(const std::string &text, Headers &headers, std::size_t &bodyStart)
{
    std::size_t position = 0;
    std::string line = NextLine(text, position);
    if (!StartsField(line))
        return false;
    for (;;) {
        if (line.empty())
            break;
        if ((line[0] == ' ' || line[0] == '\t') && !headers.empty()) {
            headers.back().value += ' ' + Trim(line);
        } else if (StartsField(line)) {
            const std::size_t colon = line.find(':');
            headers.push_back({Lower(line.substr(0, colon)), Trim(line.substr(colon + 1))});
        } else {
            return false;
        }
        if (position >= text.size())
            break;
        line = NextLine(text, position);
    }
    bodyStart = position;
    return true;
}

bool IsMessage(const Headers &headers)
{
    for (const Field &field : headers)
        for (const char *name : MessageHeaderNames)
            if (field.name == name)
                return true;
    return false;
}

std::string HeaderValue(const Headers &headers, const char *name)
{
    for (const Field &field : headers)
        if (field.name == name)
            return field.value;
    return "";
}

// "type/subtype; name=value; ..." split into its lower-case type and its parameters.
struct ContentType {
    std::string type = "text/plain";
    std::vector<std::pair<std::string, std::string>> parameters;

    std::string Parameter(const char *name) const
    {
        for (const auto &parameter : parameters)
            if (parameter.first == name)
                return parameter.second;
        return "";
    }
};

ContentType ParseContentType(const std::string &value)
{
    ContentType content;
    std::size_t position = value.find(';');
    const std::string type = Lower(Trim(value.substr(0, position)));
    if (!type.empty())
        content.type = type;
    while (position != std::string::npos && position < value.size()) {
        const std::size_t start = position + 1;
        const std::size_t equals = value.find('=', start);
        if (equals == std::string::npos)
            break;
        std::string parameterValue;
        std::size_t next = equals + 1;
        while (next < value.size() && (value[next] == ' ' || value[next] == '\t'))
            ++next;
        if (next < value.size() && value[next] == '"') {
            const std::size_t close = value.find('"', next + 1);
            parameterValue = value.substr(next + 1, close == std::string::npos ? std::string::npos
                                                                                : close - next - 1);
            position = close == std::string::npos ? close : value.find(';', close);
        } else {
            position = value.find(';', next);
            parameterValue = Trim(value.substr(next, position == std::string::npos
                                                         ? std::string::npos : position - next));
        }
        content.parameters.push_back({Lower(Trim(value.substr(start, equals - start))),
                                      parameterValue});
    }
    return content;
}

TextCharset CharsetOf(const std::string &name)
{
    const std::string lower = Lower(name);
    if (lower == "utf-8" || lower == "utf8")
        return TextCharset::Utf8;
    static const char *const SingleBytePrefixes[] = {"windows-125", "cp125", "iso-8859-", "latin"};
    for (const char *prefix : SingleBytePrefixes)
        if (lower.compare(0, std::strlen(prefix), prefix) == 0)
            return TextCharset::SingleByte;
    return TextCharset::Unknown;
}

struct Span {
    std::size_t start;
    std::size_t end;
};

// The parts between the delimiter lines of a multipart body; preamble and epilogue dropped.
std::vector<Span> SplitParts(const std::string &body, const std::string &boundary)
{
    const std::string delimiter = "--" + boundary;
    std::vector<Span> parts;
    bool inPart = false;
    std::size_t partStart = 0;
    std::size_t position = 0;
    while (position < body.size()) {
        const std::size_t lineStart = position;
        const std::string trimmed = Trim(NextLine(body, position));
        if (trimmed == delimiter || trimmed == delimiter + "--") {
            if (inPart)
                parts.push_back({partStart, lineStart});
            inPart = trimmed == delimiter;
            partStart = position;
        }
    }
    if (inPart)
        parts.push_back({partStart, body.size()});
    return parts;
}

// A text of the message and where it begins in the input; a text whose encoding was undone
// keeps the offset of the part it came from.
struct Source {
    std::string text;
    std::size_t inputOffset;
    bool decoded;
};

class MessageWalk {
public:
    explicit MessageWalk(const std::string &input) : m_input(input) {}

    void Collect(const Headers &headers, const Source &body, int depth)
    {
        if (depth > NestingLimit)
            return;
        const ContentType content = ParseContentType(HeaderValue(headers, "content-type"));
        const std::string boundary = content.Parameter("boundary");
        if (content.type.compare(0, 10, "multipart/") == 0 && !boundary.empty()) {
            for (const Span &part : SplitParts(body.text, boundary))
                CollectPart(body, part, depth);
        } else if (content.type == "message/rfc822") {
            const Source inner = Decode(headers, body);
            Headers innerHeaders;
            std::size_t innerStart = 0;
            if (SplitHeaders(inner.text, innerHeaders, innerStart))
                Collect(innerHeaders, Sub(inner, innerStart, inner.text.size()), depth + 1);
        } else if (content.type == "text/plain") {
            const Source text = Decode(headers, body);
            m_texts.push_back({text.text, CharsetOf(content.Parameter("charset")),
                               LineOf(text.inputOffset), text.decoded});
        }
    }

    std::vector<MailText> &Texts() { return m_texts; }

private:
    // A part that opens with a blank line, or with no header, is all body.
    void CollectPart(const Source &body, const Span &part, int depth)
    {
        const Source whole = Sub(body, part.start, part.end);
        Headers headers;
        std::size_t bodyStart = 0;
        if (!SplitHeaders(whole.text, headers, bodyStart)) {
            headers.clear();
            bodyStart = 0;
            std::size_t position = 0;
            if (NextLine(whole.text, position).empty())
                bodyStart = position;
        }
        Collect(headers, Sub(whole, bodyStart, whole.text.size()), depth + 1);
    }

    static Source Sub(const Source &source, std::size_t start, std::size_t end)
    {
        return {source.text.substr(start, end - start), source.inputOffset + start, source.decoded};
    }

    static Source Decode(const Headers &headers, const Source &body)
    {
        const std::string encoding = Lower(HeaderValue(headers, "content-transfer-encoding"));
        if (encoding == "quoted-printable")
            return {DecodeQuotedPrintable(body.text), body.inputOffset, true};
        if (encoding == "base64")
            return {DecodeBase64(body.text), body.inputOffset, true};
        return body;
    }

    std::size_t LineOf(std::size_t offset) const
    {
        const std::size_t end = std::min(offset, m_input.size());
        return 1 + static_cast<std::size_t>(std::count(m_input.begin(),
                                                       m_input.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
    }

    const std::string &m_input;
    std::vector<MailText> m_texts;
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::vector<MailText> ExtractMailTexts(const std::string &input)
{
    // A mailbox file opens with a "From " line before the headers.
    std::size_t start = 0;
    if (input.compare(0, 5, "From ") == 0)
        NextLine(input, start);
    const std::string message = input.substr(start);
    Headers headers;
    std::size_t bodyStart = 0;
    MessageWalk walk(input);
    if (SplitHeaders(message, headers, bodyStart) && IsMessage(headers))
        walk.Collect(headers, {message.substr(bodyStart), start + bodyStart, false}, 0);
    std::vector<MailText> &texts = walk.Texts();
    if (texts.empty())
        texts.push_back({input, TextCharset::Unknown, 1, false});
    return texts;
}

std::string DecodeQuotedPrintable(const std::string &text)
{
    std::string out;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t end = text.find('\n', position);
        const bool hasBreak = end != std::string::npos;
        std::size_t stop = hasBreak ? end : text.size();
        const bool crlf = hasBreak && stop > position && text[stop - 1] == '\r';
        if (crlf)
            --stop;
        std::string line = text.substr(position, stop - position);
        position = hasBreak ? end + 1 : text.size();

        // Blanks at the end of a line are padding that the encoding never carries.
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        const bool softBreak = !line.empty() && line.back() == '=';
        if (softBreak)
            line.pop_back();
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '=' && i + 2 < line.size() && HexValue(line[i + 1]) >= 0
                && HexValue(line[i + 2]) >= 0) {
                out += static_cast<char>(HexValue(line[i + 1]) * 16 + HexValue(line[i + 2]));
                i += 2;
            } else {
                out += line[i];
            }
        }
        if (hasBreak && !softBreak)
            out += crlf ? "\r\n" : "\n";
    }
    return out;
}

std::string DecodeBase64(const std::string &text)
{
    std::string out;
    unsigned long bits = 0;
    int bitCount = 0;
    for (char c : text) {
        if (c == '=')
            break;
        const char *digit = c != '\0' ? std::strchr(Base64Digits, c) : nullptr;
        if (digit == nullptr)
            continue;
        bits = (bits << 6 | static_cast<unsigned long>(digit - Base64Digits)) & 0xFFFFFF;
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            out += static_cast<char>((bits >> bitCount) & 0xFF);
        }
    }
    return out;
}
