# The program's window seen from outside: a probe that finds, measures and closes a
# window on the X server (smoke test, screenshot, start-up measurement), and a minimal
# JUCE window program that the start-up of Vantorel is measured against.

find_package(X11 REQUIRED)
add_executable(vantorel_window_probe ${CMAKE_SOURCE_DIR}/testing/window/WindowProbe.cpp)
target_link_libraries(vantorel_window_probe PRIVATE X11::X11)

add_executable(vantorel_minimal_window ${CMAKE_SOURCE_DIR}/bench/startup/MinimalWindow.cpp)
target_link_libraries(vantorel_minimal_window PRIVATE vantorel_core)

if(VANTOREL_TESTS)
    enable_testing()
    # Starts the real program on the test's X server (its own Xvfb when there is
    # none), checks the window and closes it.
    add_test(NAME smoke
        COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/smoke-test.sh
            $<TARGET_FILE:Vantorel> $<TARGET_FILE:vantorel_window_probe>)
    # One instance of the program runs at a time: never beside the emulated scenario.
    set_tests_properties(smoke PROPERTIES TIMEOUT 120 RESOURCE_LOCK vantorel_instance)
endif()
