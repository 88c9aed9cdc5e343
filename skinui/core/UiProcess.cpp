#include "skinui/core/UiProcess.h"

#include "skinui/core/ShadowUI.h"
#include "skinui/resources/SkinResources.h"

#include <algorithm>
#include <vector>

namespace skinui {
namespace {

std::vector<IMessagePreTranslator*>& PreTranslators() {
    static std::vector<IMessagePreTranslator*> translators;
    return translators;
}

int g_messageLoopDepth = 0;

bool IsRegistered(IMessagePreTranslator* translator) {
    const auto& translators = PreTranslators();
    return std::find(translators.begin(), translators.end(), translator) != translators.end();
}

} // namespace

void UiProcess::SetInstance(HINSTANCE instance) {
    resources::SetResourceInstance(instance);
    CShadowUI::RegisterWindowClass(instance);
}

HINSTANCE UiProcess::GetInstance() {
    return resources::GetResourceInstance();
}

std::wstring UiProcess::GetInstancePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(GetInstance(), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring{} : path.substr(0, slash + 1);
}

bool UiProcess::IsMessageLoopRunning() {
    return g_messageLoopDepth > 0;
}

void UiProcess::MessageLoop() {
    ++g_messageLoopDepth;
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    --g_messageLoopDepth;
}

bool UiProcess::TranslateMessage(MSG* msg) {
    // A copy: pre-translating may close a window and so remove its translator from the list.
    const std::vector<IMessagePreTranslator*> translators = PreTranslators();
    for (IMessagePreTranslator* translator : translators) {
        if (!IsRegistered(translator))
            continue;
        HWND window = translator->PreTranslatedWindow();
        if (!window || (msg->hwnd != window && !IsChild(window, msg->hwnd)))
            continue;
        if (translator->PreTranslate(msg))
            return true;
    }
    return false;
}

void UiProcess::AddPreTranslator(IMessagePreTranslator* translator) {
    if (translator && !IsRegistered(translator))
        PreTranslators().push_back(translator);
}

void UiProcess::RemovePreTranslator(IMessagePreTranslator* translator) {
    auto& translators = PreTranslators();
    translators.erase(std::remove(translators.begin(), translators.end(), translator),
                      translators.end());
}

} // namespace skinui
