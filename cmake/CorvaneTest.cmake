find_package(GTest REQUIRED)

# One test program per area, registered with CTest as a single test so a run
# stays fast however many cases the program holds.
#   corvane_add_test(NAME recordstore_tests SOURCES a.cpp b.cpp LIBS corvane_recordstore)
function(corvane_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    # Tests never touch the real registry hives.
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CORVANE_TEST=1;CORVANE_REGISTRY_DIR=${CMAKE_BINARY_DIR}/test-registry/${T_NAME};CORVANE_STATE_DIR=${CMAKE_BINARY_DIR}/test-state/${T_NAME};${T_ENV}"
    TIMEOUT 600)
endfunction()

# Runs the cases of a test program that the filter names once more on a real
# X11 server (xvfb-run), where they read back what the server holds.
#   corvane_add_x11_test(NAME user_window_tests_x11 OF user_window_tests FILTER *OffTheTaskBar*)
find_package(X11 REQUIRED)
find_program(XVFB_RUN xvfb-run)
function(corvane_add_x11_test)
  cmake_parse_arguments(X "" "NAME;OF;FILTER" "" ${ARGN})
  if(NOT XVFB_RUN)
    return()
  endif()
  add_test(NAME ${X_NAME}
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:${X_OF}> --gtest_filter=${X_FILTER})
  set_tests_properties(${X_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;CORVANE_TEST=1;CORVANE_REGISTRY_DIR=${CMAKE_BINARY_DIR}/test-registry/${X_NAME};CORVANE_STATE_DIR=${CMAKE_BINARY_DIR}/test-state/${X_NAME}"
    TIMEOUT 120)
endfunction()

# A program that renders windows into PNG files for a person to look at;
# scripts/screenshots.sh runs every one of them under a virtual display.
#   corvane_add_screenshots(NAME login_screenshots SOURCES a.cpp LIBS corvane_login_ui)
# Not built with the sanitizers: they are not tests.
function(corvane_add_screenshots)
  if(CORVANE_SANITIZE)
    return()
  endif()
  cmake_parse_arguments(S "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${S_NAME} ${S_SOURCES})
  target_include_directories(${S_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${S_NAME} PRIVATE ${S_LIBS})
endfunction()
