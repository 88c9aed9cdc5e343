# Registration with the system and the client's shortcuts. Free of dialog code: the uninstaller
# links this library as it is.
if(WIN32)
    add_library(installer_registration STATIC
        Registration.cpp
        Shortcuts.cpp)
    target_include_directories(installer_registration PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(installer_registration PUBLIC installer_utils ole32 shell32 shlwapi uuid
                                                        advapi32)
endif()
