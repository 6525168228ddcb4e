// Sending the order from the live form: the clipboard, the mail client and the guard.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch_fixture.h"
#include "resource.h"

namespace {

TEST_F(DispatchTest, SendOrderCopiesTheLineWithItsTrailerAndMailsTheSameText)
{
    MessageBoxWatch watch({});
    Click(IDC_SEND_ORDER);
    std::string expected = std::string("X26040128^39.00^30730555^82223571^^^^^^^") + Trailer;
    EXPECT_EQ(ReadClipboard(), expected);
    EXPECT_EQ(Text(IDC_STAGING), expected);

    std::vector<std::string> mails = WaitForMails(1);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].rfind("mailto:sales@example.com?subject=Tessaro%20Order&body=X26040128%5E39.00%5E", 0), 0u)
        << mails[0];
    EXPECT_EQ(MailBody(mails[0]), expected);
    EXPECT_TRUE(watch.boxes().empty());
}

// A space scrambles to "&" and "%" to "#", then "="; the body must still arrive whole.
TEST_F(DispatchTest, MailBodyEqualsTheClipboardWhateverTheFieldsHold)
{
    MessageBoxWatch watch({});
    SetText(IDC_NAME, "Ren\xE9 O'Hare & Co ?=%#");
    SetText(IDC_ADDRESS, "1 Main St\r\nSpringfield");
    SetText(IDC_COMMENTS, "50% off? \x01");
    Click(IDC_SEND_ORDER);

    std::vector<std::string> mails = WaitForMails(1);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].find_first_of(" &#?", mails[0].find("&body=") + 6), std::string::npos) << mails[0];
    EXPECT_EQ(MailBody(mails[0]), ReadClipboard());
    EXPECT_NE(mails[0].find("%C3"), std::string::npos) << "the ANSI letter travels as UTF-8";
}

TEST_F(DispatchTest, OrderTooLongForTheUrlOpensAMailWithoutBody)
{
    MessageBoxWatch watch({});
    FillAllFields(std::string(200, 'w').c_str());
    Click(IDC_SEND_ORDER);

    std::vector<std::string> mails = WaitForMails(1);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0], "mailto:sales@example.com?subject=Tessaro%20Order");
    std::string clipboard = ReadClipboard();
    EXPECT_EQ(clipboard.size(), 40u + 6 * 149 + 39);
    EXPECT_EQ(clipboard.substr(3, 3), std::to_string(40 + 6 * 149));
}

TEST_F(DispatchTest, EnterInATextFieldPressesSendOrder)
{
    MessageBoxWatch watch({});
    SetFocus(Item(IDC_NAME));
    PressKey(form_, VK_RETURN);
    EXPECT_EQ(WaitForMails(1).size(), 1u);
    EXPECT_EQ(ReadClipboard(), std::string("X26040128^39.00^30730555^82223571^^^^^^^") + Trailer);
}

TEST_F(DispatchTest, SendingTwiceWithoutAChangeGivesTheSameText)
{
    MessageBoxWatch watch({});
    SetText(IDC_NAME, "Ann");
    Click(IDC_SEND_ORDER);
    std::string first = ReadClipboard();
    Click(IDC_SEND_ORDER);
    std::vector<std::string> mails = WaitForMails(2);
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0], mails[1]);
    EXPECT_EQ(ReadClipboard(), first);
}

struct GuardCase {
    const char *name;
    bool baseProgram;
    std::vector<std::string> messages;
};

class GuardTest : public DispatchTest, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(GuardTest, BothUpgradesAreRefusedWithNothingCopiedOrMailed)
{
    MessageBoxWatch watch({ IDOK, IDOK });
    SetTicked(IDC_BASE_PROGRAM, GetParam().baseProgram);
    SetTicked(IDC_UPGRADE_98, true);
    SetTicked(IDC_UPGRADE_OLD, true);
    Click(IDC_SEND_ORDER);

    std::vector<std::string> texts;
    for (const MessageBoxRecord &box : watch.boxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.buttons, (std::vector<int>{ IDOK }));
        texts.push_back(box.text);
    }
    EXPECT_EQ(texts, GetParam().messages);
    EXPECT_EQ(ReadClipboard(), "before");
    EXPECT_EQ(Text(IDC_STAGING), "");

    SetTicked(IDC_UPGRADE_OLD, false);
    Click(IDC_SEND_ORDER);
    EXPECT_EQ(WaitForMails(1).size(), 1u) << "only the send that passed the guard mails";
}

INSTANTIATE_TEST_SUITE_P(Guard, GuardTest, ::testing::Values(
    GuardCase{ "WithoutBaseProgram", false, { "Only one upgrade is needed, both are checked" } },
    GuardCase{ "WithBaseProgram", true, { "Only one upgrade is needed, both are checked",
                                          "The base program is not normally needed for an upgrade" } }),
    [](const ::testing::TestParamInfo<GuardCase> &info) { return info.param.name; });

TEST_F(DispatchTest, OneUpgradeWithTheBaseProgramIsSentWithoutAMessage)
{
    MessageBoxWatch watch({});
    Click(IDC_UPGRADE_98);
    Click(IDC_SEND_ORDER);
    EXPECT_EQ(WaitForMails(1).size(), 1u);
    EXPECT_TRUE(watch.boxes().empty());
}

TEST_F(DispatchTest, AolButtonShowsItsInstructionsAndOnlyCopies)
{
    MessageBoxWatch watch({ IDOK });
    Click(IDC_AOL);
    ASSERT_EQ(watch.boxes().size(), 1u);
    EXPECT_EQ(watch.boxes()[0].caption, "Instructions");
    EXPECT_EQ(watch.boxes()[0].text,
              "Instructions:\nStart a regular email through AOL, entering sales@example.com in the 'Send To:' "
              "field.  Click in the area where you normally type in the message, then press CTRL-V key "
              "combination to paste in the encrypted text.");
    std::string copied = ReadClipboard();
    EXPECT_EQ(copied, std::string("X26040128^39.00^30730555^82223571^^^^^^^") + Trailer);

    SetText(IDC_NAME, "Ann");
    Click(IDC_SEND_ORDER);
    std::vector<std::string> mails = WaitForMails(1);
    ASSERT_EQ(mails.size(), 1u) << "the AOL send opened no mail; the next Send Order does";
    EXPECT_EQ(MailBody(mails[0]), ReadClipboard());
}

TEST_F(DispatchTest, RefusedAolSendLeavesTheNextSendOrderToOpenTheMail)
{
    MessageBoxWatch watch({ IDOK, IDOK, IDOK });
    SetTicked(IDC_UPGRADE_98, true);
    SetTicked(IDC_UPGRADE_OLD, true);
    Click(IDC_AOL);
    EXPECT_EQ(watch.boxes().size(), 3u);
    SetTicked(IDC_UPGRADE_98, false);
    Click(IDC_SEND_ORDER);
    EXPECT_EQ(WaitForMails(1).size(), 1u);
}

TEST_F(DispatchTest, WithoutAMailProgramTheCustomerIsToldAndTheOrderIsOnTheClipboard)
{
    UnregisterMailClient();
    MessageBoxWatch watch({ IDOK });
    Click(IDC_SEND_ORDER);
    ASSERT_EQ(watch.boxes().size(), 1u);
    EXPECT_EQ(watch.boxes()[0].caption, "Error");
    EXPECT_NE(watch.boxes()[0].text.find("sales@example.com"), std::string::npos) << watch.boxes()[0].text;
    EXPECT_NE(watch.boxes()[0].text.find("clipboard"), std::string::npos) << watch.boxes()[0].text;
    EXPECT_EQ(ReadClipboard(), std::string("X26040128^39.00^30730555^82223571^^^^^^^") + Trailer);
}

} // namespace
