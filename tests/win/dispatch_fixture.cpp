// The dispatch tests' fixture.
#include "dispatch_fixture.h"

#include <cstring>
#include <fstream>

#include "resource.h"

const char Trailer[] = "<=Do not alter anything above this line";

namespace {

const char MailtoCommandKey[] = "mailto\\shell\\open\\command";

std::string BesideThisTest(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string beside(path);
    return beside.substr(0, beside.find_last_of('\\') + 1) + name;
}

int HexValue(char digit)
{
    return digit <= '9' ? digit - '0' : (digit & ~0x20) - 'A' + 10;
}

std::string PercentDecode(const std::string &encoded)
{
    std::string decoded;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
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

} // namespace

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

// The body of a mailto: URL as the mail client shows it, in the form's code page.
std::string MailBody(const std::string &url)
{
    size_t body = url.find("&body=");
    return body == std::string::npos ? std::string() : Utf8ToAnsi(PercentDecode(url.substr(body + 6)));
}

std::string DispatchTest::savedHandler_;

void DispatchTest::SetUpTestSuite()
{
    char saved[MAX_PATH * 2] = "";
    LONG size = sizeof saved;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, MailtoCommandKey, saved, &size) == ERROR_SUCCESS)
        savedHandler_ = saved;
}

void DispatchTest::TearDownTestSuite()
{
    if (!savedHandler_.empty())
        RegisterMailClient(savedHandler_);
}

void DispatchTest::RegisterMailClient(const std::string &command)
{
    RegSetValueA(HKEY_CLASSES_ROOT, MailtoCommandKey, REG_SZ, command.c_str(),
                 static_cast<DWORD>(command.size()));
}

void DispatchTest::UnregisterMailClient()
{
    RegDeleteKeyA(HKEY_CLASSES_ROOT, MailtoCommandKey);
}

void DispatchTest::SetUp()
{
    LiveForm::SetUp();
    captureLog_ = BesideThisTest("mail_capture.log");
    DeleteFileA(captureLog_.c_str());
    RegisterMailClient("\"" + BesideThisTest("mail_capture.exe") + "\" \"%1\"");
    WriteClipboard("before");
}

std::vector<std::string> DispatchTest::WaitForMails(size_t count) const
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

void DispatchTest::FillAllFields(const char *text) const
{
    for (int id : { IDC_EXPIRY_DATE, IDC_NAME, IDC_ADDRESS, IDC_PHONE, IDC_EMAIL, IDC_COMMENTS })
        SetText(id, text);
}
