# The Debian package: `cpack` in a build folder packs what `cmake --install`
# puts in place (the program, the skin module, the desktop entry and the icon)
# under /usr. tests/package builds it, unpacks it and starts the program from
# it.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamselpelorin)
set(CPACK_PACKAGE_VENDOR "TamselPelorin")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Square avatar pictures with a line of styled text")
set(CPACK_PACKAGE_DESCRIPTION
  "Opens a picture, lays one styled line of text over it, applies pixel filters and saves what the picture box shows.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "TamselPelorin developers <dev@tamselpelorin.cn>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.tamselpelorin.cn")

# Libraries come from the binaries themselves (dpkg-shlibdeps); without the
# tool the Debian 12 names are given by hand. The Chinese font is never linked,
# so it is always named.
find_program(TP_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TP_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6, libqt6gui6, libqt6core6, libjpeg62-turbo, libgif7, fonts-wqy-microhei | fonts-noto-cjk")
endif()

include(CPack)
