# Strict warnings on every target of this tree (not on the third-party GoogleTest sources,
# which are added as a SYSTEM subdirectory with their own flags).
set(RIVO_WARNINGS -Wall -Wextra -Wshadow -Wformat=2 -Werror)

# Warnings switched off, each for a reason:
# - -Wrestrict on GCC 12: false positives inside std::string's inlined memcpy at -O2 and above
#   (GCC bug 105329), e.g. for `"F" + std::to_string(n)`.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND RIVO_WARNINGS -Wno-restrict)
endif()

if(MINGW)
    # Release binaries carry no debug information and only the code they use.
    set(CMAKE_EXE_LINKER_FLAGS_RELEASE "${CMAKE_EXE_LINKER_FLAGS_RELEASE} -s -Wl,--gc-sections")
    set(CMAKE_SHARED_LINKER_FLAGS_RELEASE "${CMAKE_SHARED_LINKER_FLAGS_RELEASE} -s -Wl,--gc-sections")
    add_compile_options(-ffunction-sections -fdata-sections)
    # No MinGW runtime DLLs beside rivo.exe: the launcher is copied around as two files.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Japanese texts are UTF-8 in the sources and code page 932 in the binary. Clang cannot encode
# literals in code page 932: its one build, the fuzzers, keeps them UTF-8, so fuzz targets spell
# their code-page bytes as escapes.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(RIVO_CHARSET -finput-charset=UTF-8 -fexec-charset=CP932)
else()
    set(RIVO_CHARSET "")
endif()

function(rivo_strict target)
    target_compile_options(${target} PRIVATE ${RIVO_WARNINGS} ${RIVO_CHARSET})
endfunction()
