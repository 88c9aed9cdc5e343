#pragma once

#include <windows.h>

// What the install dialog shows and what it finds in its skin: the skin's control names, the
// page numbers of its two tab layouts, and the texts it sets. The skin (InstallDailog.xml) uses
// the same names and page order. What the uninstaller's dialog shares with it is in
// installer/SetupDialogNames.h.

namespace installui {

constexpr wchar_t kWindowClass[] = L"OrviaInstall";
constexpr wchar_t kWindowTitle[] = L"安装程序";

constexpr wchar_t kSkinFile[] = L"InstallDailog.xml";

// Controls the dialog keeps or looks up.
constexpr wchar_t kInstallLayout[] = L"installlayout";
constexpr wchar_t kInstallSetLayout[] = L"installsetlayout";
constexpr wchar_t kTitleText[] = L"titletext";
constexpr wchar_t kInstallName[] = L"installname";
constexpr wchar_t kProtLayout[] = L"protlayout";
constexpr wchar_t kCustomButton[] = L"custombtn";
constexpr wchar_t kInstallProgress[] = L"installprogress";
constexpr wchar_t kLicenceBox[] = L"portcontent";
constexpr wchar_t kCloseButton[] = L"closebtn";
constexpr wchar_t kPathEdit[] = L"pathedit";
constexpr wchar_t kLicenceCheck[] = L"protcheckbtn";
constexpr wchar_t kLicenceLink[] = L"lookprotbtn";
constexpr wchar_t kSimplifiedOption[] = L"hanssel";
constexpr wchar_t kFastButton[] = L"fastbtn";
constexpr wchar_t kStartButton[] = L"starinstallbtn";
constexpr wchar_t kBootStartOption[] = L"bootstartbtn";
constexpr wchar_t kLogonStartOption[] = L"runbtn";
constexpr wchar_t kNewFeaturesOption[] = L"newattribbtn";

// Senders of clicks that have no reference kept.
constexpr wchar_t kCancelButton[] = L"canceInstall";
constexpr wchar_t kNextButton[] = L"nextbtn";
constexpr wchar_t kBrowseButton[] = L"browfilebtn";
constexpr wchar_t kFinishButton[] = L"installfinish";

// Notifications the dialog reacts to besides the shared ones.
constexpr wchar_t kSelectChanged[] = L"selectchanged";
constexpr wchar_t kOptionInterface[] = L"Option";

// Pages of installlayout.
constexpr int kLicencePage = 0;
constexpr int kMainPage = 1;
// Pages of installsetlayout.
constexpr int kEditionPage = 0;
constexpr int kFastPage = 1;
constexpr int kCustomPage = 2;
constexpr int kProgressPage = 3;
constexpr int kFinishPage = 4;

constexpr wchar_t kCustomInstallText[] = L"自定义安装";
constexpr wchar_t kDefaultInstallText[] = L"返回默认安装";
constexpr wchar_t kInstallingTitle[] = L"正在安装";
constexpr wchar_t kFinishedTitle[] = L"完成安装";
constexpr wchar_t kStartedText[] = L"正在安装1%...";
constexpr wchar_t kProgressFormat[] = L"正在安装%d%%";
constexpr wchar_t kFailedText[] = L"安装失败";
constexpr wchar_t kBrowseTitle[] = L"从下面选文件夹目录:";
// The progress text turns white from this percentage on, over the filled part of the bar.
constexpr int kWhiteTextFromPercent = 50;
constexpr DWORD kWhiteText = 0xFFFFFF;

} // namespace installui
