# Menu entry, software-centre description and the program icon for `cmake --install`. The icon is
# installed as the SVG source and as a 256 px picture for desktops that do not draw SVG icons.
set(vortane_icon_png ${CMAKE_CURRENT_BINARY_DIR}/icons/256x256/vortane-screen.png)
add_custom_command(
    OUTPUT ${vortane_icon_png}
    COMMAND ${VORTANE_TOOL_ENV}
            $<TARGET_FILE:vortane-iconrender> ${CMAKE_CURRENT_SOURCE_DIR}/vortane-screen.svg ${vortane_icon_png}
    DEPENDS vortane-iconrender ${CMAKE_CURRENT_SOURCE_DIR}/vortane-screen.svg
    COMMENT "Rendering the program icon"
    VERBATIM)
add_custom_target(vortane_desktop_icon ALL DEPENDS ${vortane_icon_png})

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/vortane-screen.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/io.github.vortane.Screen.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/vortane-screen.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${vortane_icon_png} DESTINATION share/icons/hicolor/256x256/apps)
