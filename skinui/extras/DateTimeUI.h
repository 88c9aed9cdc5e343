#pragma once

#include "skinui/controls/LabelUI.h"

namespace skinui {

// A label showing a date as "YYYY-MM-DD", today's date until one is set.
class CDateTimeUI : public CLabelUI {
public:
    static constexpr const wchar_t* kClassName = L"DateTimeUI";
    static constexpr const wchar_t* kInterfaceName = L"DateTime";

    CDateTimeUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    const SYSTEMTIME& GetTime() const { return m_time; }
    void SetTime(const SYSTEMTIME& time);

private:
    SYSTEMTIME m_time{};
};

} // namespace skinui
