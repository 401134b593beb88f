# The Windows command line renders the example's keysounds with its own synthesizer and the
# SoundFont shipped beside it: run under Wine in a fresh folder with no --soundfont, it must end
# well, write every sound file the chart names, each holding sound, and tell the fidelity.
# Run as cmake -DEMULATOR=... -DCLI=... -DSONG=... -P example_keysounds.cmake.
#
# The job runs on the Wine prefix's drive C:, where a path such as /usr/share/sounds/sf2/… names
# nothing, as on Windows: from a folder on the drive Wine maps to Linux's root, the program would
# find Linux's own SoundFonts there and not show that it finds the one beside it.
if(DEFINED ENV{WINEPREFIX})
  set(FOLDER $ENV{WINEPREFIX}/drive_c/rendlow-example-keysounds)
else()
  set(FOLDER $ENV{HOME}/.wine/drive_c/rendlow-example-keysounds)
endif()
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
file(COPY ${SONG} DESTINATION ${FOLDER})
get_filename_component(song ${SONG} NAME)
get_filename_component(stem ${SONG} NAME_WE)
execute_process(COMMAND ${EMULATOR} ${CLI} --keysounds ${song} WORKING_DIRECTORY ${FOLDER}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "rendlow-cli --keysounds ended with ${status}\n${out}\n${err}")
endif()

file(STRINGS ${FOLDER}/${stem}_out.bme definitions REGEX "^#WAV")
list(LENGTH definitions count)
if(count EQUAL 0)
  message(FATAL_ERROR "the chart names no sound file")
endif()
foreach(definition IN LISTS definitions)
  string(REGEX REPLACE "^#WAV.. " "" sound "${definition}")
  if(NOT EXISTS ${FOLDER}/${sound})
    message(FATAL_ERROR "${sound}, named by the chart, was not written")
  endif()
  # A WAV file's header is 44 bytes: a sound of a hundred frames at the least is more.
  file(SIZE ${FOLDER}/${sound} size)
  if(size LESS 444)
    message(FATAL_ERROR "${sound} holds ${size} bytes")
  endif()
endforeach()

# The song's figures, in either language: its log-spectral distance, its spectral SNR and more.
if(NOT out MATCHES "\n[^\n]*[0-9]\\.[0-9]+ dB[^\n]*[0-9]\\.[0-9]+ dB[^\n]*\n?$")
  message(FATAL_ERROR "no fidelity figures of the song:\n${out}")
endif()
message(STATUS "${count} sound files written and measured")
