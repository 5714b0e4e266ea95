# The Debian package, built from an install of this tree by `cpack -G DEB` (scripts/package).
set(CPACK_PACKAGE_NAME ormelcalc)
set(CPACK_PACKAGE_VENDOR ormelWare)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scratch-pad calculator for the desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "A notepad that calculates: type an expression per line and press Enter, and the\n"
    "answer appears, bold and coloured, at the start of the next line. Lines are\n"
    "evaluated in 80-bit extended precision, with variables, 87 functions, unit\n"
    "conversions and hexadecimal constants. Sheets are saved as rich text.\n"
    "ormelcalc-cli evaluates sheets in a terminal with the same engine and rules.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ormelWare <support@ormelware.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.ormelware.com/ormelWare/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded while running, so the linker's list does not name them: libjpeg for the about box's
# pictures, libcurl for the update check (which says so when it is missing).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libjpeg62-turbo")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcurl4 | libcurl3-gnutls")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
