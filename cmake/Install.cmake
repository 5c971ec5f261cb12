# Installation (cmake --install) and the Debian package (cpack -G DEB from the build folder).
#
#   bin/quarrylog, bin/qrl
#   share/quarrylog/docs                     help pages (found when "../docs" has none)
#   share/applications, share/metainfo       desktop entry and AppStream metainfo
#   share/icons/hicolor                      the logo, 16 to 256 pixels and scalable
#   share/mime/packages                      the report type: "*.qrl" or a QRL root element
#   share/man/man1                           quarrylog(1), qrl(1)
#   share/doc/quarrylog                      copyright, changelog.gz (as Debian wants them)
#   share/lintian/overrides                  what lintian need not report of the package
include(GNUInstallDirs)

set(QRL_DIST ${PROJECT_SOURCE_DIR}/dist/linux)
set(QRL_APP_ID example.quarrylog.Quarrylog)

# The maker, as the program itself gives it. The version is the project's (QRL_VERSION_TEXT).
function(qrl_app_info key out)
    file(STRINGS ${PROJECT_SOURCE_DIR}/src/settings/core/AppInfo.h line REGEX " ${key} = \"")
    string(REGEX REPLACE ".* ${key} = \"([^\"]*)\".*" "\\1" value "${line}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()
qrl_app_info(MakerName QRL_MAKER_NAME)
qrl_app_info(MakerWebSite QRL_MAKER_WEB_SITE)
# The metainfo's screenshots lie on the maker's site (docs/screenshot-*.png, scripts/screenshots.sh).
qrl_app_info(MakerSiteHost QRL_MAKER_SITE_HOST)
# "1.0.1 beta" is 1.0.1~beta for Debian: a beta comes before the release.
string(REPLACE " " "~" QRL_PACKAGE_VERSION "${QRL_VERSION_TEXT}")

install(TARGETS quarrylog qrl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The README's pages (*.md) and pictures stay in the source tree.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quarrylog/docs
        PATTERN "*.md" EXCLUDE
        PATTERN "screenshot-*.png" EXCLUDE)
install(FILES ${QRL_DIST}/${QRL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${QRL_DIST}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${QRL_DIST}/quarrylog-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quarrylog.xml)

configure_file(${QRL_DIST}/${QRL_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${QRL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${QRL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog with the version, compressed as Debian wants them, and the
# copyright file that every Debian package carries.
set(QRL_CONTACT "${QRL_MAKER_NAME} <quarrylog@quarrylog.example>")
find_program(QRL_GZIP gzip REQUIRED)
set(QRL_COMPRESSED)
foreach(name quarrylog.1 qrl.1 changelog)
    set(file ${CMAKE_BINARY_DIR}/dist/${name})
    configure_file(${QRL_DIST}/${name}.in ${file} @ONLY)
    add_custom_command(OUTPUT ${file}.gz
        COMMAND ${QRL_GZIP} -9n -c ${file} > ${file}.gz
        DEPENDS ${file}
        COMMENT "Compressing ${name}")
    list(APPEND QRL_COMPRESSED ${file}.gz)
endforeach()
add_custom_target(qrl_man ALL DEPENDS ${QRL_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/dist/quarrylog.1.gz ${CMAKE_BINARY_DIR}/dist/qrl.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
configure_file(${QRL_DIST}/copyright.in ${CMAKE_BINARY_DIR}/dist/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quarrylog)
install(FILES ${QRL_DIST}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME quarrylog)

# The Debian package. Its library dependencies are computed by dpkg-shlibdeps (dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarrylog)
set(CPACK_PACKAGE_VERSION ${QRL_PACKAGE_VERSION})
set(CPACK_PACKAGE_VENDOR ${QRL_MAKER_NAME})
set(CPACK_PACKAGE_CONTACT ${QRL_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build search reports of found web pages")
# Lines of at most 79 characters (80 in the control file).
set(CPACK_PACKAGE_DESCRIPTION
    "Quarrylog builds search reports: a title, a date, a description and a list\n"
    "of found web pages, filled from a remote XML search feed or by hand in the\n"
    "embedded web browser, and filtered with a Venn-diagram condition editor.\n"
    "The package holds the desktop program quarrylog and the command-line tool qrl.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QRL_MAKER_WEB_SITE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Help pages and found pages open in the default web browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
include(CPack)
