// The real program, started as its own process, ends with exit code 0 however the form is closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "resource.h"

namespace {

std::string ProgramBesideThisTest()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string program(path);
    return program.substr(0, program.find_last_of('\\') + 1) + "orderform.exe";
}

struct FormFinder {
    DWORD processId;
    HWND form;
};

BOOL CALLBACK FindFormOfProcess(HWND window, LPARAM finderAddress)
{
    FormFinder &finder = *reinterpret_cast<FormFinder *>(finderAddress);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == finder.processId && std::string(caption) == "Order Tessaro v1.26" && IsWindowVisible(window)) {
        finder.form = window;
        return FALSE;
    }
    return TRUE;
}

class RunningProgram {
public:
    RunningProgram()
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + ProgramBesideThisTest() + "\"";
        started_ = CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process_);
    }
    ~RunningProgram()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    HWND WaitForForm() const
    {
        FormFinder finder = { process_.dwProcessId, NULL };
        for (int tries = 0; tries < 300 && !finder.form; ++tries) {
            WaitForInputIdle(process_.hProcess, 100);
            EnumWindows(FindFormOfProcess, reinterpret_cast<LPARAM>(&finder));
        }
        return finder.form;
    }

    DWORD WaitForExit() const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    bool started_;

private:
    PROCESS_INFORMATION process_ = {};
};

struct CloseCase {
    const char *name;
    std::function<void(HWND form)> close;
};

class ProgramExit : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ProgramExit, EndsWithExitCodeZero)
{
    RunningProgram program;
    ASSERT_TRUE(program.started_) << ProgramBesideThisTest();
    HWND form = program.WaitForForm();
    ASSERT_NE(form, (HWND)NULL);
    GetParam().close(form);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

const CloseCase CloseCases[] = {
    { "CancelButton", [](HWND form) { PostMessageA(GetDlgItem(form, IDCANCEL), BM_CLICK, 0, 0); } },
    // The message loop hands the key to the dialog manager, which presses Cancel.
    { "Escape", [](HWND form) { PostMessageA(GetDlgItem(form, IDC_BASE_PROGRAM), WM_KEYDOWN, VK_ESCAPE, 0); } },
    { "CloseBox", [](HWND form) { PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0); } },
};

INSTANTIATE_TEST_SUITE_P(Closing, ProgramExit, ::testing::ValuesIn(CloseCases),
                         [](const ::testing::TestParamInfo<CloseCase> &info) { return info.param.name; });

} // namespace
