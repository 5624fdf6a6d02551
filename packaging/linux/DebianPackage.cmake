# The Debian package vortane-screen, made by CPack's DEB generator from the same install rules as
# `cmake --install`, so the package and a hand installation always hold the same files:
#   cpack --config <build>/CPackConfig.cmake -B <folder>     (scripts/package.sh does it all)
# It installs into /usr: the executables in /usr/bin, the sensor library in its private folder
# /usr/lib/vortane-screen, the read-only folders in /usr/share/vortane-screen, the udev rule in
# /usr/lib/udev/rules.d. Run-time dependencies are computed by dpkg-shlibdeps from what the
# executables and the library link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vortane-screen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Vortane)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program for the LCD of a Vortane liquid cooler")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vortane Screen developers <vortane@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/vortane/vortane-screen")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese, Japanese and Korean text in the window and on the cooler's screen is drawn in Noto CJK.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
# The extended description; CPack puts the summary above it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vortane Screen decides what the 800x480 LCD in the pump head of the
Vortane all-in-one CPU liquid cooler shows: a still picture, an animated
GIF or a video as background, live hardware sensor readings drawn over it,
or a clock. It composes each frame and streams it to the cooler over USB at
up to 40 frames per second.

It also has a sensor dashboard, a media library with play-cycle modes,
brightness, screen and standby controls, firmware updates, a tray icon,
launch on login and four languages (English, Chinese, Japanese, Korean).

The package also holds vortane-screenctl, which lists the screens, shows a
picture or writes firmware from the command line, and vortane-screen-sim, a
simulated screen for trying both without the cooler.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/postinst
                                       ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
