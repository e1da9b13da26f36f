# reflasher_add_host_program(<output> <comment> INCLUDE <dir> SOURCES <files...> HEADERS <files...>)
# A program that the build itself runs (an image generator, an image check). In a
# cross build it is compiled with the build host's compiler, so it runs without
# an emulator.
function(reflasher_add_host_program output comment)
  cmake_parse_arguments(arg "" "INCLUDE" "SOURCES;HEADERS" ${ARGN})
  find_program(REFLASHER_HOST_CXX NAMES c++ g++ clang++ REQUIRED
               DOC "Compiler for tools that run on the build host")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${REFLASHER_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror
            -I${arg_INCLUDE} ${arg_SOURCES} -o ${output}
    DEPENDS ${arg_SOURCES} ${arg_HEADERS}
    COMMENT ${comment}
    VERBATIM)
endfunction()
