// Watches the message boxes that the current thread shows and answers each one, so
// tests can drive code that asks the user and then check what it asked.
#ifndef MESSAGE_BOX_WATCH_H
#define MESSAGE_BOX_WATCH_H

#include <windows.h>

#include <deque>
#include <ostream>
#include <set>
#include <string>
#include <vector>

struct MessageBoxRecord {
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // ids of the visible push buttons, ascending (IDOK, IDCANCEL, ...)
    bool hasIcon;
    bool hasOwner;
};

bool operator==(const MessageBoxRecord& a, const MessageBoxRecord& b);
std::ostream& operator<<(std::ostream& out, const MessageBoxRecord& box);

// Installs a CBT hook for the current thread for its lifetime; one watch per thread
// at a time. Each box is answered with the next id from `answers` as if that button
// had been pressed; a box beyond the answers is recorded and ended with result 0,
// so a test that expects fewer boxes fails instead of hanging. Dialogs other than
// message boxes (any with a control other than statics and push buttons) are ignored.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(std::vector<int> answers);
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    const std::vector<MessageBoxRecord>& boxes() const { return boxes_; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND window);
    void Answer(HWND box);

    HHOOK hook_;
    std::deque<int> answers_;
    std::vector<MessageBoxRecord> boxes_;
    std::set<HWND> open_;  // boxes already recorded, so a re-activation is not a new box
};

#endif
