# The release package: one zip holding the four files a user unpacks into a folder of its own.
#   cmake --build --preset win32 --target package   ->  build/win32/rivo-<version>-win32.zip
#
# readme.txt is kept as UTF-8 with a byte-order mark, which every Notepad reads, and is written
# with CRLF line ends: the Notepad of older Windows shows a file with bare LFs as one line.
set(RIVO_README_SOURCE ${CMAKE_SOURCE_DIR}/resources/readme.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RIVO_README_SOURCE})
file(READ ${RIVO_README_SOURCE} rivo_readme)
string(REPLACE "\r\n" "\n" rivo_readme "${rivo_readme}")
string(REPLACE "\n" "\r\n" rivo_readme "${rivo_readme}")
file(WRITE ${CMAKE_BINARY_DIR}/launcher/readme.txt.new "${rivo_readme}")
# Only a changed text touches the copy beside rivo.exe, so a reconfigure rebuilds no package.
configure_file(${CMAKE_BINARY_DIR}/launcher/readme.txt.new ${CMAKE_BINARY_DIR}/launcher/readme.txt COPYONLY)
file(REMOVE ${CMAKE_BINARY_DIR}/launcher/readme.txt.new)
unset(rivo_readme)

# One component, so that an install rule anywhere else in the tree never ends up in the zip.
install(TARGETS rivo_exe RUNTIME DESTINATION . COMPONENT rivo)
# rivo.dll is a module: its file is the LIBRARY artifact.
install(TARGETS rivo LIBRARY DESTINATION . COMPONENT rivo)
install(FILES ${CMAKE_BINARY_DIR}/launcher/help.html ${CMAKE_BINARY_DIR}/launcher/readme.txt
    DESTINATION . COMPONENT rivo)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(rivo_package_arch win32)
else()
    set(rivo_package_arch win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME rivo)
set(CPACK_PACKAGE_VENDOR Rivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Kept apart for the package test: include(CPack) leaves CPACK_PACKAGE_FILE_NAME set to the
# source package's name.
set(RIVO_PACKAGE_NAME rivo-${PROJECT_VERSION}-${rivo_package_arch})
set(CPACK_PACKAGE_FILE_NAME ${RIVO_PACKAGE_NAME})
# The files sit in a folder named like the zip, so unpacking never scatters them.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Rivo;rivo;/")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES OFF)  # the release link has stripped them already
include(CPack)
