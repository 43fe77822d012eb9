# The Debian package (scripts/package): CPack's DEB generator packs what `cmake --install`
# puts in place under /usr, stripped.
set(TIDEWHELK_HOMEPAGE "https://github.com/tidewhelk/tidewhelk")
set(TIDEWHELK_SCREENSHOTS_URL "https://raw.githubusercontent.com/tidewhelk/tidewhelk/main/data/screenshots")
# No licence has been chosen for the sources yet.
set(TIDEWHELK_LICENSE "LicenseRef-proprietary")
set(TIDEWHELK_PACKAGE_MAINTAINER "The Tidewhelk developers <maintainers@tidewhelk.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewhelk)
set(CPACK_PACKAGE_VENDOR "The Tidewhelk developers")
set(CPACK_PACKAGE_CONTACT "${TIDEWHELK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps your GitHub notifications and assigned issues up to date")
set(CPACK_PACKAGE_DESCRIPTION
    "Tidewhelk is a desktop application for one developer who works on
GitHub. It keeps two working lists up to date from the GitHub REST API:
your notification threads, each pull request with its state, CI outcome
and review outcome, and the issues and pull requests assigned to you.
From the lists you triage: open, mark read, stop watching, star,
archive, add by web address and filter.

The token is kept in the desktop's Secret Service. The lists also sync
without a window (tidewhelk --headless), and tidewhelk --demo shows
every view on a built-in demo account without a GitHub account.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TIDEWHELK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin, which Qt loads at run time: dpkg-shlibdeps cannot
# see it, and libqt6gui6 only recommends it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The token's store, the reasons' colour emoji, the browser for links and Qt's own texts
# in the user's language come from the desktop; the demo needs none of them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-keyring | keepassxc, fonts-noto-color-emoji, xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
