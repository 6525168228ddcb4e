// Stands in for the customer's mail client: appends the URL it was started on to a log
// beside it, one line a start, so a test sees every mail the form opened.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string log(path);
    log = log.substr(0, log.find_last_of('\\') + 1) + "mail_capture.log";
    FILE *file = std::fopen(log.c_str(), "ab");
    if (!file)
        return 1;
    std::fprintf(file, "%s\n", __argc > 1 ? __argv[1] : "");
    std::fclose(file);
    return 0;
}
