// The form filled past every limit still sends a well-formed order that the vendor can read.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dispatch_fixture.h"
#include "order_reader.h"
#include "resource.h"

namespace {

// Every byte a field can hold, control characters and high-bit letters included.
std::string EveryFieldByte(size_t length)
{
    std::string text;
    for (size_t i = 0; text.size() < length; ++i)
        text += static_cast<char>(1 + i % 255);
    return text;
}

TEST_F(DispatchTest, FieldsOfThirtyTwoThousandCharactersGiveAWellFormedReadableOrder)
{
    MessageBoxWatch watch({});
    const std::string text = EveryFieldByte(32000);
    for (int id : { IDC_EXPIRY_DATE, IDC_NAME, IDC_ADDRESS, IDC_PHONE, IDC_EMAIL })
        SetText(id, text.c_str());
    WriteClipboard(text.c_str());
    SetFocus(Item(IDC_COMMENTS));
    SendMessageA(Item(IDC_COMMENTS), WM_PASTE, 0, 0);
    ASSERT_GT(GetWindowTextLengthA(Item(IDC_COMMENTS)), 149);

    Click(IDC_SEND_ORDER);
    const std::string copied = ReadClipboard();
    std::vector<OrderReading> orders = ReadOrders(copied);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_TRUE(orders[0].stampMatches);
    EXPECT_TRUE(orders[0].trailerPresent);
    EXPECT_EQ(orders[0].line + Trailer, copied);

    std::vector<std::string> mails = WaitForMails(1);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0], "mailto:sales@example.com?subject=Tessaro%20Order");
    EXPECT_TRUE(watch.boxes().empty());
}

} // namespace
