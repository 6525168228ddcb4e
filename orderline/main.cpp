// orderline: reads the order lines in saved mail messages, mail bodies, pasted texts or
// files and reports every order, as plain text or as JSON.
#include "order_report.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

const char UsageText[] =
    "usage: orderline [--json] [FILE...]\n"
    "Reads every order line in each FILE: a saved mail message, a mail body or a pasted\n"
    "order; the standard input when no FILE is given or FILE is \"-\".\n"
    "  --json   one JSON document for scripts instead of plain text\n"
    "  --help   this text\n"
    "Exit status: 0 when at least one order was read whole, 1 when none was, 2 when an\n"
    "option is unknown or a file cannot be read.\n";
const char StandardInputName[] = "standard input";

const int ExitOrderRead = 0;
const int ExitNoOrder = 1;
const int ExitTrouble = 2;

bool ReadAll(std::FILE *file, std::string &data)
{
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        data.append(buffer, count);
    return std::ferror(file) == 0;
}

bool ReadInput(const std::string &path, std::string &data)
{
    if (path == "-")
        return ReadAll(stdin, data);
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    const bool read = ReadAll(file, data);
    std::fclose(file);
    return read;
}

#ifdef _WIN32
UINT g_consoleCodePage;

void RestoreConsole()
{
    SetConsoleOutputCP(g_consoleCodePage);
}
#endif

// Mail arrives with CR LF and may hold a Ctrl-Z: the input is read as bytes. The report is
// UTF-8, like the JSON it may be; the console gets its own code page back at the end.
void PrepareConsole()
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    g_consoleCodePage = GetConsoleOutputCP();
    if (g_consoleCodePage != 0 && SetConsoleOutputCP(CP_UTF8))
        std::atexit(RestoreConsole);
#endif
}

}  // namespace

int main(int argc, char **argv)
{
    PrepareConsole();
    bool json = false;
    bool optionsEnded = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--json") {
            json = true;
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(UsageText, stdout);
            return ExitOrderRead;
        } else {
            std::fprintf(stderr, "orderline: unknown option %s\n%s", argument.c_str(), UsageText);
            return ExitTrouble;
        }
    }
    if (paths.empty())
        paths.push_back("-");

    std::vector<InputOrders> inputs;
    for (const std::string &path : paths) {
        std::string data;
        if (!ReadInput(path, data)) {
            std::fprintf(stderr, "orderline: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
            return ExitTrouble;
        }
        inputs.push_back({path == "-" ? StandardInputName : path, ReadOrders(data)});
    }
    const std::string report = json ? FormatJson(inputs) : FormatPlain(inputs);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return CountValid(inputs) > 0 ? ExitOrderRead : ExitNoOrder;
}
