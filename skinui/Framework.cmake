# The window and control classes of the skin framework (Windows only).
if(WIN32)
    add_library(skinui STATIC
        ${CMAKE_CURRENT_LIST_DIR}/AttributeValues.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ButtonUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ContainerUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ControlUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HorizontalLayoutUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ImagePainter.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LabelUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LayoutSeparator.cpp
        ${CMAKE_CURRENT_LIST_DIR}/NotifyPump.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RenderEngine.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ShadowUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinBuilder.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinWindowManager.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TabLayoutUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/VerticalLayoutUI.cpp
        ${CMAKE_CURRENT_LIST_DIR}/WindowImplBase.cpp
        ${CMAKE_CURRENT_LIST_DIR}/WindowWnd.cpp)
    target_include_directories(skinui PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(skinui PUBLIC skinui_markup skinui_resources win32support
                                        gdi32 msimg32 comctl32 user32 ole32)
endif()
