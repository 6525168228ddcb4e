// Decoding an order line with the form's own price table, card check and constants.
#include "order_reader.h"

#include "card_check.h"
#include "line_format.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

const std::size_t CardHeadDigits = 8;
const std::uint32_t CardHeadLimit = 99999999;

bool IsDigits(const std::string &text, std::size_t start, std::size_t end)
{
    if (start >= end || end > text.size())
        return false;
    for (std::size_t i = start; i < end; ++i)
        if (!IsDecimalDigit(text[i]))
            return false;
    return true;
}

// ---- the header ------------------------------------------------------------------------

// A signed 32-bit decimal as "%li" prints it.
bool ReadSigned32(const std::string &text, std::uint32_t &value)
{
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (!IsDigits(text, first, text.size()) || text.size() - first > 10)
        return false;
    const unsigned long long magnitude = std::strtoull(text.c_str() + first, nullptr, 10);
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return false;
    value = static_cast<std::uint32_t>(negative ? 0ull - magnitude : magnitude);
    return true;
}

// Dollars with two decimals as "%03.2f" prints them.
bool IsAmount(const std::string &text)
{
    const std::size_t first = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t point = text.find('.');
    return point != std::string::npos && IsDigits(text, first, point)
        && text.size() == point + 3 && IsDigits(text, point + 1, text.size());
}

bool ReadItemMask(const std::string &text, unsigned long &mask)
{
    if (!IsDigits(text, 0, text.size()) || text.size() > 6)
        return false;
    mask = std::strtoul(text.c_str(), nullptr, 10);
    return mask < ItemMaskLimit;
}

// The elements between the stamp and the header's last caret, in their order.
bool ReadHeader(const std::string &line, OrderReading &reading, std::size_t &fieldsStart)
{
    static const HeaderElement Elements[HeaderCarets] = {
        HeaderElement::ItemMask, HeaderElement::GrandTotal, HeaderElement::CardHead,
        HeaderElement::CardTail,
    };
    std::string texts[HeaderCarets];
    // A stamp that promises less than a header leaves less than one to read.
    std::size_t start = std::min(line.size(), MagicLength + StampLength);
    for (std::size_t i = 0; i < HeaderCarets; ++i) {
        const std::size_t caret = line.find(Caret, start);
        texts[i] = line.substr(start, caret == std::string::npos ? std::string::npos : caret - start);
        bool good = caret != std::string::npos;
        switch (Elements[i]) {
        case HeaderElement::ItemMask:
            good = good && ReadItemMask(texts[i], reading.itemMask);
            break;
        case HeaderElement::GrandTotal:
            good = good && IsAmount(texts[i]);
            break;
        case HeaderElement::CardHead:
            good = good && ReadSigned32(texts[i], reading.cardHead);
            break;
        case HeaderElement::CardTail:
            good = good && ReadSigned32(texts[i], reading.cardTail);
            break;
        }
        if (!good) {
            reading.badElement = Elements[i];
            reading.badText = texts[i];
            return false;
        }
        start = caret + 1;
    }
    reading.totalText = texts[1];
    reading.cardHead ^= CardHeadMask;
    reading.cardTail ^= CardTailMask;
    fieldsStart = start;
    return true;
}

// ---- the card number -------------------------------------------------------------------

bool PassesCardCheck(const std::string &digits)
{
    int issuer = 0;
    return CheckCardNumber(digits.c_str(), issuer) == CardValid;
}

std::string PadToHead(std::uint32_t head)
{
    std::string text = std::to_string(head);
    return std::string(CardHeadDigits - text.size(), '0') + text;
}

}  // namespace

bool OrderReading::TotalsDiffer() const
{
    return std::llround(std::atof(totalText.c_str()) * 100.0) != std::llround(recomputedTotal * 100.0);
}

bool OrderReading::BothUpgrades() const
{
    return (itemMask & ItemUpgrade98) != 0 && (itemMask & ItemUpgradeOld) != 0;
}

CardReading ReadCard(std::uint32_t head, std::uint32_t tail)
{
    CardReading card;
    card.headIsNumber = head <= CardHeadLimit;
    if (!card.headIsNumber || (head == 0 && tail == 0))
        return card;

    // Zeros that led the tail are not carried: try every count of them the card check allows.
    const std::string tailText = tail != 0 ? std::to_string(tail) : "";
    const std::string base = PadToHead(head);
    card.carried = tail != 0 ? base + tailText : std::to_string(head);
    std::vector<std::string> readings = {card.carried};
    for (std::size_t zeros = tail != 0 ? 1 : 0; base.size() + zeros + tailText.size()
                                                <= static_cast<std::size_t>(CardDigitLimit); ++zeros) {
        const std::string reading = base + std::string(zeros, '0') + tailText;
        if (reading != card.carried)
            readings.push_back(reading);
    }
    for (const std::string &reading : readings)
        if (PassesCardCheck(reading))
            card.passing.push_back(reading);
    card.digits = card.PassesCheck() ? card.passing.front() : card.carried;
    card.zerosRestored = card.digits.size() - card.carried.size();
    return card;
}

bool ReadStamp(const std::string &text, std::size_t magic, unsigned &stamp)
{
    const std::size_t start = magic + MagicLength;
    if (!IsDigits(text, start, start + StampLength))
        return false;
    stamp = static_cast<unsigned>(std::atoi(text.substr(start, StampLength).c_str()));
    return true;
}

void DecodeOrderLine(const std::string &line, OrderReading &reading)
{
    reading.line = line;
    if (ReadStamp(line, 0, reading.stamp))
        reading.stampMatches = reading.stamp == line.size();
    std::size_t fieldsStart = 0;
    if (!ReadHeader(line, reading, fieldsStart)) {
        reading.NoteProblem(LineProblem::BadHeader);
        return;
    }
    reading.headerRead = true;
    ItemCharge charges[ItemChargeLimit];
    const std::size_t count = ListItemCharges(reading.itemMask, charges);
    reading.charges.assign(charges, charges + count);
    reading.recomputedTotal = SoftwareTotal(reading.itemMask) + HardwareTotal(reading.itemMask);
    reading.card = ReadCard(reading.cardHead, reading.cardTail);

    std::string fieldsPart = line.substr(fieldsStart);
    // A damaged line may stop inside a field: that field ends where the line does.
    if (fieldsPart.empty() || fieldsPart.back() != Caret)
        fieldsPart += Caret;
    reading.fields = ReadFields(fieldsPart);
    reading.fieldsRead = !reading.fields.readings.empty();
    if (!reading.fieldsRead)
        reading.NoteProblem(LineProblem::TooFewFields);
}

std::vector<OrderReading> ReadOrders(const std::string &input)
{
    std::vector<OrderReading> readings;
    for (const MailText &text : ExtractMailTexts(input)) {
        std::vector<OrderReading> found = ReadOrdersInText(text);
        readings.insert(readings.end(), std::make_move_iterator(found.begin()),
                        std::make_move_iterator(found.end()));
    }
    return readings;
}
