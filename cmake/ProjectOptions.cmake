# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra)

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                            WINVER=0x0601 _WIN32_IE=0x0800)
    # Statically linked: the programs ship as single executables with no runtime DLLs.
    add_link_options(-static -static-libgcc -static-libstdc++)
    # The processor architecture the programs' manifests name.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(ORVIA_MANIFEST_ARCH amd64)
    else()
        set(ORVIA_MANIFEST_ARCH x86)
    endif()
else()
    option(ORVIA_SANITIZE "Build native code with AddressSanitizer and UBSan" ON)
    if(ORVIA_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                            -fno-sanitize-recover=undefined)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()
