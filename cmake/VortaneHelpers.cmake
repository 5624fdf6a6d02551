# Shared build settings: one interface target carries the warning set and the sanitizer flags, so
# every target opts in by linking Vortane::Build.
add_library(vortane_build INTERFACE)
add_library(Vortane::Build ALIAS vortane_build)
target_compile_options(vortane_build INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual>
    $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra -Wpedantic>)
if(VORTANE_WERROR)
    target_compile_options(vortane_build INTERFACE -Werror)
endif()
if(VORTANE_SANITIZE AND VORTANE_SANITIZE_THREAD)
    message(FATAL_ERROR "VORTANE_SANITIZE and VORTANE_SANITIZE_THREAD cannot be combined")
endif()
if(VORTANE_SANITIZE)
    target_compile_options(vortane_build INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(vortane_build INTERFACE -fsanitize=address,undefined)
endif()
if(VORTANE_SANITIZE_THREAD)
    # -Wno-tsan: Qt's inline reference counting (QImage, QByteArray) uses standalone fences, which the
    # thread sanitizer does not model and GCC warns about in every file that copies one of them.
    target_compile_options(vortane_build INTERFACE -fsanitize=thread -fno-omit-frame-pointer -Wno-tsan)
    target_link_options(vortane_build INTERFACE -fsanitize=thread)
endif()

# Subsystem headers are included by folder ("device/Packets.h"), and a folder is on the include path
# only of the targets that link its library: each folder gets a directory of its own in the build
# tree holding one link back to the sources, so including a header of a library you do not link
# fails to compile. Tests, benchmarks and build tools sit outside the layering and see the whole tree
# through Vortane::RepoIncludes.
add_library(vortane_repo_includes INTERFACE)
add_library(Vortane::RepoIncludes ALIAS vortane_repo_includes)
target_include_directories(vortane_repo_includes INTERFACE ${PROJECT_SOURCE_DIR})

# vortane_expose_headers(<target> <folder>) puts "<folder>/..." on the include path of <target> and
# of everything that links it.
function(vortane_expose_headers target folder)
    set(include_root ${CMAKE_BINARY_DIR}/include/${folder})
    set(link ${include_root}/${folder})
    if(NOT EXISTS ${link})
        get_filename_component(link_parent ${link} DIRECTORY)
        file(MAKE_DIRECTORY ${link_parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC COPY_ON_ERROR)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${include_root})
    else()
        target_include_directories(${target} PUBLIC ${include_root})
    endif()
endfunction()

# vortane_add_library(<name> <Alias>) creates the static library of the current subsystem folder with
# the build settings, its folder's headers exposed to whoever links it.
function(vortane_add_library name alias)
    add_library(${name} STATIC)
    add_library(Vortane::${alias} ALIAS ${name})
    target_link_libraries(${name} PUBLIC Vortane::Build)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    vortane_expose_headers(${name} ${folder})
endfunction()

# vortane_add_test(<TestName> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [TIMEOUT <s>]
#                  [ENVIRONMENT <VAR=value...>] [LAUNCHER <command...>])
# One Qt Test executable per behaviour group, run by CTest on the offscreen platform. LAUNCHER runs the
# executable through another program (for example an emulation wrapper it needs).
# On Linux the executable runs through cmake/run-qtest.sh, which reports a test whose every case
# skipped to CTest as skipped (exit code 77), keeps the skipped cases of the others in
# Testing/Temporary/skips/ for scripts/test.sh to list, and ends a hung test before CTest's own
# timeout so that nothing it started outlives it.
function(vortane_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT;LAUNCHER" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
    target_link_libraries(${name} PRIVATE Qt5::Test Vortane::Build Vortane::RepoIncludes Vortane::TestSupport ${ARG_LIBS})
    if(TARGET vortane_tsan_qt_sync)
        target_link_libraries(${name} PRIVATE vortane_tsan_qt_sync)
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    if(WIN32)
        add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
    else()
        math(EXPR inner_timeout "${ARG_TIMEOUT} - 10")
        add_test(NAME ${name}
                 COMMAND ${PROJECT_SOURCE_DIR}/cmake/run-qtest.sh ${name} ${inner_timeout}
                         ${CMAKE_BINARY_DIR}/Testing/Temporary/skips ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VORTANE_PROGRAM_DIR=${VORTANE_BIN_DIR};VORTANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};${ARG_ENVIRONMENT}")
endfunction()

# vortane_add_x11_run(<TestName> <test target> [TIMEOUT <s>])
# Runs an existing test executable once more on a real X server (cmake/run-on-x-server.sh), where
# the window's real size, fonts and stacking are those a user gets. Label "x11"; the sanitizer run
# leaves these out, as the same cases already ran there on the offscreen platform.
function(vortane_add_x11_run name target)
    cmake_parse_arguments(ARG "" "TIMEOUT" "" ${ARGN})
    if(WIN32)
        return()
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 240)
    endif()
    math(EXPR inner_timeout "${ARG_TIMEOUT} - 10")
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/cmake/run-qtest.sh ${name} ${inner_timeout}
                     ${CMAKE_BINARY_DIR}/Testing/Temporary/skips ${PROJECT_SOURCE_DIR}/cmake/run-on-x-server.sh
                     $<TARGET_FILE:${target}>)
    set_tests_properties(${name} PROPERTIES
        SKIP_RETURN_CODE 77
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "x11"
        ENVIRONMENT "VORTANE_PROGRAM_DIR=${VORTANE_BIN_DIR};VORTANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# Environment for build-time tools run by custom commands: no display, and no leak report from a
# sanitized tool (the build is not the place to judge them; the tests are).
set(VORTANE_TOOL_ENV ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0)
