# Third-party code comes from Debian packages, used where the packages install it.
# Only each library's own folder goes on the include path: /usr/include itself would let
# glibc headers shadow MinGW's in the cross build.

# LZMA SDK decoder (lzma-dev): compiled from the packaged sources.
set(LZMA_SDK_DIR /usr/include/lzma CACHE PATH "Folder with LzmaDec.c, LzmaDec.h and Types.h")
if(NOT EXISTS ${LZMA_SDK_DIR}/LzmaDec.c)
    message(FATAL_ERROR "LzmaDec.c not found in ${LZMA_SDK_DIR}; install the lzma-dev package")
endif()
add_library(lzmadec STATIC ${LZMA_SDK_DIR}/LzmaDec.c)
target_include_directories(lzmadec SYSTEM PUBLIC ${LZMA_SDK_DIR})
# The decoder is optimised at one level in every build type, Debug included, like the reader in
# sevenzip/ that drives it: the extraction tests and benchmark decode tens of megabytes, and the
# benchmark's figures are taken at this level. Its warnings are the SDK's, not ours (-w).
target_compile_options(lzmadec PRIVATE -O2 -w)

# zlib: libz-mingw-w64-dev in the MinGW sysroot for the cross build, zlib1g-dev natively.
find_package(ZLIB REQUIRED)

# Header-only libraries are exposed through a folder of symlinks in the build tree, so that
# the cross build sees stb and Boost without seeing the rest of /usr/include.
set(ORVIA_HEADER_SHIM ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${ORVIA_HEADER_SHIM})
foreach(lib stb boost)
    if(NOT EXISTS /usr/include/${lib})
        message(FATAL_ERROR "/usr/include/${lib} not found; install lib${lib}-dev")
    endif()
    file(CREATE_LINK /usr/include/${lib} ${ORVIA_HEADER_SHIM}/${lib} SYMBOLIC)
endforeach()

add_library(stb_image INTERFACE)
target_include_directories(stb_image SYSTEM INTERFACE ${ORVIA_HEADER_SHIM}/stb)

add_library(boost_headers INTERFACE)
target_include_directories(boost_headers SYSTEM INTERFACE ${ORVIA_HEADER_SHIM})

# GoogleTest, built from Debian's googletest source package for both flavours.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
