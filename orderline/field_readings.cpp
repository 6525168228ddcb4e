// Reading the fields back: every assignment of the carets after the header to field
// separators, typed carets and scrambled "X"s that the encoder could have produced,
// ranked by how much each reading looks like what people type into such a form.
#include "field_readings.h"

#include "line_format.h"

#include <algorithm>
#include <cstring>

namespace {

struct DoubtAlternatives {
    Doubt doubt;
    const char *bytes;      // value first
};

static const DoubtAlternatives DoubtTable[] = {
    {Doubt::PercentOrSemicolon,    "%;"},
    {Doubt::HashOrEquals,          "#="},
    {Doubt::LineFeedOrBrace,       "\n{"},
    {Doubt::CarriageReturnOrBrace, "\r}"},
    {Doubt::QuestionOrKeyByte,     "?\x06"},
};

// Bytes that the encoder never leaves in a span it scrambled, or in one it did not: no
// field holds a zero byte, the line breaks and the key byte are replaced before scrambling
// and "#" after it, and a caret is never scrambled.
const char ImpossibleScrambled[] = {
    '\0', FieldKey, '\n' ^ FieldKey, '\r' ^ FieldKey, ScramblesToCaret, '#',
};
const char ImpossiblePlain[] = {FieldKey, '\n', '\r', '#', '\0'};

// Past these the search stops and says it examined only part of the readings.
const std::size_t ReadingLimit = 500;
const std::size_t VisitLimit = 30000;

// Typing a caret is rarer than typing an "X".
const int TypedCaretPenalty = 6;
const int ShapeBonus = 8;
const int ShapePenalty = 4;
const int EdgeBlankPenalty = 3;         // people seldom start or end a field with a blank
const int InnerXPenalty = 4;            // nor type a capital X right after a small letter
const long MinimumPhoneDigits = 7;

enum FieldIndex { ExpiryField, NameField, AddressField, PhoneField, EmailField, CommentsField };
const bool MultiLineFields[FieldCount] = {false, false, true, false, false, true};

bool Contains(const char *bytes, std::size_t count, char c)
{
    return std::find(bytes, bytes + count, c) != bytes + count;
}

FieldChar Substituted(char byte)
{
    switch (byte) {
    case LineFeedSubstitute:
        return {'\n', Doubt::LineFeedOrBrace};
    case CarriageReturnSubstitute:
        return {'\r', Doubt::CarriageReturnOrBrace};
    case KeyByteSubstitute:
        return {'?', Doubt::QuestionOrKeyByte};
    default:
        return {byte, Doubt::None};
    }
}

FieldChar Unscrambled(char byte)
{
    if (byte == HashSubstitute)
        return {'%', Doubt::PercentOrSemicolon};
    return Substituted(static_cast<char>(byte ^ FieldKey));
}

FieldChar Plain(char byte)
{
    if (byte == HashSubstitute)
        return {'#', Doubt::HashOrEquals};
    return Substituted(byte);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')
        || static_cast<unsigned char>(c) >= 0xC0;
}

int CharacterScore(char c, bool multiLine)
{
    if (IsLetter(c) || IsDigit(c) || c == ' ')
        return 2;
    if (c != '\0' && std::strchr(".,-'/@#&()+:;!?\"_", c) != nullptr)
        return 1;
    if (c == '\r' || c == '\n')
        return multiLine ? 1 : -ShapePenalty;
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
        return -ShapePenalty;
    return byte >= 0x80 ? -1 : 0;
}

// Digits, a separator and digits again: "12/27", "1-2027".
bool LooksLikeExpiry(const std::string &text)
{
    std::size_t i = 0;
    const auto digits = [&](std::size_t least, std::size_t most) {
        std::size_t count = 0;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++count;
        return count >= least && count <= most;
    };
    const auto blanks = [&] {
        while (i < text.size() && text[i] == ' ')
            ++i;
    };
    blanks();
    if (!digits(1, 2))
        return false;
    blanks();
    if (i >= text.size() || std::strchr("/-.", text[i]) == nullptr)
        return false;
    ++i;
    blanks();
    const std::size_t yearStart = i;
    if (!digits(2, 4) || i - yearStart == 3)
        return false;
    blanks();
    return i == text.size();
}

// Seven digits or more: no telephone number is shorter.
bool LooksLikePhone(const std::string &text)
{
    const auto digitCount = std::count_if(text.begin(), text.end(), IsDigit);
    const bool phoneCharacters = std::all_of(text.begin(), text.end(), [](char c) {
        return IsDigit(c) || (c != '\0' && std::strchr(" +-()./x", c) != nullptr);
    });
    return phoneCharacters && digitCount >= MinimumPhoneDigits;
}

bool LooksLikeEmail(const std::string &text)
{
    const std::size_t at = text.find('@');
    return at != std::string::npos && at > 0 && text.find('@', at + 1) == std::string::npos
        && text.find('.', at) != std::string::npos && text.find(' ') == std::string::npos;
}

bool LooksLikeName(const std::string &text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return IsLetter(c) || c == ' ' || c == '.' || c == '-' || c == '\'';
    });
}

int KindScore(std::size_t index, const std::string &text)
{
    switch (index) {
    case ExpiryField:
        return LooksLikeExpiry(text) ? ShapeBonus : -ShapePenalty;
    case NameField:
        return LooksLikeName(text) ? ShapeBonus / 2 : 0;
    case PhoneField:
        return LooksLikePhone(text) ? ShapeBonus : -ShapePenalty;
    case EmailField:
        return LooksLikeEmail(text) ? ShapeBonus : -ShapePenalty;
    default:
        return 0;
    }
}

bool IsEdgeBlank(char c)
{
    return c == ' ' || c == '\t';
}

int ShapeScore(std::size_t index, const std::string &text)
{
    if (text.empty())
        return 0;
    const int edges = (IsEdgeBlank(text.front()) ? -EdgeBlankPenalty : 0)
        + (IsEdgeBlank(text.back()) ? -EdgeBlankPenalty : 0);
    return edges + KindScore(index, text);
}

bool IsSmallLetter(char c)
{
    return c >= 'a' && c <= 'z';
}

int TextScore(const FieldText &text, bool multiLine)
{
    int score = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        score += CharacterScore(text[k].value, multiLine);
        if (text[k].value == ScramblesToCaret && k > 0 && IsSmallLetter(text[k - 1].value))
            score -= InnerXPenalty;
    }
    return score;
}

// scratch keeps its room from one call to the next.
int ShapeScores(const FieldSet &fields, std::string &scratch)
{
    int score = 0;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        scratch.clear();
        for (const FieldChar &c : fields[i])
            scratch += c.value;
        score += ShapeScore(i, scratch);
    }
    return score;
}

struct ScoredReading {
    FieldSet fields;
    int score;
};

// A span of the line read one way, scrambled or plain, with what its characters score in a
// field of one line and in one of several.
struct SpanReading {
    FieldText text;
    bool possible = true;               // the encoder can have left these bytes so
    int score[2] = {};                  // by multi-line field
};

struct DecodedSpan {
    SpanReading scrambled;
    SpanReading plain;
};

SpanReading ReadSpan(const std::string &span, bool scrambled)
{
    SpanReading reading;
    for (char byte : span) {
        reading.text.push_back(scrambled ? Unscrambled(byte) : Plain(byte));
        reading.possible &= scrambled ? !Contains(ImpossibleScrambled, sizeof ImpossibleScrambled, byte)
                                      : !Contains(ImpossiblePlain, sizeof ImpossiblePlain, byte);
    }
    reading.score[0] = TextScore(reading.text, false);
    reading.score[1] = TextScore(reading.text, true);
    return reading;
}

// A depth-first walk over the carets, one role per caret: a separator ends the field, a
// typed caret or a scrambled "X" stays in it. The first six spans between separators and
// typed carets were scrambled; an "X" turns into a caret only there.
class ReadingSearch {
public:
    ReadingSearch(const std::vector<DecodedSpan> &spans, bool strict)
        : m_spans(spans), m_strict(strict) {}

    void Run() { Visit(0, 0, 0, 0); }
    bool Complete() const { return m_complete; }
    std::vector<ScoredReading> &Found() { return m_found; }

private:
    // score: what the characters before this span scored, with the roles of the carets.
    void Visit(std::size_t span, std::size_t separators, std::size_t delimiters, int score)
    {
        if (!m_complete)
            return;
        if (++m_visits > VisitLimit) {
            m_complete = false;
            return;
        }
        const bool scrambled = delimiters < FieldCount;
        const SpanReading &reading = scrambled ? m_spans[span].scrambled : m_spans[span].plain;
        if (m_strict && !reading.possible)
            return;
        FieldText &field = m_current[separators];
        const std::size_t mark = field.size();
        score += reading.score[MultiLineFields[separators]] + JoinScore(field, reading.text);
        field.insert(field.end(), reading.text.begin(), reading.text.end());
        if (Fits(field)) {
            const std::size_t caretsAfter = m_spans.size() - 1 - span;
            if (caretsAfter == 0) {
                if (separators == FieldCount - 1)
                    Record(score);
            } else {
                if (separators + 1 < FieldCount && FieldCount - separators - 1 <= caretsAfter)
                    Visit(span + 1, separators + 1, delimiters + 1, score);
                if (FieldCount - separators <= caretsAfter) {
                    const bool multiLine = MultiLineFields[separators];
                    if (scrambled)
                        VisitWith(field, ScramblesToCaret, span, separators, delimiters,
                                  score + CharacterScore(ScramblesToCaret, multiLine) + JoinScore(field, XText()));
                    VisitWith(field, Caret, span, separators, delimiters + 1,
                              score + CharacterScore(Caret, multiLine) - TypedCaretPenalty);
                }
            }
        }
        field.resize(mark);
    }

    // The caret after span stays in the field as byte.
    void VisitWith(FieldText &field, char byte, std::size_t span, std::size_t separators,
                   std::size_t delimiters, int score)
    {
        field.push_back({byte, Doubt::None});
        if (Fits(field))
            Visit(span + 1, separators, delimiters, score);
        field.pop_back();
    }

    static const FieldText &XText()
    {
        static const FieldText x = {{ScramblesToCaret, Doubt::None}};
        return x;
    }

    // A capital X right after a small letter, where text meets the field before it.
    static int JoinScore(const FieldText &field, const FieldText &text)
    {
        const bool innerX = !field.empty() && !text.empty() && text.front().value == ScramblesToCaret
            && IsSmallLetter(field.back().value);
        return innerX ? -InnerXPenalty : 0;
    }

    bool Fits(const FieldText &field) const
    {
        return !m_strict || field.size() <= FieldTextLimit;
    }

    void Record(int score)
    {
        if (m_found.size() == ReadingLimit) {
            m_complete = false;
            return;
        }
        m_found.push_back({m_current, score + ShapeScores(m_current, m_scratch)});
    }

    const std::vector<DecodedSpan> &m_spans;
    const bool m_strict;
    FieldSet m_current;
    std::string m_scratch;
    std::vector<ScoredReading> m_found;
    std::size_t m_visits = 0;
    bool m_complete = true;
};

std::vector<std::string> SplitSpans(const std::string &fieldsPart)
{
    std::vector<std::string> spans;
    std::size_t start = 0;
    for (std::size_t caret = fieldsPart.find(Caret); caret != std::string::npos;
         caret = fieldsPart.find(Caret, start)) {
        spans.push_back(fieldsPart.substr(start, caret - start));
        start = caret + 1;
    }
    return spans;
}

}  // namespace

std::string Alternatives(const FieldChar &c)
{
    for (const DoubtAlternatives &row : DoubtTable)
        if (row.doubt == c.doubt)
            return row.bytes;
    return std::string(1, c.value);
}

std::string PlainText(const FieldText &field)
{
    std::string text;
    for (const FieldChar &c : field)
        text += c.value;
    return text;
}

bool HasDoubt(const FieldText &field, Doubt doubt)
{
    return std::any_of(field.begin(), field.end(),
                       [doubt](const FieldChar &c) { return c.doubt == doubt; });
}

FieldReadings ReadFields(const std::string &fieldsPart)
{
    FieldReadings result;
    result.spans = SplitSpans(fieldsPart);
    if (result.spans.size() < FieldCount)
        return result;
    std::vector<DecodedSpan> decoded;
    for (const std::string &span : result.spans)
        decoded.push_back({ReadSpan(span, true), ReadSpan(span, false)});
    for (bool strict : {true, false}) {
        ReadingSearch search(decoded, strict);
        search.Run();
        std::vector<ScoredReading> &found = search.Found();
        if (found.empty())
            continue;
        std::vector<std::size_t> order(found.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&found](std::size_t a, std::size_t b) { return found[a].score > found[b].score; });
        result.readings.reserve(found.size());
        for (std::size_t i : order)
            result.readings.push_back(std::move(found[i].fields));
        result.complete = search.Complete();
        result.lenient = !strict;
        break;
    }
    return result;
}
