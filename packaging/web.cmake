# vantorel-<version>-web.tar.gz: the static site (index.html, its scripts, the program, the
# title, the manifest, the icons, the service worker and both licences) in one folder.
install(DIRECTORY ${VANTOREL_WEB_SITE}/ DESTINATION .)
set(CPACK_VANTOREL_ARCHIVE tgz)
set(CPACK_PACKAGE_FILE_NAME vantorel-${PROJECT_VERSION}-web)
