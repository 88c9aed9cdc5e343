#include "skinui/extras/GifAnimUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/markup/ImageDescriptor.h"
#include "skinui/render/ImagePainter.h"
#include "skinui/resources/SkinImageDecode.h"
#include "skinui/resources/WideText.h"

namespace skinui {
namespace {

constexpr UINT kFrameTimerKey = 1;

} // namespace

CGifAnimUI::~CGifAnimUI() {
    if (m_manager)
        m_manager->KillTimer(this, kFrameTimerKey);
}

const wchar_t* CGifAnimUI::GetClass() const {
    return kClassName;
}

void* CGifAnimUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CGifAnimUI::DoInit() {
    CControlUI::DoInit();
    LoadFrames();
    if (m_autoSize && !m_frames.empty()) {
        SetFixedWidth(m_frames.front()->width);
        SetFixedHeight(m_frames.front()->height);
    }
    if (m_autoPlay)
        PlayGif();
}

void CGifAnimUI::LoadFrames() {
    if (m_loaded && m_loadedImage == m_bkImage)
        return;
    m_frames.clear();
    m_delays.clear();
    m_frame = 0;
    m_loaded = true;
    m_loadedImage = m_bkImage;
    const std::vector<markup::ImageDrawSpec> specs =
        markup::ParseImageDescriptor(resources::ToU16(m_bkImage));
    if (specs.empty())
        return;
    std::vector<std::uint8_t> bytes;
    if (!resources::ReadImageBytes(resources::ToWide(specs.front().name),
                                   resources::ToWide(specs.front().resType), bytes))
        return;
    std::optional<resources::DecodedAnimation> animation =
        resources::DecodeGifAnimation(bytes.data(), bytes.size());
    if (!animation)
        return;
    for (size_t i = 0; i < animation->frames.size(); ++i) {
        std::unique_ptr<resources::ImageRecord> frame =
            resources::MakeImageRecord(animation->frames[i]);
        if (!frame)
            break;
        m_frames.push_back(std::move(frame));
        m_delays.push_back(animation->delays[i]);
    }
}

int CGifAnimUI::GetFrameDelay(int frame) const {
    if (frame < 0 || frame >= static_cast<int>(m_delays.size()))
        return 0;
    const int delay = m_delays[static_cast<size_t>(frame)];
    return delay < kMinFrameDelayMs ? kShortDelayStandInMs : delay;
}

void CGifAnimUI::PlayGif() {
    LoadFrames();
    if (m_playing || m_frames.size() < 2)
        return;
    m_playing = true;
    ScheduleNextFrame();
}

void CGifAnimUI::PauseGif() {
    if (m_manager)
        m_manager->KillTimer(this, kFrameTimerKey);
    m_playing = false;
}

void CGifAnimUI::StopGif() {
    PauseGif();
    if (m_frame != 0) {
        m_frame = 0;
        Invalidate();
    }
}

void CGifAnimUI::ScheduleNextFrame() {
    if (!m_manager || !m_playing)
        return;
    m_manager->KillTimer(this, kFrameTimerKey);
    m_manager->SetTimer(this, kFrameTimerKey, static_cast<UINT>(GetFrameDelay(m_frame)));
}

void CGifAnimUI::DoEvent(UiEvent& event) {
    if (event.type == kEventTimer && event.wParam == kFrameTimerKey) {
        if (!m_playing || m_frames.empty())
            return;
        m_frame = (m_frame + 1) % static_cast<int>(m_frames.size());
        Invalidate();
        ScheduleNextFrame();
        return;
    }
    CControlUI::DoEvent(event);
}

void CGifAnimUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    // A hidden animation costs nothing; it goes on where it was when shown again.
    if (!visible && m_playing) {
        PauseGif();
        m_playing = false;
        m_resumeOnShow = true;
    } else if (visible && m_resumeOnShow) {
        m_resumeOnShow = false;
        PlayGif();
    }
}

void CGifAnimUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"autoplay")
        m_autoPlay = ParseBoolValue(value);
    else if (name == L"autosize")
        m_autoSize = ParseBoolValue(value);
    else
        CControlUI::SetAttribute(name, value);
}

void CGifAnimUI::PaintBkImage(HDC dc) {
    LoadFrames();
    if (m_frames.empty()) {
        CControlUI::PaintBkImage(dc);
        return;
    }
    const std::vector<markup::ImageDrawSpec> specs =
        markup::ParseImageDescriptor(resources::ToU16(m_bkImage));
    const markup::ImageDrawSpec placement = specs.empty() ? markup::ImageDrawSpec{} : specs.front();
    DrawImageRecord(dc, *m_frames[static_cast<size_t>(m_frame)], m_pos, placement);
}

} // namespace skinui
