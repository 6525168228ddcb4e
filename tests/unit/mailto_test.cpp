// Unit tests of the mailto: URL: percent-encoding, the length limit and a whole order.
#include "mailto.h"
#include "order_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const char Address[] = "sales@example.com";
const char Subject[] = "Tessaro Order";
const std::string WithoutBody = "mailto:sales@example.com?subject=Tessaro%20Order";
const std::string BodyPrefix = WithoutBody + "&body=";

struct Url {
    MailtoResult result;
    std::string text;
};

Url Build(const std::string &body, const char *address = Address)
{
    // Exactly the promised size, so that AddressSanitizer sees any overrun.
    std::unique_ptr<char[]> url(new char[MailtoUrlSize]);
    const MailtoResult result = BuildMailtoUrl(address, Subject, body.c_str(), url.get());
    return {result, url.get()};
}

struct EncodingCase {
    const char *body;
    const char *encoded;
};

const EncodingCase EncodingCases[] = {
    {" ", "%20"}, {"&", "%26"}, {"%", "%25"}, {"#", "%23"}, {"?", "%3F"}, {"=", "%3D"},
    {"+", "%2B"}, {"/", "%2F"}, {":", "%3A"}, {"@", "%40"}, {"^", "%5E"}, {"{", "%7B"},
    {"}", "%7D"}, {"<", "%3C"}, {"`", "%60"}, {"!", "%21"}, {"*", "%2A"}, {"'", "%27"},
    {"AZaz09-._~", "AZaz09-._~"},
    {"\xC3\xA9", "%C3%A9"},             // UTF-8 e acute: upper-case hex, byte by byte
    {"\r\n\x01\x7F\xFF", "%0D%0A%01%7F%FF"},
    {"", ""},
};

TEST(MailtoTest, BodyBytesOutsideTheUnreservedSetArePercentEncoded)
{
    for (const EncodingCase &c : EncodingCases) {
        const Url url = Build(c.body);
        EXPECT_EQ(url.result, MailtoResult::WithBody) << c.body;
        EXPECT_EQ(url.text, BodyPrefix + c.encoded) << c.body;
    }
}

struct LimitCase {
    std::string body;
    std::string url;
    const char *what;
};

// The prefix takes 54 characters, so 846 characters of encoded body reach the limit exactly.
const LimitCase LimitCases[] = {
    {std::string(845, 'a'), BodyPrefix + std::string(845, 'a'), "899 characters"},
    {std::string(846, 'a'), BodyPrefix + std::string(846, 'a'), "900 characters"},
    {std::string(847, 'a'), WithoutBody, "901 characters"},
    {std::string(843, 'a') + " ", BodyPrefix + std::string(843, 'a') + "%20",
     "900 characters, encoding counted"},
    {std::string(844, 'a') + " ", WithoutBody, "901 characters, encoding counted"},
    {std::string(300, '^'), WithoutBody, "300 bytes encoded into 900 characters"},
};

TEST(MailtoTest, BodyIsLeftOutBeyondTheLimit)
{
    ASSERT_EQ(BodyPrefix.size(), 54u);
    for (const LimitCase &c : LimitCases) {
        const Url url = Build(c.body);
        const MailtoResult expected =
            c.url == WithoutBody ? MailtoResult::WithoutBody : MailtoResult::WithBody;
        EXPECT_EQ(url.result, expected) << c.what;
        EXPECT_EQ(url.text, c.url) << c.what;
        EXPECT_LE(url.text.size(), MailtoUrlLimit) << c.what;
    }
}

TEST(MailtoTest, WholeOrderGoesIntoTheBody)
{
    const Url url = Build("X26087128^39.00^30730555^82223571^74)43^Ghh&Jcc^74&Kgoh&Ur{}"
                          "Uvtoha`ocjb^333+6766^gFde^^<=Do not alter anything above this line");
    EXPECT_EQ(url.result, MailtoResult::WithBody);
    EXPECT_EQ(url.text, BodyPrefix
              + "X26087128%5E39.00%5E30730555%5E82223571%5E74%2943%5EGhh%26Jcc%5E74%26Kgoh%26Ur"
                "%7B%7DUvtoha%60ocjb%5E333%2B6766%5EgFde%5E%5E%3C%3DDo%20not%20alter%20anything"
                "%20above%20this%20line");
}

TEST(MailtoTest, OrderTooLongForTheLimitKeepsRecipientAndSubject)
{
    const std::string field(149, 'a');
    const char *text = field.c_str();
    const OrderValues values = {0, "0.00", "", {text, text, text, text, text, text}};
    std::unique_ptr<char[]> order(new char[OrderTextSize]);
    BuildOrderLine(values, order.get());
    AppendTrailer(order.get());

    const Url url = Build(order.get());
    EXPECT_EQ(url.result, MailtoResult::WithoutBody);
    EXPECT_EQ(url.text, WithoutBody);
}

TEST(MailtoTest, NoUrlWhenAddressAndSubjectExceedTheLimit)
{
    const std::string address = std::string(870, 'a') + "@example.com";
    const Url url = Build("x", address.c_str());
    EXPECT_EQ(url.result, MailtoResult::TooLong);
    EXPECT_EQ(url.text, "");
}

}  // namespace
