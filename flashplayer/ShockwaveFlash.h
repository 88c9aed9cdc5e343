#pragma once

#include <oaidl.h>
#include <windows.h>

// The Shockwave Flash ActiveX control's interfaces, declared the way its type library lays them
// out: the player calls through the vtable, so the order of the methods below is the order of
// the slots in the shipping control and must never change. Later releases of the control only
// appended members; the last six are such additions, which older controls do not have.

inline constexpr CLSID CLSID_ShockwaveFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr IID IID_IShockwaveFlash = {
    0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr IID DIID__IShockwaveFlashEvents = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr GUID LIBID_ShockwaveFlashObjects = {
    0xD27CDB6B, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// Dispatch identifiers of IShockwaveFlash; a property's get and put share one.
enum ShockwaveFlashDispid : DISPID {
    DISPID_ShockwaveFlash_ReadyState = -525,
    DISPID_ShockwaveFlash_Movie = 102,
    DISPID_ShockwaveFlash_Quality = 105,
    DISPID_ShockwaveFlash_Loop = 106,
    DISPID_ShockwaveFlash_FrameNum = 107,
    DISPID_ShockwaveFlash_SetZoomRect = 109,
    DISPID_ShockwaveFlash_Play = 112,
    DISPID_ShockwaveFlash_Stop = 113,
    DISPID_ShockwaveFlash_Back = 114,
    DISPID_ShockwaveFlash_Forward = 115,
    DISPID_ShockwaveFlash_Rewind = 116,
    DISPID_ShockwaveFlash_Zoom = 118,
    DISPID_ShockwaveFlash_Pan = 119,
    DISPID_ShockwaveFlash_ScaleMode = 120,
    DISPID_ShockwaveFlash_AlignMode = 121,
    DISPID_ShockwaveFlash_BackgroundColor = 123,
    DISPID_ShockwaveFlash_TotalFrames = 124,
    DISPID_ShockwaveFlash_Playing = 125,
    DISPID_ShockwaveFlash_StopPlay = 126,
    DISPID_ShockwaveFlash_GotoFrame = 127,
    DISPID_ShockwaveFlash_CurrentFrame = 128,
    DISPID_ShockwaveFlash_IsPlaying = 129,
    DISPID_ShockwaveFlash_PercentLoaded = 130,
    DISPID_ShockwaveFlash_FrameLoaded = 131,
    DISPID_ShockwaveFlash_FlashVersion = 132,
    DISPID_ShockwaveFlash_WMode = 133,
    DISPID_ShockwaveFlash_SAlign = 134,
    DISPID_ShockwaveFlash_Menu = 135,
    DISPID_ShockwaveFlash_Base = 136,
    DISPID_ShockwaveFlash_Scale = 137,
    DISPID_ShockwaveFlash_DeviceFont = 138,
    DISPID_ShockwaveFlash_EmbedMovie = 139,
    DISPID_ShockwaveFlash_BGColor = 140,
    DISPID_ShockwaveFlash_Quality2 = 141,
    DISPID_ShockwaveFlash_LoadMovie = 142,
    DISPID_ShockwaveFlash_TGotoFrame = 143,
    DISPID_ShockwaveFlash_TGotoLabel = 144,
    DISPID_ShockwaveFlash_TCurrentFrame = 145,
    DISPID_ShockwaveFlash_TCurrentLabel = 146,
    DISPID_ShockwaveFlash_TPlay = 147,
    DISPID_ShockwaveFlash_TStopPlay = 148,
    DISPID_ShockwaveFlash_SetVariable = 151,
    DISPID_ShockwaveFlash_GetVariable = 152,
    DISPID_ShockwaveFlash_TSetProperty = 153,
    DISPID_ShockwaveFlash_TGetProperty = 154,
    DISPID_ShockwaveFlash_TCallFrame = 155,
    DISPID_ShockwaveFlash_TCallLabel = 156,
    DISPID_ShockwaveFlash_TSetPropertyNum = 157,
    DISPID_ShockwaveFlash_TGetPropertyNum = 158,
    DISPID_ShockwaveFlash_SWRemote = 159,
    DISPID_ShockwaveFlash_FlashVars = 170,
    DISPID_ShockwaveFlash_AllowScriptAccess = 171,
    DISPID_ShockwaveFlash_TGetPropertyAsNumber = 172,
    DISPID_ShockwaveFlash_MovieData = 190,
    DISPID_ShockwaveFlash_InlineData = 191,
    DISPID_ShockwaveFlash_SeamlessTabbing = 192,
    DISPID_ShockwaveFlash_EnforceLocalSecurity = 193,
    DISPID_ShockwaveFlash_Profile = 194,
    DISPID_ShockwaveFlash_ProfileAddress = 195,
    DISPID_ShockwaveFlash_ProfilePort = 196,
    DISPID_ShockwaveFlash_CallFunction = 198,
    DISPID_ShockwaveFlash_SetReturnValue = 199,
    DISPID_ShockwaveFlash_DisableLocalSecurity = 200,
    DISPID_ShockwaveFlash_AllowNetworking = 201,
    DISPID_ShockwaveFlash_AllowFullScreen = 202,
    DISPID_ShockwaveFlash_AllowFullScreenInteractive = 203,
    DISPID_ShockwaveFlash_IsDependent = 204,
    DISPID_ShockwaveFlash_BrowserZoom = 205,
};

// Dispatch identifiers of the events the control fires through _IShockwaveFlashEvents.
enum ShockwaveFlashEventDispid : DISPID {
    DISPID_ShockwaveFlashEvents_OnReadyStateChange = -609, // (long newState)
    DISPID_ShockwaveFlashEvents_FSCommand = 150,           // (BSTR command, BSTR args)
    DISPID_ShockwaveFlashEvents_FlashCall = 197,           // (BSTR request)
    DISPID_ShockwaveFlashEvents_OnProgress = 1958,         // (long percentDone)
};

// The control's dual interface; every member below IDispatch in type-library order.
struct IShockwaveFlash : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ReadyState(long* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TotalFrames(long* frames) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* playing) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL playing) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Quality(int* quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Quality(int quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ScaleMode(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ScaleMode(int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AlignMode(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AlignMode(int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BackgroundColor(long color) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* loop) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL loop) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Movie(BSTR* movie) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Movie(BSTR movie) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FrameNum(long* frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FrameNum(long frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetZoomRect(long left, long top, long right, long bottom) = 0;
    virtual HRESULT STDMETHODCALLTYPE Zoom(int factor) = 0;
    virtual HRESULT STDMETHODCALLTYPE Pan(long x, long y, int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE Play() = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE Back() = 0;
    virtual HRESULT STDMETHODCALLTYPE Forward() = 0;
    virtual HRESULT STDMETHODCALLTYPE Rewind() = 0;
    virtual HRESULT STDMETHODCALLTYPE StopPlay() = 0;
    virtual HRESULT STDMETHODCALLTYPE GotoFrame(long frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE CurrentFrame(long* frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL* playing) = 0;
    virtual HRESULT STDMETHODCALLTYPE PercentLoaded(long* percent) = 0;
    virtual HRESULT STDMETHODCALLTYPE FrameLoaded(long frame, VARIANT_BOOL* loaded) = 0;
    virtual HRESULT STDMETHODCALLTYPE FlashVersion(long* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WMode(BSTR* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_WMode(BSTR mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* align) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_SAlign(BSTR align) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* menu) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL menu) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Base(BSTR* base) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Base(BSTR base) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Scale(BSTR* scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Scale(BSTR scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* deviceFont) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL deviceFont) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* embed) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL embed) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BGColor(BSTR color) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Quality2(BSTR quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadMovie(int layer, BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR target, long frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR target, BSTR label) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR target, long* frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR target, BSTR* label) = 0;
    virtual HRESULT STDMETHODCALLTYPE TPlay(BSTR target) = 0;
    virtual HRESULT STDMETHODCALLTYPE TStopPlay(BSTR target) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TSetProperty(BSTR target, int property, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGetProperty(BSTR target, int property, BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCallFrame(BSTR target, int frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE TCallLabel(BSTR target, BSTR label) = 0;
    virtual HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR target, int property, double value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR target, int property, double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TGetPropertyAsNumber(BSTR target, int property,
                                                           double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SWRemote(BSTR* remote) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_SWRemote(BSTR remote) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FlashVars(BSTR* vars) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FlashVars(BSTR vars) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowScriptAccess(BSTR* access) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowScriptAccess(BSTR access) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MovieData(BSTR* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MovieData(BSTR data) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_InlineData(IUnknown** data) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_InlineData(IUnknown* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SeamlessTabbing(VARIANT_BOOL* seamless) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_SeamlessTabbing(VARIANT_BOOL seamless) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnforceLocalSecurity() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Profile(VARIANT_BOOL* profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Profile(VARIANT_BOOL profile) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ProfileAddress(BSTR* address) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ProfileAddress(BSTR address) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ProfilePort(long* port) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ProfilePort(long port) = 0;
    virtual HRESULT STDMETHODCALLTYPE CallFunction(BSTR request, BSTR* response) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetReturnValue(BSTR returnValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisableLocalSecurity() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowNetworking(BSTR* networking) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowNetworking(BSTR networking) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowFullScreen(BSTR* fullScreen) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR fullScreen) = 0;
    // Appended by later releases; never call these without knowing the control's version.
    virtual HRESULT STDMETHODCALLTYPE get_AllowFullScreenInteractive(BSTR* fullScreen) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowFullScreenInteractive(BSTR fullScreen) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsDependent(VARIANT_BOOL* dependent) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsDependent(VARIANT_BOOL dependent) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BrowserZoom(BSTR* zoom) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BrowserZoom(BSTR zoom) = 0;
};

// The event source interface: a dispinterface, so a sink is an IDispatch whose Invoke receives
// the events by the dispatch identifiers above.
struct _IShockwaveFlashEvents : public IDispatch {};

__CRT_UUID_DECL(IShockwaveFlash, 0xD27CDB6C, 0xAE6D, 0x11CF, 0x96, 0xB8, 0x44, 0x45, 0x53, 0x54,
                0x00, 0x00)
__CRT_UUID_DECL(_IShockwaveFlashEvents, 0xD27CDB6D, 0xAE6D, 0x11CF, 0x96, 0xB8, 0x44, 0x45, 0x53,
                0x54, 0x00, 0x00)
