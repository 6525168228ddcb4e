# The Windows release: one ZIP with the 32-bit order form, dalvex.dll, the order reader
# and the read-me. Only the shipped i686 build packages; `cpack` in its build dir makes it.
if(NOT WIN32 OR NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
endif()

# Only the run-time files ship: dalvex's import library serves no one who loads it by name.
install(TARGETS orderform dalvex RUNTIME DESTINATION .)
if(TARGET orderline)
    install(TARGETS orderline RUNTIME DESTINATION .)
endif()

# The read-me names the sales address this build sends to; Notepad wants CR LF.
configure_file(${PROJECT_SOURCE_DIR}/docs/customer.txt.in ${CMAKE_BINARY_DIR}/README.txt
    @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME orderform)
set(CPACK_PACKAGE_FILE_NAME orderform-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
