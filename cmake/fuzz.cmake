# libFuzzer targets: every fuzz/*Fuzzer.cpp becomes an executable of its own, with the test
# amplifiers of testing/emulator at hand. Only with -DVANTOREL_FUZZ=ON and clang (scripts/fuzz.sh
# configures both); the whole core library is then instrumented for the fuzzer and built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and undefined behaviour aborts so that the fuzzer
# counts it as a crash.
option(VANTOREL_FUZZ "Build the libFuzzer targets of fuzz/ (needs clang)" OFF)

if(VANTOREL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VANTOREL_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()

    set(VANTOREL_SANITIZERS address,undefined)
    target_compile_options(vantorel_core PUBLIC
        -fsanitize=fuzzer-no-link,${VANTOREL_SANITIZERS}
        -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    target_link_options(vantorel_core PUBLIC -fsanitize=${VANTOREL_SANITIZERS})

    file(GLOB VANTOREL_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*Fuzzer.cpp)
    foreach(fuzzer_source ${VANTOREL_FUZZERS})
        get_filename_component(fuzzer_name ${fuzzer_source} NAME_WE)
        add_executable(${fuzzer_name} ${fuzzer_source})
        target_link_libraries(${fuzzer_name} PRIVATE vantorel_core amplifier_emulator)
        target_link_options(${fuzzer_name} PRIVATE -fsanitize=fuzzer)
    endforeach()
endif()
