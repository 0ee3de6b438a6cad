# The Debian package, made by CPack from the install rules: `cpack --preset
# release` in ./test, or `cpack -G DEB` in build-release/.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kq71wb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The KQ71WB developers")
set(CPACK_PACKAGE_CONTACT "The KQ71WB developers <kq71wb@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weight and balance calculator for the KQ 71 sailplane")
set(CPACK_PACKAGE_DESCRIPTION
    "KQ71WB shows, for up to eight items of weight and arm, each moment, the gross\n\
weight and moment and the flying-weight centre of gravity of a KQ 71 sailplane,\n\
red or green against its limits of 900 lb and 11.70 to 16.00 in. It also shows\n\
the pilot weights a loading allows, names numbers that are not read as they\n\
look, and prints a load sheet to sign. Every figure and verdict reaches a\n\
screen reader.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # kq71wb_1.00_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # the libraries it links, through dpkg-shlibdeps
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")  # the faces the window is laid out in
# Loaded the first time a page is printed, so no linked library names it;
# without it there is no printer and a page is saved as PDF. Noto draws the
# common scripts a description may be typed in, which Liberation does not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcups2, fonts-noto-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
