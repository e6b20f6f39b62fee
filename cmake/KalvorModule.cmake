# kalvor_warnings(<target>)
# The warnings every target of ours compiles with; with KALVOR_WERROR they fail
# the build (CI builds that way).
function(kalvor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(KALVOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kalvor_qt_pch(<target> [headers...])
# Precompiles the Qt headers that a widget or test target includes everywhere.
function(kalvor_qt_pch target)
  if(KALVOR_PCH)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# kalvor_module(<target> <folder> [DEPS targets...])
# Makes a static library of every .cpp in <folder> (not its subfolders) with the
# given dependencies; a folder without sources yet gives an interface library,
# so that the dependency graph can be written down before the code exists.
function(kalvor_module target folder)
  cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${folder}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${folder}/*.h)
  if(srcs)
    add_library(${target} STATIC ${srcs} ${hdrs})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${M_DEPS})
    kalvor_warnings(${target})
    # Screens and the grid include the same widget headers in every file.
    if(folder MATCHES "(^|/)ui$" OR folder STREQUAL "grid")
      kalvor_qt_pch(${target} <QString> <QWidget> <QDialog> <QLayout> <QPainter>)
    endif()
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${M_DEPS})
  endif()
endfunction()

# kalvor_tests(<name> <folder> [DEPS targets...])
# One test executable per test folder (tests are grouped, not one per file).
function(kalvor_tests name folder)
  cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${M_DEPS} GTest::gtest GTest::gmock Qt6::Test kalvor_testmain)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE KALVOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  kalvor_warnings(${name})
  kalvor_qt_pch(${name} <QApplication> <QString> <QWidget> <QTest> <gtest/gtest.h>)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 600)
endfunction()
