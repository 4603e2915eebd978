# vantorel-<version>-win32.zip: one folder with the program, its title image, a README for
# players and the licence, the text files with Windows' CR LF. The program draws text with
# Windows' own font, so the game's licence is the only one it carries.
target_include_directories(vantorel PRIVATE ${CMAKE_BINARY_DIR}/assets)
configure_file(windows/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(TARGETS vantorel RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/assets/FinalTitle.bmp ${CMAKE_CURRENT_BINARY_DIR}/README.txt
              ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)
set(CPACK_VANTOREL_ARCHIVE zip)
set(CPACK_PACKAGE_FILE_NAME vantorel-${PROJECT_VERSION}-win32)
