// Fuzz target: the order reader on arbitrary mail text, and on lines that the form's encoder
// makes from arbitrary form contents, carried on the clipboard or in a UTF-8 mail body.
#include "ansi_text.h"
#include "fuzz_form.h"
#include "order_line.h"
#include "order_reader.h"
#include "order_report.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const unsigned long FormItems = (1ul << 17) - 1;

// Whatever a reading says, its parts hang together.
void CheckReading(const OrderReading &reading)
{
    if (reading.Valid()) {
        Check(reading.stampMatches);
        Check(reading.stamp == reading.line.size());
        Check(reading.line.compare(0, 3, "X26") == 0);
        Check(reading.line.back() == '^');
        Check(reading.headerRead && reading.fieldsRead);
        Check(reading.itemMask <= FormItems);
    }
    if (reading.fieldsRead) {
        for (const FieldSet &fields : reading.fields.readings) {
            std::size_t length = 0;
            for (const FieldText &field : fields) {
                Check(reading.fields.lenient || field.size() <= FieldTextLimit);
                length += field.size();
            }
            Check(length <= reading.line.size());
        }
    }
    if (reading.headerRead && reading.card.PassesCheck())
        Check(reading.card.digits.size() >= reading.card.carried.size());
}

// The report is one text of valid UTF-8 in which only the layout's own line breaks are
// control characters.
void CheckReport(const std::string &report)
{
    std::string ansi;
    Check(Utf8ToAnsi(report, ansi));
    for (char c : report)
        Check(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
}

void ReadText(const std::string &text)
{
    const std::vector<OrderReading> readings = ReadOrders(text);
    for (const OrderReading &reading : readings)
        CheckReading(reading);
    const std::vector<InputOrders> inputs = {{"fuzz", readings}};
    CheckReport(FormatJson(inputs));
    FormatPlain(inputs);
}

// Three bytes hold the form's seventeen choices; the mask keeps only those.
FuzzForm Split(const std::uint8_t *data, std::size_t size)
{
    FuzzForm form = SplitFuzzForm(data, size, 3);
    form.itemMask &= FormItems;
    return form;
}

std::string Encode(const FuzzForm &form)
{
    OrderValues values = {form.itemMask, form.texts[0].c_str(), form.texts[1].c_str(), {}};
    for (std::size_t i = 0; i < FieldCount; ++i)
        values.fields[i] = form.texts[2 + i].c_str();
    std::unique_ptr<char[]> text(new char[OrderTextSize]);
    BuildOrderLine(values, text.get());
    AppendTrailer(text.get());
    return text.get();
}

// An unwrapped line always comes back whole: the same line, or one beside the others that
// fit too, each with its stamp and trailer.
void ReadBack(const FuzzForm &form)
{
    const std::string order = Encode(form);
    const std::string line = order.substr(0, order.size() - std::strlen(OrderTrailer));
    const std::string texts[] = {order, "Hello,\r\n\r\n" + AnsiToUtf8(order) + "\r\n"};
    for (const std::string &text : texts) {
        const std::vector<OrderReading> readings = ReadOrders(text);
        Check(readings.size() == 1);
        const OrderReading &reading = readings[0];
        CheckReading(reading);
        Check(reading.Valid() && reading.trailerPresent);
        if (reading.line != line) {
            Check(!reading.otherLines.empty() || reading.rejoin.breaks == WrapBreak::Blank);
            continue;
        }
        Check(reading.itemMask == form.itemMask);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ReadText(std::string(reinterpret_cast<const char *>(data), size));
    ReadBack(Split(data, size));
    return 0;
}
