#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skinui::resources {
class ImageCache;
}

namespace skinui {

// The drop shadow of a skinned window: a layered, click-through pop-up owned by the window that
// follows it and is drawn from a blur kernel over the window's region, or from a nine-grid image.
class CShadowUI {
public:
    static constexpr int kMaxSize = 20;      // size and position range: -20..20
    static constexpr int kMaxSharpness = 20; // 0..20
    static constexpr int kDefaultDarkness = 150;
    static constexpr int kDefaultSharpness = 5;

    CShadowUI() = default;
    ~CShadowUI();
    CShadowUI(const CShadowUI&) = delete;
    CShadowUI& operator=(const CShadowUI&) = delete;

    // Each setter refuses a value outside its range and keeps the old one.
    bool SetSize(int size);
    bool SetSharpness(int sharpness);
    bool SetDarkness(int darkness);
    bool SetPosition(int x, int y);
    void SetColor(DWORD color) { m_color = color; }
    bool SetImage(const std::wstring& image);
    bool SetShadowCorner(const RECT& corner);
    void ShowShadow(bool show) { m_shown = show; }
    bool IsShowShadow() const { return m_shown; }
    int GetSize() const { return m_size; }
    int GetSharpness() const { return m_sharpness; }
    int GetDarkness() const { return m_darkness; }
    POINT GetPosition() const { return m_offset; }

    // Creates the shadow window once for window (a window class of instance) and starts
    // following it; its image comes from the window's image cache.
    void Create(HWND window, HINSTANCE instance, resources::ImageCache& images);
    HWND GetHWND() const { return m_shadow; }

    // Where the shadow goes for a window at `window` (screen coordinates).
    RECT ShadowRect(const RECT& window) const;
    // Alpha at distance r from a kernel centre.
    static BYTE KernelAlpha(double r, int size, int sharpness, int darkness);
    // Premultiplied BGRA pixels of the shadow for a window of the given size whose region is
    // `region` (window coordinates; null = the whole window).
    std::vector<DWORD> RenderKernelShadow(int windowWidth, int windowHeight, HRGN region) const;

    static void RegisterWindowClass(HINSTANCE instance);

private:
    void Update(HWND parent);
    void Show(HWND parent);
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
    // What the shadow does for one message of the window it follows.
    void FollowParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    resources::ImageCache* m_images = nullptr; // the window's, not owned
    HWND m_shadow = nullptr;
    HWND m_parent = nullptr;
    bool m_shown = false;
    bool m_updateAtPaint = false;
    int m_size = 0;
    int m_sharpness = kDefaultSharpness;
    int m_darkness = kDefaultDarkness;
    POINT m_offset{};
    DWORD m_color = 0; // only red, green and blue are used
    std::wstring m_image;
    RECT m_corner{};
    SIZE m_lastParentSize{};
};

} // namespace skinui
