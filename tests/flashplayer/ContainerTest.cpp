#include "flashplayer/OleContainerWnd.h"
#include "flashplayer/ShockwaveFlash.h"
#include "tests/flashplayer/StandInHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// The container hosting the stand-in control in this process: how it answers as a site, when it
// draws, how it keeps its bitmaps, the alpha it puts on screen, and what it does when the control
// is missing or cannot do everything.
namespace {

using flashplayer::COleContainerWnd;
using flashtest::PumpMessages;
using flashtest::StandInHost;

constexpr DWORD kLayered = WS_EX_LAYERED | WS_EX_TOOLWINDOW;
constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE;
constexpr int kWidth = 300;
constexpr int kHeight = 200;

// Opens the container's state to the tests and counts the hooks.
class TestContainer : public COleContainerWnd<IShockwaveFlash> {
public:
    bool OnBeforeActivate() override {
        ++beforeActivate;
        doubleRender = wantDoubleRender;
        if (presetBitsPerPixel)
            frames.SetBitsPerPixel(presetBitsPerPixel);
        return beforeActivateResult;
    }
    void OnControlNotRegistered() override { ++notRegistered; }

    bool Open(HWND parent = nullptr, DWORD exStyle = kLayered,
              REFCLSID classId = CLSID_ShockwaveFlash) {
        return Create(classId, exStyle, kPopup, parent, GetModuleHandleW(nullptr), kWidth, kHeight);
    }
    // The window stays when the object goes; it must not reach the freed object.
    void DetachAndDestroyWindow() {
        if (hwnd && IsWindow(hwnd)) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            DestroyWindow(hwnd);
        }
    }
    IOleInPlaceSiteWindowless* site() { return this; }

    HWND window() const { return hwnd; }
    bool isTransparent() const { return transparent != 0; }
    bool hasWindowless() const { return static_cast<bool>(inPlaceObjectWindowless); }
    bool hasWindowed() const { return static_cast<bool>(inPlaceObject); }
    HBITMAP frame() const { return frames.frame(); }
    HBITMAP white() const { return frames.white(); }
    const std::uint8_t* bits() const { return frames.bits(); }
    ULONG references() const { return refCount; }

    bool wantDoubleRender{false};
    bool beforeActivateResult{true};
    int presetBitsPerPixel{0};
    int beforeActivate{0};
    int notRegistered{0};
};

struct ContainerDeleter {
    void operator()(TestContainer* container) const {
        container->DetachAndDestroyWindow();
        delete container;
    }
};
using ContainerPtr = std::unique_ptr<TestContainer, ContainerDeleter>;

class Container : public ::testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);
        host = std::make_unique<StandInHost>();
        ASSERT_TRUE(*host) << "the stand-in control's DLL did not load";
    }
    void TearDown() override {
        host.reset();
        OleUninitialize();
    }

    std::unique_ptr<StandInHost> host;
};

std::uint8_t AlphaAt(const TestContainer& container, int x, int y) {
    return container.bits()[(static_cast<std::size_t>(y) * kWidth + x) * 4 + 3];
}

// The frame composed over a checkerboard the way the screen composes a layered window with
// premultiplied alpha, kept as a PNG a person can look at.
void KeepComposedFrame(const std::uint8_t* bgra, const std::string& name) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* pixel = bgra + (static_cast<std::size_t>(y) * kWidth + x) * 4;
            const bool dark = ((x / 16) + (y / 16)) % 2 != 0;
            const int background[3] = {dark ? 0 : 255, dark ? 150 : 255, dark ? 60 : 255};
            for (int c = 0; c < 3; ++c) {
                const int source = pixel[2 - c]; // BGRA to RGB
                rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3 + c] =
                    static_cast<std::uint8_t>(source + background[c] * (255 - pixel[3]) / 255);
            }
        }
    const std::string path = (testsupport::ArtifactsFolder() / (name + ".png")).string();
    stbi_write_png(path.c_str(), kWidth, kHeight, 3, rgb.data(), kWidth * 3);
}

TEST_F(Container, AnswersAsItsSitesAndNeverDestroysItselfByCount) {
    TestContainer container;
    void* object = &container;
    EXPECT_EQ(container.QueryInterface(IID_IOleClientSite, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    for (const IID* refused : {&IID_IOleWindow, &IID_IOleInPlaceUIWindow, &IID_IDispatch}) {
        object = &container;
        EXPECT_EQ(container.QueryInterface(*refused, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
    }

    ASSERT_EQ(container.QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IOleClientSite*>(&container));
    EXPECT_EQ(container.references(), 1u);
    for (const IID* site :
         {&IID_IOleInPlaceSite, &IID_IOleInPlaceSiteEx, &IID_IOleInPlaceSiteWindowless}) {
        ASSERT_EQ(container.QueryInterface(*site, &object), S_OK);
        EXPECT_EQ(object, static_cast<IOleInPlaceSiteWindowless*>(&container));
    }
    ASSERT_EQ(container.QueryInterface(IID_IOleInPlaceFrame, &object), S_OK);
    EXPECT_EQ(object, static_cast<IOleInPlaceFrame*>(&container));
    ASSERT_EQ(container.QueryInterface(IID_IStorage, &object), S_OK);
    EXPECT_EQ(object, static_cast<IStorage*>(&container));
    EXPECT_EQ(container.references(), 6u);

    for (ULONG left = 5; left > 0; --left)
        container.Release();
    EXPECT_EQ(container.Release(), 0u);
    // Still alive and answering.
    EXPECT_EQ(container.AddRef(), 1u);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(container.GetWindow(&window), S_OK);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(container.GetContainer(reinterpret_cast<IOleContainer**>(&object)), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(container.RequestUIActivate(), S_FALSE);
    EXPECT_EQ(container.ScrollRect(1, 1, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(container.SetClass(CLSID_ShockwaveFlash), S_OK);
    EXPECT_EQ(container.OpenStream(L"x", nullptr, 0, 0, nullptr), E_NOTIMPL);
}

TEST_F(Container, AnUnregisteredClassIsReportedOnceAndOtherFailuresAreNot) {
    ContainerPtr missing(new TestContainer);
    const CLSID unknown = {
        0x1E4D0B51, 0x2F0A, 0x4C7B, {0x9A, 0x11, 0x3C, 0x5D, 0x7E, 0x90, 0xA1, 0xB2}};
    EXPECT_FALSE(missing->Open(nullptr, kLayered, unknown));
    EXPECT_EQ(missing->notRegistered, 1);
    EXPECT_EQ(missing->beforeActivate, 0);

    // Registered, but the control cannot be made: another failure.
    StandInHost::SetOption(L"FAIL", L"CreateInstance");
    ContainerPtr broken(new TestContainer);
    EXPECT_FALSE(broken->Open());
    EXPECT_EQ(broken->notRegistered, 0);
}

TEST_F(Container, CreatesACentredLayeredWindowAndActivatesTheControlWindowless) {
    ContainerPtr container(new TestContainer);
    ASSERT_TRUE(container->Open());
    HWND window = container->window();
    wchar_t text[64] = {};
    GetClassNameW(window, text, 64);
    EXPECT_STREQ(text, L"MyOleControl");
    GetWindowTextW(window, text, 64);
    EXPECT_STREQ(text, L"Flash Player");
    RECT bounds{};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.left, (GetSystemMetrics(SM_CXFULLSCREEN) - kWidth) / 2);
    EXPECT_EQ(bounds.top, (GetSystemMetrics(SM_CYFULLSCREEN) - kHeight) / 2);
    EXPECT_EQ(bounds.right - bounds.left, kWidth);
    EXPECT_EQ(bounds.bottom - bounds.top, kHeight);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)) & kLayered, kLayered);
    EXPECT_TRUE(container->isTransparent());
    EXPECT_TRUE(container->hasWindowless());
    EXPECT_EQ(container->beforeActivate, 1);
    EXPECT_EQ(host->Count("active windowless"), 1);
    EXPECT_EQ(host->Count("DoVerb -1"), 1);
}

TEST_F(Container, OfThreeInvalidationsTheFirstAndTheThirdDraw) {
    ContainerPtr container(new TestContainer);
    ASSERT_TRUE(container->Open());
    flashplayer::drawToggle = false;
    const int before = host->Count("Draw ");
    container->site()->InvalidateRect(nullptr, FALSE);
    EXPECT_EQ(host->Count("Draw ") - before, 1);
    container->site()->InvalidateRect(nullptr, FALSE);
    EXPECT_EQ(host->Count("Draw ") - before, 1);
    container->site()->InvalidateRect(nullptr, FALSE);
    EXPECT_EQ(host->Count("Draw ") - before, 2);
}

// Draws once more, whatever the phase of the shared toggle.
void DrawNow(TestContainer& container) {
    flashplayer::drawToggle = false;
    container.site()->InvalidateRect(nullptr, FALSE);
}

TEST_F(Container, KeepsItsBitmapsUntilTheWindowMovesEvenByOnePixel) {
    ContainerPtr container(new TestContainer);
    container->wantDoubleRender = true;
    ASSERT_TRUE(container->Open());
    DrawNow(*container);
    const HBITMAP frame = container->frame();
    const HBITMAP white = container->white();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(white);

    DrawNow(*container);
    EXPECT_EQ(container->frame(), frame);
    EXPECT_EQ(container->white(), white);

    RECT bounds{};
    GetWindowRect(container->window(), &bounds);
    SetWindowPos(container->window(), nullptr, bounds.left + 1, bounds.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DrawNow(*container);
    EXPECT_NE(container->frame(), frame);
    EXPECT_NE(container->white(), white);
    EXPECT_EQ(GetObjectType(frame), 0u) << "the old frame was deleted";
    EXPECT_EQ(GetObjectType(white), 0u) << "the old white copy was deleted";
}

struct FrameStats {
    int opaque{0}, partial{0}, clear{0};
};

FrameStats Measure(const TestContainer& container) {
    FrameStats stats;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* pixel =
                container.bits() + (static_cast<std::size_t>(y) * kWidth + x) * 4;
            stats.opaque += pixel[3] == 255;
            stats.clear += pixel[3] == 0;
            stats.partial += pixel[3] > 0 && pixel[3] < 255;
        }
    return stats;
}

TEST_F(Container, BothRenderPathsGiveTheSamePerPixelAlpha) {
    // A control that writes its own alpha, drawn once into a cleared frame.
    ContainerPtr single(new TestContainer);
    ASSERT_TRUE(single->Open());
    DrawNow(*single);
    GdiFlush();
    ASSERT_TRUE(single->bits());
    EXPECT_EQ(AlphaAt(*single, kWidth / 2, kHeight / 2), 255) << "the picture's centre";
    EXPECT_EQ(AlphaAt(*single, 0, 0), 0) << "nothing drawn in the corner";
    const FrameStats singleStats = Measure(*single);
    EXPECT_GT(singleStats.partial, 1000) << "soft edges";
    KeepComposedFrame(single->bits(), "flashplayer_container_single_render");
    std::vector<std::uint8_t> singleFrame(single->bits(), single->bits() + kWidth * kHeight * 4);
    single.reset();

    // A control like Flash 8, which leaves the alpha bytes alone: drawn on black and on white.
    StandInHost::SetOption(L"VERSION", L"8");
    ContainerPtr twice(new TestContainer);
    twice->wantDoubleRender = true;
    ASSERT_TRUE(twice->Open());
    const int before = host->Count("Draw aspect 32 over white");
    DrawNow(*twice);
    GdiFlush();
    EXPECT_EQ(host->Count("Draw aspect 32 over white") - before, 1) << "one draw on white";
    KeepComposedFrame(twice->bits(), "flashplayer_container_double_render");
    int worst = 0;
    for (std::size_t i = 0; i < singleFrame.size(); ++i)
        worst = std::max(worst, std::abs(singleFrame[i] - twice->bits()[i]));
    EXPECT_LE(worst, 3) << "the alpha derived from black and white matches the control's own";
    EXPECT_EQ(AlphaAt(*twice, kWidth / 2, kHeight / 2), 255);
    EXPECT_EQ(AlphaAt(*twice, 0, 0), 0);

    // The same control drawn once shows that only the double render gives it any alpha.
    ContainerPtr once(new TestContainer);
    ASSERT_TRUE(once->Open());
    DrawNow(*once);
    GdiFlush();
    EXPECT_EQ(AlphaAt(*once, kWidth / 2, kHeight / 2), 0);
}

TEST_F(Container, HitsOnlyWhereThePictureIs) {
    ContainerPtr container(new TestContainer);
    ASSERT_TRUE(container->Open());
    RECT bounds{};
    GetWindowRect(container->window(), &bounds);
    const auto hit = [&](int x, int y) {
        return SendMessageW(container->window(), WM_NCHITTEST, 0,
                            MAKELPARAM(bounds.left + x, bounds.top + y));
    };
    EXPECT_EQ(hit(kWidth / 2, kHeight / 2), HTCLIENT);
    EXPECT_EQ(hit(2, 2), HTTRANSPARENT);
    EXPECT_EQ(hit(kWidth - 3, kHeight - 3), HTTRANSPARENT);
}

TEST_F(Container, AControlWithoutIViewObjectExGetsNoHitTest) {
    StandInHost::SetOption(L"NO_VIEWEX", L"1");
    ContainerPtr container(new TestContainer);
    ASSERT_TRUE(container->Open());
    RECT bounds{};
    GetWindowRect(container->window(), &bounds);
    EXPECT_EQ(SendMessageW(container->window(), WM_NCHITTEST, 0,
                           MAKELPARAM(bounds.left + 2, bounds.top + 2)),
              HTCLIENT)
        << "the default procedure answers";
}

TEST_F(Container, WithoutAWindowlessObjectItPaintsTheWindowOpaquely) {
    StandInHost::SetOption(L"NO_WINDOWLESS", L"1");
    ContainerPtr container(new TestContainer);
    ASSERT_TRUE(container->Open());
    EXPECT_FALSE(container->isTransparent());
    EXPECT_FALSE(container->hasWindowless());
    EXPECT_TRUE(container->hasWindowed());
    EXPECT_EQ(host->Count("active windowed"), 1);

    flashplayer::drawToggle = false;
    const int before = host->Count("Draw aspect 1 ");
    InvalidateRect(container->window(), nullptr, FALSE);
    UpdateWindow(container->window());
    EXPECT_EQ(host->Count("Draw aspect 1 ") - before, 1) << "WM_PAINT draws the content aspect";
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Container, AnotherColourDepthCopiesTheOwnersCornerUnderThePicture) {
    constexpr COLORREF kOwnerColour = RGB(0, 128, 255);
    const win32::UniqueBrush brush(CreateSolidBrush(kOwnerColour));
    WNDCLASSW ownerClass{};
    ownerClass.lpfnWndProc = OwnerProc;
    ownerClass.hInstance = GetModuleHandleW(nullptr);
    ownerClass.hbrBackground = brush.get();
    ownerClass.lpszClassName = L"FlashContainerTestOwner";
    RegisterClassW(&ownerClass);
    HWND owner = CreateWindowExW(0, ownerClass.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, 20,
                                 20, 400, 300, nullptr, nullptr, ownerClass.hInstance, nullptr);
    ASSERT_TRUE(owner);
    UpdateWindow(owner);
    PumpMessages(200);

    ContainerPtr container(new TestContainer);
    container->presetBitsPerPixel = 16;
    ASSERT_TRUE(container->Open(owner));
    EXPECT_EQ(GetWindow(container->window(), GW_OWNER), owner);
    DrawNow(*container);
    GdiFlush();
    const std::uint8_t* corner = container->bits();
    EXPECT_EQ(RGB(corner[2], corner[1], corner[0]), kOwnerColour)
        << "the owner's colour under a clear corner";
    container.reset();
    DestroyWindow(owner);
}

TEST_F(Container, AFailingStepEndsCreateAndTheDestructorClosesWhatWasMade) {
    ContainerPtr refused(new TestContainer);
    refused->beforeActivateResult = false;
    EXPECT_FALSE(refused->Open());
    EXPECT_EQ(host->Count("DoVerb"), 0) << "not shown after OnBeforeActivate said no";
    refused.reset();
    EXPECT_EQ(host->Count("Close 1"), 1) << "closed without saving";
    EXPECT_EQ(host->Count("destroyed"), 1);

    StandInHost::SetOption(L"FAIL", L"DoVerb");
    ContainerPtr unshown(new TestContainer);
    EXPECT_FALSE(unshown->Open());
    EXPECT_EQ(unshown->beforeActivate, 1);
}

TEST_F(Container, DestructionClosesAndReleasesTheControlButLeavesTheWindow) {
    auto* container = new TestContainer;
    ASSERT_TRUE(container->Open());
    HWND window = container->window();
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete container;
    EXPECT_TRUE(IsWindow(window));
    const std::vector<std::string> log = host->Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "Close 1");
    EXPECT_EQ(log.back(), "destroyed");
    DestroyWindow(window);
}

} // namespace
