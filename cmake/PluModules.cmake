# Helpers shared by every CMakeLists.txt of the project.

# plu_add_module(<name> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# One static library per module, named plu_<name>. Headers are included as
# "module/header.h" from src/; DEPS are the modules (plu_<name>) or external
# targets this module builds on.
function(plu_add_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  if(NOT M_SOURCES)
    # A module whose sources are still to come: headers only, same interface.
    add_library(plu_${name} INTERFACE)
    target_include_directories(plu_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(plu_${name} INTERFACE ${M_DEPS})
    return()
  endif()
  add_library(plu_${name} STATIC ${M_SOURCES})
  target_include_directories(plu_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(plu_${name} PUBLIC ${M_DEPS} PRIVATE ${M_PRIVATE_DEPS})
endfunction()

# plu_glob_sources(<var> [subdirs...]): the .cpp files of the current folder
# (and the given subfolders), re-globbed when files come and go.
function(plu_glob_sources var)
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(d IN LISTS ARGN)
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp)
  endforeach()
  file(GLOB found CONFIGURE_DEPENDS ${patterns})
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# plu_add_test(<name> SOURCES ... LIBS ... [TIMEOUT seconds] [LABELS ...])
# One GoogleTest binary registered with CTest; every discovered test gets a
# timeout so a hang fails the run instead of stalling it.
function(plu_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_SOURCES)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} plu_test_support GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    PLU_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    PLU_BINARY_DIR="${PROJECT_BINARY_DIR}"
    PLU_BIN_DIR="${PROJECT_BINARY_DIR}/bin")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  set(props TIMEOUT ${T_TIMEOUT}
            ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()

# plu_add_fuzzer(<name> SOURCES ... LIBS ...): a libFuzzer target, built only
# in the fuzzing configuration.
function(plu_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT PLU_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
  set_property(GLOBAL APPEND PROPERTY PLU_FUZZERS ${name})
endfunction()

# plu_add_benchmark(<name> SOURCES ... LIBS ...)
function(plu_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()
