# The amplifier emulator: an amplifier behind the link's USB and MIDI seams, for every test and
# benchmark that needs one.
file(GLOB AMPLIFIER_EMULATOR_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/testing/emulator/*.cpp)
add_library(amplifier_emulator STATIC ${AMPLIFIER_EMULATOR_SOURCES})
target_link_libraries(amplifier_emulator PUBLIC vantorel_core)
list(APPEND VANTOREL_TEST_SUPPORT_LIBS amplifier_emulator)
