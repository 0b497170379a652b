# Tests that start threads, or run a program that does, carry the CTest label "threads": the
# ThreadSanitizer tree (-DVQ_TSAN=ON) builds vq_thread_tests and runs `ctest -L threads`.
add_custom_target(vq_thread_tests)

# vq_add_test(NAME SOURCES src... LIBS lib... [QT] [THREADS filter THREAD_SOURCES src...])
# One GoogleTest executable per tests/ folder, registered with CTest. THREADS is the GoogleTest
# filter ("Suite.*:Other.Name") of its tests that start threads, THREAD_SOURCES the test files that
# hold them: the ThreadSanitizer tree builds the executable from those and the sources that are not
# test files (*_test.cpp) only, and registers the THREADS tests alone.
function(vq_add_test name)
  cmake_parse_arguments(T "QT" "THREADS" "SOURCES;LIBS;THREAD_SOURCES" ${ARGN})
  set(sources ${T_SOURCES})
  if(VQ_TSAN AND T_THREAD_SOURCES)
    list(FILTER sources EXCLUDE REGEX "_test\\.cpp$")
    foreach(src ${T_THREAD_SOURCES})
      get_filename_component(src ${src} ABSOLUTE)
      list(APPEND sources ${src})
    endforeach()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  include(GoogleTest)
  # The run folder is compiled in too, for test programs started by hand (ENVIRONMENT holds one
  # variable: a list there would be split into separate properties).
  target_compile_definitions(${name} PRIVATE VQ_RUN_DIR_DEFAULT="${VQ_RUN_DIR}")
  if(T_QT)
    set(env "QT_QPA_PLATFORM=offscreen")
  else()
    set(env "VQ_RUN_DIR=${VQ_RUN_DIR}")
  endif()
  if(T_THREADS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "${T_THREADS}"
                         PROPERTIES ENVIRONMENT "${env}" LABELS threads)
    if(NOT VQ_TSAN)
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "-${T_THREADS}"
                           PROPERTIES ENVIRONMENT "${env}")
    endif()
    add_dependencies(vq_thread_tests ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()

# vq_add_bench(NAME src... LIBS lib...)
function(vq_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
