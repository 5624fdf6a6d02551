# Manual pages of the three executables and the package's documentation folder (copyright notices
# and the changelog), compressed the way Debian installs them: gzip -9 without name or time stamp,
# so the same sources give the same bytes.
find_program(VORTANE_GZIP gzip REQUIRED)
set(vortane_compressed_docs)
function(vortane_compress source output)
    add_custom_command(
        OUTPUT ${output}
        COMMAND sh -c "\"$0\" -9nc \"$1\" > \"$2\"" ${VORTANE_GZIP} ${source} ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${output}"
        VERBATIM)
    set(vortane_compressed_docs ${vortane_compressed_docs} ${output} PARENT_SCOPE)
endfunction()

foreach(page IN ITEMS vortane-screen.1 vortane-screenctl.1 vortane-screen-sim.1)
    vortane_compress(${CMAKE_CURRENT_SOURCE_DIR}/man/${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz DESTINATION share/man/man1)
endforeach()
vortane_compress(${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/man ${CMAKE_CURRENT_BINARY_DIR}/doc)
add_custom_target(vortane_manpages ALL DEPENDS ${vortane_compressed_docs})

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
        DESTINATION share/doc/vortane-screen)
