# The emulated program: the real application and window with the amplifier emulator beneath the
# USB scan and the MIDI ports, chosen by environment variables. For tests only: not installed.
file(GLOB EMULATED_PROGRAM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/testing/emulated/*.cpp)
add_executable(vantorel_emulated ${EMULATED_PROGRAM_SOURCES})
target_link_libraries(vantorel_emulated PRIVATE vantorel_core amplifier_emulator)

if(VANTOREL_TESTS)
    enable_testing()
    # The window against an emulated amplifier, driven from outside through the X server.
    add_test(NAME emulated
        COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/emulated-scenario.sh
            $<TARGET_FILE:vantorel_emulated> $<TARGET_FILE:vantorel_window_probe>)
    # One instance of the program runs at a time: never beside the smoke test.
    set_tests_properties(emulated PROPERTIES TIMEOUT 300 RESOURCE_LOCK vantorel_instance)
endif()

# Tests that show dialogs intern the window-protocol atoms themselves (testing/window/DesktopAtoms.h).
find_package(X11 REQUIRED)
add_library(desktop_atoms STATIC ${CMAKE_SOURCE_DIR}/testing/window/DesktopAtoms.cpp)
target_include_directories(desktop_atoms PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(desktop_atoms PRIVATE X11::X11)
list(APPEND VANTOREL_TEST_SUPPORT_LIBS desktop_atoms)
