# The caption files from other tools that the sample tests read in place; they skip when it is
# absent. A worktree whose parent holds no shared folder names it here.
set(VANTREL_SAMPLES_DIR "${PROJECT_SOURCE_DIR}/../shared/samples"
    CACHE PATH "Folder of the sample caption files the tests read")

# Where a test program finds the repository and the samples.
function(vantrel_test_folders name)
  target_compile_definitions(${name} PRIVATE VANTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                             VANTREL_SAMPLES_DIR="${VANTREL_SAMPLES_DIR}")
endfunction()

# One test program per folder: every *_test.cpp of the folder, linked with the core.
function(vantrel_core_test_program name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE vantrel_core GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  vantrel_test_folders(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()
