# One Qt Test executable per tests/<folder>/tst_<unit>.cpp, run headless by CTest.
include(${CMAKE_CURRENT_LIST_DIR}/ZemloLinkCheck.cmake)

# Tests of the rules in zemlo_base (all of tests/text/, and those named here): they link it alone
# (with the scripted prompts), so that they build before the windows and run without a display.
# Any other test links the whole program.
set(ZEMLO_PURE_TESTS
    app/tst_commandline
    app/tst_pagemessage
    app/tst_settings
    documents/tst_journalrecord
    fsservice/tst_clsfso
    fsservice/tst_fsoactions
    taglib/tst_starterlibrary
    taglib/tst_taglibraryfile
    tools/tst_narrow
    tools/tst_pictographlist
    tools/tst_sitesearch
    tools/tst_tagcolor
    tools/tst_textsearch)

# Helpers shared by tests live in tests/common. The scripted prompts need only zemlo_base; every
# other helper there (the main window fixture, new ones) goes to the tests of the whole program.
set(ZEMLO_TEST_COMMON_BASE ${CMAKE_SOURCE_DIR}/tests/common/ScriptedPrompts.cpp
    ${CMAKE_SOURCE_DIR}/tests/common/ScriptedPrompts.h)
file(GLOB ZEMLO_TEST_COMMON CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/common/*.h)
list(REMOVE_ITEM ZEMLO_TEST_COMMON ${ZEMLO_TEST_COMMON_BASE})

# The tests' precompiled headers are made once, by these libraries, and reused by every test of
# the same kind; reuse needs the same flags, so the tests take theirs from the library they use.
set(ZEMLO_TEST_ENV_DEFINITIONS
    ZEMLO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    ZEMLO_SOURCE_DATA="${CMAKE_SOURCE_DIR}/data")

add_library(zemlo_testsupport_base STATIC ${ZEMLO_TEST_COMMON_BASE})
target_include_directories(zemlo_testsupport_base PUBLIC ${CMAKE_SOURCE_DIR}/tests/common)
target_link_libraries(zemlo_testsupport_base PUBLIC zemlo_base Qt6::Test)
target_compile_definitions(zemlo_testsupport_base PUBLIC ${ZEMLO_TEST_ENV_DEFINITIONS})
target_compile_options(zemlo_testsupport_base PUBLIC -Winvalid-pch)
target_precompile_headers(zemlo_testsupport_base PRIVATE ${ZEMLO_BASE_PCH} <QtTest>)

add_library(zemlo_testsupport STATIC ${ZEMLO_TEST_COMMON})
# Tests of the whole program show the preview, so they link its engine; linking it here gives
# the helper library the engine's compile definitions too, so that its precompiled header
# stays usable by those tests.
target_link_libraries(zemlo_testsupport PUBLIC zemlo_testsupport_base zemlo_core zemlo_preview)
target_precompile_headers(zemlo_testsupport PRIVATE ${ZEMLO_GUI_PCH} <QtTest>)

add_custom_target(zemlo_tests)
# The journeys run the program itself.
add_dependencies(zemlo_tests zemlo)

function(zemlo_add_test src)
    get_filename_component(name ${src} NAME_WE)
    get_filename_component(dir ${src} DIRECTORY)
    get_filename_component(folder ${dir} NAME)
    set(target ${folder}_${name})
    add_executable(${target} ${src})
    if(folder STREQUAL "text" OR ${folder}/${name} IN_LIST ZEMLO_PURE_TESTS)
        set(support zemlo_testsupport_base)
        set_property(GLOBAL APPEND PROPERTY ZEMLO_PURE_TEST_TARGETS ${target})
    else()
        set(support zemlo_testsupport)
    endif()
    target_link_libraries(${target} PRIVATE ${support})
    target_precompile_headers(${target} REUSE_FROM ${support})
    add_dependencies(zemlo_tests ${target})
    add_test(NAME ${folder}/${name} COMMAND ${target})
    set_tests_properties(${folder}/${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox;LC_ALL=C.UTF-8"
        TIMEOUT 600)
endfunction()

# Called once every test is added: a test listed as pure must not reach the GUI libraries.
function(zemlo_check_pure_tests)
    foreach(name IN LISTS ZEMLO_PURE_TESTS)
        string(REPLACE "/" "_" target ${name})
        if(NOT TARGET ${target})
            message(FATAL_ERROR "ZEMLO_PURE_TESTS names a missing test: ${name}")
        endif()
    endforeach()
    get_property(targets GLOBAL PROPERTY ZEMLO_PURE_TEST_TARGETS)
    foreach(target IN LISTS targets zemlo_testsupport_base)
        zemlo_check_core_only(${target})
    endforeach()
endfunction()
