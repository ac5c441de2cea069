# The installed tree: the program in bin/, the translation library, which only the program uses,
# in lib/navolis/ (found through a run path relative to the program, so the tree can be moved), everything the program reads under
# share/navolis, and the desktop's files: entry, icons, metadata, manual page.
include(GNUInstallDirs)

set(NAVOLIS_APP_ID example.navolis.Navolis)
set(navolis_data ${CMAKE_INSTALL_DATADIR}/navolis)
set(navolis_libdir ${CMAKE_INSTALL_LIBDIR}/navolis)
file(RELATIVE_PATH navolis_lib_from_bin
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${navolis_libdir})

set_target_properties(navolis PROPERTIES INSTALL_RPATH "$ORIGIN/${navolis_lib_from_bin}")
install(TARGETS navolis RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS QuTrans1 LIBRARY DESTINATION ${navolis_libdir})

set(built ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
install(FILES ${built}/navolis.t00 ${built}/clck.wav DESTINATION ${navolis_data})
install(DIRECTORY ${built}/qutrans/ DESTINATION ${navolis_data}/qutrans
    FILES_MATCHING PATTERN "*.lng" PATTERN "*.chm" PATTERN "*.doc")

install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${NAVOLIS_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${NAVOLIS_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/navolis.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(icon ${NAVOLIS_ICON_FILES})
    # .../icons/hicolor/SIZE/apps/navolis.png
    get_filename_component(apps ${icon} DIRECTORY)
    get_filename_component(size_dir ${apps} DIRECTORY)
    get_filename_component(size ${size_dir} NAME)
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/man/navolis.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack -G DEB: the libraries' packages come from dpkg-shlibdeps; what is loaded at run time
# (the platform plugins, the fonts of the stored layouts) is named here.
set(CPACK_PACKAGE_NAME navolis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Navolis maintainers <support@navolis.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Cleans the traces a browser and the shell leave in a Wine prefix")
set(CPACK_PACKAGE_DESCRIPTION
    "Navolis looks after cookies, the cache of temporary files, the URL history, typed
addresses, the run-dialog and recent-documents lists, favourites and browser settings in a
Wine prefix, and cleans them unattended at login.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation, fonts-comic-neue")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine")
set(CPACK_GENERATOR DEB)
include(CPack)
