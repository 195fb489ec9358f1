# Installing the game (cmake --install build [--prefix P], DESTDIR honoured),
# laid out as Debian lays out its games:
#   P/games/kestravale                the command, a launcher script
#   P/libexec/kestravale/kestravale   the program
#   P/share/games/kestravale/data/    the data the program reads
#   P/share/games/kestravale/levels/  more levels, played with --level FILE
#   P/share/applications, P/share/metainfo, P/share/icons/hicolor,
#   P/share/man/man6                  the desktop entry, AppStream, icons, manual
# The launcher finds the other two from its own place, so the tree works
# under any prefix and from a DESTDIR. docs/decisions.md says why.
if(EMSCRIPTEN)
  return()
endif()

set(KV_APP_ID io.github.kestravale.KestraVale)
set(KV_GAMES_DIR games CACHE STRING "Where the kestravale command goes, under the prefix")
set(KV_PROGRAM_DIR libexec/kestravale CACHE STRING "Where the game's program goes, under the prefix")
set(KV_DATA_ROOT share/games/kestravale CACHE STRING "The folder, under the prefix, that holds the game's data/")

set(KV_PACKAGING ${CMAKE_CURRENT_LIST_DIR})
file(RELATIVE_PATH GAMES_TO_DATA /${KV_GAMES_DIR} /${KV_DATA_ROOT})
file(RELATIVE_PATH GAMES_TO_BINARY /${KV_GAMES_DIR} /${KV_PROGRAM_DIR}/kestravale)
configure_file(${KV_PACKAGING}/kestravale.sh ${CMAKE_BINARY_DIR}/packaging/kestravale @ONLY)

install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/kestravale DESTINATION ${KV_GAMES_DIR})
install(TARGETS kestravale RUNTIME DESTINATION ${KV_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data DESTINATION ${KV_DATA_ROOT})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/levels/more/ DESTINATION ${KV_DATA_ROOT}/levels)
install(FILES ${KV_PACKAGING}/${KV_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${KV_PACKAGING}/${KV_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${KV_PACKAGING}/kestravale.6 DESTINATION share/man/man6)
# The README and the changelog, which the manual points to. A Debian build
# leaves them to debhelper, which installs them its own way.
option(KV_INSTALL_DOCS "Install the README and the changelog under share/doc/kestravale" ON)
if(KV_INSTALL_DOCS)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGELOG.md DESTINATION share/doc/kestravale)
endif()
foreach(size 16 32 48 64 128 256)
  install(FILES ${KV_PACKAGING}/icons/kestravale-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${KV_APP_ID}.png)
endforeach()

if(KV_TESTS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/install ${CMAKE_BINARY_DIR}/tests/install)
endif()
