// dalvex.dll as an outside caller meets it: loaded at run time, every export bound by
// name, each result and last-error value compared with the Win32 call it wraps.
#include "dalvex.h"
#include "message_box_watch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const char kLibraryName[] = "dalvex.dll";
const char kVersionText[] = "1.12";
const DWORD kUntouchedError = 0x0DA1E5;  // no Win32 call sets this, so it shows who set the last error
const char kSentinel = '\x7E';
const char kLongName[] = "a directory with a long name";

struct Exports {
    decltype(&CreateLongPath) createLongPath;
    decltype(&LongToShortPath) longToShortPath;
    decltype(&GetVersionNumber) getVersionNumber;
    decltype(&DisplayVersionNumber) displayVersionNumber;
};

template <typename Function>
Function Bind(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

bool IsDirectory(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string CreateFreshTempDirectory()
{
    char tempPath[MAX_PATH];
    GetTempPathA(MAX_PATH, tempPath);
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string dir = std::string(tempPath) + "dalvex-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(++serial);
        if (CreateDirectoryA(dir.c_str(), nullptr)) return dir;
    }
    return std::string();
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

class DalvexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        library_ = LoadLibraryA(kLibraryName);
        ASSERT_NE(nullptr, library_) << kLibraryName << " did not load, error " << GetLastError();
        dll_ = Exports{Bind<decltype(dll_.createLongPath)>(library_, "CreateLongPath"),
                       Bind<decltype(dll_.longToShortPath)>(library_, "LongToShortPath"),
                       Bind<decltype(dll_.getVersionNumber)>(library_, "GetVersionNumber"),
                       Bind<decltype(dll_.displayVersionNumber)>(library_, "DisplayVersionNumber")};
        ASSERT_NE(nullptr, dll_.createLongPath);
        ASSERT_NE(nullptr, dll_.longToShortPath);
        ASSERT_NE(nullptr, dll_.getVersionNumber);
        ASSERT_NE(nullptr, dll_.displayVersionNumber);
        temp_ = CreateFreshTempDirectory();
        ASSERT_FALSE(temp_.empty()) << "no fresh temporary directory";
    }

    void TearDown() override
    {
        if (!temp_.empty()) RemoveTree(temp_);
        if (library_ != nullptr) FreeLibrary(library_);
    }

    std::string InTemp(const char* relativePath) const { return temp_ + "\\" + relativePath; }

    HMODULE library_ = nullptr;
    Exports dll_{};
    std::string temp_;
};

TEST_F(DalvexTest, GetVersionNumberWritesExactlyTheVersionAndItsNul)
{
    char buffer[16];
    std::memset(buffer, kSentinel, sizeof buffer);
    SetLastError(kUntouchedError);

    EXPECT_EQ(4, dll_.getVersionNumber(buffer));

    EXPECT_EQ(0, std::memcmp(buffer, kVersionText, sizeof kVersionText));
    for (size_t i = sizeof kVersionText; i < sizeof buffer; ++i) {
        EXPECT_EQ(kSentinel, buffer[i]) << "byte " << i;
    }
    EXPECT_EQ(kUntouchedError, GetLastError());
}

TEST_F(DalvexTest, CreateLongPathCreatesTheDirectoryLeavingTheLastErrorAsCreateDirectoryDoes)
{
    const std::string viaWin32 = InTemp("created directly");
    const std::string viaLibrary = InTemp(kLongName);

    SetLastError(kUntouchedError);
    BOOL expected = CreateDirectoryA(viaWin32.c_str(), nullptr);
    DWORD expectedError = GetLastError();
    SetLastError(kUntouchedError);
    BOOL result = dll_.createLongPath(viaLibrary.c_str());

    EXPECT_EQ(expected, result);
    EXPECT_NE(0, result);
    EXPECT_EQ(expectedError, GetLastError());
    EXPECT_TRUE(IsDirectory(viaLibrary));
}

TEST_F(DalvexTest, CreateLongPathPassesRefusalsThrough)
{
    struct Case {
        const char* name;
        const char* existingDirectory;  // made before the call, or null
        const char* path;
        DWORD error;
        const char* mustNotExist;  // or null
    };
    static const Case kCases[] = {
        {"directory exists", "already here", "already here", ERROR_ALREADY_EXISTS, nullptr},
        {"parent missing", nullptr, "missing parent\\child", ERROR_PATH_NOT_FOUND, "missing parent"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.existingDirectory != nullptr) {
            ASSERT_TRUE(CreateDirectoryA(InTemp(c.existingDirectory).c_str(), nullptr));
        }

        SetLastError(kUntouchedError);
        EXPECT_EQ(0, dll_.createLongPath(InTemp(c.path).c_str()));
        EXPECT_EQ(c.error, GetLastError());
        if (c.mustNotExist != nullptr) {
            EXPECT_FALSE(Exists(InTemp(c.mustNotExist)));
        }
    }
}

// A call as seen by the caller: what came back, the last error, the buffer and the length.
struct ShortPathCall {
    DWORD result;
    DWORD error;
    std::string written;  // only when the short path fitted
    DWORD lengthAfter;
};

ShortPathCall CallShortPath(const std::function<DWORD(const char*, char*, DWORD*)>& call, const std::string& path,
                            DWORD length)
{
    std::vector<char> buffer(MAX_PATH + 1, kSentinel);
    ShortPathCall seen{};
    seen.lengthAfter = length;
    SetLastError(kUntouchedError);
    seen.result = call(path.c_str(), buffer.data(), &seen.lengthAfter);
    seen.error = GetLastError();
    if (seen.result != 0 && seen.result < length) seen.written = buffer.data();
    return seen;
}

TEST_F(DalvexTest, LongToShortPathReturnsWhatGetShortPathNameReturnsAndKeepsTheLength)
{
    const std::string existing = InTemp(kLongName);
    ASSERT_TRUE(CreateDirectoryA(existing.c_str(), nullptr));
    const DWORD needed = GetShortPathNameA(existing.c_str(), nullptr, 0);  // counts the NUL
    ASSERT_GT(needed, 1u);

    const auto direct = [](const char* path, char* buffer, DWORD* length) {
        return GetShortPathNameA(path, buffer, *length);
    };
    const auto viaLibrary = [this](const char* path, char* buffer, DWORD* length) {
        return dll_.longToShortPath(path, buffer, length);
    };
    const std::string paths[] = {existing, InTemp("no such directory")};
    // Around the exact fit, where passing a length one off would show.
    const DWORD lengths[] = {MAX_PATH, needed, needed - 1, 1, 0};
    for (const std::string& path : paths) {
        for (DWORD length : lengths) {
            SCOPED_TRACE(path + ", length " + std::to_string(length));
            ShortPathCall expected = CallShortPath(direct, path, length);
            ShortPathCall seen = CallShortPath(viaLibrary, path, length);
            EXPECT_EQ(expected.result, seen.result);
            EXPECT_EQ(expected.error, seen.error);
            EXPECT_EQ(expected.written, seen.written);
            EXPECT_EQ(length, seen.lengthAfter);
        }
    }
}

TEST_F(DalvexTest, DisplayVersionNumberShowsTheVersionInAPlainOkBox)
{
    MessageBoxWatch watch({IDOK});

    EXPECT_EQ(IDOK, dll_.displayVersionNumber());

    const std::vector<MessageBoxRecord> expected{{"", kVersionText, {IDOK}, /*hasIcon=*/false, /*hasOwner=*/false}};
    EXPECT_EQ(expected, watch.boxes());
}

TEST_F(DalvexTest, NullPointersAreRefusedAsInvalidParameters)
{
    char buffer[MAX_PATH];
    const DWORD length = sizeof buffer;
    const std::string path = temp_;
    struct Case {
        const char* name;
        std::function<DWORD()> call;
    };
    const Case cases[] = {
        {"CreateLongPath path", [&] { return DWORD(dll_.createLongPath(nullptr)); }},
        {"LongToShortPath long path", [&] { return dll_.longToShortPath(nullptr, buffer, &length); }},
        {"LongToShortPath buffer", [&] { return dll_.longToShortPath(path.c_str(), nullptr, &length); }},
        {"LongToShortPath length", [&] { return dll_.longToShortPath(path.c_str(), buffer, nullptr); }},
        {"GetVersionNumber buffer", [&] { return DWORD(dll_.getVersionNumber(nullptr)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(kUntouchedError);
        EXPECT_EQ(0u, c.call());
        EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    }
}

}  // namespace
