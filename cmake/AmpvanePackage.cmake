# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cmake --build build --target package` writes ampvane_<version>_<arch>.deb with the
# three programs and everything packaging/ installs. Its Depends come from dpkg-shlibdeps, plus the libraries
# the programs open only when needed, which dpkg-shlibdeps cannot see.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ampvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ampvane developers")
set(CPACK_PACKAGE_CONTACT "The Ampvane developers <developers@ampvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "electric flight calculator for model aircraft")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Ampvane predicts how an electric power system for a model aircraft performs:
motor, battery, speed controls, propeller or ducted fan, and the airframe it
flies. For every combination of cells, gear ratios, propeller diameters and
pitches it reports currents, voltages, powers, losses, efficiencies, speeds,
thrust, run time and climb, with an in-flight analysis, a plain-language
opinion, comparisons, graphs, estimators for motor and propeller constants, a
search wizard and a component database.
.
The package holds the desktop program, ampvane-cli, which runs every
calculation from a terminal, and ampvane-server, an exchange server for a
club's component updates and contributions, with a systemd unit.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ampvane.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is opened at the first transfer (src/online); 7.85 is the first with CURLOPT_PROTOCOLS_STR.
# Cairo is opened at the first picture (src/picture); 1.15.10 brought the PDF metadata and SVG units.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4 (>= 7.85.0), libcairo2 (>= 1.15.10)")
# Text in pictures and reports is drawn with these fonts; Wayland desktops want Qt's Wayland plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-wayland")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
