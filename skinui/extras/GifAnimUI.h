#pragma once

#include "skinui/core/ControlUI.h"
#include "skinui/resources/SkinImage.h"

#include <memory>
#include <vector>

namespace skinui {

// Plays the GIF its bkimage names: every frame composed and shown for its own delay, looping.
// With autoplay (the default) it starts when the window takes it; autosize makes the control
// the animation's size. Any other image is shown still, as a plain background image.
class CGifAnimUI : public CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"GifAnimUI";
    static constexpr const wchar_t* kInterfaceName = L"GifAnim";
    // Frames given a shorter delay are shown this long, as browsers do.
    static constexpr int kMinFrameDelayMs = 20;
    static constexpr int kShortDelayStandInMs = 100;

    ~CGifAnimUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void DoInit() override;
    void DoEvent(UiEvent& event) override;
    void SetVisible(bool visible = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintBkImage(HDC dc) override;

    bool IsAutoPlay() const { return m_autoPlay; }
    void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

    // Play goes on from the frame shown; Pause keeps it; Stop goes back to the first frame.
    void PlayGif();
    void PauseGif();
    void StopGif();
    bool IsPlaying() const { return m_playing; }

    int GetFrameCount() const { return static_cast<int>(m_frames.size()); }
    int GetCurrentFrame() const { return m_frame; }
    // The delay the frame is shown for, in milliseconds.
    int GetFrameDelay(int frame) const;

private:
    void LoadFrames();
    void ScheduleNextFrame();

    std::vector<std::unique_ptr<resources::ImageRecord>> m_frames;
    std::vector<int> m_delays;
    bool m_loaded = false;      // frames were read for m_loadedImage (possibly none)
    std::wstring m_loadedImage; // the bkimage the frames come from
    int m_frame = 0;
    bool m_playing = false;
    bool m_resumeOnShow = false; // hidden while playing
    bool m_autoPlay = true;
    bool m_autoSize = false;
};

} // namespace skinui
