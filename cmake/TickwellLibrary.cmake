# One static library per source folder; sources are picked up by glob so that adding a
# file needs no edit here.
function(tickwell_library name folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  file(GLOB compiled CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT compiled)
    # Headers only.
    add_library(${name} INTERFACE ${sources})
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE tickwell_warnings)
endfunction()

# One GoogleTest program per test folder.
function(tickwell_test name folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} tickwell_test_support GTest::gtest GTest::gmock tickwell_warnings)
  gtest_discover_tests(${name} TEST_LIST ${name}_list DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  # A list in PROPERTIES ENVIRONMENT would be split apart, so the environment is set from a
  # script that CTest includes after the discovered tests.
  set(env "LC_ALL=en_US.UTF-8;TZ=America/New_York;QT_QPA_PLATFORM=offscreen;TICKWELL_BIN_DIR=${CMAKE_BINARY_DIR}/bin;TICKWELL_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  set(script "set_tests_properties(\${${name}_list} PROPERTIES ENVIRONMENT \"${env}\")\n")
  if(TICKWELL_SANITIZE)
    # Qt WebEngine (Chromium) deletes some objects through a base class of another size when it
    # shuts down: a report inside the library that no change of ours can mend, and one that ASan
    # cannot suppress by library. Only the tests whose processes load the web engine do without
    # that one check; every other report still fails them.
    string(APPEND script
      "foreach(test \${${name}_list})\n"
      "  if(test MATCHES \"^(ArchiveWebEngineTest|ArchiveStopTest|ArchiveMenuTest|ArchiverFaultTest|IdleHelperTest|SingleInstanceTest)\\\\.\")\n"
      "    set_tests_properties(\${test} PROPERTIES ENVIRONMENT \"${env};ASAN_OPTIONS=\$ENV{ASAN_OPTIONS}:new_delete_type_mismatch=0\")\n"
      "  endif()\n"
      "endforeach()\n")
  endif()
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_env.cmake "${script}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}_env.cmake)
endfunction()
