# One Qt Test executable per tests/<folder>/tst_<unit>.cpp, run headless by CTest.
# Helpers shared by tests live in tests/common and are compiled into every test.
file(GLOB ZEMLO_TEST_COMMON CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/common/*.h)

function(zemlo_add_test src)
    get_filename_component(name ${src} NAME_WE)
    get_filename_component(dir ${src} DIRECTORY)
    get_filename_component(folder ${dir} NAME)
    set(target ${folder}_${name})
    add_executable(${target} ${src} ${ZEMLO_TEST_COMMON})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
    target_link_libraries(${target} PRIVATE zemlo_core zemlo_preview Qt6::Test)
    target_compile_definitions(${target} PRIVATE
        ZEMLO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
        ZEMLO_SOURCE_DATA="${CMAKE_SOURCE_DIR}/data")
    add_test(NAME ${folder}/${name} COMMAND ${target})
    set_tests_properties(${folder}/${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox;LC_ALL=C.UTF-8"
        TIMEOUT 600)
endfunction()
