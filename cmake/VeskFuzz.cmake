# Fuzz targets: one per parser, each in a fuzz/ folder beside the code it reads.
#
#   vesk_add_fuzz_target(<name> SOURCES <files...> [LIBRARIES <targets...>]
#                        [INCLUDES <folders...>] [DICTIONARY <file>])
#
# The target's source defines LLVMFuzzerTestOneInput. Its seed corpus is fuzz/corpus/<name>/
# beside the calling CMakeLists.txt (or corpus/<name>/ when it is in the fuzz/ folder). In a normal build the source is linked with a replay main
# that feeds every corpus file through it once, registered as the CTest test fuzz.<name>
# (label "fuzz"). With -DVESK_FUZZ=ON and clang it is a libFuzzer binary instead, listed in
# <build>/fuzz-targets.tsv (name, binary, corpus, dictionary) for scripts/fuzz, and the same
# test replays the corpus through libFuzzer.

set(VESK_FUZZ_LIST ${CMAKE_BINARY_DIR}/fuzz-targets.tsv)
file(WRITE ${VESK_FUZZ_LIST} "")
if(NOT TARGET fuzz_all)
  add_custom_target(fuzz_all)
endif()

function(vesk_add_fuzz_target name)
  cmake_parse_arguments(F "" "DICTIONARY" "SOURCES;LIBRARIES;INCLUDES" ${ARGN})
  set(target fuzz_${name})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${corpus})  # called from inside the fuzz/ folder
    set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  endif()
  if(NOT IS_DIRECTORY ${corpus})
    message(FATAL_ERROR "fuzz target ${name}: no seed corpus at ${corpus}")
  endif()
  add_executable(${target} ${F_SOURCES})
  target_link_libraries(${target} PRIVATE ${F_LIBRARIES})
  target_include_directories(${target} PRIVATE ${F_INCLUDES} ${PROJECT_SOURCE_DIR}/cmake/fuzz)
  add_dependencies(fuzz_all ${target})
  if(VESK_FUZZ)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    # libFuzzer runs every file of the corpus once and stops when told to make no new runs.
    add_test(NAME fuzz.${name} COMMAND ${target} -runs=0 ${corpus})
  else()
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/fuzz/ReplayMain.cpp)
    add_test(NAME fuzz.${name} COMMAND ${target} ${corpus})
  endif()
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 300)
  set(dictionary "")
  if(F_DICTIONARY)
    set(dictionary ${CMAKE_CURRENT_SOURCE_DIR}/${F_DICTIONARY})
  endif()
  file(APPEND ${VESK_FUZZ_LIST} "${name}\t${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${target}\t${corpus}\t${dictionary}\n")
endfunction()
