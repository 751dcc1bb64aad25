# Installs the built program twice into PREFIX, the user's files changed in between: the second
# install must keep them and must still replace the program and the pictographs.
# cmake -DBUILD_DIR=<build tree> -DPREFIX=<empty folder to use> -P InstallTwice.cmake

function(install_once)
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "install failed:\n${output}")
    endif()
endfunction()


file(REMOVE_RECURSE ${PREFIX})
install_once()

file(GLOB templates RELATIVE ${PREFIX} ${PREFIX}/*.tmp)
set(userFiles zemlo.tag zemlo.lib zemlo.vrn ${templates})
list(LENGTH templates templateCount)
if(NOT EXISTS ${PREFIX}/zemlo.tag OR templateCount EQUAL 0)
    message(FATAL_ERROR "the first install left no library or no templates")
endif()
foreach(f IN LISTS userFiles)
    file(WRITE ${PREFIX}/${f} "changed by the user: ${f}")
endforeach()
# Stale program files, which the second install must replace as the first wrote them (the
# install rewrites the program's search path, so the build tree's copy differs).
set(programFiles zemlo ImageList/63647.gif)
set(firstHashes)
foreach(f IN LISTS programFiles)
    file(SHA256 ${PREFIX}/${f} hash)
    list(APPEND firstHashes ${hash})
endforeach()
file(WRITE ${PREFIX}/zemlo "old program")
file(WRITE ${PREFIX}/ImageList/63647.gif "old picture")

install_once()

foreach(f IN LISTS userFiles)
    file(READ ${PREFIX}/${f} content)
    if(NOT content STREQUAL "changed by the user: ${f}")
        message(FATAL_ERROR "the second install replaced the user's ${f}")
    endif()
endforeach()
foreach(f first IN ZIP_LISTS programFiles firstHashes)
    file(SHA256 ${PREFIX}/${f} again)
    if(NOT again STREQUAL first)
        message(FATAL_ERROR "the second install did not replace ${f}")
    endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "user files kept, program replaced")
