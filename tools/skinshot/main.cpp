#include "SkinShot.h"

#include <windows.h>

#include <cstdio>
#include <string>

// skinshot SKIN MARKUP OUT.png [--dump]
int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || (argc == 5 && std::wstring(argv[4]) != L"--dump") || argc > 5) {
        std::fwprintf(stderr, L"usage: skinshot SKIN MARKUP OUT.png [--dump]\n");
        return 2;
    }
    skinshot::SkinShot shot;
    std::wstring error;
    if (!skinshot::CaptureSkin(argv[1], argv[2], shot, error)) {
        std::fwprintf(stderr, L"skinshot: %ls: %ls\n", argv[2], error.c_str());
        return 1;
    }
    if (!skinshot::WritePng(argv[3], shot)) {
        std::fwprintf(stderr, L"skinshot: cannot write %ls\n", argv[3]);
        return 1;
    }
    if (argc == 5)
        for (const std::wstring& line : shot.layout)
            std::wprintf(L"%ls\n", line.c_str());
    return 0;
}
