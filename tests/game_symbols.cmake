# The game's program holds none of what only the tests and tools use (the
# KV_DEV_BUILD part of the audio back-end, mixer.h). Run as
#   cmake -DNM=<nm> -DPROGRAM=<the game> -P game_symbols.cmake
set(DEV_ONLY bassOffline bassQuiet bassMuteMusic bassMuteEffects
             BassRender BassActivePlaybacks BASS_SampleFree BASS_MusicFree)
# Calls the game does make, so that a program without a symbol table (or an
# nm that lists nothing) cannot pass by showing nothing at all.
set(GAME_CALLS BASS_SamplePlay BassMix PlayEffect)

execute_process(COMMAND ${NM} --demangle ${PROGRAM}
                OUTPUT_VARIABLE symbols ERROR_VARIABLE errors RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} ${PROGRAM}: ${errors}")
endif()

set(wrong)
foreach(name ${GAME_CALLS})
  if(NOT symbols MATCHES "[ \t]${name}[(\n]")
    list(APPEND wrong "${name} is missing")
  endif()
endforeach()
foreach(name ${DEV_ONLY})
  if(symbols MATCHES "[ \t]${name}[(\n]")
    list(APPEND wrong "${name} is in it")
  endif()
endforeach()
if(wrong)
  list(JOIN wrong "; " wrong)
  message(FATAL_ERROR "${PROGRAM}: ${wrong}")
endif()
