# The flags Debian builds its packages with (hardening: stack protector, fortified functions,
# read-only relocations), added to this build's own. CMake has no CPPFLAGS, so the
# preprocessor's go with the compilers'. Asked from the top of the tree, whose path they map to
# "." in the debugging information.
foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND dpkg-buildflags --get ${kind} OUTPUT_VARIABLE debian_${kind}
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
string(APPEND CMAKE_C_FLAGS " ${debian_CPPFLAGS} ${debian_CFLAGS}")
string(APPEND CMAKE_CXX_FLAGS " ${debian_CPPFLAGS} ${debian_CXXFLAGS}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${debian_LDFLAGS}")
# The fortified C library marks fread's result as never to be ignored; the title loader reads
# the header into zeros and judges the sizes it finds there, short file or not.
string(APPEND CMAKE_CXX_FLAGS " -Wno-unused-result")
