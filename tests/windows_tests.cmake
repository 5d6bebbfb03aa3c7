# Tests of the Windows cross build. GoogleTest is built for the target from
# the sources Debian's googletest package ships, and every test program runs
# under wine as one ctest test (a wine start per test case would cost more
# than the tests). wine keeps its prefix, home and caches inside the build
# tree; one setup test creates the prefix before the others run.
set(VEXA_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to cross-build")
if(NOT EXISTS ${VEXA_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "no GoogleTest sources at ${VEXA_GTEST_SOURCE_DIR}: "
                      "VEXA_SETUP_WINDOWS=1 scripts/setup.sh installs them")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
# Its own CMake project defines the GTest:: targets the tests link.
add_subdirectory(${VEXA_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# GCC 12 warns of overlapping copies inside std::string at -O3 where there
# are none (GCC bug 105329).
add_compile_options(-Wno-restrict)

set(VEXA_WINE_HOME ${CMAKE_BINARY_DIR}/wine-home)
file(MAKE_DIRECTORY ${VEXA_WINE_HOME})  # wine makes the prefix, not the folders above it
set(VEXA_WINE_ENV
    WINEPREFIX=${VEXA_WINE_HOME}/prefix
    HOME=${VEXA_WINE_HOME}
    XDG_CONFIG_HOME=${VEXA_WINE_HOME}/config
    XDG_DATA_HOME=${VEXA_WINE_HOME}/data
    XDG_CACHE_HOME=${VEXA_WINE_HOME}/cache
    WINEDEBUG=-all
    WINEDLLOVERRIDES=winemenubuilder.exe=d
    LANG=en_US.UTF-8)
add_test(NAME WinePrefix COMMAND ${CMAKE_COMMAND} -E env ${VEXA_WINE_ENV} wineboot -i)
set_tests_properties(WinePrefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 240)

function(vexa_add_emulated_test name)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VEXA_WINE_ENV}"
                                          FIXTURES_REQUIRED wine_prefix)
endfunction()
