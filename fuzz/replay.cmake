# Every fuzz target replayed over its corpus, fuzz/corpus/<target>/ (the file name without
# _fuzz.cpp), as an ordinary test: an input dropped into the folder is run from then on.
# Without libFuzzer each target is built with a small driver; a libFuzzer build runs its own
# programs over the folder once.
file(GLOB fuzz_targets CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_fuzz.cpp)
foreach(src ${fuzz_targets})
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" corpus ${name})
  set(folder ${CMAKE_CURRENT_LIST_DIR}/corpus/${corpus})
  if(VANTREL_FUZZ)
    add_test(NAME fuzz_replay_${corpus} COMMAND ${name} -runs=0 ${folder})
  else()
    add_executable(${name}_replay ${src} ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE vantrel_core)
    add_test(NAME fuzz_replay_${corpus} COMMAND ${name}_replay ${folder})
  endif()
  set_tests_properties(fuzz_replay_${corpus} PROPERTIES TIMEOUT 600)
endforeach()
