# Windows programs of the cross build run under Wine: tests through CTest's
# emulator and the simulated game through the same wrapper.
find_program(LUMENVEIL_WINE64 wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(LUMENVEIL_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(LUMENVEIL_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${LUMENVEIL_WINE_RUN}
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE
               @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMENVEIL_WINE_RUN})
