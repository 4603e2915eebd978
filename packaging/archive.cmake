# Run by CPack's External generator once it has staged the release in a folder named like the
# package: writes the zip, the tarball or the Debian package (CPACK_VANTOREL_ARCHIVE) so that
# the same files give the same bytes anywhere. CPack's own archives list the files in the order
# the file system keeps them; here they are sorted by name, every entry dated SOURCE_DATE_EPOCH,
# owned by root, with modes that do not depend on the umask, and no zip extra fields (owner,
# access times).
set(staged ${CPACK_TEMPORARY_DIRECTORY})
get_filename_component(top ${staged} NAME)
set(time $ENV{SOURCE_DATE_EPOCH})
if(time STREQUAL "")
    string(TIMESTAMP time "%s" UTC)
endif()

if(CPACK_VANTOREL_ARCHIVE STREQUAL "zip")
    set(package ${CPACK_TOPLEVEL_DIRECTORY}/${top}.zip)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${CPACK_TOPLEVEL_DIRECTORY} ${staged}/*)
    list(SORT files)
    list(JOIN files "\n" listing)
    file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/files.txt "${listing}\n")
    # zip has no switch for the time; it takes each file's own, in local time (scripts/dist
    # sets TZ=UTC).
    execute_process(COMMAND touch -d @${time} ${files}
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE ${package})
    execute_process(COMMAND zip -q -9 -X -D ${package} -@ INPUT_FILE files.txt
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
elseif(CPACK_VANTOREL_ARCHIVE STREQUAL "tgz")
    set(package ${CPACK_TOPLEVEL_DIRECTORY}/${top}.tar.gz)
    execute_process(COMMAND tar --sort=name --format=gnu --mtime=@${time} --owner=root:0
                            --group=root:0 --mode=u+rwX,go+rX,go-w -cf - ${top}
                    COMMAND gzip -9n
                    OUTPUT_FILE ${package}
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
elseif(CPACK_VANTOREL_ARCHIVE STREQUAL "deb")
    # dpkg-deb sorts the entries, but only clamps their times to SOURCE_DATE_EPOCH: files of a
    # tree checked out before the last commit would keep their own, so all are dated here. The
    # installed size is counted as dpkg-gencontrol does (a KiB or part of one per file, one per
    # folder), not from the folders' sizes on this file system as CPack's own generator does.
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(package
        ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_${arch}.deb)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${staged} ${staged}/*)
    list(SORT entries)
    set(size 0)
    set(md5sums "")
    set(programs "")
    foreach(entry IN LISTS entries)
        if(IS_DIRECTORY ${staged}/${entry})
            math(EXPR size "${size} + 1")
            continue()
        endif()
        file(SIZE ${staged}/${entry} bytes)
        math(EXPR size "${size} + (${bytes} + 1023) / 1024")
        file(MD5 ${staged}/${entry} md5)
        string(APPEND md5sums "${md5}  ${entry}\n")
        if(entry MATCHES "^usr/lib/")
            list(APPEND programs -e${staged}/${entry})
        endif()
    endforeach()
    execute_process(COMMAND touch -h -d @${time} ${entries}
                    WORKING_DIRECTORY ${staged} COMMAND_ERROR_IS_FATAL ANY)
    # dpkg-shlibdeps wants a debian/control to stand in, and prints shlibs:Depends=...; it warns
    # that the program is not in debian/<package>/, where a source package would have it.
    file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/debian/control "")
    execute_process(COMMAND dpkg-shlibdeps -O ${programs} OUTPUT_VARIABLE depends
                    ERROR_VARIABLE errors RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE
                    WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY})
    if(failed)
        message(FATAL_ERROR "dpkg-shlibdeps: ${errors}")
    endif()
    string(REGEX REPLACE "^shlibs:Depends=" "" depends "${depends}")
    string(REPLACE "\n" "\n " description "${CPACK_PACKAGE_DESCRIPTION}")
    file(MAKE_DIRECTORY ${staged}/DEBIAN)
    file(WRITE ${staged}/DEBIAN/md5sums "${md5sums}")
    file(WRITE ${staged}/DEBIAN/control "Package: ${CPACK_PACKAGE_NAME}
Version: ${CPACK_PACKAGE_VERSION}
Architecture: ${arch}
Maintainer: ${CPACK_DEBIAN_PACKAGE_MAINTAINER}
Installed-Size: ${size}
Depends: ${depends}
Section: ${CPACK_DEBIAN_PACKAGE_SECTION}
Priority: ${CPACK_DEBIAN_PACKAGE_PRIORITY}
Description: ${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
 ${description}
")
    # The root folder is CPack's, made under the caller's umask.
    file(CHMOD ${staged} ${staged}/DEBIAN PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
         GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    file(CHMOD ${staged}/DEBIAN/md5sums ${staged}/DEBIAN/control
         PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -z9 --build ${staged} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
else()
    message(FATAL_ERROR "CPACK_VANTOREL_ARCHIVE: '${CPACK_VANTOREL_ARCHIVE}' is not zip, tgz or deb")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${package})
