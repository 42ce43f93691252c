# Reads the import tables of rivo.exe and rivo.dll and compares them with the checked-in list of
# the target (tests/win/imports/<target>.txt). Under Wine every function of a newer Windows is
# there, so a direct call to one passes every other test and still keeps the program from loading
# on an older system: a new import is to be added to the list knowingly, after checking that
# Windows 7 has it (or calling it through GetProcAddress instead).
#   cmake -DOBJDUMP=<objdump> -DLAUNCHER_DIR=<dir of rivo.exe> -DLIST=<list file> -P imports.cmake
# With -DWRITE=ON the list is written from the binaries instead (then review its diff).
set(binaries rivo.exe rivo.dll)
# DLLs that every Windows from 7 on has in its system folder. An api-ms-win-* set, a runtime DLL
# (libstdc++, libgcc, libwinpthread) or anything else is refused even when listed.
set(system_dlls advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll
    ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uuid.dll version.dll)

set(imports "")
foreach(binary ${binaries})
    # objdump's headings are translated in other locales (the Wine tests run in ja_JP).
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANGUAGE=C ${OBJDUMP} -p ${LAUNCHER_DIR}/${binary}
        RESULT_VARIABLE result OUTPUT_VARIABLE dump ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -p ${binary} failed (${result}): ${error}")
    endif()
    string(REPLACE ";" "," dump "${dump}")
    string(REPLACE "\n" ";" lines "${dump}")
    set(dll "")
    set(in_imports OFF)
    foreach(line IN LISTS lines)
        if(line MATCHES "^The Import Tables")
            set(in_imports ON)
        elseif(line MATCHES "^The (Export|Function|Relocation)|^PE File Base Relocations")
            set(in_imports OFF)
        elseif(in_imports AND line MATCHES "DLL Name: (.+)$")
            string(TOLOWER "${CMAKE_MATCH_1}" dll)
            string(STRIP "${dll}" dll)
        elseif(in_imports AND dll AND line MATCHES "^\t[0-9a-f]+\t +([0-9]+) +(.+)$")
            string(STRIP "${CMAKE_MATCH_2}" function)
            list(APPEND imports "${binary} ${dll} ${function}")
        elseif(in_imports AND dll AND line MATCHES "^\t[0-9a-f]+\t +<none> +([0-9a-f]+)")
            list(APPEND imports "${binary} ${dll} ordinal-${CMAKE_MATCH_1}")
        endif()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES imports)
list(SORT imports)
list(LENGTH imports count)
if(count LESS 20)
    message(FATAL_ERROR "only ${count} imports read: objdump's output was not understood")
endif()

if(WRITE)
    string(REPLACE ";" "\n" text "${imports}")
    file(WRITE ${LIST} "# binary dll function: what rivo.exe and rivo.dll import (tests/win/imports.cmake)\n${text}\n")
    message(STATUS "wrote ${count} imports to ${LIST}")
    return()
endif()

file(STRINGS ${LIST} listed REGEX "^[^#]")
set(failures "")
foreach(import IN LISTS imports)
    string(REGEX MATCH "^[^ ]+ ([^ ]+) " ignored "${import}")
    list(FIND system_dlls "${CMAKE_MATCH_1}" known)
    if(known EQUAL -1)
        string(APPEND failures "\n  ${import}: ${CMAKE_MATCH_1} is not a DLL of every Windows from 7 on")
    endif()
    list(FIND listed "${import}" found)
    if(found EQUAL -1)
        string(APPEND failures "\n  ${import}: not in ${LIST}")
    endif()
endforeach()
if(failures)
    message(FATAL_ERROR "imports that nobody checked against Windows 7:${failures}\n"
        "Check each on Windows 7's documentation (or look it up at run time), then add it to the list "
        "or rewrite the list with -DWRITE=ON.")
endif()
foreach(import IN LISTS listed)
    list(FIND imports "${import}" found)
    if(found EQUAL -1)
        message(STATUS "listed but no longer imported: ${import}")
    endif()
endforeach()
message(STATUS "${count} imports, all listed")
