# `cmake --install` puts the programs in bin/ and their data in share/heptad/, where the programs
# look for it relative to their own folder when started elsewhere; CPack makes the Debian package
# of the same tree (scripts/package.sh).
include(GNUInstallDirs)

# Directories 0755 and files 0644 or 0755 whatever the umask of the machine that builds it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS heptad heptad-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(HEPTAD_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/heptad)
install(DIRECTORY ${HEPTAD_RUNTIME_DIR}/labShaders ${HEPTAD_RUNTIME_DIR}/labshaders
                  ${HEPTAD_RUNTIME_DIR}/imgs
        DESTINATION ${HEPTAD_DATA_DESTINATION})
install(FILES ${HEPTAD_RUNTIME_DIR}/demotune.mp3 DESTINATION ${HEPTAD_DATA_DESTINATION})

install(FILES ${CMAKE_SOURCE_DIR}/package/heptad.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/heptad.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# Manual pages and the changelog are installed compressed, as Debian's policy asks; -n keeps the
# time stamp out, so the same text gives the same file.
set(HEPTAD_COMPRESSED)
foreach(text heptad.1 heptad-capture.1 changelog)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/${text}.gz
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
                     COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/package/${text}
                             > ${CMAKE_BINARY_DIR}/package/${text}.gz
                     DEPENDS ${CMAKE_SOURCE_DIR}/package/${text})
  list(APPEND HEPTAD_COMPRESSED ${CMAKE_BINARY_DIR}/package/${text}.gz)
endforeach()
add_custom_target(package_texts ALL DEPENDS ${HEPTAD_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/package/heptad.1.gz ${CMAKE_BINARY_DIR}/package/heptad-capture.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz ${CMAKE_SOURCE_DIR}/package/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The guide as in the repository, the README beside its docs/ folder, so that its links hold.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME heptad)
set(CPACK_PACKAGE_VENDOR "The Heptad developers")
set(CPACK_PACKAGE_CONTACT "The Heptad developers <heptad@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL demo of seven scenes to a 128 BPM track")
# The summary above is the package's synopsis; this is the rest of its description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Heptad plays seven scenes in 164 seconds, fullscreen at 1920x1080, to its
own synthesised music: heptad plays it live with OpenGL 3.3, heptad-capture
records it frame by frame into a video file or a still picture, with or
without a display or a GPU. Warning: the demo flashes more than three times a
second over much of the screen in scene 3 (45-51 s), all through scene 5
(83-111 s) and in the late finale (152-159 s and 163 s); heptad --gentle holds
most of it back.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The libraries linked are found by dpkg-shlibdeps; what they load at run time is declared here:
# the GL and EGL libraries that libepoxy opens, Mesa's drivers (software rendering where there
# is no GPU), ffmpeg that the recorder encodes with, and the monospaced font of edit mode's
# overlay (the pictures' fonts are read at build time only).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1, libgl1-mesa-dri, libegl-mesa0, ffmpeg, fonts-dejavu-core")
include(CPack)
