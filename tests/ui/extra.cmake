# The window tests drive real widgets on the offscreen platform with QtTest's input functions.
if(TARGET test_ui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  target_link_libraries(test_ui PRIVATE Qt6::Test)
  target_sources(test_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/WindowFixture.cpp)
endif()
