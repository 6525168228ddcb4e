// Drives dialog programs from another process under wine and times them: from
// CreateProcess until the program's window is visible, and one BM_CLICK sent to a check
// box until it returns, which is after the box has ticked, notified its dialog and the
// dialog's handler has run.
//
// Usage: form_probe starts RUNS PROGRAM...
//        form_probe clicks ROUNDS CLICKS PROGRAM:BOX_ID...
// The programs take turns, so drift of the machine falls on all of them alike. Prints
// one line per program and measure: the program's file name, the measure ("start";
// "click", or "query" for a BM_GETCHECK to the same box, the bare cost of a message
// to another process), then the median, lowest and highest time in microseconds and
// the number of samples.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const DWORD FormTimeoutMs = 30000;
const DWORD ExitTimeoutMs = 10000;
const int WarmUpClicks = 51;     // odd, so that they leave the tick turned over

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double MicrosecondsBetween(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

std::string FileName(const std::string &path)
{
    return path.substr(path.find_last_of("\\/") + 1);
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindowOf(HWND window, LPARAM searchAddress)
{
    WindowSearch &search = *reinterpret_cast<WindowSearch *>(searchAddress);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// One started program; closing it is part of going out of scope.
class RunningProgram {
public:
    explicit RunningProgram(const std::string &path)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + path + "\"";
        startTime_ = Now();
        started_ = CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process_) != FALSE;
    }

    ~RunningProgram()
    {
        if (!started_)
            return;
        if (form_)
            PostMessageA(form_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, ExitTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    // Polls every millisecond; returns the microseconds from the start, or -1 when the
    // program ended or timed out first.
    double WaitForForm()
    {
        WindowSearch search = { process_.dwProcessId, NULL };
        while (started_) {
            EnumWindows(FindVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
            const LARGE_INTEGER now = Now();
            if (search.found) {
                form_ = search.found;
                return MicrosecondsBetween(startTime_, now);
            }
            if (MicrosecondsBetween(startTime_, now) > FormTimeoutMs * 1e3
                || WaitForSingleObject(process_.hProcess, 1) == WAIT_OBJECT_0)
                break;
        }
        return -1;
    }

    HWND Form() const { return form_; }

private:
    PROCESS_INFORMATION process_ = {};
    LARGE_INTEGER startTime_;
    bool started_ = false;
    HWND form_ = NULL;
};

void PrintSummary(const std::string &program, const char *measure, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t count = values.size();
    const double median = count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
    std::printf("%s %s %.1f %.1f %.1f %zu\n", FileName(program).c_str(), measure, median, values.front(),
                values.back(), count);
}

int Fail(const std::string &message)
{
    std::fprintf(stderr, "form_probe: %s\n", message.c_str());
    return 1;
}

int TimeStarts(int runs, const std::vector<std::string> &programs)
{
    std::vector<std::vector<double>> starts(programs.size());
    // The first round fills the file cache and is not counted.
    for (int run = 0; run <= runs; ++run) {
        for (std::size_t index = 0; index < programs.size(); ++index) {
            RunningProgram running(programs[index]);
            const double microseconds = running.WaitForForm();
            if (microseconds < 0)
                return Fail("no visible window from " + programs[index]);
            if (run > 0)
                starts[index].push_back(microseconds);
        }
    }
    for (std::size_t index = 0; index < programs.size(); ++index)
        PrintSummary(programs[index], "start", starts[index]);
    return 0;
}

struct ClickTarget {
    std::string program;
    int boxId;
    HWND box = NULL;
};

bool IsTicked(HWND box)
{
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

double TimeOneMessage(HWND box, UINT message)
{
    const LARGE_INTEGER before = Now();
    SendMessageA(box, message, 0, 0);
    return MicrosecondsBetween(before, Now());
}

int TimeClicks(int rounds, int clicks, std::vector<ClickTarget> targets)
{
    std::vector<std::unique_ptr<RunningProgram>> running;
    std::vector<std::vector<double>> clickTimes(targets.size());
    std::vector<std::vector<double>> queryTimes(targets.size());
    for (ClickTarget &target : targets) {
        running.push_back(std::make_unique<RunningProgram>(target.program));
        if (running.back()->WaitForForm() < 0)
            return Fail("no visible window from " + target.program);
        target.box = GetDlgItem(running.back()->Form(), target.boxId);
        const bool before = IsTicked(target.box);
        for (int click = 0; click < WarmUpClicks; ++click)
            TimeOneMessage(target.box, BM_CLICK);
        if (IsTicked(target.box) == before)
            return Fail("clicks do not reach box " + std::to_string(target.boxId) + " of " + target.program);
    }
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t index = 0; index < targets.size(); ++index) {
            for (int click = 0; click < clicks; ++click)
                clickTimes[index].push_back(TimeOneMessage(targets[index].box, BM_CLICK));
            for (int query = 0; query < clicks; ++query)
                queryTimes[index].push_back(TimeOneMessage(targets[index].box, BM_GETCHECK));
        }
    }
    for (std::size_t index = 0; index < targets.size(); ++index) {
        PrintSummary(targets[index].program, "click", clickTimes[index]);
        PrintSummary(targets[index].program, "query", queryTimes[index]);
    }
    return 0;
}

bool ParseClickTarget(const std::string &argument, ClickTarget &target)
{
    const std::size_t colon = argument.find_last_of(':');
    if (colon == std::string::npos || colon + 1 == argument.size())
        return false;
    target.program = argument.substr(0, colon);
    target.boxId = std::atoi(argument.c_str() + colon + 1);
    return target.boxId > 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: form_probe starts RUNS PROGRAM...\n"
                         "       form_probe clicks ROUNDS CLICKS PROGRAM:BOX_ID...\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() >= 3 && arguments[0] == "starts") {
        const int runs = std::atoi(arguments[1].c_str());
        if (runs < 1)
            return Usage();
        return TimeStarts(runs, std::vector<std::string>(arguments.begin() + 2, arguments.end()));
    }
    if (arguments.size() >= 4 && arguments[0] == "clicks") {
        const int rounds = std::atoi(arguments[1].c_str());
        const int clicks = std::atoi(arguments[2].c_str());
        std::vector<ClickTarget> targets;
        for (auto argument = arguments.begin() + 3; argument != arguments.end(); ++argument) {
            ClickTarget target;
            if (!ParseClickTarget(*argument, target))
                return Usage();
            targets.push_back(target);
        }
        if (rounds < 1 || clicks < 1)
            return Usage();
        return TimeClicks(rounds, clicks, targets);
    }
    return Usage();
}
