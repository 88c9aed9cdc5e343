#include "skinui/builder/SkinBuilder.h"

#include "skinui/controls/ButtonUI.h"
#include "skinui/controls/EditUI.h"
#include "skinui/controls/LabelUI.h"
#include "skinui/controls/OptionUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/controls/RichEditUI.h"
#include "skinui/controls/TextUI.h"
#include "skinui/core/AttributeValues.h"
#include "skinui/core/ContainerUI.h"
#include "skinui/core/ControlUI.h"
#include "skinui/core/ScrollBarUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/extras/ActiveXUI.h"
#include "skinui/extras/AnimationTabLayoutUI.h"
#include "skinui/extras/CheckBoxUI.h"
#include "skinui/extras/ChildLayoutUI.h"
#include "skinui/extras/ColorPaletteUI.h"
#include "skinui/extras/ComboUI.h"
#include "skinui/extras/DateTimeUI.h"
#include "skinui/extras/GifAnimUI.h"
#include "skinui/extras/ListElementUI.h"
#include "skinui/extras/ListUI.h"
#include "skinui/extras/OptionExUI.h"
#include "skinui/extras/SliderUI.h"
#include "skinui/extras/TileLayoutUI.h"
#include "skinui/extras/TreeListViewUI.h"
#include "skinui/extras/TreeViewUI.h"
#include "skinui/layouts/HorizontalLayoutUI.h"
#include "skinui/layouts/TabLayoutUI.h"
#include "skinui/layouts/VerticalLayoutUI.h"
#include "skinui/resources/SkinResources.h"
#include "skinui/resources/WideText.h"

#include <cwctype>
#include <map>
#include <vector>

namespace skinui {
namespace {

using resources::ToU16;
using resources::ToWide;

// Characters of an Include source read. Other values (Default lists above all) are read whole:
// cut at a fixed length, a long list would silently lose its last attributes.
constexpr size_t kAttributeLimit = 499;
// Includes nest at most this deep, so a markup that includes itself ends instead of
// exhausting the stack.
constexpr int kMaxIncludeDepth = 16;
constexpr int kDefaultFontSize = 12;

std::wstring Attribute(const markup::SkinMarkupNode& node, const char16_t* name) {
    return ToWide(node.GetAttributeValue(name));
}

std::vector<ControlFactory>& Factories() {
    static std::vector<ControlFactory> factories;
    return factories;
}

int& IncludeDepth() {
    static int depth = 0;
    return depth;
}

template <typename T> CControlUI* Make() {
    return new T();
}

struct BuiltinElement {
    const wchar_t* name;
    CControlUI* (*create)(); // null: a control this framework does not build yet
};

// Every element name of the markup vocabulary. Names whose control class is not part of this
// build are recognised but create nothing, so their subtree is skipped like an unknown one.
constexpr BuiltinElement kBuiltinElements[] = {
    {L"Control", &Make<CControlUI>},
    {L"Container", &Make<CContainerUI>},
    {L"VerticalLayout", &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {L"TabLayout", &Make<CTabLayoutUI>},
    {L"AnimationTabLayout", &Make<CAnimationTabLayoutUI>},
    {L"TileLayout", &Make<CTileLayoutUI>},
    {L"ChildLayout", &Make<CChildLayoutUI>},
    {L"Label", &Make<CLabelUI>},
    {L"Text", &Make<CTextUI>},
    {L"Button", &Make<CButtonUI>},
    {L"Option", &Make<COptionUI>},
    {L"OptionEx", &Make<COptionExUI>},
    {L"CheckBox", &Make<CCheckBoxUI>},
    {L"Edit", &Make<CEditUI>},
    {L"RichEdit", &Make<CRichEditUI>},
    {L"Progress", &Make<CProgressUI>},
    {L"Slider", &Make<CSliderUI>},
    {L"ScrollBar", &Make<CScrollBarUI>},
    {L"Combo", &Make<CComboUI>},
    {L"ComboBox", &Make<CComboBoxUI>},
    {L"DateTime", &Make<CDateTimeUI>},
    {L"List", &Make<CListUI>},
    {L"ListHeader", &Make<CListHeaderUI>},
    {L"ListHeaderItem", &Make<CListHeaderItemUI>},
    {L"ListTextElement", &Make<CListTextElementUI>},
    {L"ListLabelElement", &Make<CListLabelElementUI>},
    {L"ListContainerElement", &Make<CListContainerElementUI>},
    {L"ListContainerElementEx", &Make<CListContainerElementExUI>},
    {L"TreeView", &Make<CTreeViewUI>},
    {L"TreeListView", &Make<CTreeListViewUI>},
    {L"TreeListViewHead", &Make<CTreeListViewHeadUI>},
    {L"TreeListContainerElement", &Make<CTreeListContainerElementUI>},
    {L"ColorPalette", &Make<CColorPaletteUI>},
    {L"GifAnim", &Make<CGifAnimUI>},
    {L"ActiveX", &Make<CActiveXUI>},
    {L"Flash", &Make<CFlashUI>},
    {L"WebBrowser", &Make<CWebBrowserUI>},
};

// The lookup dispatches on the name's length first, so an unknown name costs a few
// comparisons at most.
const std::map<size_t, std::vector<const BuiltinElement*>>& ElementsByLength() {
    static const auto table = [] {
        std::map<size_t, std::vector<const BuiltinElement*>> byLength;
        for (const BuiltinElement& element : kBuiltinElements)
            byLength[wcslen(element.name)].push_back(&element);
        return byLength;
    }();
    return table;
}

} // namespace

void RegisterControlFactory(ControlFactory factory) {
    if (factory)
        Factories().push_back(factory);
}

CControlUI* CreateBuiltinControl(const std::wstring& elementName) {
    const auto& table = ElementsByLength();
    const auto it = table.find(elementName.size());
    if (it == table.end())
        return nullptr;
    for (const BuiltinElement* element : it->second)
        if (elementName == element->name)
            return element->create ? element->create() : nullptr;
    return nullptr;
}

CControlUI* SkinBuilder::Create(const wchar_t* source, const wchar_t* type,
                                IDialogBuilderCallback* callback, SkinWindowManager* manager,
                                CControlUI* parent) {
    if (!LoadSource(source, type))
        return nullptr;
    return Create(callback, manager, parent);
}

const wchar_t* SkinBuilder::ResourceType() const {
    if (m_typeId != 0)
        return MAKEINTRESOURCEW(m_typeId);
    return m_type.empty() ? nullptr : m_type.c_str();
}

bool SkinBuilder::LoadSource(const wchar_t* source, const wchar_t* type) {
    if (!source)
        return false;
    bool loaded = false;
    if (IS_INTRESOURCE(source)) {
        m_fromResource = true;
        m_type.clear();
        m_typeId = 0;
        if (IS_INTRESOURCE(type))
            m_typeId = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type));
        else if (type)
            m_type = type;
        HINSTANCE instance = resources::GetResourceInstance();
        if (!instance)
            instance = GetModuleHandleW(nullptr);
        HRSRC resource = FindResourceW(instance, source, type);
        HGLOBAL block = resource ? LoadResource(instance, resource) : nullptr;
        const void* data = block ? LockResource(block) : nullptr;
        const DWORD size = resource ? SizeofResource(instance, resource) : 0;
        loaded =
            data && size > 0 && m_markup.LoadFromMem(static_cast<const std::uint8_t*>(data), size);
    } else if (source[0] == L'<') {
        loaded = m_markup.Load(ToU16(source).c_str());
    } else {
        loaded = resources::LoadMarkupFile(m_markup, source);
    }
    if (!loaded)
        m_lastError = ToWide(m_markup.GetLastErrorMessage()) + L": " +
                      ToWide(m_markup.GetLastErrorLocation());
    return loaded;
}

CControlUI* SkinBuilder::Create(IDialogBuilderCallback* callback, SkinWindowManager* manager,
                                CControlUI* parent) {
    m_callback = callback;
    const markup::SkinMarkupNode root = m_markup.GetRoot();
    if (!root.IsValid())
        return nullptr;
    if (manager) {
        ApplyResources(root, *manager);
        if (ToWide(root.GetName()) == L"Window" && manager->GetPaintWindow())
            ApplyWindowAttributes(root, *manager);
    }
    return Parse(root, parent, manager);
}

void SkinBuilder::ApplyResources(const markup::SkinMarkupNode& root, SkinWindowManager& manager) {
    for (markup::SkinMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const std::wstring element = ToWide(node.GetName());
        if (element == L"Image") {
            const std::wstring name = Attribute(node, u"name");
            const std::wstring resType = Attribute(node, u"restype");
            const DWORD mask = ParseColorValue(Attribute(node, u"mask"));
            if (name.empty() || (!resType.empty() && !std::iswdigit(name[0])))
                continue;
            manager.GetImageEx(name, resType, mask);
        } else if (element == L"Font") {
            const std::wstring face = Attribute(node, u"name");
            if (face.empty())
                continue;
            const char16_t* sizeText = node.GetAttributeValue(u"size");
            const int size = sizeText ? ParseIntValue(ToWide(sizeText)) : kDefaultFontSize;
            const bool bold = ParseBoolValue(Attribute(node, u"bold"));
            const bool underline = ParseBoolValue(Attribute(node, u"underline"));
            const bool italic = ParseBoolValue(Attribute(node, u"italic"));
            manager.AddFont(face, size, bold, underline, italic);
            if (ParseBoolValue(Attribute(node, u"default")))
                manager.SetDefaultFont(face, size, bold, underline, italic);
        } else if (element == L"Default") {
            const std::wstring name = Attribute(node, u"name");
            if (!name.empty())
                manager.AddDefaultAttributeList(name, Attribute(node, u"value"));
        }
    }
}

void SkinBuilder::ApplyWindowAttributes(const markup::SkinMarkupNode& root,
                                        SkinWindowManager& manager) {
    const int count = root.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        const std::wstring name = ToWide(root.GetAttributeName(i));
        const std::wstring value = ToWide(root.GetAttributeValue(i));
        if (name == L"size") {
            const SIZE size = ParseSizeValue(value);
            manager.SetInitSize(size.cx, size.cy);
        } else if (name == L"sizebox") {
            manager.SetSizeBox(ParseRectValue(value));
        } else if (name == L"caption") {
            manager.SetCaptionRect(ParseRectValue(value));
        } else if (name == L"roundcorner") {
            const SIZE round = ParseSizeValue(value);
            manager.SetRoundCorner(round.cx, round.cy);
        } else if (name == L"mininfo") {
            const SIZE size = ParseSizeValue(value);
            manager.SetMinInfo(size.cx, size.cy);
        } else if (name == L"maxinfo") {
            const SIZE size = ParseSizeValue(value);
            manager.SetMaxInfo(size.cx, size.cy);
        } else if (name == L"showdirty") {
            manager.SetShowUpdateRect(ParseBoolValue(value));
        } else if (name == L"alpha") {
            manager.SetTransparent(ParseIntValue(value));
        } else if (name == L"bktrans") {
            manager.SetLayered(ParseBoolValue(value));
        } else if (name == L"disabledfontcolor") {
            manager.SetDisabledColor(ParseColorValue(value));
        } else if (name == L"defaultfontcolor") {
            manager.SetDefaultFontColor(ParseColorValue(value));
        } else if (name == L"linkfontcolor") {
            manager.SetLinkFontColor(ParseColorValue(value));
        } else if (name == L"linkhoverfontcolor") {
            manager.SetLinkHoverFontColor(ParseColorValue(value));
        } else if (name == L"selectedcolor") {
            manager.SetSelectedBkColor(ParseColorValue(value));
        } else if (name == L"shadowsize") {
            manager.GetShadow()->SetSize(ParseIntValue(value));
        } else if (name == L"shadowsharpness") {
            manager.GetShadow()->SetSharpness(ParseIntValue(value));
        } else if (name == L"shadowdarkness") {
            manager.GetShadow()->SetDarkness(ParseIntValue(value));
        } else if (name == L"shadowpositon") {
            const SIZE offset = ParseSizeValue(value);
            manager.GetShadow()->SetPosition(offset.cx, offset.cy);
        } else if (name == L"shadowcolor") {
            manager.GetShadow()->SetColor(ParseColorValue(value));
        } else if (name == L"shadowcorner") {
            manager.GetShadow()->SetShadowCorner(ParseRectValue(value));
        } else if (name == L"shadowimage") {
            manager.GetShadow()->SetImage(value);
        } else if (name == L"showshadow") {
            manager.GetShadow()->ShowShadow(ParseBoolValue(value));
        } else if (name == L"gdiplustext") {
            manager.SetUseGdiplusText(ParseBoolValue(value));
        }
    }
}

// A tree node joins its parent node or the tree view itself, and nothing else; any other
// control goes through the parent's container interface.
bool SkinBuilder::AddToParent(CControlUI* parent, CControlUI* control, bool isTreeNode) {
    if (isTreeNode) {
        auto* node = static_cast<CTreeNodeUI*>(control);
        if (auto* parentNode = InterfaceCast<CTreeNodeUI>(parent))
            return parentNode->AddChildNode(node);
        if (auto* tree = InterfaceCast<CTreeViewUI>(parent))
            return tree->AddNode(node);
        return false;
    }
    auto* container = InterfaceCast<IContainerUI>(parent);
    return container && container->Add(control);
}

CControlUI* SkinBuilder::Parse(const markup::SkinMarkupNode& parentNode, CControlUI* parent,
                               SkinWindowManager* manager) {
    CControlUI* first = nullptr;
    for (markup::SkinMarkupNode node = parentNode.GetChild(); node.IsValid();
         node = node.GetSibling()) {
        const std::wstring element = ToWide(node.GetName());
        if (element == L"Image" || element == L"Font" || element == L"Default")
            continue;
        if (element == L"Include") {
            CControlUI* included = ParseInclude(node, parent, manager);
            if (included && !first)
                first = included;
            else
                delete included;
            continue;
        }
        const bool isTreeNode = element == L"TreeNode";
        CControlUI* control = isTreeNode ? new CTreeNodeUI : CreateBuiltinControl(element);
        for (ControlFactory factory : Factories()) {
            if (control)
                break;
            control = factory(element.c_str());
        }
        if (!control && m_callback)
            control = m_callback->CreateCustomControl(element.c_str());
        if (!control)
            continue;
        // Without a parent only the first top-level control has an owner (the caller). The
        // others are still built whole, so the callback sees their subtree and their Includes'
        // resources reach the window, and then discarded.
        const bool discard = !parent && first;

        // Children first: a tab layout's selectedid needs its pages already there.
        if (node.HasChildren())
            Parse(node, control, manager);
        if (parent && !AddToParent(parent, control, isTreeNode)) {
            delete control;
            continue;
        }
        if (manager) {
            CControlUI* owner = control->GetParent();
            control->SetManager(manager, owner, false);
            const std::wstring defaults = manager->GetDefaultAttributeList(element);
            if (!defaults.empty())
                control->ApplyAttributeList(defaults);
            const int count = node.GetAttributeCount();
            for (int i = 0; i < count; ++i)
                control->SetAttribute(ToWide(node.GetAttributeName(i)),
                                      ToWide(node.GetAttributeValue(i)));
            control->SetManager(nullptr, owner, false);
        }
        if (discard) {
            delete control;
            continue;
        }
        if (!first)
            first = control;
    }
    return first;
}

CControlUI* SkinBuilder::ParseInclude(const markup::SkinMarkupNode& node, CControlUI* parent,
                                      SkinWindowManager* manager) {
    if (IncludeDepth() >= kMaxIncludeDepth)
        return nullptr;
    const char16_t* countText = node.GetAttributeValue(u"count");
    const int count = countText ? ParseIntValue(ToWide(countText)) : 1;
    char16_t buffer[kAttributeLimit + 1] = {};
    if (!node.GetAttributeValue(u"source", buffer, kAttributeLimit) || count <= 0)
        return nullptr;
    const std::wstring source = ToWide(buffer);
    CControlUI* first = nullptr;
    ++IncludeDepth();
    for (int i = 0; i < count; ++i) {
        SkinBuilder builder;
        CControlUI* built = nullptr;
        if (m_fromResource) {
            const auto id = static_cast<WORD>(ParseIntValue(source));
            built =
                builder.Create(MAKEINTRESOURCEW(id), ResourceType(), m_callback, manager, parent);
        } else {
            built = builder.Create(source.c_str(), nullptr, m_callback, manager, parent);
        }
        // With a parent the included controls belong to it already.
        if (!parent && built) {
            if (first)
                delete built;
            else
                first = built;
        }
    }
    --IncludeDepth();
    return first;
}

} // namespace skinui
