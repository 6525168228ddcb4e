// Finding order lines in a text and joining each back from the lines that mail wrapped,
// quoted or stuffed it into, with its length stamp and trailer as the proof.
#include "order_reader.h"

#include "ansi_text.h"
#include "line_format.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// A line of the text takes at least one character of the line, so no order needs more.
const std::size_t PieceLimit = OrderLineLimit + TrailerLength + 1;
// How far after a line that cannot be joined its trailer is looked for: room for the longest
// line in UTF-8 with a quote mark and a line break every character or two.
const std::size_t ClaimWindow = 8 * (OrderLineLimit + TrailerLength);

struct TextLine {
    std::size_t start;
    std::size_t end;        // the content ends here; the line break follows
    std::size_t next;       // the following line starts here
};

std::vector<TextLine> SplitLines(const std::string &text)
{
    std::vector<TextLine> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        const std::size_t end = i;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back({start, end, i + 1});
        start = i + 1;
    }
    lines.push_back({start, text.size(), text.size()});
    return lines;
}

std::size_t LineIndexOf(const std::vector<TextLine> &lines, std::size_t offset)
{
    const auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                        [](std::size_t value, const TextLine &line) { return value < line.start; });
    return static_cast<std::size_t>(after - lines.begin()) - 1;
}

// The magic, three characters for the stamp and the item mask's digits up to a caret: an
// order line starts here, its stamp readable or not.
bool StartsOrderLine(const std::string &text, std::size_t position, std::size_t end)
{
    if (text.compare(position, MagicLength, OrderMagic) != 0)
        return false;
    std::size_t i = position + MagicLength + StampLength;
    if (i >= end || !IsDecimalDigit(text[i]))
        return false;
    while (i < end && IsDecimalDigit(text[i]))
        ++i;
    return i < end && text[i] == Caret;
}

// Matches the trailer at from, where wrapping may have broken, added or taken blanks
// between its characters. Returns where it ends, or npos.
std::size_t MatchTrailer(const std::string &text, std::size_t from, const char *skipped)
{
    std::size_t at = from;
    for (const char *t = OrderTrailer; *t != '\0'; ++t) {
        if (*t == ' ')
            continue;
        while (at < text.size() && text[at] != '\0' && std::strchr(skipped, text[at]) != nullptr)
            ++at;
        if (at >= text.size() || text[at] != *t)
            return std::string::npos;
        ++at;
    }
    return at;
}

const char JoinedBlanks[] = " \t\r\n";
const char QuotedBlanks[] = " \t\r\n>";   // the raw text, where quoted lines keep their marks

std::size_t FindTrailer(const std::string &text, std::size_t from, std::size_t &end, const char *skipped)
{
    for (std::size_t at = text.find(OrderTrailer[0], from); at != std::string::npos;
         at = text.find(OrderTrailer[0], at + 1)) {
        end = MatchTrailer(text, at, skipped);
        if (end != std::string::npos)
            return at;
    }
    return std::string::npos;
}

// One line of the text as part of an order line: its content after any quote marks.
struct Piece {
    std::size_t start;
    std::size_t end;
    std::size_t line;
};

struct Joined {
    bool decoded = false;
    std::string text;                       // Windows-1252
    std::vector<std::size_t> rawEnds;       // per character, the text's offset just past it
};

enum class Charset { Utf8, Bytes };

class LineJoiner {
public:
    LineJoiner(const std::string &text, const std::vector<TextLine> &lines,
               const std::vector<Piece> &pieces)
        : m_text(text), m_lines(lines), m_pieces(pieces), m_wrapBreak(MostCommonBreak()) {}

    Joined Join(const Rejoin &rejoin, Charset charset) const
    {
        Joined joined;
        for (std::size_t k = 0; k < m_pieces.size(); ++k) {
            std::size_t start = m_pieces[k].start;
            std::size_t end = m_pieces[k].end;
            const bool last = k + 1 == m_pieces.size();
            if (rejoin.unstuffed && k > 0 && start < end && m_text[start] == ' ')
                ++start;
            if (rejoin.softBreaks && !last && start < end && m_text[end - 1] == ' ')
                --end;
            if (!Append(joined, start, end, charset))
                return joined;
            if (!last)
                AppendBreak(joined, k, rejoin);
        }
        joined.decoded = true;
        return joined;
    }

private:
    // The line break that most of the pieces end with: the one the mail program writes.
    std::string MostCommonBreak() const
    {
        static const char *const Breaks[] = {"\r\n", "\n", "\r"};
        std::size_t counts[3] = {};
        for (std::size_t k = 0; k + 1 < m_pieces.size(); ++k) {
            const TextLine &line = m_lines[m_pieces[k].line];
            for (std::size_t i = 0; i < 3; ++i)
                counts[i] += m_text.compare(line.end, line.next - line.end, Breaks[i]) == 0;
        }
        return Breaks[std::max_element(counts, counts + 3) - counts];
    }

    bool Append(Joined &joined, std::size_t start, std::size_t end, Charset charset) const
    {
        const std::string bytes = m_text.substr(start, end - start);
        if (charset == Charset::Bytes) {
            joined.text += bytes;
            for (std::size_t i = 0; i < bytes.size(); ++i)
                joined.rawEnds.push_back(start + i + 1);
            return true;
        }
        std::string ansi;
        std::vector<std::size_t> ends;
        if (!Utf8ToAnsi(bytes, ansi, &ends))
            return false;
        joined.text += ansi;
        for (std::size_t e : ends)
            joined.rawEnds.push_back(start + e);
        return true;
    }

    void AppendBreak(Joined &joined, std::size_t k, const Rejoin &rejoin) const
    {
        const TextLine &line = m_lines[m_pieces[k].line];
        const bool wrapBreak = m_text.compare(line.end, line.next - line.end, m_wrapBreak) == 0;
        const WrapBreak use = rejoin.ownBreaksKept && !wrapBreak ? WrapBreak::Kept : rejoin.breaks;
        if (use == WrapBreak::Kept) {
            for (std::size_t i = line.end; i < line.next; ++i) {
                joined.text += m_text[i];
                joined.rawEnds.push_back(i + 1);
            }
        } else if (use == WrapBreak::Blank) {
            joined.text += ' ';
            joined.rawEnds.push_back(line.next);
        }
    }

    const std::string &m_text;
    const std::vector<TextLine> &m_lines;
    const std::vector<Piece> &m_pieces;
    const std::string m_wrapBreak;
};

// In order of preference: what mail programs do most, first. A mail program breaks all its
// lines one way; a break of another kind is the line's own.
static const Rejoin RejoinOrder[] = {
    {WrapBreak::Dropped, false, false, false},
    {WrapBreak::Dropped, true, false, false},
    {WrapBreak::Dropped, false, true, false},
    {WrapBreak::Dropped, true, true, false},
    {WrapBreak::Dropped, false, false, true},
    {WrapBreak::Dropped, true, false, true},
    {WrapBreak::Dropped, false, true, true},
    {WrapBreak::Dropped, true, true, true},
    {WrapBreak::Kept, false, false, false},
    {WrapBreak::Blank, false, false, true},
    {WrapBreak::Blank, false, false, false},
};
const Rejoin PlainJoin = RejoinOrder[0];

// What the lines of a candidate hold that a way of joining them acts on: without it, that
// way joins them as the plain one does.
struct PieceTraits {
    bool breaks = false;
    bool leadingBlanks = false;     // a line after the first starts with a blank
    bool trailingBlanks = false;    // a line before the last ends with one
    bool breakKinds = false;        // the lines end in more than one kind of break
    bool highBytes = false;

    bool Changes(const Rejoin &rejoin) const
    {
        return (rejoin.breaks == WrapBreak::Dropped || breaks) && (!rejoin.unstuffed || leadingBlanks)
            && (!rejoin.softBreaks || trailingBlanks) && (!rejoin.ownBreaksKept || breakKinds);
    }
};

struct Fit {
    Rejoin rejoin;
    Charset charset;
    std::string line;
    bool trailer;
    std::size_t lineRawEnd;     // past the line's last character in the text
    std::size_t rawEnd;         // past the trailer, or past the line without one
};

class OrderFinder {
public:
    explicit OrderFinder(const MailText &source)
        : m_source(source), m_text(source.bytes), m_lines(SplitLines(m_text)) {}

    std::vector<OrderReading> Run()
    {
        std::size_t from = 0;
        for (std::size_t at = m_text.find(OrderMagic); at != std::string::npos;
             at = m_text.find(OrderMagic, from)) {
            const std::size_t lineIndex = LineIndexOf(m_lines, at);
            from = at + MagicLength;
            if (StartsOrderLine(m_text, at, m_lines[lineIndex].end))
                from = std::max(from, ReadCandidate(at, lineIndex));
        }
        ReportLoneTrailers();
        std::stable_sort(m_readings.begin(), m_readings.end(),
                         [](const OrderReading &a, const OrderReading &b) { return a.offset < b.offset; });
        return std::move(m_readings);
    }

private:
    std::vector<Charset> CharsetOrder() const
    {
        if (m_source.charset == TextCharset::SingleByte)
            return {Charset::Bytes, Charset::Utf8};
        return {Charset::Utf8, Charset::Bytes};
    }

    OrderReading NewReading(std::size_t at, std::size_t lineIndex) const
    {
        OrderReading reading;
        reading.offset = at;
        reading.lineNumber = m_source.firstLine + lineIndex;
        reading.inDecodedPart = m_source.decoded;
        reading.lineCount = 1;
        return reading;
    }

    // Reads the candidate that starts at; returns where the search for the next one goes on.
    std::size_t ReadCandidate(std::size_t at, std::size_t lineIndex)
    {
        OrderReading reading = NewReading(at, lineIndex);
        const bool stamped = ReadStamp(m_text, at, reading.stamp);
        if (!stamped)
            reading.problem = LineProblem::StampNotDigits;
        const std::vector<Piece> pieces =
            CollectPieces(at, lineIndex, stamped ? reading.stamp : OrderLineLimit, reading);
        if (stamped && ReadWhole(pieces, reading)) {
            const std::size_t end = m_consumed.back().second;
            m_readings.push_back(std::move(reading));
            return end;
        }
        Diagnose(pieces, reading);
        m_readings.push_back(std::move(reading));
        return at + MagicLength;
    }

    // A text is in one character set: each is tried on its own, the likelier first, and a
    // join that ends in the trailer beats one that stops at the stamp's length.
    bool ReadWhole(const std::vector<Piece> &pieces, OrderReading &reading)
    {
        const LineJoiner joiner(m_text, m_lines, pieces);
        const PieceTraits traits = TraitsOf(pieces);
        std::vector<std::vector<Fit>> fitsByCharset;
        for (Charset charset : CharsetOrder()) {
            // Without a byte above 0x7F both character sets read the same.
            if (charset == Charset::Utf8 && !traits.highBytes)
                continue;
            std::vector<Fit> fits;
            for (const Rejoin &rejoin : RejoinOrder) {
                if (!traits.Changes(rejoin))
                    continue;
                const Joined joined = joiner.Join(rejoin, charset);
                if (joined.decoded)
                    AddFit(joined, rejoin, charset, reading.stamp, fits);
            }
            fitsByCharset.push_back(std::move(fits));
        }
        std::size_t trailerEnd = 0;
        for (bool withTrailer : {true, false}) {
            // A trailer further on says the line went on: it did not stop at the stamp.
            if (!withTrailer && LaterTrailer(reading.offset, trailerEnd))
                break;
            for (const std::vector<Fit> &fits : fitsByCharset)
                if (Choose(fits, withTrailer, reading, pieces))
                    return true;
        }
        return false;
    }

    PieceTraits TraitsOf(const std::vector<Piece> &pieces) const
    {
        PieceTraits traits;
        traits.breaks = pieces.size() > 1;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const Piece &piece = pieces[k];
            const bool empty = piece.start == piece.end;
            traits.leadingBlanks |= k > 0 && !empty && m_text[piece.start] == ' ';
            traits.trailingBlanks |= k + 1 < pieces.size() && !empty && m_text[piece.end - 1] == ' ';
            for (std::size_t i = piece.start; i < piece.end && !traits.highBytes; ++i)
                traits.highBytes = static_cast<unsigned char>(m_text[i]) >= 0x80;
        }
        traits.breakKinds = pieces.size() > 1 && BreakKinds(pieces.front().line, pieces.back().line) > 1;
        return traits;
    }

    // The line with the magic and the lines after it that may continue it, enough for
    // length characters and the trailer.
    std::vector<Piece> CollectPieces(std::size_t at, std::size_t lineIndex, std::size_t length,
                                     OrderReading &reading) const
    {
        const TextLine &first = m_lines[lineIndex];
        std::size_t depth = 0;
        std::size_t i = first.start;
        while (i < at && (m_text[i] == '>' || m_text[i] == ' ' || m_text[i] == '\t'))
            depth += m_text[i++] == '>';
        // The quoting that put a blank after its marks on this line did so on every line.
        const bool quoteBlank = depth > 0 && i > first.start && m_text[i - 1] == ' ';
        reading.quoteDepth = depth;

        std::vector<Piece> pieces = {{at, first.end, lineIndex}};
        std::size_t collected = CharacterCount(at, first.end);
        const std::size_t wanted = length + TrailerLength;
        for (std::size_t next = lineIndex + 1;
             next < m_lines.size() && collected < wanted + pieces.size() && pieces.size() < PieceLimit;
             ++next) {
            std::size_t start = m_lines[next].start;
            const std::size_t end = m_lines[next].end;
            if (depth > 0 && !StripQuote(start, end, depth, quoteBlank))
                break;
            if (StartsOrderLine(m_text, start, end))
                break;
            pieces.push_back({start, end, next});
            collected += CharacterCount(start, end);
        }
        return pieces;
    }

    // At most the characters the bytes make in either character set: UTF-8 continuation
    // bytes are not counted.
    std::size_t CharacterCount(std::size_t start, std::size_t end) const
    {
        std::size_t count = 0;
        for (std::size_t i = start; i < end; ++i)
            count += (static_cast<unsigned char>(m_text[i]) & 0xC0) != 0x80;
        return count;
    }

    bool StripQuote(std::size_t &start, std::size_t end, std::size_t depth, bool quoteBlank) const
    {
        std::size_t i = start;
        for (std::size_t mark = 0; mark < depth; ++mark) {
            while (i < end && (m_text[i] == ' ' || m_text[i] == '\t'))
                ++i;
            if (i >= end || m_text[i] != '>')
                return false;
            ++i;
        }
        if (quoteBlank && i < end && m_text[i] == ' ')
            ++i;
        start = i;
        return true;
    }

    static void AddFit(const Joined &joined, const Rejoin &rejoin, Charset charset, std::size_t stamp,
                       std::vector<Fit> &fits)
    {
        if (stamp == 0 || joined.text.size() < stamp || joined.text[stamp - 1] != Caret)
            return;
        const std::size_t trailerEnd = MatchTrailer(joined.text, stamp, JoinedBlanks);
        const bool trailer = trailerEnd != std::string::npos;
        fits.push_back({rejoin, charset, joined.text.substr(0, stamp), trailer,
                        joined.rawEnds[stamp - 1], joined.rawEnds[(trailer ? trailerEnd : stamp) - 1]});
    }

    // The first join with a trailer wins; without one, the first whose line reads whole.
    bool Choose(const std::vector<Fit> &fits, bool withTrailer, OrderReading &reading,
                const std::vector<Piece> &pieces)
    {
        const Fit *chosen = nullptr;
        for (const Fit &fit : fits) {
            if (fit.trailer != withTrailer)
                continue;
            OrderReading trial;
            DecodeOrderLine(fit.line, trial);
            if (withTrailer || trial.Valid()) {
                chosen = &fit;
                break;
            }
        }
        if (chosen == nullptr)
            return false;
        for (const Fit &fit : fits) {
            if (fit.trailer == withTrailer && fit.line != chosen->line
                && std::find(reading.otherLines.begin(), reading.otherLines.end(), fit.line)
                       == reading.otherLines.end())
                reading.otherLines.push_back(fit.line);
        }
        const std::size_t firstLine = pieces.front().line;
        const std::size_t lastLine = LineIndexOf(m_lines, chosen->lineRawEnd - 1);
        reading.lineCount = LineIndexOf(m_lines, chosen->rawEnd - 1) - firstLine + 1;
        reading.mixedBreaks = BreakKinds(firstLine, LineIndexOf(m_lines, chosen->rawEnd - 1)) > 1;
        const bool whole = lastLine == firstLine;
        if (!whole)
            reading.rejoin = chosen->rejoin;
        reading.fromUtf8 = chosen->charset == Charset::Utf8;
        reading.trailerPresent = chosen->trailer;
        reading.stampMatches = true;
        DecodeOrderLine(chosen->line, reading);
        m_consumed.push_back({reading.offset, chosen->rawEnd});
        return true;
    }

    // How many kinds of line break end the lines from first up to, not including, last.
    std::size_t BreakKinds(std::size_t first, std::size_t last) const
    {
        std::vector<std::string> kinds;
        for (std::size_t i = first; i < last; ++i) {
            const std::string kind = m_text.substr(m_lines[i].end, m_lines[i].next - m_lines[i].end);
            if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
                kinds.push_back(kind);
        }
        return kinds.size();
    }

    // Names what is wrong with a line that no join fits. A blank line ends what is looked
    // at: beyond it lies the rest of the mail, not the rest of a cut line.
    void Diagnose(const std::vector<Piece> &pieces, OrderReading &reading)
    {
        std::vector<Piece> paragraph;
        for (const Piece &piece : pieces) {
            if (!paragraph.empty() && piece.start == piece.end)
                break;
            paragraph.push_back(piece);
        }
        const LineJoiner joiner(m_text, m_lines, paragraph);
        Joined joined;
        for (Charset charset : CharsetOrder()) {
            joined = joiner.Join(PlainJoin, charset);
            if (joined.decoded)
                break;
        }
        std::size_t trailerEnd = 0;
        const std::size_t trailer = FindTrailer(joined.text, 0, trailerEnd, JoinedBlanks);
        if (trailer != std::string::npos) {
            reading.NoteProblem(LineProblem::TrailerMisplaced);
            reading.foundLength = trailer;
            reading.line = joined.text.substr(0, trailer);
            reading.trailerPresent = true;
            reading.lineCount = LineIndexOf(m_lines, joined.rawEnds[trailerEnd - 1] - 1) - paragraph.front().line + 1;
            m_consumed.push_back({reading.offset, joined.rawEnds[trailerEnd - 1]});
        } else if (reading.problem == LineProblem::StampNotDigits) {
            reading.line = m_text.substr(paragraph.front().start, paragraph.front().end - paragraph.front().start);
        } else if (joined.text.size() < reading.stamp) {
            reading.problem = LineProblem::Cut;
            reading.foundLength = joined.text.size();
            reading.line = joined.text;
        } else {
            reading.problem = LineProblem::EndMissing;
            reading.line = joined.text.substr(0, reading.stamp);
        }
        ClaimLaterTrailer(reading);
        DecodeOrderLine(reading.line, reading);
    }

    // A trailer further on, before any other order line, that the line's own lines did not
    // reach: they broke where no join can mend, as at line breaks the line holds itself.
    void ClaimLaterTrailer(OrderReading &reading)
    {
        std::size_t end = 0;
        if ((reading.problem != LineProblem::Cut && reading.problem != LineProblem::EndMissing)
            || !LaterTrailer(reading.offset, end))
            return;
        reading.problem = LineProblem::Unjoinable;
        reading.trailerPresent = true;
        reading.lineCount = LineIndexOf(m_lines, end - 1) - LineIndexOf(m_lines, reading.offset) + 1;
        m_consumed.push_back({reading.offset, end});
    }

    // Whether a trailer follows the line at offset, near enough and before another line.
    bool LaterTrailer(std::size_t offset, std::size_t &end) const
    {
        const std::size_t trailer = FindTrailer(m_text, offset, end, QuotedBlanks);
        if (trailer == std::string::npos || end > offset + ClaimWindow)
            return false;
        for (std::size_t at = m_text.find(OrderMagic, offset + 1); at != std::string::npos && at < trailer;
             at = m_text.find(OrderMagic, at + 1))
            if (StartsOrderLine(m_text, at, m_lines[LineIndexOf(m_lines, at)].end))
                return false;
        return true;
    }

    bool Consumed(std::size_t offset) const
    {
        return std::any_of(m_consumed.begin(), m_consumed.end(),
                           [offset](const std::pair<std::size_t, std::size_t> &range) {
                               return offset >= range.first && offset < range.second;
                           });
    }

    void ReportLoneTrailers()
    {
        std::size_t end = 0;
        for (std::size_t at = FindTrailer(m_text, 0, end, QuotedBlanks); at != std::string::npos;
             at = FindTrailer(m_text, end, end, QuotedBlanks)) {
            if (Consumed(at))
                continue;
            OrderReading reading = NewReading(at, LineIndexOf(m_lines, at));
            reading.problem = LineProblem::TrailerAlone;
            reading.trailerPresent = true;
            m_readings.push_back(std::move(reading));
        }
    }

    const MailText &m_source;
    const std::string &m_text;
    const std::vector<TextLine> m_lines;
    std::vector<OrderReading> m_readings;
    std::vector<std::pair<std::size_t, std::size_t>> m_consumed;
};

}  // namespace

std::vector<OrderReading> ReadOrdersInText(const MailText &text)
{
    return OrderFinder(text).Run();
}
