# brellix-window: the window over a machine directory (./run --gui, tools/screenshots).
if(TARGET brx_ui)
  add_executable(brellix-window ${CMAKE_CURRENT_LIST_DIR}/brellix_window.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/gui_main.cpp)
  target_link_libraries(brellix-window PRIVATE brx_ui)
endif()
# brellix-screenshots: every window and dialog of both editions as PNG files (tools/screenshots).
if(TARGET brx_ui)
  add_executable(brellix-screenshots ${CMAKE_CURRENT_LIST_DIR}/brellix_screenshots.cpp)
  target_link_libraries(brellix-screenshots PRIVATE brx_ui)
endif()
