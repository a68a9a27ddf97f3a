# Install rules (GNUInstallDirs, any prefix, DESTDIR honoured) and the Debian package (cpack).
# The program finds its data in share/almanix beside its bin folder (core/data_folders).

set(almx_res ${PROJECT_SOURCE_DIR}/resources)
set(almx_data ${CMAKE_INSTALL_DATADIR}/almanix)
set(almx_doc ${CMAKE_INSTALL_DATADIR}/doc/almanix)

if(ALMX_GUI)
    install(TARGETS almanix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS almx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS almx-net RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/almanix)

install(FILES ${almx_res}/holiday.alx DESTINATION ${almx_data})
install(FILES ${almx_res}/almxsch.css ${almx_res}/almxtop.css DESTINATION ${almx_data})
install(DIRECTORY ${almx_res}/help DESTINATION ${almx_data})

foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${almx_res}/icons/hicolor/${size}x${size}/almanix.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${almx_res}/icons/almanix.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

install(FILES ${almx_res}/linux/almanix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${almx_res}/linux/almanix-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME almanix.xml)
install(FILES ${almx_res}/linux/com.korvanta.almanix.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages and the changelog go compressed, as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(almx_gz_dir ${PROJECT_BINARY_DIR}/gz)
set(almx_gz_files)
foreach(source man/almanix.1 man/almx.1 linux/changelog)
    get_filename_component(name ${source} NAME)
    set(target ${almx_gz_dir}/${name}.gz)
    add_custom_command(OUTPUT ${target}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${almx_gz_dir}
                       COMMAND ${GZIP_PROGRAM} -9nc ${almx_res}/${source} > ${target}
                       DEPENDS ${almx_res}/${source} VERBATIM)
    list(APPEND almx_gz_files ${target})
endforeach()
add_custom_target(almx_compressed_docs ALL DEPENDS ${almx_gz_files})
install(FILES ${almx_gz_dir}/almx.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(ALMX_GUI)
    install(FILES ${almx_gz_dir}/almanix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${almx_gz_dir}/changelog.gz ${almx_res}/linux/copyright DESTINATION ${almx_doc})

# cpack -G DEB: almanix_<version>_<arch>.deb, dependencies computed from the binaries.
set(CPACK_PACKAGE_NAME almanix)
set(CPACK_PACKAGE_VENDOR Korvanta)
set(CPACK_PACKAGE_CONTACT "Korvanta Almanix team <almanix@korvanta.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal organiser with Japanese holidays")
set(CPACK_PACKAGE_DESCRIPTION
    "Almanix keeps schedules, to-dos, memo pages and day colours in one\n\
schedule file and shows it as a month calendar with a day list, a week\n\
view, a to-do list, a schedule list, a diary and a memo view. It reminds\n\
at the set minute, marks Japanese public holidays and exchanges CSV,\n\
vCalendar and iCalendar. The command almx reads and writes the same\n\
files without a display.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.korvanta.example/almanix/")
# Japanese text needs a Japanese font; input methods and Qt's translations are welcome.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-frontend-qt6 | ibus")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
