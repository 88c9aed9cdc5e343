#pragma once

#include "flashplayer/ShockwaveFlash.h"

namespace flashstandin {

// Every IShockwaveFlash member answering E_NOTIMPL, so that an implementation overrides only
// what it supports. IUnknown is left to the implementation.
class ShockwaveFlashDefaults : public IShockwaveFlash {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT /*index*/, LCID /*locale*/,
                                          ITypeInfo** /*info*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/, UINT /*count*/,
                                            LCID /*locale*/, DISPID* /*ids*/) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID /*id*/, REFIID /*iid*/, LCID /*locale*/, WORD /*flags*/,
                                     DISPPARAMS* /*parameters*/, VARIANT* /*result*/,
                                     EXCEPINFO* /*exception*/, UINT* /*argumentError*/) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE get_ReadyState(long* /*state*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_TotalFrames(long* /*frames*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* /*playing*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL /*playing*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Quality(int* /*quality*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Quality(int /*quality*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ScaleMode(int* /*mode*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ScaleMode(int /*mode*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_AlignMode(int* /*mode*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_AlignMode(int /*mode*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* /*color*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_BackgroundColor(long /*color*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* /*loop*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL /*loop*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Movie(BSTR* /*movie*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Movie(BSTR /*movie*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FrameNum(long* /*frame*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FrameNum(long /*frame*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetZoomRect(long /*left*/, long /*top*/, long /*right*/,
                                          long /*bottom*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Zoom(int /*factor*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Pan(long /*x*/, long /*y*/, int /*mode*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Play() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stop() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Back() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Forward() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Rewind() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE StopPlay() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GotoFrame(long /*frame*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CurrentFrame(long* /*frame*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL* /*playing*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PercentLoaded(long* /*percent*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FrameLoaded(long /*frame*/, VARIANT_BOOL* /*loaded*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FlashVersion(long* /*version*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_WMode(BSTR* /*mode*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_WMode(BSTR /*mode*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* /*align*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_SAlign(BSTR /*align*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* /*menu*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL /*menu*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Base(BSTR* /*base*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Base(BSTR /*base*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Scale(BSTR* /*scale*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Scale(BSTR /*scale*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* /*deviceFont*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL /*deviceFont*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* /*embed*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL /*embed*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* /*color*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_BGColor(BSTR /*color*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* /*quality*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Quality2(BSTR /*quality*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadMovie(int /*layer*/, BSTR /*url*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR /*target*/, long /*frame*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR /*target*/, BSTR /*label*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR /*target*/, long* /*frame*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR /*target*/, BSTR* /*label*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TPlay(BSTR /*target*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TStopPlay(BSTR /*target*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVariable(BSTR /*name*/, BSTR /*value*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetVariable(BSTR /*name*/, BSTR* /*value*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TSetProperty(BSTR /*target*/, int /*property*/,
                                           BSTR /*value*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TGetProperty(BSTR /*target*/, int /*property*/,
                                           BSTR* /*value*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TCallFrame(BSTR /*target*/, int /*frame*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TCallLabel(BSTR /*target*/, BSTR /*label*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR /*target*/, int /*property*/,
                                              double /*value*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR /*target*/, int /*property*/,
                                              double* /*value*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TGetPropertyAsNumber(BSTR /*target*/, int /*property*/,
                                                   double* /*value*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_SWRemote(BSTR* /*remote*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_SWRemote(BSTR /*remote*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FlashVars(BSTR* /*vars*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FlashVars(BSTR /*vars*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_AllowScriptAccess(BSTR* /*access*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_AllowScriptAccess(BSTR /*access*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_MovieData(BSTR* /*data*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_MovieData(BSTR /*data*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_InlineData(IUnknown** /*data*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_InlineData(IUnknown* /*data*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SeamlessTabbing(VARIANT_BOOL* /*seamless*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_SeamlessTabbing(VARIANT_BOOL /*seamless*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnforceLocalSecurity() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Profile(VARIANT_BOOL* /*profile*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Profile(VARIANT_BOOL /*profile*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ProfileAddress(BSTR* /*address*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ProfileAddress(BSTR /*address*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ProfilePort(long* /*port*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ProfilePort(long /*port*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CallFunction(BSTR /*request*/, BSTR* /*response*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetReturnValue(BSTR /*returnValue*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisableLocalSecurity() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_AllowNetworking(BSTR* /*networking*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_AllowNetworking(BSTR /*networking*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_AllowFullScreen(BSTR* /*fullScreen*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR /*fullScreen*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_AllowFullScreenInteractive(BSTR* /*fullScreen*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_AllowFullScreenInteractive(BSTR /*fullScreen*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_IsDependent(VARIANT_BOOL* /*dependent*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_IsDependent(VARIANT_BOOL /*dependent*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_BrowserZoom(BSTR* /*zoom*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_BrowserZoom(BSTR /*zoom*/) override { return E_NOTIMPL; }
};

} // namespace flashstandin
