# Writes the site's service worker into SITE from TEMPLATE: the site's files, and a cache name
# that is a hash of the other files' names and contents. Run at every build of the web preset,
# after the program is linked; the worker is rewritten only when a file of the site has changed.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(APPEND files service_worker.js)
list(REMOVE_DUPLICATES files)
list(SORT files)
set(digests "")
set(VANTOREL_SITE_FILES "\"./\"")
foreach(file IN LISTS files)
    if(NOT file STREQUAL service_worker.js)
        file(SHA256 ${SITE}/${file} digest)
        string(APPEND digests "${file} ${digest}\n")
    endif()
    string(APPEND VANTOREL_SITE_FILES ", \"${file}\"")
endforeach()
string(SHA256 hash "${digests}")
string(SUBSTRING ${hash} 0 16 VANTOREL_SITE_HASH)
configure_file(${TEMPLATE} ${SITE}/service_worker.js @ONLY)
