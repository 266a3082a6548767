# The Debian package: `cpack -G DEB` in a build folder makes
# nettor_<version>_<architecture>.deb from what `cmake --install` installs.
set(CPACK_PACKAGE_NAME nettor)
set(CPACK_PACKAGE_VENDOR "Nettor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paper-craft pattern designer for 3D polygon models")
set(CPACK_PACKAGE_DESCRIPTION
  "Nettor reads a 3D polygon model (Wavefront OBJ, DXF, Metasequoia, HexaGreat3D,
3D Studio and the formats of the Open Asset Import Library), decides which
edges to cut so that its faces unfold into flat parts that do not overlap,
and lays the parts out on a sheet with cut lines, folds, glue flaps and edge
numbers, as PostScript, SVG, PDF or an Enhanced Metafile.
.
The package holds the program, the command-line tool nettor-cli, the
user's manual, the desktop entry, the icons and the cut-edge file type.")
set(NETTOR_PACKAGE_MAINTAINER "Nettor maintainers <maintainers@users.noreply.c-seed-f193f356.example>"
  CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${NETTOR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NETTOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins (xcb, wayland) at run time;
# dpkg-shlibdeps cannot see those.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
