# Lays out what a player installs: Data/Zorvik/Plugins/ with the DLL, its INI
# file and the companion page, under OUT, and the same tree zipped for a mod
# manager. The page sits beside the INI file it checks: a mod manager installs
# anything under Data/ without complaint, and the player finds it where the
# settings are.
#   cmake -DDLL=<LumenveilHUD.dll> -DINI=<LumenveilHUD.ini> -DPAGE=<companion.html> -DOUT=<folder>
#         -DZIP_NAME=<name.zip> -P PlayerPackage.cmake
foreach(variable DLL INI PAGE OUT ZIP_NAME)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "PlayerPackage.cmake needs -D${variable}=...")
  endif()
endforeach()

set(plugins ${OUT}/Data/Zorvik/Plugins)
file(REMOVE_RECURSE ${OUT}/Data ${OUT}/${ZIP_NAME})
file(MAKE_DIRECTORY ${plugins})
file(COPY_FILE ${DLL} ${plugins}/LumenveilHUD.dll)
file(COPY_FILE ${INI} ${plugins}/LumenveilHUD.ini)
file(COPY_FILE ${PAGE} ${plugins}/LumenveilHUD-Companion.html)

execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP_NAME} --format=zip Data
  WORKING_DIRECTORY ${OUT}
  RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "could not write ${OUT}/${ZIP_NAME}")
endif()

# A package that a mod manager would install wrongly is no package.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP_NAME}
  WORKING_DIRECTORY ${OUT}
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE listed)
foreach(entry Data/Zorvik/Plugins/LumenveilHUD.dll Data/Zorvik/Plugins/LumenveilHUD.ini
              Data/Zorvik/Plugins/LumenveilHUD-Companion.html)
  string(FIND "${listing}" "${entry}" found)
  if(NOT listed EQUAL 0 OR found EQUAL -1)
    message(FATAL_ERROR "${ZIP_NAME} lacks ${entry}:\n${listing}")
  endif()
endforeach()
message(STATUS "Player package: ${OUT}/${ZIP_NAME}")
