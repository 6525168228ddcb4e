// Fuzz target: order lines from arbitrary form contents, with their trailer and mailto: URL.
#include "fuzz_form.h"
#include "mailto.h"
#include "order_line.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char Address[] = "sales@example.com";
const char Subject[] = "Tessaro Order";
const std::string WithoutBody = "mailto:sales@example.com?subject=Tessaro%20Order";
const std::string BodyPrefix = WithoutBody + "&body=";

std::size_t HeaderLength(const char *line)
{
    const char *end = line;
    for (int caret = 0; caret < 4; ++caret) {
        end = std::strchr(end, '^');
        Check(end != nullptr);
        ++end;
    }
    return static_cast<std::size_t>(end - line);
}

// What a field byte becomes in the line when no caret shifts the scrambled spans.
char EncodedFieldByte(char c)
{
    if (c == FieldKey)
        c = '?';
    else if (c == '\n')
        c = '{';
    else if (c == '\r')
        c = '}';
    c = static_cast<char>(c ^ FieldKey);
    return c == '#' ? '=' : c;
}

void CheckLine(const FuzzForm &form, const std::string &line)
{
    Check(line.compare(0, 3, "X26") == 0);
    Check(line.size() <= OrderLineLimit);
    Check(std::atoi(line.substr(3, 3).c_str()) == static_cast<int>(line.size()));

    // Every field is there to its last carried byte: no byte turned into a terminator.
    const std::size_t header = HeaderLength(line.c_str());
    std::size_t expected = header;
    bool caretInFields = false;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const std::string &field = form.texts[2 + i];
        expected += std::min(field.size(), FieldTextLimit) + 1;
        caretInFields |= field.find('^') != std::string::npos;
    }
    Check(line.size() == expected);
    Check(line.back() == '^');
    if (caretInFields)
        return;

    std::size_t position = header;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const std::string field = form.texts[2 + i].substr(0, FieldTextLimit);
        for (char c : field)
            Check(line[position++] == EncodedFieldByte(c));
        Check(line[position++] == '^');
    }
}

bool IsUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
        || c == '-' || c == '.' || c == '_' || c == '~';
}

std::size_t EncodedSize(const std::string &text)
{
    const auto reserved = std::count_if(text.begin(), text.end(),
                                        [](char c) { return !IsUnreserved(c); });
    return text.size() + 2 * static_cast<std::size_t>(reserved);
}

int HexValue(char c)
{
    Check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

std::string Decode(const std::string &encoded)
{
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%') {
            Check(i + 2 < encoded.size());
            decoded += static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
            i += 2;
        } else {
            Check(IsUnreserved(encoded[i]));
            decoded += encoded[i];
        }
    }
    return decoded;
}

void CheckUrl(const std::string &order)
{
    std::unique_ptr<char[]> buffer(new char[MailtoUrlSize]);
    const MailtoResult result = BuildMailtoUrl(Address, Subject, order.c_str(), buffer.get());
    const std::string url = buffer.get();
    Check(url.size() <= MailtoUrlLimit);
    if (result == MailtoResult::WithBody) {
        Check(url.compare(0, BodyPrefix.size(), BodyPrefix) == 0);
        Check(Decode(url.substr(BodyPrefix.size())) == order);
    } else {
        Check(result == MailtoResult::WithoutBody);
        Check(url == WithoutBody);
        Check(BodyPrefix.size() + EncodedSize(order) > MailtoUrlLimit);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const FuzzForm form = SplitFuzzForm(data, size, sizeof(unsigned long));
    OrderValues values = {form.itemMask, form.texts[0].c_str(), form.texts[1].c_str(), {}};
    for (std::size_t i = 0; i < FieldCount; ++i)
        values.fields[i] = form.texts[2 + i].c_str();

    // Exactly the promised size, so that AddressSanitizer sees any overrun.
    std::unique_ptr<char[]> text(new char[OrderTextSize]);
    BuildOrderLine(values, text.get());
    const std::string line = text.get();
    CheckLine(form, line);

    AppendTrailer(text.get());
    const std::string order = text.get();
    Check(order == line + OrderTrailer);

    CheckUrl(order);
    return 0;
}
