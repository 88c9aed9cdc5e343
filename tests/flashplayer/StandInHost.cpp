#include "tests/flashplayer/StandInHost.h"

#include "flashplayer/ShockwaveFlash.h"

#include <fstream>

namespace flashtest {

namespace {

constexpr const wchar_t* kOptions[] = {L"VERSION", L"FAIL", L"NO_WINDOWLESS", L"NO_VIEWEX"};

std::wstring OptionVariable(const wchar_t* name) {
    return std::wstring(L"ORVIA_FLASHSTANDIN_") + name;
}

} // namespace

StandInHost::StandInHost() : m_library(LoadLibraryW(FLASHSTANDIN_DLL)) {
    m_logPath = (m_folder.path() / "standin.log").wstring();
    SetEnvironmentVariableW(OptionVariable(L"LOG").c_str(), m_logPath.c_str());
    for (const wchar_t* option : kOptions)
        SetOption(option, L"");
    if (!m_library)
        return;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(m_library.get(), "DllGetClassObject")));
    IUnknown* factory = nullptr;
    if (!getClassObject || FAILED(getClassObject(CLSID_ShockwaveFlash, IID_IClassFactory,
                                                 reinterpret_cast<void**>(&factory))))
        return;
    CoRegisterClassObject(CLSID_ShockwaveFlash, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &m_cookie);
    factory->Release();
}

StandInHost::~StandInHost() {
    if (m_cookie)
        CoRevokeClassObject(m_cookie);
    SetEnvironmentVariableW(OptionVariable(L"LOG").c_str(), nullptr);
    for (const wchar_t* option : kOptions)
        SetOption(option, L"");
}

void StandInHost::SetOption(const wchar_t* name, const wchar_t* value) {
    SetEnvironmentVariableW(OptionVariable(name).c_str(), *value ? value : nullptr);
}

std::vector<std::string> StandInHost::Log() const {
    std::vector<std::string> lines;
    std::ifstream file(m_folder.path() / "standin.log");
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

int StandInHost::Count(const std::string& prefix) const {
    int count = 0;
    for (const std::string& line : Log())
        count += line.compare(0, prefix.size(), prefix) == 0;
    return count;
}

void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG message{};
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

} // namespace flashtest
