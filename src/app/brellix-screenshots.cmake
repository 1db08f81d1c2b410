# brellix-screenshots: every window and dialog of both editions as PNG files (tools/screenshots).
if(TARGET brx_ui)
  add_executable(brellix-screenshots ${CMAKE_CURRENT_LIST_DIR}/brellix_screenshots.cpp)
  target_link_libraries(brellix-screenshots PRIVATE brx_ui)
endif()
