# Payload extraction: the installer's driver of the 7z reader.
if(WIN32)
    add_library(installer_extract STATIC
        ${CMAKE_CURRENT_LIST_DIR}/ExtractPayload.cpp
        ${CMAKE_CURRENT_LIST_DIR}/InstallFolderWriter.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PayloadSource.cpp)
    target_include_directories(installer_extract PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(installer_extract PUBLIC installer_utils sevenzip shlwapi)
endif()
