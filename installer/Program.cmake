# The installer program OrvInstall. Its code is compiled once into a library and its shared
# resources (manifest, icon, skins, licence) into one object; a setup package only compiles a
# one-line resource script naming its payload and links (orvia_add_setup_package), so packing
# another client never recompiles the program.
if(WIN32)
    set(ORVINSTALL_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE INTERNAL "")
    # What every payload carries beside the client under install/ (install/res/...).
    set(ORVINSTALL_SETUP_FILES ${CMAKE_CURRENT_LIST_DIR}/setupfiles CACHE INTERNAL "")
    set(out ${CMAKE_CURRENT_BINARY_DIR})

    add_library(orvinstall_program STATIC
        ${ORVINSTALL_SOURCE_DIR}/ChatInstallMainDailog.cpp
        ${ORVINSTALL_SOURCE_DIR}/InstalledSize.cpp
        ${ORVINSTALL_SOURCE_DIR}/InstallFolder.cpp
        ${ORVINSTALL_SOURCE_DIR}/InstallWorker.cpp
        ${ORVINSTALL_SOURCE_DIR}/ModuleVersion.cpp
        ${ORVINSTALL_SOURCE_DIR}/SilentInstall.cpp
        ${ORVINSTALL_SOURCE_DIR}/StagingFile.cpp
        ${ORVINSTALL_SOURCE_DIR}/LicenceText.cpp
        ${ORVINSTALL_SOURCE_DIR}/ResourceBytes.cpp)
    target_include_directories(orvinstall_program PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(orvinstall_program PUBLIC setup_dialog installer_extract installer_registration
                                                    shell32 shlwapi ole32 version)
    # The entry point goes into each executable as an object: the C runtime asks for it only
    # after the program's libraries have been searched.
    add_library(orvinstall_entry OBJECT ${ORVINSTALL_SOURCE_DIR}/InstallerMain.cpp)
    target_link_libraries(orvinstall_entry PRIVATE orvinstall_program)

    # Skin packages, zipped at build time from their folders.
    function(orvinstall_zip_skin folder zip)
        file(GLOB files CONFIGURE_DEPENDS ${folder}/*.xml ${folder}/*.png)
        set(names)
        foreach(file IN LISTS files)
            get_filename_component(name ${file} NAME)
            list(APPEND names ${name})
        endforeach()
        add_custom_command(OUTPUT ${zip}
            COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${names}
            WORKING_DIRECTORY ${folder}
            DEPENDS ${files}
            VERBATIM)
    endfunction()
    set(ORVINSTALL_SKIN_ZIP ${out}/InstallSkin.zip)
    set(ORVINSTALL_SPARE_SKIN_ZIP ${out}/SpareSkin.zip)
    orvinstall_zip_skin(${ORVINSTALL_SOURCE_DIR}/skin ${ORVINSTALL_SKIN_ZIP})
    orvinstall_zip_skin(${ORVINSTALL_SOURCE_DIR}/spareskin ${ORVINSTALL_SPARE_SKIN_ZIP})

    # The licence: UTF-8 in the repository, GBK with CRLF line ends in the program and in the
    # payload's install/Licence.txt.
    set(ORVINSTALL_LICENCE_FILE ${out}/Licence.gbk CACHE INTERNAL "")
    add_custom_command(OUTPUT ${ORVINSTALL_LICENCE_FILE}
        COMMAND bash ${CMAKE_SOURCE_DIR}/tools/licence-to-gbk.sh
                ${ORVINSTALL_SOURCE_DIR}/licence.txt ${ORVINSTALL_LICENCE_FILE}
        DEPENDS ${ORVINSTALL_SOURCE_DIR}/licence.txt ${CMAKE_SOURCE_DIR}/tools/licence-to-gbk.sh
        VERBATIM)
    add_custom_target(orvinstall_licence DEPENDS ${ORVINSTALL_LICENCE_FILE})

    set(ORVINSTALL_MANIFEST ${out}/OrvInstall.manifest)
    set(ORVINSTALL_ICON ${ORVINSTALL_SOURCE_DIR}/OrvInstall.ico)
    set(ORVINSTALL_LICENCE ${ORVINSTALL_LICENCE_FILE})
    configure_file(${ORVINSTALL_SOURCE_DIR}/OrvInstall.manifest.in ${ORVINSTALL_MANIFEST} @ONLY)
    configure_file(${ORVINSTALL_SOURCE_DIR}/OrvInstall.rc.in ${out}/OrvInstall.rc @ONLY)
    add_library(orvinstall_resources OBJECT ${out}/OrvInstall.rc)
    target_include_directories(orvinstall_resources PRIVATE ${CMAKE_SOURCE_DIR})
    # The resource compiler does not report the files a script embeds.
    set_source_files_properties(${out}/OrvInstall.rc PROPERTIES OBJECT_DEPENDS
        "${ORVINSTALL_MANIFEST};${ORVINSTALL_ICON};${ORVINSTALL_SKIN_ZIP};${ORVINSTALL_SPARE_SKIN_ZIP};${ORVINSTALL_LICENCE_FILE}")

    # orvia_add_setup_package(<target> <payload.7z> [VERSION_HEADER <file>]
    #                         [DEPENDS <targets>...] [EXCLUDE_FROM_ALL])
    # An OrvInstall executable named <target>.exe in build/<tree>/installer carrying the payload.
    # VERSION_HEADER defines the package's version (default: installer/ProductVersion.h).
    function(orvia_add_setup_package target payload)
        cmake_parse_arguments(ARG "EXCLUDE_FROM_ALL" "VERSION_HEADER" "DEPENDS" ${ARGN})
        set(ORVINSTALL_PAYLOAD ${payload})
        if(ARG_VERSION_HEADER)
            set(ORVINSTALL_VERSION_HEADER ${ARG_VERSION_HEADER})
        else()
            set(ORVINSTALL_VERSION_HEADER ${ORVINSTALL_SOURCE_DIR}/ProductVersion.h)
        endif()
        set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-payload.rc)
        configure_file(${ORVINSTALL_SOURCE_DIR}/Payload.rc.in ${rc} @ONLY)
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
            "${payload};${ORVINSTALL_VERSION_HEADER};${ORVIA_VERSION_SOURCES}")
        if(ARG_EXCLUDE_FROM_ALL)
            set(exclude EXCLUDE_FROM_ALL)
        else()
            set(exclude)
        endif()
        add_executable(${target} WIN32 ${exclude} ${rc} $<TARGET_OBJECTS:orvinstall_entry>
                       $<TARGET_OBJECTS:orvinstall_resources>)
        target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
        target_link_libraries(${target} PRIVATE orvinstall_program)
        target_link_options(${target} PRIVATE -municode)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                   ${CMAKE_BINARY_DIR}/installer)
        if(ARG_DEPENDS)
            add_dependencies(${target} ${ARG_DEPENDS})
        endif()
    endfunction()

    # What tools/package.sh links: the payload it packs from a client folder, and the version
    # header it writes (the default version unless --version gives another).
    orvia_add_setup_package(OrvInstallPackage ${CMAKE_BINARY_DIR}/package/payload.7z
                            VERSION_HEADER ${CMAKE_BINARY_DIR}/package/PackageVersion.h
                            EXCLUDE_FROM_ALL)
endif()
