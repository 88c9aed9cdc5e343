// markupcheck FILE
//
// Loads a skin markup file the way a skinned window does (UTF-8, or UTF-16 with a byte-order
// mark) and prints the element tree, one element per line, or the parser's error message.
// Exit status 0 when the markup parses, 1 otherwise.

#include "skinui/markup/SkinMarkup.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace skinui::markup;

namespace {

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// The same checks, in the same order and with the same texts, as a window loading loose files.
bool LoadFile(const char* path, SkinMarkup& markup) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        markup.SetError(markup_errors::kErrorOpeningFile);
        return false;
    }
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size < 0) {
        markup.SetError(markup_errors::kCouldNotReadFile);
        return false;
    }
    if (size == 0) {
        markup.SetError(markup_errors::kFileIsEmpty);
        return false;
    }
    if (static_cast<unsigned long long>(size) > kMaxSkinFileSize) {
        markup.SetError(markup_errors::kFileTooLarge);
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) {
        markup.SetError(markup_errors::kCouldNotReadFile);
        return false;
    }
    bool utf16 = bytes.size() >= 2 &&
                 ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF));
    return markup.LoadFromMem(bytes.data(), bytes.size(),
                              utf16 ? MarkupEncoding::Utf16 : MarkupEncoding::Utf8);
}

// Iterative so that deeply nested markup cannot exhaust the stack.
void PrintTree(SkinMarkupNode root) {
    std::vector<SkinMarkupNode> pending{root};
    std::vector<int> depths{0};
    while (!pending.empty()) {
        SkinMarkupNode node = pending.back();
        int depth = depths.back();
        pending.pop_back();
        depths.pop_back();
        std::string line(static_cast<std::size_t>(depth) * 2, ' ');
        line += ToUtf8(node.GetName());
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            line += ' ' + ToUtf8(node.GetAttributeName(i)) + "=\"" +
                    ToUtf8(node.GetAttributeValue(i)) + '"';
        }
        std::cout << line << '\n';
        SkinMarkupNode sibling = node.GetSibling();
        if (sibling.IsValid()) {
            pending.push_back(sibling);
            depths.push_back(depth);
        }
        SkinMarkupNode child = node.GetChild();
        if (child.IsValid()) {
            pending.push_back(child);
            depths.push_back(depth + 1);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: markupcheck FILE\n";
        return 1;
    }
    SkinMarkup markup;
    if (!LoadFile(argv[1], markup)) {
        std::cout << "error: " << ToUtf8(markup.GetLastErrorMessage())
                  << " at: " << ToUtf8(markup.GetLastErrorLocation()) << '\n';
        return 1;
    }
    if (!markup.GetRoot().IsValid()) {
        std::cout << "error: the file has no element\n";
        return 1;
    }
    PrintTree(markup.GetRoot());
    return 0;
}
