# The window and control classes of the skin framework (Windows only): every source file at the
# top level of skinui/, one class per Name.h/Name.cpp pair.
if(WIN32)
    file(GLOB SKINUI_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
    add_library(skinui STATIC ${SKINUI_SOURCES})
    target_include_directories(skinui PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(skinui PUBLIC skinui_markup skinui_resources win32support
                                        gdi32 gdiplus msimg32 comctl32 user32 ole32)
endif()
