// The report of the orders read: a block of plain text per order, or one JSON document.
#include "order_report.h"

#include "ansi_text.h"
#include "line_format.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

static const char *const FieldLabels[FieldCount] = {
    "Expiry", "Name", "Address", "Phone", "Email", "Comments",
};
static const char *const FieldKeys[FieldCount] = {
    "expiry", "name", "address", "phone", "email", "comments",
};

struct DoubtNote {
    Doubt doubt;
    const char *marker;         // how the plain text shows the character; null: its value
    const char *note;
};

const char LineBreakNote[] =
    "a line break may also be a typed \"{\" or \"}\", which travel as line breaks do";

static const DoubtNote DoubtNotes[] = {
    {Doubt::PercentOrSemicolon, "[%;]",
     "\"[%;]\" is a \"%\" or a \";\": the line carries both as \"=\""},
    {Doubt::HashOrEquals, "[#=]",
     "\"[#=]\" is a \"#\" or a \"=\": a field after a typed caret travels unscrambled, "
     "where \"#\" arrives as \"=\""},
    {Doubt::LineFeedOrBrace, nullptr, LineBreakNote},
    {Doubt::CarriageReturnOrBrace, nullptr, LineBreakNote},
    {Doubt::QuestionOrKeyByte, nullptr,
     "a \"?\" may also be the control byte 0x06, which the form sends as \"?\""},
};

// Readings besides the most plausible that the plain text lists; JSON lists more.
const std::size_t PlainReadingLimit = 3;
const std::size_t JsonReadingLimit = 50;
const std::size_t LabelWidth = 11;
const std::size_t ItemNameWidth = 40;
const std::size_t AmountWidth = 8;

std::string Money(double amount)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", amount);
    return text;
}

bool IsShipping(const ItemCharge &charge)
{
    return charge.item == 0 || charge.item == ItemInternationalShipping;
}

std::string Count(std::size_t n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

const DoubtNote *NoteOf(Doubt doubt)
{
    for (const DoubtNote &row : DoubtNotes)
        if (row.doubt == doubt)
            return &row;
    return nullptr;
}

// One byte of the form's text as the vendor's terminal shows it.
std::string Shown(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool control = byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D
        || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    if (control) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02X", byte);
        return escape;
    }
    return AnsiToUtf8(std::string(1, c));
}

std::string ShownText(const std::string &ansi)
{
    std::string out;
    for (char c : ansi)
        out += Shown(c);
    return out;
}

bool IsLineBreak(const FieldChar &c)
{
    return c.value == '\r' || c.value == '\n';
}

// A field with its line breaks as breaks (CR LF as one) indented by indent, and doubtful
// characters marked.
std::string ShownField(const FieldText &field, const std::string &indent)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const FieldChar &c = field[i];
        if (IsLineBreak(c)) {
            if (c.value == '\r' && i + 1 < field.size() && field[i + 1].value == '\n')
                ++i;
            out += "\n" + indent;
            continue;
        }
        const DoubtNote *note = NoteOf(c.doubt);
        out += note != nullptr && note->marker != nullptr ? note->marker : Shown(c.value);
    }
    return out;
}

// A field on one line, quoted, for the list of other readings.
std::string QuotedField(const FieldText &field)
{
    std::string out = "\"";
    for (const FieldChar &c : field) {
        const DoubtNote *note = NoteOf(c.doubt);
        if (c.value == '\n')
            out += "\\n";
        else if (c.value == '\r')
            out += "\\r";
        else
            out += note != nullptr && note->marker != nullptr ? note->marker : Shown(c.value);
    }
    return out + "\"";
}

std::string Unscrambled(const std::string &span)
{
    std::string out;
    for (char c : span)
        out += static_cast<char>(c ^ FieldKey);
    return out;
}

const char *ElementName(HeaderElement element)
{
    switch (element) {
    case HeaderElement::ItemMask:
        return "item mask";
    case HeaderElement::GrandTotal:
        return "grand total";
    case HeaderElement::CardHead:
        return "card head";
    case HeaderElement::CardTail:
        return "card tail";
    }
    return "";
}

const char *ElementRule(HeaderElement element)
{
    return element == HeaderElement::ItemMask ? "a number of the form's seventeen choices"
         : element == HeaderElement::GrandTotal ? "an amount with two decimals"
         : "a signed 32-bit number";
}

std::string RejoinText(const Rejoin &rejoin)
{
    std::string text;
    switch (rejoin.breaks) {
    case WrapBreak::None:
        return "";
    case WrapBreak::Dropped:
        text = "line breaks added by wrapping dropped";
        break;
    case WrapBreak::Blank:
        text = "a blank put back at each line break, where wrapping had taken it (where the line "
               "held a line break of its own, a blank now stands)";
        break;
    case WrapBreak::Kept:
        return "the line breaks belong to the line: a form feed or vertical tab typed in a field";
    }
    if (rejoin.softBreaks)
        text += ", with the blank that marked each as soft";
    if (rejoin.unstuffed)
        text += "; a blank stuffed before a wrapped line dropped";
    if (rejoin.ownBreaksKept)
        text += "; breaks of another kind kept as the line's own";
    return text;
}

std::string WhereText(const OrderReading &order)
{
    std::string where = "line " + std::to_string(order.lineNumber);
    if (order.inDecodedPart)
        where += " of the decoded mail part";
    if (order.lineCount > 1)
        where += ", over " + std::to_string(order.lineCount) + " lines";
    if (order.quoteDepth > 0)
        where += ", quoted " + std::string(order.quoteDepth, '>');
    return where;
}

std::size_t ExtraCarets(const OrderReading &order)
{
    return order.fields.spans.size() > FieldCount ? order.fields.spans.size() - FieldCount : 0;
}

// ---- JSON ------------------------------------------------------------------------------

class Json {
public:
    static Json String(const std::string &utf8) { return Json(Quote(utf8)); }
    static Json AnsiString(const std::string &ansi) { return String(AnsiToUtf8(ansi)); }
    static Json Number(double value) { return Json(Money(value)); }
    static Json Integer(unsigned long long value) { return Json(std::to_string(value)); }
    static Json Bool(bool value) { return Json(value ? "true" : "false"); }
    static Json Null() { return Json("null"); }
    static Json Array() { Json json(""); json.m_kind = Kind::Array; return json; }
    static Json Object() { Json json(""); json.m_kind = Kind::Object; return json; }

    Json &Add(const std::string &key, Json value)
    {
        m_members.push_back({key, std::move(value)});
        return *this;
    }
    Json &Add(Json value) { return Add("", std::move(value)); }

    std::string Text(std::size_t indent = 0) const
    {
        if (m_kind == Kind::Scalar)
            return m_scalar;
        const char open = m_kind == Kind::Array ? '[' : '{';
        const char close = m_kind == Kind::Array ? ']' : '}';
        if (m_members.empty())
            return std::string(1, open) + close;
        const std::string inner(indent + 2, ' ');
        std::string out(1, open);
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            out += (i == 0 ? "\n" : ",\n") + inner;
            if (m_kind == Kind::Object)
                out += Quote(m_members[i].first) + ": ";
            out += m_members[i].second.Text(indent + 2);
        }
        return out + "\n" + std::string(indent, ' ') + close;
    }

private:
    enum class Kind { Scalar, Array, Object };

    explicit Json(std::string scalar) : m_scalar(std::move(scalar)) {}

    static std::string Quote(const std::string &utf8)
    {
        std::string out = "\"";
        for (char c : utf8) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (byte < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", byte);
                out += escape;
            } else {
                out += c;
            }
        }
        return out + "\"";
    }

    Kind m_kind = Kind::Scalar;
    std::string m_scalar;
    std::vector<std::pair<std::string, Json>> m_members;
};

Json StringList(const std::vector<std::string> &texts)
{
    Json list = Json::Array();
    for (const std::string &text : texts)
        list.Add(Json::String(text));
    return list;
}

Json FieldJson(const FieldText &field)
{
    Json doubts = Json::Array();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i].doubt == Doubt::None)
            continue;
        Json couldBe = Json::Array();
        for (char c : Alternatives(field[i]))
            couldBe.Add(Json::AnsiString(std::string(1, c)));
        doubts.Add(Json::Object().Add("at", Json::Integer(i)).Add("couldBe", std::move(couldBe)));
    }
    return Json::Object().Add("text", Json::AnsiString(PlainText(field))).Add("doubts", std::move(doubts));
}

Json FieldSetTexts(const FieldSet &fields)
{
    Json object = Json::Object();
    for (std::size_t i = 0; i < FieldCount; ++i)
        object.Add(FieldKeys[i], Json::AnsiString(PlainText(fields[i])));
    return object;
}

Json ChargesJson(const OrderReading &order, Json &shipping)
{
    Json items = Json::Array();
    for (const ItemCharge &charge : order.charges) {
        if (IsShipping(charge)) {
            shipping = Json::Object()
                .Add("name", Json::String(charge.name))
                .Add("international", Json::Bool(charge.item != 0))
                .Add("charge", Json::Number(charge.price))
                .Add("waived", Json::Bool(charge.waived));
            continue;
        }
        items.Add(Json::Object()
                      .Add("item", Json::Integer(charge.item))
                      .Add("name", Json::String(charge.name))
                      .Add("price", Json::Number(charge.price))
                      .Add("handling", Json::Number(charge.handling))
                      .Add("handlingWaived", Json::Bool(charge.waived)));
    }
    return items;
}

Json CardJson(const CardReading &card, const OrderReading &order)
{
    return Json::Object()
        .Add("digits", Json::String(card.digits))
        .Add("carried", Json::String(card.carried))
        .Add("passesCheck", Json::Bool(card.PassesCheck()))
        .Add("passing", StringList(card.passing))
        .Add("zerosRestored", Json::Integer(card.zerosRestored))
        .Add("head", Json::Integer(order.cardHead))
        .Add("tail", Json::Integer(order.cardTail));
}

Json FieldsJson(const OrderReading &order, Json &boundaries)
{
    const FieldReadings &readings = order.fields;
    Json alternatives = Json::Array();
    for (std::size_t i = 1; i < readings.readings.size() && i <= JsonReadingLimit; ++i)
        alternatives.Add(FieldSetTexts(readings.readings[i]));
    Json spans = Json::Array();
    for (const std::string &span : readings.spans)
        spans.Add(Json::AnsiString(span));
    boundaries = Json::Object()
        .Add("ambiguous", Json::Bool(readings.Ambiguous()))
        .Add("readings", Json::Integer(readings.readings.size()))
        .Add("complete", Json::Bool(readings.complete))
        .Add("altered", Json::Bool(readings.lenient))
        .Add("otherReadings", std::move(alternatives))
        .Add("spans", std::move(spans));
    Json fields = Json::Object();
    for (std::size_t i = 0; i < FieldCount; ++i)
        fields.Add(FieldKeys[i], FieldJson(readings.readings.front()[i]));
    return fields;
}

Json OrderJson(const std::string &input, const OrderReading &order)
{
    Json json = Json::Object()
        .Add("input", Json::String(input))
        .Add("line", Json::Integer(order.lineNumber))
        .Add("lines", Json::Integer(order.lineCount))
        .Add("inDecodedPart", Json::Bool(order.inDecodedPart))
        .Add("quoteDepth", Json::Integer(order.quoteDepth))
        .Add("valid", Json::Bool(order.Valid()))
        .Add("problem", order.Valid() ? Json::Null() : Json::String(ProblemText(order)))
        .Add("stamp", Json::Integer(order.stamp))
        .Add("length", Json::Integer(order.line.size()))
        .Add("stampMatches", Json::Bool(order.stampMatches))
        .Add("trailer", Json::Bool(order.trailerPresent))
        .Add("orderLine", Json::AnsiString(order.line));
    if (order.headerRead) {
        Json shipping = Json::Null();
        Json items = ChargesJson(order, shipping);
        json.Add("itemMask", Json::Integer(order.itemMask))
            .Add("items", std::move(items))
            .Add("shipping", std::move(shipping))
            .Add("total", Json::Object()
                              .Add("carried", Json::Number(std::atof(order.totalText.c_str())))
                              .Add("recomputed", Json::Number(order.recomputedTotal))
                              .Add("differ", Json::Bool(order.TotalsDiffer())))
            .Add("card", CardJson(order.card, order));
    }
    if (order.fieldsRead) {
        Json boundaries = Json::Null();
        Json fields = FieldsJson(order, boundaries);
        json.Add("fields", std::move(fields)).Add("fieldBoundaries", std::move(boundaries));
    }
    return json.Add("warnings", StringList(OrderWarnings(order)))
        .Add("notes", StringList(OrderNotes(order)));
}

// ---- plain text ------------------------------------------------------------------------

class PlainWriter {
public:
    void Row(const std::string &label, const std::string &value)
    {
        std::string padded = "  " + label;
        padded.resize(2 + LabelWidth, ' ');
        m_out += padded + value + "\n";
    }

    std::string Indent() const { return std::string(2 + LabelWidth, ' '); }

    void Order(std::size_t number, const OrderReading &order)
    {
        m_out += "\nOrder " + std::to_string(number) + ", " + WhereText(order)
            + (order.Valid() ? "" : ": NOT READ WHOLE") + "\n";
        if (!order.Valid())
            Row("Problem", ProblemText(order));
        if (order.stamp != 0)
            Row("Stamp", std::to_string(order.stamp) + (order.stampMatches
                ? ", matches the line's length" : ", the line read has " + std::to_string(order.line.size())
                                                  + " characters"));
        Row("Trailer", order.trailerPresent ? "present" : "missing");
        if (order.problem == LineProblem::TrailerAlone)
            return;
        if (!order.Valid() && (order.headerRead || order.fieldsRead))
            m_out += "  What could be read, unreliable:\n";
        if (order.headerRead)
            Header(order);
        if (order.fieldsRead)
            Fields(order);
        Lines("WARNING", OrderWarnings(order));
        Lines("Note", OrderNotes(order));
    }

    std::string &Text() { return m_out; }

    void Line(const std::string &text) { m_out += text + "\n"; }

private:
    void Header(const OrderReading &order)
    {
        std::string label = "Items";
        std::string shipping;
        for (const ItemCharge &charge : order.charges) {
            std::string name = charge.name;
            name.resize(ItemNameWidth, ' ');
            std::string amount = Money(charge.price);
            amount.insert(0, amount.size() < AmountWidth ? AmountWidth - amount.size() : 0, ' ');
            if (IsShipping(charge)) {
                shipping = name + amount + (charge.waived ? "  not charged" : "");
                continue;
            }
            std::string row = name + amount;
            if (charge.handling != 0.0)
                row += "  + S&H " + Money(charge.handling) + (charge.waived ? " waived" : "");
            Row(label, row);
            label.clear();
        }
        if (!label.empty())
            Row(label, "none");
        Row("Shipping", shipping);
        Row("Total", order.totalText + " carried, " + Money(order.recomputedTotal)
                         + " from the items" + (order.TotalsDiffer() ? ": THEY DIFFER" : ""));
        const CardReading &card = order.card;
        if (!card.headIsNumber)
            Row("Card", "unreadable");
        else if (card.carried.empty())
            Row("Card", "none");
        else
            Row("Card", card.digits + (card.PassesCheck() ? ", passes the card check"
                                                         : ", does not pass the card check"));
    }

    void Fields(const OrderReading &order)
    {
        const FieldSet &fields = order.fields.readings.front();
        for (std::size_t i = 0; i < FieldCount; ++i)
            Row(FieldLabels[i], ShownField(fields[i], Indent()));
        if (!order.fields.Ambiguous())
            return;
        const std::vector<FieldSet> &readings = order.fields.readings;
        for (std::size_t r = 1; r < readings.size() && r <= PlainReadingLimit; ++r) {
            std::string text;
            for (std::size_t i = 0; i < FieldCount; ++i)
                text += (i == 0 ? "" : " ") + std::string(FieldLabels[i]) + " " + QuotedField(readings[r][i]);
            Row("Reading " + std::to_string(r + 1), text);
        }
        if (readings.size() > PlainReadingLimit + 1)
            Row("", std::to_string(readings.size() - PlainReadingLimit - 1) + " more readings; --json lists up to "
                        + std::to_string(JsonReadingLimit));
        std::string spans;
        for (const std::string &span : order.fields.spans)
            spans += (spans.empty() ? "\"" : " \"") + ShownText(Unscrambled(span)) + "\"";
        Row("Spans", spans + " (each unscrambled)");
    }

    void Lines(const char *label, const std::vector<std::string> &texts)
    {
        for (const std::string &text : texts)
            Row(label, text);
    }

    std::string m_out;
};

}  // namespace

std::string ProblemText(const OrderReading &order)
{
    const std::string stamp = std::to_string(order.stamp);
    const std::string found = std::to_string(order.foundLength);
    switch (order.problem) {
    case LineProblem::None:
        return "";
    case LineProblem::StampNotDigits:
        return "the length stamp after \"" + std::string(OrderMagic) + "\" is not three digits: \""
            + ShownText(order.line.substr(MagicLength, StampLength)) + "\"";
    case LineProblem::Cut:
        return "the line is cut: its stamp promises " + stamp + " characters, only " + found
            + " arrived and no trailer follows";
    case LineProblem::TrailerMisplaced:
        return "the stamp promises " + stamp + " characters, but the trailer follows after " + found
            + ": characters were " + (order.foundLength < order.stamp ? "lost" : "added")
            + " on the way";
    case LineProblem::EndMissing:
        return "no caret where the stamp ends the line, after " + stamp
            + " characters, and no trailer: the line was altered or cut";
    case LineProblem::Unjoinable:
        return "the stamp promises " + stamp + " characters and a trailer follows, but no way of "
            "joining the lines before it fits: the line holds line breaks of its own, or the mail "
            "program changed it";
    case LineProblem::BadHeader:
        return std::string("the header is garbled: the ") + ElementName(order.badElement) + " \""
            + ShownText(order.badText) + "\" is not " + ElementRule(order.badElement);
    case LineProblem::TooFewFields:
        return "the line holds " + Count(order.fields.spans.size(), "field", "fields")
            + " after its header where the form writes six";
    case LineProblem::TrailerAlone:
        return "a trailer with no order line before it: the line's start is missing or garbled";
    }
    return "";
}

std::vector<std::string> OrderWarnings(const OrderReading &order)
{
    std::vector<std::string> warnings;
    if (order.Valid() && !order.trailerPresent)
        warnings.push_back("no trailer after the line: the stamp confirms the line, but the text "
                           "after it was changed or cut");
    if (!order.otherLines.empty())
        warnings.push_back(Count(order.otherLines.size(), "other way", "other ways")
                           + " of joining the mail's lines also fit the stamp and read otherwise: "
                             "line breaks inside the line may belong to it (a form feed or "
                             "vertical tab typed in a field) or stand for lost blanks");
    if (order.Valid() && order.mixedBreaks)
        warnings.push_back("the line was spread over lines that end in line breaks of different kinds: "
                           "some may be the line's own (a form feed or vertical tab typed in a field), "
                           "and the join shown may have taken them wrongly");
    if (order.headerRead) {
        if (order.TotalsDiffer())
            warnings.push_back("the grand total carried, " + order.totalText
                               + ", differs from the total of the items, "
                               + Money(order.recomputedTotal) + "; check the order with the customer");
        if (order.BothUpgrades())
            warnings.push_back("both upgrades are ticked; the form never sends such an order");
        const CardReading &card = order.card;
        if (!card.headIsNumber)
            warnings.push_back("the card head " + std::to_string(order.cardHead)
                               + " is not the value of eight digits: the card field held something else");
        else if (card.passing.size() > 1) {
            std::string list;
            for (const std::string &reading : card.passing)
                list += (list.empty() ? "" : ", ") + reading;
            warnings.push_back("the line does not carry zeros that lead the card's ninth digit on: "
                               + Count(card.passing.size(), "reading passes", "readings pass")
                               + " the card check: " + list);
        } else if (!card.carried.empty() && card.passing.empty())
            warnings.push_back("the card number does not pass the card check; zeros that led its "
                               "ninth digit on, if any, are lost");
    }
    if (order.fieldsRead && order.fields.Ambiguous()) {
        const std::size_t count = order.fields.readings.size();
        warnings.push_back("the field boundaries are ambiguous: " + Count(ExtraCarets(order), "caret", "carets")
                           + " more than the six field ends, as a typed \"^\" or \"X\" adds one; "
                           + (order.fields.complete ? "" : "at least ")
                           + Count(count, "reading fits", "readings fit") + ", the most plausible is shown");
    }
    if (order.fieldsRead && order.fields.lenient)
        warnings.push_back("the fields hold characters the form never sends, or are too long: the line "
                           "was altered; they are shown as they stand");
    return warnings;
}

std::vector<std::string> OrderNotes(const OrderReading &order)
{
    std::vector<std::string> notes;
    const std::string rejoin = RejoinText(order.rejoin);
    if (order.Valid() && !rejoin.empty())
        notes.push_back("joined from " + Count(order.lineCount, "line", "lines") + ": " + rejoin);
    if (order.headerRead && order.card.PassesCheck() && order.card.zerosRestored > 0)
        notes.push_back(Count(order.card.zerosRestored, "zero", "zeros")
                        + " put back at the card's ninth digit: the only reading that passes the card check");
    if (!order.fieldsRead)
        return notes;
    // Line feeds and carriage returns share their note.
    const FieldSet &fields = order.fields.readings.front();
    for (const DoubtNote &row : DoubtNotes) {
        const auto sameNote = [&row](const DoubtNote &other) { return other.note == row.note; };
        if (std::find_if(DoubtNotes, &row, sameNote) != &row)
            continue;
        std::string names;
        for (std::size_t i = 0; i < FieldCount; ++i) {
            const bool doubtful = std::any_of(std::begin(DoubtNotes), std::end(DoubtNotes),
                [&](const DoubtNote &other) { return sameNote(other) && HasDoubt(fields[i], other.doubt); });
            if (doubtful)
                names += (names.empty() ? "" : ", ") + std::string(FieldLabels[i]);
        }
        if (!names.empty())
            notes.push_back(names + ": " + row.note);
    }
    return notes;
}

std::size_t CountValid(const std::vector<InputOrders> &inputs)
{
    std::size_t valid = 0;
    for (const InputOrders &input : inputs)
        for (const OrderReading &order : input.orders)
            valid += order.Valid();
    return valid;
}

std::string FormatPlain(const std::vector<InputOrders> &inputs)
{
    PlainWriter writer;
    for (const InputOrders &input : inputs) {
        std::size_t valid = 0;
        for (const OrderReading &order : input.orders)
            valid += order.Valid();
        writer.Line(input.name + ": " + (input.orders.empty()
            ? "no order line found"
            : Count(input.orders.size(), "order line", "order lines") + " found, "
                  + std::to_string(valid) + " read whole"));
        for (std::size_t i = 0; i < input.orders.size(); ++i)
            writer.Order(i + 1, input.orders[i]);
        writer.Line("");
    }
    return writer.Text();
}

std::string FormatJson(const std::vector<InputOrders> &inputs)
{
    Json orders = Json::Array();
    std::size_t found = 0;
    for (const InputOrders &input : inputs) {
        for (const OrderReading &order : input.orders)
            orders.Add(OrderJson(input.name, order));
        found += input.orders.size();
    }
    return Json::Object()
        .Add("found", Json::Integer(found))
        .Add("valid", Json::Integer(CountValid(inputs)))
        .Add("orders", std::move(orders))
        .Text() + "\n";
}
