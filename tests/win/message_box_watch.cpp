// Records and answers message boxes from a thread-local CBT hook.
#include "message_box_watch.h"

#include <algorithm>

namespace {

const char kDialogClass[] = "#32770";
const char kButtonClass[] = "Button";
const char kStaticClass[] = "Static";
const int kMessageTextId = 0xFFFF;

thread_local MessageBoxWatch* t_activeWatch = nullptr;

std::string WindowText(HWND window)
{
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
    return text;
}

bool HasClass(HWND window, const char* className)
{
    char name[64];
    return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, className) == 0;
}

bool IsPushButton(HWND control)
{
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool IsShown(HWND control)
{
    return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool ShowsIcon(HWND control)
{
    return (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsShown(control) &&
           SendMessageA(control, STM_GETICON, 0, 0) != 0;
}

// Collects a box's contents; `isMessageBox` drops to false at the first control that
// a message box never has.
struct BoxSurvey {
    MessageBoxRecord record{};
    bool isMessageBox = true;
    bool hasText = false;
};

BOOL CALLBACK SurveyControl(HWND control, LPARAM surveyAddress)
{
    BoxSurvey& survey = *reinterpret_cast<BoxSurvey*>(surveyAddress);
    if (HasClass(control, kButtonClass) && IsPushButton(control)) {
        if (IsShown(control)) survey.record.buttons.push_back(GetDlgCtrlID(control));
    } else if (HasClass(control, kStaticClass)) {
        if (GetDlgCtrlID(control) == kMessageTextId) {
            survey.record.text = WindowText(control);
            survey.hasText = true;
        }
        survey.record.hasIcon = survey.record.hasIcon || ShowsIcon(control);
    } else {
        survey.isMessageBox = false;
    }
    return survey.isMessageBox;
}

}  // namespace

bool operator==(const MessageBoxRecord& a, const MessageBoxRecord& b)
{
    return a.caption == b.caption && a.text == b.text && a.buttons == b.buttons && a.hasIcon == b.hasIcon &&
           a.hasOwner == b.hasOwner;
}

std::ostream& operator<<(std::ostream& out, const MessageBoxRecord& box)
{
    out << "{caption \"" << box.caption << "\", text \"" << box.text << "\", buttons";
    for (int id : box.buttons) out << ' ' << id;
    out << (box.hasIcon ? ", icon" : ", no icon");
    return out << (box.hasOwner ? ", owned}" : ", no owner}");
}

MessageBoxWatch::MessageBoxWatch(std::vector<int> answers)
    : hook_(SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId())),
      answers_(answers.begin(), answers.end())
{
    t_activeWatch = this;
}

MessageBoxWatch::~MessageBoxWatch()
{
    UnhookWindowsHookEx(hook_);
    t_activeWatch = nullptr;
}

LRESULT CALLBACK MessageBoxWatch::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    MessageBoxWatch* watch = t_activeWatch;
    if (watch != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE) watch->OnActivate(window);
        if (code == HCBT_DESTROYWND) watch->open_.erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxWatch::OnActivate(HWND window)
{
    if (!HasClass(window, kDialogClass) || open_.count(window) != 0) return;
    BoxSurvey survey;
    EnumChildWindows(window, SurveyControl, reinterpret_cast<LPARAM>(&survey));
    if (!survey.isMessageBox || !survey.hasText) return;
    survey.record.caption = WindowText(window);
    survey.record.hasOwner = GetWindow(window, GW_OWNER) != nullptr;
    std::sort(survey.record.buttons.begin(), survey.record.buttons.end());
    boxes_.push_back(survey.record);
    open_.insert(window);
    Answer(window);
}

void MessageBoxWatch::Answer(HWND box)
{
    if (answers_.empty()) {
        EndDialog(box, 0);
        return;
    }
    PostMessageA(box, WM_COMMAND, answers_.front(), 0);
    answers_.pop_front();
}
