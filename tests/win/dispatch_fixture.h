// Sending orders from the live form: the clipboard, and a stand-in mail client that the
// tests register for mailto: in the test prefix.
#ifndef DISPATCH_FIXTURE_H
#define DISPATCH_FIXTURE_H

#include <windows.h>

#include <string>
#include <vector>

#include "live_form.h"
#include "message_box_watch.h"

extern const char Trailer[];

std::string ReadClipboard();
void WriteClipboard(const char *text);

// The body of a mailto: URL as the mail client shows it, in the form's code page.
std::string MailBody(const std::string &url);

class DispatchTest : public LiveForm {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static void RegisterMailClient(const std::string &command);
    static void UnregisterMailClient();

    void SetUp() override;

    // Waits, pumping messages, until the stand-in mail client has logged that many mails.
    std::vector<std::string> WaitForMails(size_t count) const;

    void FillAllFields(const char *text) const;

    std::string captureLog_;
    static std::string savedHandler_;
};

#endif
