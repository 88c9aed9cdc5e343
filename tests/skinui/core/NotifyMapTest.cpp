#include "skinui/core/ControlUI.h"
#include "skinui/core/NotifyPump.h"

#include <gtest/gtest.h>

using namespace skinui;

namespace {

// A pump with a base map and a derived map, recording which entry ran.
class Pump : public CNotifyPump {
public:
    const NotifyMap* NotificationMap() const override {
        static const NotifyMap base{
            nullptr,
            {NotifyMapEntry{L"click", L"", NotifyHandlerKind::Notification, nullptr,
                            [](CNotifyPump& pump, UiNotification&) {
                                static_cast<Pump&>(pump).ran.push_back(L"base-any");
                            }},
             NotifyMapEntry{L"timer", L"", NotifyHandlerKind::WParamLParam,
                            [](CNotifyPump& pump, WPARAM wParam, LPARAM lParam) {
                                static_cast<Pump&>(pump).ran.push_back(
                                    L"timer " + std::to_wstring(wParam) + L"," +
                                    std::to_wstring(lParam));
                            },
                            nullptr}}};
        static const NotifyMap derived{
            &base,
            {NotifyMapEntry{L"click", L"", NotifyHandlerKind::Notification, nullptr,
                            [](CNotifyPump& pump, UiNotification&) {
                                static_cast<Pump&>(pump).ran.push_back(L"derived-any");
                            }},
             NotifyMapEntry{L"click", L"ok", NotifyHandlerKind::Notification, nullptr,
                            [](CNotifyPump& pump, UiNotification&) {
                                static_cast<Pump&>(pump).ran.push_back(L"derived-ok");
                            }}}};
        return &derived;
    }
    std::vector<std::wstring> ran;
};

UiNotification Make(const wchar_t* type, CControlUI* sender) {
    UiNotification notification;
    notification.type = type;
    notification.sender = sender;
    return notification;
}

} // namespace

TEST(NotifyMap, NamedEntryWinsOverAnyControlAndTheMostDerivedMapFirst) {
    Pump pump;
    CControlUI ok, other;
    ok.SetName(L"ok");
    other.SetName(L"other");
    auto first = Make(L"click", &ok);
    auto second = Make(L"click", &other);
    EXPECT_TRUE(pump.NotifyPump(first));
    EXPECT_TRUE(pump.NotifyPump(second));
    EXPECT_EQ(pump.ran, (std::vector<std::wstring>{L"derived-ok", L"derived-any"}));
}

TEST(NotifyMap, BaseMapsAnswerWhatDerivedMapsDoNotAndKindOneGetsTheParameters) {
    Pump pump;
    CControlUI control;
    auto timer = Make(L"timer", &control);
    timer.wParam = 7;
    timer.lParam = 9;
    EXPECT_TRUE(pump.NotifyPump(timer));
    auto unknown = Make(L"selectchanged", &control);
    EXPECT_FALSE(pump.NotifyPump(unknown));
    EXPECT_EQ(pump.ran, (std::vector<std::wstring>{L"timer 7,9"}));
}

TEST(NotifyMap, VirtualWindowPumpsAreFoundWithoutRegardToCase) {
    Pump main;
    Pump page;
    ASSERT_TRUE(main.AddVirtualWnd(L"PageOne", &page));
    CControlUI control;
    auto click = Make(L"click", &control);
    click.virtualWindow = L"pageone";
    EXPECT_TRUE(main.NotifyPump(click));
    EXPECT_EQ(page.ran, (std::vector<std::wstring>{L"derived-any"}));
    EXPECT_TRUE(main.ran.empty());
}
