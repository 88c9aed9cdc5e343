#include "SkinShot.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Usage() {
    std::fwprintf(
        stderr, L"usage: skinshot SKIN MARKUP OUT.png [--dump] [--set NAME.ATTRIBUTE=VALUE]...\n");
}

// "name.attribute=value"; false when either separator is missing.
bool ParseOverride(const std::wstring& text, skinshot::AttributeOverride& item) {
    const size_t dot = text.find(L'.');
    const size_t equals = text.find(L'=', dot == std::wstring::npos ? 0 : dot);
    if (dot == std::wstring::npos || dot == 0 || equals == std::wstring::npos || equals == dot + 1)
        return false;
    item.control = text.substr(0, dot);
    item.attribute = text.substr(dot + 1, equals - dot - 1);
    item.value = text.substr(equals + 1);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        Usage();
        return 2;
    }
    bool dump = false;
    std::vector<skinshot::AttributeOverride> overrides;
    for (int i = 4; i < argc; ++i) {
        const std::wstring option = argv[i];
        skinshot::AttributeOverride item;
        if (option == L"--dump") {
            dump = true;
        } else if (option == L"--set" && i + 1 < argc && ParseOverride(argv[i + 1], item)) {
            overrides.push_back(item);
            ++i;
        } else {
            Usage();
            return 2;
        }
    }
    skinshot::SkinShot shot;
    std::wstring error;
    if (!skinshot::CaptureSkin(argv[1], argv[2], shot, error, overrides)) {
        std::fwprintf(stderr, L"skinshot: %ls: %ls\n", argv[2], error.c_str());
        return 1;
    }
    if (!skinshot::WritePng(argv[3], shot)) {
        std::fwprintf(stderr, L"skinshot: cannot write %ls\n", argv[3]);
        return 1;
    }
    if (dump)
        for (const std::wstring& line : shot.layout)
            std::wprintf(L"%ls\n", line.c_str());
    return 0;
}
