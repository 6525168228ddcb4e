// The real order form, created from its template with its controller, for tests that
// drive it with real messages.
#ifndef LIVE_FORM_H
#define LIVE_FORM_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

std::string WindowText(HWND window);

// Handles what arrived in the queue, as the program's loop would.
void PumpMessages(HWND dialog);

// Feeds one key press to the dialog manager, as the message loop does.
void PressKey(HWND dialog, WPARAM key);

class LiveForm : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Item(int id) const { return GetDlgItem(form_, id); }
    void Click(int id) const;
    void Notify(int id, int code) const;
    bool IsTicked(int id) const;
    void SetTicked(int id, bool ticked) const;
    std::string Text(int id) const { return WindowText(Item(id)); }
    void SetText(int id, const char *text) const;
    bool IsShown(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    HWND Focus() const { return GetFocus(); }

    HWND form_ = NULL;
};

#endif
