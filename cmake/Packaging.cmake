# `make package`: a Debian package of the installed tree (cpack -G DEB).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalmotex)
set(CPACK_PACKAGE_VENDOR "Kalmotex")
set(CPACK_PACKAGE_CONTACT "Kalmotex developers <kalmotex@example.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "types stored text snippets into other windows")
set(CPACK_PACKAGE_DESCRIPTION
    "Kalmotex keeps named text snippets in one INI file and types them into other
programs' windows as simulated keystrokes, every character exactly, Enter and Tab
included. It lives in the notification area: its icon opens a menu of the
snippets; choosing one fills in its date, time and file placeholders, finds the
target window (the one used last, or one whose title contains a stored text) and
types the text there. A main window edits the snippets. The user interface is
German; X11 is required.

kalmotex-cli reads and writes the same snippets from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # kalmotex_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries are found by dpkg-shlibdeps; Qt's X11 and Wayland platform plugins are
# loaded at run time, so no library names them and they are listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
# German standard buttons (qtbase_de.qm); xdg-open for the help page and the configuration.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")

include(CPack)
