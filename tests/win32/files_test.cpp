// SPDX-License-Identifier: MIT
// The Win32 file services on real files (run under Wine by the tests): the shared file cases,
// and what only Windows has: the file's attributes and marks.
#include <windows.h>

#include <fstream>

#include "platform/file_cases.h"
#include "platform/win32/files.h"

namespace dorvane::testing {
namespace {

struct Win32FilesTest : ::testing::Test, FileRig {
    std::unique_ptr<FileService> files_in(const std::string& folder) override {
        return std::make_unique<Win32Files>(folder);
    }
    std::string hidden_file(const std::string& name) override {
        folder.write(name, "x");
        EXPECT_TRUE(SetFileAttributesW(path(name).c_str(), FILE_ATTRIBUTE_HIDDEN));
        return name;
    }
    Names not_files() override {
        std::filesystem::create_directory(folder.path() / "dir");
        return {"dir"};
    }
    // Wine starts the machine's programs, but splits their command line at every space (so the
    // script goes in a file) and hands the last word on with a stray character (so an unread
    // word ends it); it cannot wait for them, so the script leaves its status in a file.
    bool shell(const std::string& command) override {
        auto unix_name = reinterpret_cast<char*(CDECL*)(const wchar_t*)>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        char* here = unix_name ? unix_name(folder.path().wstring().c_str()) : nullptr;
        if (!here)
            return false;
        const std::string script = "/tmp/dorvane-shell-" + std::to_string(GetCurrentProcessId());
        std::ofstream("Z:" + script, std::ios::binary)
            << "cd '" << here << "' && (" << command << ")\necho $? > " << script << ".run; rm "
            << script << "; mv " << script << ".run " << script << ".status\n";
        HeapFree(GetProcessHeap(), 0, here);
        std::wstring line = L"sh " + std::wstring(script.begin(), script.end()) + L" end";
        STARTUPINFOW start{sizeof start};
        PROCESS_INFORMATION started{};
        std::string status = "none";
        if (CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &start, &started)) {
            CloseHandle(started.hProcess);
            CloseHandle(started.hThread);
            for (int i = 0; i < 3000 && !(std::ifstream("Z:" + script + ".status") >> status); ++i)
                Sleep(10);
        }
        std::filesystem::remove("Z:" + script + ".status");
        return status == "0";
    }
    std::wstring path(const std::string& name) const { return (folder.path() / name).wstring(); }
};

DORVANE_FILE_CASES(Win32FilesTest)

// A save keeps the file's marks; a read-only file, or one held open without sharing, is not
// replaced, and the program's temporary file is not left beside it.
TEST_F(Win32FilesTest, ASaveKeepsTheFilesAttributesAndRespectsItsMarks) {
    const std::wstring dat = path(hidden_file("Qimdat.dat"));
    ASSERT_TRUE(save("Qimdat.dat", "new").ok);
    EXPECT_TRUE(GetFileAttributesW(dat.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    ASSERT_TRUE(SetFileAttributesW(dat.c_str(), FILE_ATTRIBUTE_READONLY));
    FileWrite read_only = save("Qimdat.dat", "newer");
    SetFileAttributesW(dat.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE held = CreateFileW(dat.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FileWrite busy = save("Qimdat.dat", "newer");
    CloseHandle(held);
    EXPECT_TRUE(!read_only.ok && !busy.ok && !read_only.error.empty() && !busy.error.empty());
    EXPECT_EQ(folder.read("Qimdat.dat"), "new");
    EXPECT_FALSE(folder.exists(".Qimdat.dat.tmp"));
}

}  // namespace
}  // namespace dorvane::testing
