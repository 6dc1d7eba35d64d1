# `cpack -G DEB` in the build folder makes a Debian package of what
# `cmake --install` lays out under /usr. Its dependencies are computed from the
# installed binaries (dpkg-shlibdeps); the Qt plugins and fonts the program
# loads at run time, which no binary links, are named here.
set(CPACK_PACKAGE_NAME morrowquill)
set(CPACK_PACKAGE_VENDOR "Morrowquill developers")
set(CPACK_PACKAGE_CONTACT "Morrowquill developers <morrowquill@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trainer for a health-profession qualification exam")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Practise a question bank of occupational-disease medicine chapter by chapter,\n"
    "keep favourites and wrong questions, and sit timed mock exams. Every text\n"
    "the program shows is Simplified Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-odbc, fonts-noto-cjk, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, tdsodbc")

# Installs `source` compressed as `<its name>.gz` into `destination`, as
# Debian keeps manual pages and changelogs. gzip -9n leaves out the file's own
# name and time, so the same source always gives the same bytes.
find_program(GZIP gzip REQUIRED)
function(install_gzipped source destination)
    get_filename_component(source ${source} ABSOLUTE)
    get_filename_component(name ${source} NAME)
    string(MAKE_C_IDENTIFIER "${destination}/${name}" stage_name)
    set(stage ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${stage_name})
    add_custom_command(
        OUTPUT ${stage}/${name}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${stage}/${name}
        COMMAND ${GZIP} -9nf ${stage}/${name}
        DEPENDS ${source}
        VERBATIM)
    add_custom_target(gzip_${stage_name} ALL DEPENDS ${stage}/${name}.gz)
    install(FILES ${stage}/${name}.gz DESTINATION ${destination})
endfunction()

# The copyright, changelog and manual pages a Debian package carries.
add_subdirectory(resources/debian)
add_subdirectory(resources/man)
include(CPack)
