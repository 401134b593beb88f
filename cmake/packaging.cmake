# What an author installs: the programs, the README with the picture it shows, the licence, the
# example song, and on Linux a man page in English and one in Japanese, each made from the command
# line's own --help in that language, so the two never disagree. CPack makes the packages from the
# same rules: a zip on Windows, a .deb and a .tar.gz on Linux.

include(GNUInstallDirs)

# The README an author installs is the repository's up to its section for developers, which names
# the scripts, benchmarks and sources that no package holds.
set(RENDLOW_SOURCE_README ${PROJECT_SOURCE_DIR}/README.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RENDLOW_SOURCE_README})
file(READ ${RENDLOW_SOURCE_README} readme)
string(FIND "${readme}" "\n## For developers" developers_section)
if(developers_section EQUAL -1)
  message(FATAL_ERROR "README.md has no section \"## For developers\" for the installed README to end before")
endif()
string(SUBSTRING "${readme}" 0 ${developers_section} readme)
set(RENDLOW_INSTALLED_README ${CMAKE_BINARY_DIR}/README.md)
file(WRITE ${RENDLOW_INSTALLED_README} "${readme}")

if(WIN32)
  # Everything in one folder, the README as a text file Windows opens.
  set(RENDLOW_DOC_DIR .)
  set(RENDLOW_BIN_DIR .)
  install(FILES ${RENDLOW_INSTALLED_README} DESTINATION . RENAME README.txt)
else()
  set(RENDLOW_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/rendlow)
  set(RENDLOW_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  install(FILES ${RENDLOW_INSTALLED_README} DESTINATION ${RENDLOW_DOC_DIR})
endif()
install(TARGETS rendlow-cli RUNTIME DESTINATION ${RENDLOW_BIN_DIR})
if(TARGET Rendlow)
  install(TARGETS Rendlow RUNTIME DESTINATION ${RENDLOW_BIN_DIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/examples/example_song.mid DESTINATION ${RENDLOW_DOC_DIR})
if(WIN32)
  # The General MIDI SoundFont the built-in synthesizer renders with when none is named, looked for
  # beside the program: Debian's timgm6mb-soundfont (6 MB, GPL-2), with its copyright and licence
  # beside it. It is also put beside the programs in the build folder, for the tests that run them.
  set(RENDLOW_SOUNDFONT /usr/share/sounds/sf2/TimGM6mb.sf2)
  set(RENDLOW_SOUNDFONT_COPYRIGHT /usr/share/doc/timgm6mb-soundfont/copyright)
  set(RENDLOW_SOUNDFONT_LICENSE /usr/share/common-licenses/GPL-2)
  foreach(file IN ITEMS ${RENDLOW_SOUNDFONT} ${RENDLOW_SOUNDFONT_COPYRIGHT} ${RENDLOW_SOUNDFONT_LICENSE})
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "${file} is missing: scripts/install-deps installs timgm6mb-soundfont")
    endif()
  endforeach()
  configure_file(${RENDLOW_SOUNDFONT} ${CMAKE_BINARY_DIR}/src/TimGM6mb.sf2 COPYONLY)
  configure_file(${RENDLOW_SOUNDFONT} ${CMAKE_BINARY_DIR}/src/ui/TimGM6mb.sf2 COPYONLY)
  install(FILES ${RENDLOW_SOUNDFONT} DESTINATION ${RENDLOW_BIN_DIR})
  install(FILES ${RENDLOW_SOUNDFONT_COPYRIGHT} DESTINATION ${RENDLOW_DOC_DIR} RENAME TimGM6mb-copyright.txt)
  install(FILES ${RENDLOW_SOUNDFONT_LICENSE} DESTINATION ${RENDLOW_DOC_DIR} RENAME TimGM6mb-GPL-2.txt)
endif()
# The README shows the window from docs/, beside it: the picture goes where that path finds it.
install(FILES ${PROJECT_SOURCE_DIR}/docs/rendlow-window.png DESTINATION ${RENDLOW_DOC_DIR}/docs)
if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${RENDLOW_DOC_DIR})
else()
  # A Debian package states its licence in the copyright file and keeps a compressed changelog and
  # man page; gzip -n leaves the time out, so two builds make the same bytes.
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${RENDLOW_DOC_DIR})
  set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
  add_custom_command(
    OUTPUT ${changelog}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/cmake/debian/changelog > ${changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)
  add_custom_target(rendlow-changelog ALL DEPENDS ${changelog})
  install(FILES ${changelog} DESTINATION ${RENDLOW_DOC_DIR})
endif()

find_program(RENDLOW_HELP2MAN help2man)
if(NOT WIN32 AND RENDLOW_HELP2MAN)
  # One man page per language --help speaks: help2man runs the program under `locale`, whose
  # language --help follows, and titles the sections in it; the page's one-line name comes from
  # `include`, which help2man reads in the locale's encoding. The locale must be installed, or the
  # page would read the Japanese as ASCII.
  function(rendlow_man_page folder locale include)
    set(page ${CMAKE_BINARY_DIR}/${folder}rendlow-cli.1)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/${folder}
      COMMAND ${RENDLOW_HELP2MAN} --no-info --locale=${locale} --include ${include} --section 1 --output ${page}
              $<TARGET_FILE:rendlow-cli>
      COMMAND gzip -9n -f ${page}
      DEPENDS rendlow-cli ${include}
      COMMENT "Writing the man page from rendlow-cli --help under ${locale}"
      VERBATIM)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${folder}man1)
    set(man_pages ${man_pages} ${page}.gz PARENT_SCOPE)
  endfunction()
  set(man_pages)
  rendlow_man_page("" C.UTF-8 ${PROJECT_SOURCE_DIR}/cmake/man/rendlow-cli.h2m)
  execute_process(COMMAND locale -a OUTPUT_VARIABLE installed_locales ERROR_QUIET)
  if(installed_locales MATCHES "ja_JP\\.(utf8|UTF-8)")
    rendlow_man_page(ja/ ja_JP.UTF-8 ${PROJECT_SOURCE_DIR}/cmake/man/rendlow-cli.ja.h2m)
  else()
    message(WARNING "The ja_JP.UTF-8 locale is not installed (scripts/install-deps installs it): "
                    "no Japanese man page")
  endif()
  add_custom_target(rendlow-man-page ALL DEPENDS ${man_pages})
endif()

set(CPACK_PACKAGE_NAME rendlow)
set(CPACK_PACKAGE_VENDOR "The Rendlow authors")
set(CPACK_PACKAGE_CONTACT "The Rendlow authors <rendlow@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns a MIDI song into a keysounded BMS chart and its sound files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME rendlow-${PROJECT_VERSION}-windows-x64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(CPACK_PACKAGE_FILE_NAME rendlow-${PROJECT_VERSION}-linux-x86_64)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Rendlow reads a finished song as a Standard MIDI File and slices each track's
notes into sounds, as the author sets per track. It writes a rendering MIDI
file that plays every distinct sound once, a .bme chart that places every
occurrence of every sound at its song time, and a settings file that loads
the setup again.

rendlow-cli also makes the sound files, rendered with FluidSynth (or its own
SoundFont synthesizer) or cut from the author's own renders, and measures how
faithfully the chart plays the song back.")
  # The libraries the program links (the C++ runtime) as the system names them, and those it
  # opens when it makes sound files; a General MIDI SoundFont for --keysounds is recommended.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfluidsynth3, libsndfile1")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fluid-soundfont-gm | timgm6mb-soundfont")
endif()
include(CPack)
