# Strict warnings on every target of this tree (not on the third-party GoogleTest sources,
# which are added as a SYSTEM subdirectory with their own flags).
set(RIVO_WARNINGS -Wall -Wextra -Wshadow -Wformat=2 -Werror)

if(MINGW)
    # Release binaries carry no debug information and only the code they use.
    set(CMAKE_EXE_LINKER_FLAGS_RELEASE "${CMAKE_EXE_LINKER_FLAGS_RELEASE} -s -Wl,--gc-sections")
    set(CMAKE_SHARED_LINKER_FLAGS_RELEASE "${CMAKE_SHARED_LINKER_FLAGS_RELEASE} -s -Wl,--gc-sections")
    add_compile_options(-ffunction-sections -fdata-sections)
    # No MinGW runtime DLLs beside rivo.exe: the launcher is copied around as two files.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Japanese texts are UTF-8 in the sources and code page 932 in the binary.
set(RIVO_CHARSET -finput-charset=UTF-8 -fexec-charset=CP932)

function(rivo_strict target)
    target_compile_options(${target} PRIVATE ${RIVO_WARNINGS} ${RIVO_CHARSET})
endfunction()
