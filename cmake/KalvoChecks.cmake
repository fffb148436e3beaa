# Libraries that compute, store or draw must not pull in Qt Widgets, directly or
# through another library of ours. Each such library registers itself with
# kalvo_no_widgets(<target>); the check runs once every target is known.

set_property(GLOBAL PROPERTY KALVO_NO_WIDGETS_TARGETS "")

function(kalvo_no_widgets target)
  set_property(GLOBAL APPEND PROPERTY KALVO_NO_WIDGETS_TARGETS ${target})
endfunction()

# The program and its windows load Qt's print support only when they first
# print (through the printing module); linked, it would be loaded and bound
# at every start. Targets that must not link it register with
# kalvo_no_print_support(<target>).
set_property(GLOBAL PROPERTY KALVO_NO_PRINT_SUPPORT_TARGETS "")

function(kalvo_no_print_support target)
  set_property(GLOBAL APPEND PROPERTY KALVO_NO_PRINT_SUPPORT_TARGETS ${target})
endfunction()

function(_kalvo_collect_links target out)
  set(result "")
  set(todo ${target})
  set(seen "")
  while(todo)
    list(POP_FRONT todo t)
    if(t IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${t})
    if(NOT TARGET ${t})
      continue()
    endif()
    get_target_property(aliased ${t} ALIASED_TARGET)
    if(aliased)
      list(APPEND todo ${aliased})
    endif()
    get_target_property(imported ${t} IMPORTED)
    if(imported)
      list(APPEND result ${t})
      continue()
    endif()
    foreach(prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libs ${t} ${prop})
      if(libs)
        foreach(l ${libs})
          string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" l "${l}")
          list(APPEND todo ${l})
          list(APPEND result ${l})
        endforeach()
      endif()
    endforeach()
  endwhile()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(kalvo_check_no_widgets)
  get_property(targets GLOBAL PROPERTY KALVO_NO_WIDGETS_TARGETS)
  foreach(t ${targets})
    _kalvo_collect_links(${t} libs)
    foreach(l ${libs})
      if(l MATCHES "Widgets|PrintSupport")
        message(FATAL_ERROR "${t} must not link Qt Widgets (it reaches ${l})")
      endif()
    endforeach()
  endforeach()
  get_property(targets GLOBAL PROPERTY KALVO_NO_PRINT_SUPPORT_TARGETS)
  foreach(t ${targets})
    _kalvo_collect_links(${t} libs)
    foreach(l ${libs})
      if(l MATCHES "PrintSupport")
        message(FATAL_ERROR "${t} must not link Qt PrintSupport (it reaches ${l}); printing loads it")
      endif()
    endforeach()
  endforeach()
endfunction()

# One GoogleTest program per library; tests run headless.
function(kalvo_add_test name)
  # GUI: the test program creates a QApplication before the tests run (widgets, fonts, clipboard).
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  # Everything above the numerical library counts its work against budgets.
  if(NOT ARG_LIBS MATCHES "^kalvo_numlib")
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/counted_work_only.cpp)
    target_link_libraries(${name} PRIVATE kalvo_platform)
  endif()
  if(ARG_GUI)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gui_test_main.cpp)
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    KALVO_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    KALVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    # One value per property: the test discovery splits a value at its semicolons.
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=set:detect_leaks=0")
endfunction()
