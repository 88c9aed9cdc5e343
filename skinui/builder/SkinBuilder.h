#pragma once

#include "skinui/core/UiTypes.h"
#include "skinui/markup/SkinMarkup.h"

#include <string>

namespace skinui {

class CControlUI;
class SkinWindowManager;

// A process-wide control factory: element name → new control, or null.
using ControlFactory = CControlUI* (*)(const wchar_t* elementName);
void RegisterControlFactory(ControlFactory factory);

// Creates a built-in control for an element name; null when the name is unknown.
CControlUI* CreateBuiltinControl(const std::wstring& elementName);

// Turns markup into a control tree, filling the manager's fonts, images, default attribute
// lists and window attributes on the way.
class SkinBuilder {
public:
    // source: a resource id (MAKEINTRESOURCE value below 0x10000) of type `type`, markup text
    // beginning with "<", or a file name in the skin package.
    CControlUI* Create(const wchar_t* source, const wchar_t* type = nullptr,
                       IDialogBuilderCallback* callback = nullptr,
                       SkinWindowManager* manager = nullptr, CControlUI* parent = nullptr);
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr,
                       SkinWindowManager* manager = nullptr, CControlUI* parent = nullptr);
    // Markup text of the last failure.
    std::wstring GetLastError() const { return m_lastError; }

private:
    bool LoadSource(const wchar_t* source, const wchar_t* type);
    void ApplyResources(const markup::SkinMarkupNode& root, SkinWindowManager& manager);
    void ApplyWindowAttributes(const markup::SkinMarkupNode& root, SkinWindowManager& manager);
    CControlUI* Parse(const markup::SkinMarkupNode& first, CControlUI* parent,
                      SkinWindowManager* manager);
    // Builds an Include's markup into parent; without a parent, returns the first control
    // built at the included top level (the caller owns it) and discards the rest.
    CControlUI* ParseInclude(const markup::SkinMarkupNode& node, CControlUI* parent,
                             SkinWindowManager* manager);
    static bool AddToParent(CControlUI* parent, CControlUI* control, bool isTreeNode);
    // The type the markup's resource was found under, for the resources it includes.
    const wchar_t* ResourceType() const;

    markup::SkinMarkup m_markup;
    // The resource type of the markup when it came from a resource, named or numbered
    // (RT_RCDATA and the like), so an Include finds its resource under the same type.
    std::wstring m_type;
    WORD m_typeId = 0;
    bool m_fromResource = false;
    IDialogBuilderCallback* m_callback = nullptr;
    std::wstring m_lastError;
};

} // namespace skinui
