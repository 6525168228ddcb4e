// Sending the order from the live form: the clipboard, the mail client and the guard.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "live_form.h"
#include "message_box_watch.h"
#include "resource.h"

namespace {

const char Trailer[] = "<=Do not alter anything above this line";
const char MailtoCommandKey[] = "mailto\\shell\\open\\command";

std::string BesideThisTest(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string beside(path);
    return beside.substr(0, beside.find_last_of('\\') + 1) + name;
}

std::string ReadClipboard()
{
    std::string text;
    for (int tries = 0; tries < 20 && !OpenClipboard(NULL); ++tries)
        Sleep(5);   // another process may hold the clipboard for a moment
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char *>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void WriteClipboard(const char *text)
{
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    strcpy(static_cast<char *>(GlobalLock(data)), text);
    GlobalUnlock(data);
    SetClipboardData(CF_TEXT, data);
    CloseClipboard();
}

int HexValue(char digit)
{
    return digit <= '9' ? digit - '0' : (digit & ~0x20) - 'A' + 10;
}

std::string PercentDecode(const std::string &encoded)
{
    std::string decoded;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() + 0) {
            decoded += static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
            i += 2;
        } else {
            decoded += encoded[i];
        }
    }
    return decoded;
}

std::string Utf8ToAnsi(const std::string &utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1);
    std::string ansi(wide.size() * 2 + 1, '\0');
    ansi.resize(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], static_cast<int>(ansi.size()),
                                    NULL, NULL) - 1);
    return ansi;
}

// The body of a mailto: URL as the mail client shows it, in the form's code page.
std::string MailBody(const std::string &url)
{
    size_t body = url.find("&body=");
    return body == std::string::npos ? std::string() : Utf8ToAnsi(PercentDecode(url.substr(body + 6)));
}

class DispatchTest : public LiveForm {
protected:
    static void SetUpTestSuite()
    {
        char saved[MAX_PATH * 2] = "";
        LONG size = sizeof saved;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, MailtoCommandKey, saved, &size) == ERROR_SUCCESS)
            savedHandler_ = saved;
    }

    static void TearDownTestSuite()
    {
        if (!savedHandler_.empty())
            RegisterMailClient(savedHandler_);
    }

    static void RegisterMailClient(const std::string &command)
    {
        RegSetValueA(HKEY_CLASSES_ROOT, MailtoCommandKey, REG_SZ, command.c_str(),
                     static_cast<DWORD>(command.size()));
    }

    static void UnregisterMailClient() { RegDeleteKeyA(HKEY_CLASSES_ROOT, MailtoCommandKey); }

    void SetUp() override
    {
        LiveForm::SetUp();
        DeleteFileA(captureLog_.c_str());
        RegisterMailClient("\"" + BesideThisTest("mail_capture.exe") + "\" \"%1\"");
        WriteClipboard("before");
    }

    // Waits, pumping messages, until the stand-in mail client has logged that many mails.
    std::vector<std::string> WaitForMails(size_t count) const
    {
        std::vector<std::string> mails;
        for (int tries = 0; tries < 200 && mails.size() < count; ++tries) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
            PumpMessages(form_);
            mails.clear();
            std::ifstream log(captureLog_.c_str());
            for (std::string line; std::getline(log, line);)
                mails.push_back(line);
        }
        return mails;
    }

    void FillAllFields(const char *text) const
    {
        for (int id : { IDC_EXPIRY_DATE, IDC_NAME, IDC_ADDRESS, IDC_PHONE, IDC_EMAIL, IDC_COMMENTS })
            SetText(id, text);
    }

    std::string captureLog_ = BesideThisTest("mail_capture.log");
    static std::string savedHandler_;
};

std::string DispatchTest::savedHandler_;

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
