#include "SkinShot.h"

#include "skinui/core/ControlUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/markup/SkinMarkup.h"
#include "skinui/resources/SkinResources.h"
#include "skinui/window/WindowImplBase.h"
#include "win32/DibSection.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

using namespace skinui::markup;
using namespace skinui::resources;

namespace skinshot {
namespace {

constexpr wchar_t kWindowClass[] = L"SkinShotWindow";
// Used when the markup gives the window no size.
constexpr int kFallbackWidth = 640;
constexpr int kFallbackHeight = 480;

class PreviewWindow : public skinui::WindowImplBase {
public:
    PreviewWindow(std::wstring markup, std::wstring zip)
        : m_markup(std::move(markup)), m_zip(std::move(zip)) {}

protected:
    const wchar_t* WindowClassName() const override { return kWindowClass; }
    std::wstring SkinFolder() override { return {}; }
    std::wstring SkinFileName() override { return m_markup; }
    int SkinSourceKind() const override {
        return static_cast<int>(m_zip.empty() ? SkinSource::Files : SkinSource::ZipFile);
    }
    std::wstring SkinZipFileName() override { return m_zip; }

private:
    std::wstring m_markup;
    std::wstring m_zip;
};

void DumpTree(skinui::CControlUI* control, int depth, std::vector<std::wstring>& lines) {
    const RECT& rc = control->GetPos();
    const std::wstring name = control->GetName();
    wchar_t line[512];
    swprintf(line, 512, L"%d %ls %ls %ld,%ld,%ld,%ld %d", depth, control->GetClass(),
             name.empty() ? L"-" : name.c_str(), rc.left, rc.top, rc.right, rc.bottom,
             control->IsVisible() ? 1 : 0);
    lines.emplace_back(line);
    auto* container = skinui::InterfaceCast<skinui::IContainerUI>(control);
    if (!container)
        return;
    for (int i = 0; i < container->GetCount(); ++i)
        DumpTree(container->GetItemAt(i), depth + 1, lines);
}

// Points the process-wide skin settings at a folder or a zip package.
void SelectSkin(const std::wstring& skin, std::wstring& zipName) {
    const DWORD attributes = GetFileAttributesW(skin.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const size_t slash = skin.find_last_of(L"\\/");
        SetResourcePath(slash == std::wstring::npos ? L"." : skin.substr(0, slash));
        zipName = slash == std::wstring::npos ? skin : skin.substr(slash + 1);
        SetResourceZip(L"", false);
        return;
    }
    SetResourcePath(skin);
    SetResourceZip(L"", false);
    zipName.clear();
}

} // namespace

bool CaptureSkin(const std::wstring& skin, const std::wstring& markup, SkinShot& shot,
                 std::wstring& error, const std::vector<AttributeOverride>& overrides) {
    std::wstring zipName;
    SelectSkin(skin, zipName);
    if (!zipName.empty())
        SetResourceZip(zipName, true);
    // Checked here first: a window whose skin fails to build ends the process with a box.
    SkinMarkup probe;
    if (!LoadMarkupFile(probe, markup)) {
        const char16_t* message = probe.GetLastErrorMessage();
        error = std::wstring(message, message + std::char_traits<char16_t>::length(message));
        return false;
    }

    // Owned by this function; the window is destroyed before the object goes.
    auto window = std::make_unique<PreviewWindow>(markup, zipName);
    HWND hwnd = window->Create(nullptr, L"skinshot", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0,
                               kFallbackWidth, kFallbackHeight);
    if (!hwnd) {
        error = L"cannot create the window";
        return false;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    shot.width = client.right;
    shot.height = client.bottom;

    win32::DibSection image(shot.width, shot.height);
    if (!image) {
        DestroyWindow(hwnd);
        error = L"cannot create the off-screen image";
        return false;
    }
    PatBlt(image.dc(), 0, 0, shot.width, shot.height, WHITENESS);
    skinui::SkinWindowManager& manager = window->Manager();
    for (const AttributeOverride& item : overrides) {
        skinui::CControlUI* control = manager.FindControl(item.control);
        if (!control) {
            DestroyWindow(hwnd);
            error = L"no control named " + item.control;
            return false;
        }
        control->SetAttribute(item.attribute, item.value);
    }
    manager.LayoutAndPaint(image.dc(), client, client);
    GdiFlush();

    const std::uint32_t* pixels = image.pixels();
    shot.rgba.resize(static_cast<size_t>(shot.width) * shot.height * 4);
    for (size_t i = 0; i < shot.rgba.size(); i += 4) {
        const std::uint32_t pixel = pixels[i / 4];
        shot.rgba[i] = static_cast<std::uint8_t>(pixel >> 16);
        shot.rgba[i + 1] = static_cast<std::uint8_t>(pixel >> 8);
        shot.rgba[i + 2] = static_cast<std::uint8_t>(pixel);
        shot.rgba[i + 3] = 255;
    }

    shot.layout.clear();
    if (manager.GetRoot())
        DumpTree(manager.GetRoot(), 0, shot.layout);
    DestroyWindow(hwnd);
    return true;
}

bool WritePng(const std::wstring& path, const SkinShot& shot) {
    std::vector<std::uint8_t> encoded;
    const int ok = stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(context);
            const auto* bytes = static_cast<const std::uint8_t*>(data);
            out->insert(out->end(), bytes, bytes + size);
        },
        &encoded, shot.width, shot.height, 4, shot.rgba.data(), shot.width * 4);
    if (!ok)
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, encoded.data(), static_cast<DWORD>(encoded.size()), &written, nullptr);
    CloseHandle(file);
    return wrote && written == encoded.size();
}

} // namespace skinshot
