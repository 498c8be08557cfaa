// Prints the version resource of an executable as Windows reads it
// (GetFileVersionInfoW, the call behind Explorer's Details tab): one
// "Name=Value" line per string of the English/Unicode block.
//
// Usage: file_version <file>    exit code 1 when the file has no version resource
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: file_version <file>\n");
        return 2;
    }
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    std::vector<unsigned char> info(size);
    if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, info.data())) {
        std::printf("no version resource (error %lu)\n", GetLastError());
        return 1;
    }
    for (const wchar_t* name :
         {L"ProductName", L"ProductVersion", L"FileVersion", L"CompanyName", L"FileDescription", L"LegalCopyright"}) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value)
            std::printf("%ls=%ls\n", name, value);
    }
    return 0;
}
