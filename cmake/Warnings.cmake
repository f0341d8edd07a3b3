# Our own code builds with every warning as an error; third-party headers are
# included as system headers and stay quiet.
function(lumivane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()

# One library or test program per folder: every .cpp below the folder belongs to it.
function(lumivane_sources out dir)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  # The Qt drawing of a layer lives in its qt/ folder and builds on its own,
  # so only the program and the window tests link Qt.
  if(NOT LUMIVANE_SOURCES_WITH_QT)
    list(FILTER _srcs EXCLUDE REGEX "/qt/")
  endif()
  set(${out} ${_srcs} PARENT_SCOPE)
endfunction()

function(lumivane_test name dir)
  lumivane_sources(_srcs ${dir})
  add_executable(${name} ${_srcs})
  lumivane_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE LUMIVANE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# A layer's library from every .cpp below its folder; a layer that has no
# code yet is an interface library, so the ones above it still link.
function(lumivane_library name)
  cmake_parse_arguments(L "" "" "DIRS;DEPS" ${ARGN})
  set(_all)
  foreach(d ${L_DIRS})
    lumivane_sources(_s ${d})
    list(APPEND _all ${_s})
  endforeach()
  if(_all)
    add_library(${name} STATIC ${_all})
    target_link_libraries(${name} PUBLIC ${L_DEPS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    lumivane_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${L_DEPS})
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
  endif()
endfunction()
