# GoogleTest from the sources Debian's googletest package installs, for both builds.
set(REFLASHER_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
# GoogleTest's own sources don't build warning-free under our flags.
set(_reflasher_saved_options "${CMAKE_CXX_FLAGS}")
add_subdirectory(${REFLASHER_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(target gtest gtest_main gmock gmock_main)
  if(TARGET ${target})
    target_compile_options(${target} PRIVATE -w)
  endif()
endforeach()
include(GoogleTest)
