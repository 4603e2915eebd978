# vantorel_<version>_amd64.deb, laid out as Debian keeps games: the launcher in /usr/games, the
# program in /usr/lib/games/vantorel, its data in /usr/share/games/vantorel, and the desktop
# entry, icons, AppStream metainfo, manual page, copyright and changelog where Debian looks.
set(debian ${CMAKE_CURRENT_SOURCE_DIR}/debian)
configure_file(debian/vantorel.6.in vantorel.6 @ONLY)
configure_file(debian/changelog changelog COPYONLY)
# The changelog and the metainfo's releases are history, written by hand, with their dates:
# each must have this version's entry on top.
file(STRINGS debian/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^vantorel \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/debian/changelog has no entry for ${PROJECT_VERSION} on top")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS debian/vantorel.metainfo.xml)
file(STRINGS debian/vantorel.metainfo.xml newest REGEX "<release " LIMIT_COUNT 1)
if(NOT newest MATCHES "<release version=\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "packaging/debian/vantorel.metainfo.xml has no release ${PROJECT_VERSION}")
endif()

# Debian's manual pages and changelogs are compressed at the highest level, with no name or
# time stamp in the header, so the same sources give the same package.
set(compressed)
foreach(file vantorel.6 changelog)
    add_custom_command(OUTPUT ${file}.gz
                       COMMAND gzip -9n -c ${file} > ${file}.gz
                       DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${file})
    list(APPEND compressed ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz)
endforeach()
add_custom_target(vantorel_debian_docs ALL DEPENDS ${compressed})

install(TARGETS vantorel RUNTIME DESTINATION lib/games/vantorel)
install(PROGRAMS ${debian}/vantorel DESTINATION games)
install(FILES ${CMAKE_SOURCE_DIR}/assets/FinalTitle.bmp DESTINATION share/games/vantorel)
install(FILES ${debian}/vantorel.desktop DESTINATION share/applications)
install(FILES ${debian}/vantorel.metainfo.xml DESTINATION share/metainfo)
foreach(size 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/vantorel-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME vantorel.png)
endforeach()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vantorel.6.gz DESTINATION share/man/man6)
install(FILES ${debian}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION share/doc/vantorel)

# Staged by CPack, stripped, and built by dpkg-deb in archive.cmake, its dependencies from
# dpkg-shlibdeps.
set(CPACK_VANTOREL_ARCHIVE deb)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Vantorel developers <developers@vantorel.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION
    "You move a paddle along the bottom of a walled field; the computer's
paddle follows the ball along the top. Every return off your paddle scores
100 points, and each level sends the ball faster. Lose the ball and you
lose a life; get it past the computer and you win the round. Played with
the arrow keys, Enter and Escape, or a gamepad.")
