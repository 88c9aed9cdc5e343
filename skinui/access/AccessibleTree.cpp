#include "skinui/access/AccessibleTree.h"

#include "skinui/controls/EditUI.h"
#include "skinui/controls/OptionUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/controls/RichEditUI.h"
#include "skinui/core/ControlUI.h"

#include <oleacc.h>

#include <algorithm>
#include <cwchar>

namespace skinui::access {
namespace {

// The window's close button is found by the name the skinned window already closes on.
constexpr wchar_t kCloseButtonName[] = L"closebtn";

// The words a skin author may give accrole.
struct RoleWord {
    const wchar_t* word;
    LONG role;
};
constexpr RoleWord kRoleWords[] = {
    {L"none", 0},
    {L"pushbutton", ROLE_SYSTEM_PUSHBUTTON},
    {L"checkbutton", ROLE_SYSTEM_CHECKBUTTON},
    {L"radiobutton", ROLE_SYSTEM_RADIOBUTTON},
    {L"link", ROLE_SYSTEM_LINK},
    {L"text", ROLE_SYSTEM_STATICTEXT},
    {L"edit", ROLE_SYSTEM_TEXT},
    {L"graphic", ROLE_SYSTEM_GRAPHIC},
    {L"progressbar", ROLE_SYSTEM_PROGRESSBAR},
    {L"pagetab", ROLE_SYSTEM_PAGETAB},
    {L"list", ROLE_SYSTEM_LIST},
    {L"listitem", ROLE_SYSTEM_LISTITEM},
    {L"outlineitem", ROLE_SYSTEM_OUTLINEITEM},
    {L"grouping", ROLE_SYSTEM_GROUPING},
};

// Element interfaces and their roles, most specific first (a slider is a progress bar, an
// option a button, a rich edit a container).
struct InterfaceRole {
    const wchar_t* interfaceName;
    LONG role;
};
constexpr InterfaceRole kInterfaceRoles[] = {
    {L"ScrollBar", 0},
    {L"Combo", ROLE_SYSTEM_COMBOBOX},
    {L"ComboBox", ROLE_SYSTEM_COMBOBOX},
    {L"DateTime", ROLE_SYSTEM_DROPLIST},
    {L"TreeNode", ROLE_SYSTEM_OUTLINEITEM},
    {L"TreeView", ROLE_SYSTEM_OUTLINE},
    {L"ListHeaderItem", ROLE_SYSTEM_COLUMNHEADER},
    {L"ListItem", ROLE_SYSTEM_LISTITEM},
    {L"List", ROLE_SYSTEM_LIST},
    {L"Slider", ROLE_SYSTEM_SLIDER},
    {L"Progress", ROLE_SYSTEM_PROGRESSBAR},
    {L"RichEdit", ROLE_SYSTEM_TEXT},
    {L"Edit", ROLE_SYSTEM_TEXT},
    {L"Button", ROLE_SYSTEM_PUSHBUTTON},
    {L"Text", ROLE_SYSTEM_STATICTEXT},
    {L"Label", ROLE_SYSTEM_STATICTEXT},
    {L"GifAnim", ROLE_SYSTEM_ANIMATION},
    {L"ActiveX", ROLE_SYSTEM_CLIENT},
};

bool Answers(CControlUI* control, const wchar_t* interfaceName) {
    return control->GetInterface(interfaceName) != nullptr;
}

bool IsContainer(CControlUI* control) {
    return Answers(control, L"IContainer");
}

COptionUI* AsOption(CControlUI* control) {
    return InterfaceCast<COptionUI>(control);
}

bool IsRadio(CControlUI* control) {
    const COptionUI* option = AsOption(control);
    return option && !option->GetGroup().empty();
}

// Roles that are announced even without a name: a person can act on them or read them.
bool NeedsNoName(LONG role) {
    return role != 0 && role != ROLE_SYSTEM_STATICTEXT && role != ROLE_SYSTEM_GRAPHIC &&
           role != ROLE_SYSTEM_GROUPING && role != ROLE_SYSTEM_CLIENT;
}

std::wstring OwnName(CControlUI* control) {
    if (!control->GetAccName().empty())
        return control->GetAccName();
    const std::wstring text = control->GetText();
    if (!text.empty() && !Answers(control, L"Edit") && !Answers(control, L"RichEdit") &&
        !Answers(control, L"Progress"))
        return text;
    return control->GetToolTip();
}

template <typename Keep> std::vector<CControlUI*> Collect(CControlUI* root, UINT flags, Keep keep) {
    std::vector<CControlUI*> found;
    if (!root)
        return found;
    root->FindControl(
        [&](CControlUI* control, void*) -> CControlUI* {
            if (keep(control))
                found.push_back(control);
            return nullptr;
        },
        nullptr, flags | kFindMeFirst);
    return found;
}

} // namespace

LONG RoleOf(CControlUI* control) {
    const std::wstring& word = control->GetAccRole();
    if (!word.empty())
        for (const RoleWord& entry : kRoleWords)
            if (_wcsicmp(entry.word, word.c_str()) == 0)
                return entry.role;
    if (Answers(control, L"ScrollBar"))
        return 0;
    if (AsOption(control))
        return IsRadio(control) ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
    for (const InterfaceRole& entry : kInterfaceRoles)
        if (Answers(control, entry.interfaceName))
            return entry.role;
    if (IsContainer(control))
        return control->GetAccName().empty() ? 0 : ROLE_SYSTEM_GROUPING;
    // A plain control is a picture or a spacer: announced only when a name was given to it.
    return ROLE_SYSTEM_GRAPHIC;
}

std::vector<CControlUI*> ExposedControls(CControlUI* root) {
    return Collect(root, 0, [](CControlUI* control) {
        const LONG role = RoleOf(control);
        return role != 0 && (NeedsNoName(role) || !OwnName(control).empty());
    });
}

LONG ChildIdOf(CControlUI* root, CControlUI* control) {
    const std::vector<CControlUI*> exposed = ExposedControls(root);
    const auto it = std::find(exposed.begin(), exposed.end(), control);
    return it == exposed.end() ? 0 : static_cast<LONG>(it - exposed.begin()) + 1;
}

CControlUI* ExposedAncestor(CControlUI* root, CControlUI* control) {
    const std::vector<CControlUI*> exposed = ExposedControls(root);
    for (; control; control = control->GetParent())
        if (std::find(exposed.begin(), exposed.end(), control) != exposed.end())
            return control;
    return nullptr;
}

std::wstring NameOf(CControlUI* root, CControlUI* control) {
    std::wstring name = OwnName(control);
    if (!name.empty() || !(Answers(control, L"Edit") || Answers(control, L"RichEdit") ||
                           Answers(control, L"Progress")))
        return name;
    // A field is named by the static text before it, as a native dialog's label names its edit.
    const std::vector<CControlUI*> exposed = ExposedControls(root);
    const auto it = std::find(exposed.begin(), exposed.end(), control);
    if (it != exposed.begin() && it != exposed.end()) {
        CControlUI* before = *(it - 1);
        if (RoleOf(before) == ROLE_SYSTEM_STATICTEXT)
            return OwnName(before);
    }
    return {};
}

bool IsShown(const CControlUI* control) {
    for (; control; control = control->GetParent())
        if (!control->IsVisible())
            return false;
    return true;
}

bool IsUsable(const CControlUI* control) {
    for (; control; control = control->GetParent())
        if (!control->IsEnabled())
            return false;
    return true;
}

LONG StateOf(CControlUI* control) {
    LONG state = 0;
    if (!IsShown(control))
        state |= STATE_SYSTEM_INVISIBLE;
    if (!IsUsable(control))
        state |= STATE_SYSTEM_UNAVAILABLE;
    if ((control->GetControlFlags() & kFlagTabStop) && control->IsKeyboardEnabled())
        state |= STATE_SYSTEM_FOCUSABLE;
    if (const COptionUI* option = AsOption(control); option && option->IsSelected())
        state |= STATE_SYSTEM_CHECKED;
    const LONG role = RoleOf(control);
    if (role == ROLE_SYSTEM_LINK)
        state |= STATE_SYSTEM_LINKED;
    if (role == ROLE_SYSTEM_STATICTEXT || role == ROLE_SYSTEM_PROGRESSBAR ||
        role == ROLE_SYSTEM_GRAPHIC)
        state |= STATE_SYSTEM_READONLY;
    if (const CEditUI* edit = InterfaceCast<CEditUI>(control)) {
        if (edit->IsReadOnly())
            state |= STATE_SYSTEM_READONLY;
        if (edit->IsPasswordMode())
            state |= STATE_SYSTEM_PROTECTED;
    }
    if (const CRichEditUI* rich = InterfaceCast<CRichEditUI>(control); rich && rich->IsReadOnly())
        state |= STATE_SYSTEM_READONLY;
    return state;
}

std::wstring ValueOf(CControlUI* control) {
    if (const CProgressUI* progress = InterfaceCast<CProgressUI>(control)) {
        const int range = progress->GetMaxValue() - progress->GetMinValue();
        const int percent =
            range > 0 ? (progress->GetValue() - progress->GetMinValue()) * 100 / range : 0;
        return std::to_wstring(percent) + L"%";
    }
    if (const CEditUI* edit = InterfaceCast<CEditUI>(control))
        return edit->IsPasswordMode() ? std::wstring{} : edit->GetText();
    if (InterfaceCast<CRichEditUI>(control))
        return control->GetText();
    return {};
}

std::wstring DescriptionOf(CControlUI* control) {
    if (InterfaceCast<CProgressUI>(control) && !control->GetText().empty())
        return control->GetText();
    const std::wstring tooltip = control->GetToolTip();
    return tooltip == OwnName(control) ? std::wstring{} : tooltip;
}

std::wstring DefaultActionOf(CControlUI* control) {
    switch (RoleOf(control)) {
    case ROLE_SYSTEM_PUSHBUTTON:
        return L"按下";
    case ROLE_SYSTEM_LINK:
        return L"打开";
    case ROLE_SYSTEM_CHECKBUTTON:
        return AsOption(control) && AsOption(control)->IsSelected() ? L"取消选中" : L"选中";
    case ROLE_SYSTEM_RADIOBUTTON:
        return L"选择";
    default:
        return {};
    }
}

std::vector<CControlUI*> TabOrder(CControlUI* root) {
    std::vector<CControlUI*> stops =
        Collect(root, kFindVisible | kFindEnabled, [](CControlUI* control) {
            return (control->GetControlFlags() & kFlagTabStop) && control->IsKeyboardEnabled();
        });
    // A radio group is one stop: its selected member, else its first.
    std::vector<CControlUI*> order;
    for (CControlUI* control : stops) {
        if (!IsRadio(control)) {
            order.push_back(control);
            continue;
        }
        const std::vector<CControlUI*> group = RadioGroupOf(root, control);
        const auto selected = std::find_if(group.begin(), group.end(), [](CControlUI* member) {
            return AsOption(member)->IsSelected();
        });
        CControlUI* stop = selected != group.end() ? *selected : group.front();
        if (stop == control)
            order.push_back(control);
    }
    std::stable_partition(order.begin(), order.end(), [](CControlUI* control) {
        return control->GetName() != kCloseButtonName;
    });
    return order;
}

std::vector<CControlUI*> RadioGroupOf(CControlUI* root, CControlUI* option) {
    const COptionUI* own = AsOption(option);
    if (!own || own->GetGroup().empty())
        return {option};
    const std::wstring group = own->GetGroup();
    std::vector<CControlUI*> members =
        Collect(root, kFindVisible | kFindEnabled, [&group](CControlUI* control) {
            const COptionUI* other = AsOption(control);
            return other && other->GetGroup() == group;
        });
    if (members.empty())
        members.push_back(option);
    return members;
}

CControlUI* ShownCloseButton(CControlUI* root) {
    const std::vector<CControlUI*> found =
        Collect(root, kFindVisible | kFindEnabled,
                [](CControlUI* control) { return control->GetName() == kCloseButtonName; });
    return found.empty() ? nullptr : found.front();
}

} // namespace skinui::access
