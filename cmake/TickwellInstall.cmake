# Install rules and the Debian package. Included after every program target is defined.

# The programs a person runs go into PATH (each has a manual page in man/); helpers only Tickwell
# runs go into their own folder, where InstallLayout::helperProgram finds them.
install(TARGETS tickwell tickwell-defaults tickwell-menu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tickwell-archiver)
  install(TARGETS tickwell-archiver RUNTIME DESTINATION ${TICKWELL_INSTALL_HELPERDIR})
endif()

# Copyright and changelog in the documentation folder, as Debian wants them. The version is
# native (no Debian revision), so the changelog is changelog.gz, not changelog.Debian.gz.
set(changelog_gz ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND sh -c "gzip -9nc \"$0\" >\"$1\"" ${PROJECT_SOURCE_DIR}/debian/changelog ${changelog_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/debian/changelog VERBATIM)
add_custom_target(tickwell-changelog ALL DEPENDS ${changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(app_id com.brantlow.Tickwell)

# The launcher names the installed program by its full path, so it starts from ~/.local as well
# as from /usr whatever the session's PATH. The prefix is known only when installing.
install(CODE "set(tickwell_desktop_template \"${desktop_dir}/${app_id}.desktop.in\")
  set(tickwell_bindir \"${CMAKE_INSTALL_BINDIR}\")
  set(tickwell_applicationsdir \"${CMAKE_INSTALL_DATADIR}/applications\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallLauncher.cmake)
install(FILES ${desktop_dir}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_dir}/${app_id}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${app_id}.xml)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(DIRECTORY ${TICKWELL_DOC_BUILD_DIR}/ DESTINATION ${CMAKE_INSTALL_DOCDIR})

# scripts/package: build/tickwell_<version>_<arch>.deb, its library dependencies read from the
# programs. Plugins Qt loads at run time are not linked, so they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tickwell)
set(CPACK_PACKAGE_VENDOR "Brantlow Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stock quotes in the desktop's status area")
# Lines of at most 80 columns: the package tools show them as they are.
set(CPACK_PACKAGE_DESCRIPTION "Tickwell keeps a watch list of stock symbols in the status area: one coloured
quote line per symbol with the day's change and the value of the holding,
market indices and metals, a title ticker, quote logs, price alerts, and news
articles saved as PDF or web archive.")
set(CPACK_PACKAGE_CONTACT "Brantlow Software <tickwell@brantlow.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
